// A throwaway installation of the desktop program for one test: a program
// folder (where Horalia.ini goes), a working folder standing for C:\HTEMP,
// and a Séneca folder with the small test school's exchange document.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <filesystem>

#include "app/tmform.h"

namespace testing_gui {

class Sandbox {
 public:
  Sandbox();

  app::TMFormSetup Setup(app::Parameters params) const;

  QString ProgramFolder() const { return dir_.filePath(QStringLiteral("programa")); }
  std::filesystem::path WorkingFolder() const;
  QString SenecaFolder() const { return dir_.filePath(QStringLiteral("htemp/seneca")); }
  QString IniPath() const { return ProgramFolder() + QStringLiteral("/Horalia.ini"); }
  bool IniExists() const;
  QByteArray ReadIni() const;
  void WriteIni(const QByteArray& content) const;

  // The small school's exchange document, copied into the Séneca folder.
  QString SchoolDocument() const;
  // Horalia's solution table for the small school, put in the working folder.
  void PutSoluc() const;
  // Any file in the Séneca folder, with this content.
  QString WriteFile(const QString& name, const QByteArray& content) const;

 private:
  QTemporaryDir dir_;
};

// The text of field `field` of every record of `table` in `folder`, as UTF-8.
QStringList ColumnOf(const std::filesystem::path& folder, const char* table, const char* field);

}  // namespace testing_gui
