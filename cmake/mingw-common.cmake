# Shared by the mingw-w64 toolchain files, which set _curling_mingw_triplet
# (i686-w64-mingw32 or x86_64-w64-mingw32) and CMAKE_SYSTEM_PROCESSOR first.
# Debian's POSIX thread model, which std::thread and libgomp need.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${_curling_mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_curling_mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${_curling_mingw_triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_curling_mingw_triplet})
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
