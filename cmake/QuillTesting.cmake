# quill_add_test(NAME name SOURCES a.cpp ... LIBS lib ... [GUI])
# A GoogleTest executable registered with CTest. GUI tests run on Qt's offscreen platform and
# get the support library that gives every test its own sandboxed device folder.
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
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} quill_test_support GTest::gtest GTest::gmock)
  else()
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  endif()
  # One value per property: a list-valued ENVIRONMENT does not survive test discovery.
  gtest_discover_tests(${T_NAME}
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
    PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
      ENVIRONMENT_MODIFICATION "QUILL_CORPUS_DIR=set:${PROJECT_SOURCE_DIR}/../shared/corpus"
    DISCOVERY_TIMEOUT 60)
endfunction()
