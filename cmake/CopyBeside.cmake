# Programs that load a DLL of this build (the control, the test control)
# from their own folder get a fresh copy whenever the DLL is rebuilt.
#
#   kx_copy_beside(<name> <dll target> DIR <folder>)
#
# makes the custom target <name> that copies <dll target>'s file into
# <folder>, with the files the DLL's KX_BESIDE_FILES property names (such as
# its side-by-side manifest); a program that needs it says
# add_dependencies(<program> <name>).
function(kx_copy_beside name dll)
  cmake_parse_arguments(PARSE_ARGV 2 KX "" "DIR" "")
  set(out ${KX_DIR}/$<TARGET_FILE_NAME:${dll}>)
  set(extra_commands)
  set(extra_depends)
  get_target_property(beside ${dll} KX_BESIDE_FILES)
  if(beside)
    foreach(file ${beside})
      list(APPEND extra_commands COMMAND ${CMAKE_COMMAND} -E copy ${file} ${KX_DIR}/)
      list(APPEND extra_depends ${file})
    endforeach()
  endif()
  add_custom_command(
    OUTPUT ${KX_DIR}/${dll}.copied
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${dll}> ${out}
    ${extra_commands}
    COMMAND ${CMAKE_COMMAND} -E touch ${KX_DIR}/${dll}.copied
    DEPENDS ${dll} $<TARGET_FILE:${dll}> ${extra_depends}
    VERBATIM)
  add_custom_target(${name} DEPENDS ${KX_DIR}/${dll}.copied)
endfunction()
