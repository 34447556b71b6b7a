# contivo_library(name sources...): one static library per subsystem folder.
# The library is registered in CONTIVO_LIBS so the executables and test programs
# link every subsystem without each folder knowing about the others' presence.
function(contivo_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  set_property(GLOBAL APPEND PROPERTY CONTIVO_LIBS ${name})
endfunction()

# contivo_test(name sources... [LIBS libs...]): one GoogleTest program per folder,
# run through ctest with the offscreen Qt platform.
function(contivo_test name)
  cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
  add_executable(${name} ${T_UNPARSED_ARGUMENTS} ${CMAKE_SOURCE_DIR}/tests/test_main.cpp)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock Qt6::Test Qt6::Widgets)
  target_compile_definitions(${name} PRIVATE
    CONTIVO_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    CONTIVO_APPDIR="${CONTIVO_APPDIR}"
    CONTIVO_FIXTURES="${CMAKE_SOURCE_DIR}/tests/fixtures")
  add_dependencies(${name} contivo_resources)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=0"
                                          TIMEOUT 900)
endfunction()

# contivo_bench(name sources... [LIBS libs...]): a Google Benchmark program in build/bench.
function(contivo_bench name)
  cmake_parse_arguments(B "" "" "LIBS" ${ARGN})
  add_executable(${name} ${B_UNPARSED_ARGUMENTS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PRIVATE -Wl,--start-group ${B_LIBS} -Wl,--end-group benchmark::benchmark Qt6::Widgets)
  target_compile_definitions(${name} PRIVATE CONTIVO_APPDIR="${CONTIVO_APPDIR}")
endfunction()

# contivo_fuzz(name sources... [LIBS libs...]): a libFuzzer target in build/fuzz.
function(contivo_fuzz name)
  cmake_parse_arguments(F "" "" "LIBS" ${ARGN})
  add_executable(${name} ${F_UNPARSED_ARGUMENTS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE -Wl,--start-group ${F_LIBS} -Wl,--end-group Qt6::Core)
endfunction()
