#include "courses/assignment_loop.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "import/step_fixture.h"

namespace courses {
namespace {

class AssignmentLoopTest : public StepTest {};

TEST_F(AssignmentLoopTest, CompleteAtTheFirstOkShowsOnce) {
  WriteCourses({{"100323", "1º de E.S.O.", "", ""}});
  ui.script = {{.fill = {{"100323", {"ESO", "1"}}}}};
  RunAssignmentLoop(state);
  EXPECT_EQ(ui.calls, std::vector<std::string>{"ShowCourseDialog"});
  EXPECT_EQ(ui.forcedExitOffered, std::vector<bool>{false});
  EXPECT_FALSE(state.CursosIncompletos);
}

TEST_F(AssignmentLoopTest, IncompleteCourseBringsTheDialogBackWithTheForcedExit) {
  WriteCourses({{"100323", "1º de E.S.O.", "", ""}, {"100324", "2º de E.S.O.", "", ""}});
  ui.script = {{.fill = {{"100323", {"ESO", "1"}}}}, {}, {.fill = {{"100324", {"ESO", "2"}}}}};
  RunAssignmentLoop(state);
  EXPECT_EQ(ui.forcedExitOffered, (std::vector<bool>{false, true, true}));
  EXPECT_TRUE(state.CursosIncompletos);
  EXPECT_EQ(Read("CURSOST", {"NIVEL", "CURSO"}), (Rows{{"ESO", "1"}, {"ESO", "2"}}));
}

TEST_F(AssignmentLoopTest, ForcedExitAsksToCloseTheMainWindow) {
  WriteCourses({{"100323", "1º de E.S.O.", "", ""}});
  state.CursosIncompletos = true;
  ui.script = {FakeFrontEnd::ForcedExit()};
  RunAssignmentLoop(state);
  EXPECT_EQ(ui.calls, (std::vector<std::string>{"ShowCourseDialog", "CloseMainWindow"}));
  EXPECT_EQ(ui.forcedExitOffered, std::vector<bool>{true});
}

TEST_F(AssignmentLoopTest, EmptyCoursesTableIsComplete) {
  WriteCourses({});
  RunAssignmentLoop(state);
  EXPECT_EQ(ui.calls, std::vector<std::string>{"ShowCourseDialog"});
  EXPECT_FALSE(state.CursosIncompletos);
}

TEST_F(AssignmentLoopTest, CompletenessCheckStopsAtTheFirstIncompleteCourse) {
  const struct {
    const char* name;
    Rows courses;        // CLAVE, ESTUD, NIVEL, CURSO
    bool faltaDato;
    const char* stopAt;  // CLAVE of the current record after the check
  } cases[] = {
      {"all complete", {{"1", "a", "ESO", "1"}, {"2", "b", "BACH", "2"}}, false, nullptr},
      {"empty table", {}, false, nullptr},
      {"level missing", {{"1", "a", "ESO", "1"}, {"2", "b", "", "2"}, {"3", "c", "", ""}}, true, "2"},
      {"course number missing", {{"1", "a", "ESO", ""}, {"2", "b", "", "2"}}, true, "1"},
      {"blanks only count as empty", {{"1", "a", "   ", "1"}}, true, "1"},
      {"a tab counts as empty", {{"1", "a", "ESO", "\t"}}, true, "1"},
      {"leading blank before a value is a value", {{"1", "a", " E", " 1"}}, false, nullptr},
  };
  for (const auto& c : cases) {
    WriteCourses(c.courses);
    tables::TTable cursos;
    tables::BindCursosT(cursos, folder.path());
    cursos.SetActive(true);
    EXPECT_EQ(CheckCoursesComplete(cursos), c.faltaDato) << c.name;
    if (c.stopAt != nullptr) {
      EXPECT_EQ(cursos.FieldByName("CLAVE").AsString(), c.stopAt) << c.name;
    }
    cursos.SetActive(false);
  }
}

TEST_F(AssignmentLoopTest, IncompleteCoursesListsEveryOneInTableOrder) {
  WriteCourses({{"1", "Uno", "ESO", "1"}, {"2", "Dos", "", "2"}, {"3", "Tres", "ESO", " "}, {"4", "Cuatro", "B", "4"}});
  const std::vector<CourseRow> incomplete = IncompleteCourses(folder.path().string());
  ASSERT_EQ(incomplete.size(), 2u);
  EXPECT_EQ(incomplete[0].Clave, "2");
  EXPECT_EQ(incomplete[0].Estud, "Dos");
  EXPECT_EQ(incomplete[0].Curso, "2");
  EXPECT_EQ(incomplete[1].Clave, "3");
  EXPECT_EQ(incomplete[1].Nivel, "ESO");
}

}  // namespace
}  // namespace courses
