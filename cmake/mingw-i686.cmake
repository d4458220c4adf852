# Cross-build for 32-bit Windows with Debian's mingw-w64.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(_curling_mingw_triplet i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# Tests run on Linux under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
