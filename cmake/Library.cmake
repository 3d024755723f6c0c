# Helpers that give every folder of src/ its static library and every folder of tests/ its test program.

set(MPH_WARNINGS -Wall -Wextra)

# mph_library(NAME [DEPS target...]): builds src/NAME/*.cpp into the static library mph_NAME.
function(mph_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  if(NOT sources)
    return()
  endif()
  add_library(mph_${name} STATIC ${sources})
  target_include_directories(mph_${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_compile_options(mph_${name} PRIVATE ${MPH_WARNINGS})
  # A framework library that has no code yet does not exist; skip it.
  set(deps)
  foreach(dep ${ARG_DEPS})
    if(NOT dep MATCHES "^mph_" OR TARGET ${dep})
      list(APPEND deps ${dep})
    endif()
  endforeach()
  target_link_libraries(mph_${name} PUBLIC ${deps})
  mph_check_layering(${name} "${ARG_DEPS}")
endfunction()

# mph_check_layering(NAME DEPS): the folders below src/ form layers. A library may include its own headers
# and those of the libraries it depends on (directly or through them), never one above it or beside it:
# such an include stops the configuration with the file and the line.
function(mph_check_layering name deps)
  set(below ${name})
  foreach(dep ${deps})
    if(dep MATCHES "^mph_(.+)$")
      set(lib ${CMAKE_MATCH_1})
      get_property(under GLOBAL PROPERTY MPH_LAYERS_BELOW_${lib})
      list(APPEND below ${lib} ${under})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES below)
  set_property(GLOBAL PROPERTY MPH_LAYERS_BELOW_${name} ${below})
  file(GLOB_RECURSE files CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  foreach(file ${files})
    file(STRINGS ${file} includes REGEX "^#include \"[a-z]+/")
    foreach(line ${includes})
      string(REGEX MATCH "\"([a-z]+)/" _ "${line}")
      set(lib ${CMAKE_MATCH_1})
      if(IS_DIRECTORY ${CMAKE_SOURCE_DIR}/src/${lib} AND NOT lib IN_LIST below)
        file(RELATIVE_PATH shown ${CMAKE_SOURCE_DIR} ${file})
        message(FATAL_ERROR "${shown}: ${line}: src/${name} does not depend on src/${lib} (it may use: ${below})")
      endif()
    endforeach()
  endforeach()
endfunction()

# mph_tests(NAME [DEPS target...]): builds tests/NAME/*.cpp into test_NAME and registers its cases with CTest.
function(mph_tests name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  # The shared main sets the headless SDL drivers and MPH_TEST_DATA / MPH_BIN unless already set.
  add_executable(test_${name} ${sources} ${CMAKE_SOURCE_DIR}/tests/TestMain.cpp)
  target_include_directories(test_${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_compile_options(test_${name} PRIVATE ${MPH_WARNINGS})
  target_compile_definitions(test_${name} PRIVATE MPH_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    MPH_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
  target_link_libraries(test_${name} PRIVATE ${ARG_DEPS} GTest::gtest)
  include(GoogleTest)
  gtest_discover_tests(test_${name} DISCOVERY_MODE PRE_TEST)
endfunction()

# mph_fuzzer(NAME SOURCE DEPS...): a libFuzzer target fuzz_NAME.
function(mph_fuzzer name source)
  add_executable(fuzz_${name} ${source})
  target_include_directories(fuzz_${name} PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(fuzz_${name} PRIVATE ${ARGN})
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
endfunction()
