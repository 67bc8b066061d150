# Tests that drive the real windows (QtTest), on the offscreen platform.
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
function(transorvano_add_gui_test name)
  add_executable(${name} ${ARGN}
    ${CMAKE_CURRENT_SOURCE_DIR}/modal_answerer.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/gui_sandbox.cpp)
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_link_libraries(${name} PRIVATE tos_gui Qt6::Test transorvano_warnings)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE TEST_DATA_DIR="${TRANSORVANO_TEST_DATA}" BUILD_DIR="${PROJECT_BINARY_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 600)
endfunction()

transorvano_add_gui_test(tmform_test ${CMAKE_CURRENT_SOURCE_DIR}/tmform_test.cpp)
transorvano_add_gui_test(control_cursos_test ${CMAKE_CURRENT_SOURCE_DIR}/control_cursos_test.cpp)
