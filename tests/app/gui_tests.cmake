# Tests that drive the real windows (QtTest), on the offscreen platform.
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
function(transorvano_add_gui_test name)
  add_executable(${name} ${ARGN}
    ${CMAKE_CURRENT_SOURCE_DIR}/modal_answerer.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/gui_sandbox.cpp)
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_link_libraries(${name} PRIVATE tos_gui Qt6::Test transorvano_warnings)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE TEST_DATA_DIR="${TRANSORVANO_TEST_DATA}" BUILD_DIR="${PROJECT_BINARY_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 600)
endfunction()

transorvano_add_gui_test(tmform_test ${CMAKE_CURRENT_SOURCE_DIR}/tmform_test.cpp)
transorvano_add_gui_test(control_cursos_test ${CMAKE_CURRENT_SOURCE_DIR}/control_cursos_test.cpp)

# The hosted launch on a real X server: a foreign window of our own, the
# built program started against it, xdotool for the user.
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)
add_executable(fake_horalia ${CMAKE_CURRENT_SOURCE_DIR}/fake_horalia.cpp)
target_link_libraries(fake_horalia PRIVATE PkgConfig::XCB transorvano_warnings)

find_program(XVFB_RUN xvfb-run)
find_program(XDOTOOL xdotool)
find_program(XWININFO xwininfo)
add_executable(hosted_x11_test ${CMAKE_CURRENT_SOURCE_DIR}/hosted_x11_test.cpp)
set_target_properties(hosted_x11_test PROPERTIES AUTOMOC ON)
target_link_libraries(hosted_x11_test PRIVATE Qt6::Test transorvano_warnings)
target_compile_definitions(hosted_x11_test PRIVATE
  TEST_DATA_DIR="${TRANSORVANO_TEST_DATA}"
  TRANSORVANO_EXE="$<TARGET_FILE:transorvano>"
  FAKE_HORALIA="$<TARGET_FILE:fake_horalia>")
add_dependencies(hosted_x11_test transorvano fake_horalia)
if(XVFB_RUN AND XDOTOOL AND XWININFO)
  # -noreset: each test ends with no client left, and a server that resets
  # then refuses the next test's program for a moment ("could not connect").
  add_test(NAME hosted_x11_test
           COMMAND ${XVFB_RUN} -a -s "-screen 0 1280x1024x24 -nolisten tcp -noreset" $<TARGET_FILE:hosted_x11_test>)
  set_tests_properties(hosted_x11_test PROPERTIES TIMEOUT 900)
else()
  message(WARNING "xvfb-run, xdotool or xwininfo missing: the hosted-launch test is not registered (scripts/install-deps installs them)")
endif()

# Pictures of the two windows for the README (scripts/screenshot).
add_executable(transorvano-screenshot ${CMAKE_CURRENT_SOURCE_DIR}/screenshot_tool.cpp)
target_link_libraries(transorvano-screenshot PRIVATE tos_gui Qt6::Test transorvano_warnings)
