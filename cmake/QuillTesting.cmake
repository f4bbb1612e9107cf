# quill_add_test(NAME name SOURCES a.cpp ... LIBS lib ... [GUI])
# A GoogleTest executable registered with CTest. GUI tests run on Qt's offscreen platform and
# get the support library (tests/support, with the layer's test support platform/testing) that
# gives every test its own sandboxed device folder.
if(QUILL_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

function(quill_add_test)
  cmake_parse_arguments(T "GUI" "NAME" "SOURCES;LIBS" ${ARGN})
  if(NOT QUILL_TESTS)
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  if(T_GUI)
    # The leak suppressions are a source of the program itself: nothing references them, so a
    # library would not bring them into the link.
    target_sources(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/sanitizer_suppressions.cpp)
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} quill_test_support GTest::gtest GTest::gmock)
  else()
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  endif()
  # Files made by other programs, kept in the project (tests/data/README.md says what made them).
  target_compile_definitions(${T_NAME} PRIVATE
    QUILL_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data" QUILL_TEST_SOURCE_DIR="${PROJECT_SOURCE_DIR}/tests")
  gtest_discover_tests(${T_NAME}
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    DISCOVERY_TIMEOUT 60)
endfunction()
