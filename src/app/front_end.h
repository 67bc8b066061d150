// What a run needs from whoever shows it to the user. The desktop program's
// main window implements it with dialogs and the mouse cursor; the batch tool
// with a file of course levels, the terminal and stderr. The runs themselves
// never talk to the user any other way.
#pragma once

#include <string>
#include <string_view>

class ProgramState;

// How one showing of the level and course assignment dialog ended.
struct CourseDialogResult {
  bool FaltaDato = false;   // the last OK found a course without NIVEL or CURSO
  std::string MarcaSalida;  // kMarcaSalidaForzada after a forced exit, empty otherwise
};

// The mark a forced exit of the assignment dialog leaves.
inline constexpr std::string_view kMarcaSalidaForzada = "fuera";

class FrontEnd {
 public:
  virtual ~FrontEnd() = default;

  // Shows the assignment dialog once, modally, over CURSOST in the working
  // folder (state.CursosIncompletos says whether to offer the forced exit),
  // and reports how it closed. The dialog opens and closes its own table.
  virtual CourseDialogResult ShowCourseDialog(ProgramState& state) = 0;

  // Forced exit: close the main window now (its close handling runs at once);
  // the run goes on to its end.
  virtual void CloseMainWindow() = 0;

  // The hourglass while a run works; taken back at its end, also on error.
  virtual void SetHourglass(bool busy) = 0;
};

// The hourglass for as long as a run works: shown when made, taken back when
// gone, however the run ends.
class Hourglass {
 public:
  explicit Hourglass(FrontEnd& ui) : ui_(ui) { ui_.SetHourglass(true); }
  ~Hourglass() { ui_.SetHourglass(false); }
  Hourglass(const Hourglass&) = delete;
  Hourglass& operator=(const Hourglass&) = delete;

 private:
  FrontEnd& ui_;
};
