// A front end for tests: each showing of the assignment dialog follows a
// script (fill NIVEL and CURSO of some courses, then press OK; or force the
// exit), working on CURSOST through its own shared table as the dialog does.
// Every call is recorded, so a test can check what the user would have seen.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "app/front_end.h"
#include "app/program_state.h"
#include "courses/assignment_loop.h"
#include "tables/working_tables.h"
#include "text/cp1252.h"

class FakeFrontEnd : public FrontEnd {
 public:
  // One showing of the dialog. Keys and values are UTF-8.
  struct Showing {
    std::map<std::string, std::pair<std::string, std::string>> fill;  // CLAVE -> NIVEL, CURSO
    bool forceExit = false;
  };
  static Showing ForcedExit() {
    Showing showing;
    showing.forceExit = true;
    return showing;
  }
  // Remaining showings; an empty script presses OK at once. A loop that asks
  // for more showings than a test allows is forced out, and the test fails.
  std::deque<Showing> script;
  int maxShowings = 10;

  std::vector<std::string> calls;
  // For each showing, whether the forced exit was offered.
  std::vector<bool> forcedExitOffered;

  CourseDialogResult ShowCourseDialog(ProgramState& state) override {
    calls.push_back("ShowCourseDialog");
    forcedExitOffered.push_back(state.CursosIncompletos);
    if (static_cast<int>(forcedExitOffered.size()) > maxShowings) {
      ADD_FAILURE() << "the assignment dialog was shown more than " << maxShowings << " times";
      return {false, "fuera"};
    }
    Showing showing;
    if (!script.empty()) {
      showing = std::move(script.front());
      script.pop_front();
    }
    if (showing.forceExit) return {false, "fuera"};

    tables::TTable cursos;
    tables::BindCursosT(cursos, state.WorkingFolder());
    cursos.SetActive(true);
    for (cursos.First(); !cursos.Eof(); cursos.Next()) {
      const auto typed = showing.fill.find(text::Cp1252ToUtf8(cursos.FieldByName("CLAVE").AsString()));
      if (typed == showing.fill.end()) continue;
      cursos.Edit();
      cursos.FieldByName("NIVEL").SetAsString(text::Utf8ToCp1252(typed->second.first));
      cursos.FieldByName("CURSO").SetAsString(text::Utf8ToCp1252(typed->second.second));
      cursos.Post();
    }
    const bool faltaDato = courses::CheckCoursesComplete(cursos);
    cursos.SetActive(false);
    return {faltaDato, ""};
  }

  void CloseMainWindow() override { calls.push_back("CloseMainWindow"); }
  void SetHourglass(bool busy) override { calls.push_back(busy ? "SetHourglass(true)" : "SetHourglass(false)"); }
};
