# nlohmann-json and CLI11: header-only Debian packages. A native build finds
# them through their CMake packages. A cross build must not put the build
# machine's /usr/include on its include path (glibc's headers would shadow
# the target's C library), so it sees just these two folders, through links
# in a folder of its own.
if(CMAKE_CROSSCOMPILING)
  set(_curling_host_headers ${CMAKE_BINARY_DIR}/host-headers)
  file(MAKE_DIRECTORY ${_curling_host_headers})
  foreach(_folder nlohmann CLI)
    if(NOT EXISTS /usr/include/${_folder})
      message(FATAL_ERROR "/usr/include/${_folder} is missing: install nlohmann-json3-dev and libcli11-dev")
    endif()
    file(CREATE_LINK /usr/include/${_folder} ${_curling_host_headers}/${_folder} SYMBOLIC)
  endforeach()
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  target_include_directories(nlohmann_json::nlohmann_json INTERFACE ${_curling_host_headers})
  add_library(CLI11::CLI11 INTERFACE IMPORTED)
  target_include_directories(CLI11::CLI11 INTERFACE ${_curling_host_headers})
else()
  find_package(nlohmann_json 3 REQUIRED)
  find_package(CLI11 REQUIRED)
endif()
