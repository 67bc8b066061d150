# The desktop program: the Qt windows (main window, assignment dialog) over
# the core runs, and the thin executable build/transorvano.
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)

add_library(tos_gui STATIC
  ${CMAKE_CURRENT_LIST_DIR}/messages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/draw3d.cpp
  ${CMAKE_CURRENT_LIST_DIR}/help.cpp
  ${CMAKE_CURRENT_LIST_DIR}/settings_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hosted_launch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/host_embedding.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tmform.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tmform.h
  ${PROJECT_SOURCE_DIR}/src/courses/cursos_grid.cpp
  ${PROJECT_SOURCE_DIR}/src/courses/control_cursos.cpp)
set_target_properties(tos_gui PROPERTIES AUTOMOC ON)
target_include_directories(tos_gui PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(tos_gui
  PUBLIC Qt6::Widgets tos_session tos_courses tos_import tos_export tos_tables tos_text
  PRIVATE PkgConfig::XCB transorvano_warnings)

add_executable(transorvano ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
set_target_properties(transorvano PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
target_link_libraries(transorvano PRIVATE tos_gui transorvano_warnings)
