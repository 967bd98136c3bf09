# kx_public_subdirs(<target> <folder>...): the target's sources are grouped in
# these folders below the current source folder, each of which holds headers
# for the target's users (so they include "X.h", whatever folder X is in).
function(kx_public_subdirs target)
  foreach(dir ${ARGN})
    target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/${dir})
  endforeach()
endfunction()
