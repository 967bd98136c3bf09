# Sources of the saved-form reader and writer (host/FormFile.h), included by
# host/CMakeLists.txt into the runtime library and by tests/host into the
# tests. They need kxcommon (UniqueHandle.h).
set(KX_HOST_FORMFILE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/FormFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormFileCursor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormFileIo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormFileNames.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormFileParse.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormFileUtf8.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormFileValues.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormFileWrite.cpp
)
