// The program state shared by both runs, living from start-up to the end of
// the program: the chosen file, the current document, the outcome code, the
// hosted-launch marker, the main window's CursosIncompletos flag and its table
// components. The desktop program's main window owns one; the batch tool too.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "app/front_end.h"
#include "exchange/xml_document.h"
#include "tables/working_tables.h"

class ProgramState {
 public:
  // `workingFolder` is the resolved "C:\HTEMP" or the one the user gave.
  ProgramState(std::filesystem::path workingFolder, FrontEnd& frontEnd);

  const std::filesystem::path& WorkingFolder() const { return workingFolder_; }
  FrontEnd& Ui() { return frontEnd_; }

  std::string ArchivoXML;                         // full path, UTF-8 (a file name)
  std::unique_ptr<exchange::XmlDocument> DocXML;  // replaced by every run
  std::int32_t CodigoResultado = 0;
  std::int32_t NumParametros = 0;
  bool CursosIncompletos = false;
  tables::MainWindowTables Tables;

 private:
  std::filesystem::path workingFolder_;
  FrontEnd& frontEnd_;
};
