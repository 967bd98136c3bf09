# kx_windows_pch(<target>...): the system and library headers nearly every
# source of ours starts with, compiled once (for kxcommon) and reused by the
# other libraries of the product: parsing them was most of a file's build.
function(kx_windows_pch)
  foreach(target ${ARGN})
    if(target STREQUAL kxcommon)
      target_precompile_headers(kxcommon PRIVATE <windows.h> <ole2.h> <oaidl.h> <olectl.h>)
    else()
      target_precompile_headers(${target} REUSE_FROM kxcommon)
    endif()
  endforeach()
endfunction()
