# curling_add_engine_process_test(<target> SOURCES <file>... [LIBRARIES <lib>...]
#                                 [DOUBLES] [REAL_LIBRARY] LABEL <label>)
#
# A test program that starts bin/curling-engine over pipes through the
# engine tests' process fixture (tests/engine/process_fixture.h). DOUBLES
# gives it this build's scripted test-double folders; without it they are
# empty, and the fixture can only run the real library. REAL_LIBRARY gives
# it the folder of this build's Korvane.dll as KORVANE_DIR.
function(curling_add_engine_process_test target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "DOUBLES;REAL_LIBRARY" "LABEL" "SOURCES;LIBRARIES")
  set(fixture ${PROJECT_SOURCE_DIR}/tests/engine)
  add_executable(${target} ${arg_SOURCES} ${fixture}/subprocess.cpp ${fixture}/process_fixture.cpp)
  target_link_libraries(${target} PRIVATE ${arg_LIBRARIES} runner_platform GTest::gtest_main)
  target_include_directories(${target} PRIVATE ${fixture} ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${target} PRIVATE ENGINE_EXE="$<TARGET_FILE:curling-engine>")
  add_dependencies(${target} curling-engine)
  if(arg_DOUBLES)
    target_compile_definitions(${target} PRIVATE
      ENGINE_DOUBLE_DIR="${ENGINE_DOUBLE_DIR}"
      ENGINE_OFFSET_DOUBLE_DIR="${ENGINE_OFFSET_DOUBLE_DIR}")
    add_dependencies(${target} engine_korvane_double engine_korvane_double_offset)
  else()
    target_compile_definitions(${target} PRIVATE ENGINE_DOUBLE_DIR="" ENGINE_OFFSET_DOUBLE_DIR="")
  endif()
  if(arg_REAL_LIBRARY)
    target_compile_definitions(${target} PRIVATE KORVANE_DIR="$<TARGET_FILE_DIR:korvane>")
    add_dependencies(${target} korvane)
  endif()
  gtest_discover_tests(${target} PROPERTIES LABELS ${arg_LABEL})
endfunction()
