# Cross-compiling for 64-bit Windows (build64/); its tests run under Wine's
# 64-bit loader in a win64 prefix.
set(KX_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
