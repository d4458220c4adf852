# Cross-build for 64-bit Windows with Debian's mingw-w64: the Windows code
# tested on hosts that cannot run 32-bit programs (and so not wine32).
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(_curling_mingw_triplet x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# Tests run on Linux under Wine's 64-bit loader, which needs no i386 support.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
