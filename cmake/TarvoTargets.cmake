# Shared settings of every Tarvo target: warnings and the include root.

function(tarvo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(TARVO_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# tarvo_library(<name> SOURCES <files...> DEPENDS <targets...>)
# Headers are included relative to src/ ("segments/SegmentProgram.h").
function(tarvo_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  tarvo_warnings(${name})
endfunction()

# tarvo_test(<name> SOURCES <files...> DEPENDS <targets...> [GUI])
# One GoogleTest executable; every test case becomes a CTest test that runs
# on the offscreen platform with its own throwaway port folder.
function(tarvo_test name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_GUI)
    target_link_libraries(${name} PRIVATE tarvo_gui_test_main)
  else()
    target_link_libraries(${name} PRIVATE tarvo_test_main)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} tarvo_test_support GTest::gtest GTest::gmock)
  target_compile_options(${name} PRIVATE -include ${PROJECT_SOURCE_DIR}/tests/support/QtPrinters.h)
  tarvo_warnings(${name})
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TARVO_TEST_RUN=1"
               TIMEOUT 300)
endfunction()
