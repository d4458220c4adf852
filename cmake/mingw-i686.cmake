# Cross-build for 32-bit Windows with Debian's mingw-w64 (POSIX thread model,
# which std::thread and libgomp need).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C++ runtime, libgomp and winpthreads linked in, so the folder needs no
# compiler DLLs beside the programs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# FindOpenMP would pick libgomp's import library; the static archive keeps
# curling-engine.exe free of libgomp-1.dll.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libgomp.a
                OUTPUT_VARIABLE _curling_static_gomp OUTPUT_STRIP_TRAILING_WHITESPACE)
if(EXISTS "${_curling_static_gomp}")
  set(OpenMP_gomp_LIBRARY "${_curling_static_gomp}" CACHE FILEPATH "static libgomp")
endif()

# Tests run on Linux under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
