# 32-bit Windows, the shipped build. The posix thread model is needed for
# std::mutex in GoogleTest; everything is linked statically so no toolchain
# DLL travels with the programs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QUILLORA_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
