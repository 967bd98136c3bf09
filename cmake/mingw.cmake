# Cross-compiling for Windows with mingw-w64 (posix threading model, so
# std::thread and std::mutex exist and GoogleTest builds), for the
# processor the including toolchain file names in KX_MINGW_ARCH (i686 or
# x86_64).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${KX_MINGW_ARCH})

set(CMAKE_C_COMPILER   ${KX_MINGW_ARCH}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${KX_MINGW_ARCH}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER  ${KX_MINGW_ARCH}-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KX_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Tests and the bench run under Wine: see CMAKE_CROSSCOMPILING_EMULATOR in
# the top CMakeLists.txt.
