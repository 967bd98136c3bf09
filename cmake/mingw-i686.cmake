# Cross-compiling for 32-bit Windows (build/).
set(KX_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
