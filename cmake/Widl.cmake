# Type libraries built with Wine's own IDL compiler.
#
#   kx_add_typelib(<name> IDL <file.idl> [DEPENDS <files>...] [INCLUDES <dirs>...])
#
# runs /usr/bin/widl (Wine 8; the mingw widl has no .idl files to import)
# three times on <file.idl> and writes into the current binary folder
#   <name>.tlb    the type library, to embed with `1 TYPELIB "<name>.tlb"`
#   <name>.h      the C/C++ header (interfaces usable as C++ base classes)
#   <name>_i.c    the IID/CLSID/LIBID definitions
# It makes a static library target <name> that compiles <name>_i.c and
# carries the binary folder as a PUBLIC include directory, so linking it
# gives a target the header and the identifiers. It sets in the caller's
# scope <name>_TLB (full path of the .tlb), <name>_HEADER and <name>_DIR.
# DEPENDS: further files whose change rebuilds the outputs (IDL files
# imported or #included by <file.idl>).
#
#   kx_embed_typelib(<target> <name> <file.rc>)
#
# links <target> with <name>, lets windres find <name>.tlb and rebuilds
# <file.rc>'s object when the .tlb changes (CMake does not see TYPELIB
# statements as dependencies). Call it from the folder that adds <file.rc>.

set(KX_WIDL /usr/bin/widl CACHE FILEPATH "Wine's IDL compiler (Wine 8 or later)")
set(KX_WIDL_INCLUDE /usr/include/wine/wine/windows CACHE PATH "Wine's system IDL files")
# The type library takes the target's pointer size: LONG_PTR is VT_I4 in the
# 32-bit library and VT_I8 in the 64-bit one, and stdole2.tlb comes from
# Wine's folder of the same bitness.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(KX_WIDL_BITS --win64)
  set(_kx_stdole_dir /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
else()
  set(KX_WIDL_BITS --win32)
  set(_kx_stdole_dir /usr/lib/i386-linux-gnu/wine/i386-windows)
endif()
set(KX_WIDL_LIBDIR ${_kx_stdole_dir} CACHE PATH
    "Where widl finds stdole2.tlb for importlib (of the target's bitness)")

function(kx_add_typelib name)
  cmake_parse_arguments(PARSE_ARGV 1 KX "" "IDL" "DEPENDS;INCLUDES")
  if(NOT KX_IDL)
    message(FATAL_ERROR "kx_add_typelib(${name}): IDL <file.idl> is required")
  endif()
  if(NOT EXISTS ${KX_WIDL})
    message(FATAL_ERROR "kx_add_typelib(${name}): ${KX_WIDL} not found "
                        "(Debian package wine64-tools; run scripts/setup.sh)")
  endif()
  get_filename_component(idl ${KX_IDL} ABSOLUTE)
  get_filename_component(idl_dir ${idl} DIRECTORY)
  set(out ${CMAKE_CURRENT_BINARY_DIR})
  set(tlb ${out}/${name}.tlb)
  set(hdr ${out}/${name}.h)
  set(iid ${out}/${name}_i.c)

  set(flags ${KX_WIDL_BITS} -I${KX_WIDL_INCLUDE} -L${KX_WIDL_LIBDIR} -I${idl_dir})
  foreach(dir ${KX_INCLUDES})
    get_filename_component(dir ${dir} ABSOLUTE)
    list(APPEND flags -I${dir})
  endforeach()

  add_custom_command(
    OUTPUT ${tlb} ${hdr} ${iid}
    COMMAND ${KX_TIME_LAUNCHER} ${KX_WIDL} ${flags} -t -o ${tlb} ${idl}
    COMMAND ${KX_WIDL} ${flags} -h -o ${hdr} ${idl}
    COMMAND ${KX_WIDL} ${flags} -u -o ${iid} ${idl}
    DEPENDS ${idl} ${KX_DEPENDS}
    COMMENT "widl: ${name}.tlb, ${name}.h, ${name}_i.c"
    VERBATIM)

  add_library(${name} STATIC ${iid} ${hdr})
  target_include_directories(${name} PUBLIC ${out})
  # The generated C file is not ours to warn about.
  target_compile_options(${name} PRIVATE -w)
  # The .tlb is no source of the library, but whoever embeds it needs it
  # built: a target of its own carries it.
  add_custom_target(${name}_tlb DEPENDS ${tlb})
  add_dependencies(${name} ${name}_tlb)
  set_target_properties(${name} PROPERTIES KX_TYPELIB_FILE ${tlb})

  set(${name}_TLB ${tlb} PARENT_SCOPE)
  set(${name}_HEADER ${hdr} PARENT_SCOPE)
  set(${name}_DIR ${out} PARENT_SCOPE)
endfunction()

function(kx_embed_typelib target name rc)
  if(NOT TARGET ${name})
    message(FATAL_ERROR "kx_embed_typelib(${target}): no type library ${name}; "
                        "call kx_add_typelib(${name} ...) first")
  endif()
  get_target_property(tlb ${name} KX_TYPELIB_FILE)
  # Linking gives the .rc the include folder too (windres gets the
  # target's include directories).
  target_link_libraries(${target} PRIVATE ${name})
  add_dependencies(${target} ${name}_tlb)
  get_filename_component(rc ${rc} ABSOLUTE)
  set_property(SOURCE ${rc} APPEND PROPERTY OBJECT_DEPENDS ${tlb})
endfunction()
