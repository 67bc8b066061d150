// A working folder in a temporary directory, filled by the tests with small
// hand-written tables, a template, a chosen exchange document, and a fake
// front end; and the readers the tests use on the output document.
// Header-only: this folder's test program is built from its *_test.cpp files.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/front_end.h"
#include "app/program_state.h"
#include "exchange/xml_document.h"
#include "export/horalia_to_seneca.h"
#include "tables/table.h"
#include "tables/working_folder.h"
#include "tables/working_tables.h"

#include "common/other_process.h"
#include "common/run_program.h"
#include "common/scratch_folder.h"
#include "common/working_table_rows.h"

namespace exporting::testing {

using Row = TableRow;

// The front end of a run that must never show the assignment dialog; it
// writes down the hourglass and the close requests.
class NoDialogFrontEnd : public FrontEnd {
 public:
  CourseDialogResult ShowCourseDialog(ProgramState&) override {
    ADD_FAILURE() << "the Horalia-to-Séneca run never shows the assignment dialog";
    return {};
  }
  void CloseMainWindow() override { ++closes; }
  void SetHourglass(bool busy) override { hourglass.push_back(busy); }

  std::vector<bool> hourglass;  // every change, in order
  int closes = 0;
};

// How SOLUC stores DIA and HORA: Horalia may use numbers or digits in text.
enum class DayHourType { kNumeric, kText };

// Writes a SOLUC of PROF, DIA, HORA, AULA, CODGRUPO, ASIG, TAREA. With
// numeric DIA and HORA the rows' digits are stored as numbers.
inline void WriteSoluc(const std::filesystem::path& folder, DayHourType type,
                       const std::vector<Row>& rows, const std::string& fileName = "SOLUC.DBF") {
  using tables::TFieldType;
  tables::TTable soluc;
  soluc.SetDatabaseName(folder.string());
  soluc.SetTableName(fileName);
  soluc.SetTableType(tables::TTableType::ttDBase);
  soluc.FieldDefs.Clear();
  soluc.FieldDefs.Add("PROF", TFieldType::ftString, 4);
  const bool numeric = type == DayHourType::kNumeric;
  soluc.FieldDefs.Add("DIA", numeric ? TFieldType::ftInteger : TFieldType::ftString, numeric ? 0 : 2);
  soluc.FieldDefs.Add("HORA", numeric ? TFieldType::ftInteger : TFieldType::ftString, numeric ? 0 : 2);
  soluc.FieldDefs.Add("AULA", TFieldType::ftString, 4);
  soluc.FieldDefs.Add("CODGRUPO", TFieldType::ftString, 4);
  soluc.FieldDefs.Add("ASIG", TFieldType::ftString, 4);
  soluc.FieldDefs.Add("TAREA", TFieldType::ftString, 4);
  soluc.CreateTable();
  soluc.SetActive(true);
  for (const Row& row : rows) {
    soluc.Append();
    for (const auto& [field, value] : row) {
      const bool number = numeric && (field == "DIA" || field == "HORA");
      if (number) soluc.FieldByName(field).SetAsInteger(std::stoi(value));
      else soluc.FieldByName(field).SetAsString(value);
    }
    soluc.Post();
  }
  soluc.SetActive(false);
}

// The template the tests use, as Séneca's import expects it: ISO-8859-1, a
// root with attributes, a group of its own, a comment and a processing
// instruction that the output must carry unchanged.
inline const char* const kTemplate =
    "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n"
    "<!-- plantilla de importación -->\n"
    "<SERVICIO modulo=\"HORARIOS\" tipo=\"I\" autor=\"IES Ejemplo\">\n"
    "  <?aviso revisar?>\n"
    "  <BLOQUE_DATOS>\n"
    "    <grupo_datos seq=\"ANNO_ACADEMICO\" registros=\"1\">\n"
    "      <dato nombre_dato=\"C_ANNO\">2026</dato>\n"
    "      <dato nombre_dato=\"D_CENTRO\">Educaci\xf3n</dato>\n"
    "    </grupo_datos>\n"
    "  </BLOQUE_DATOS>\n"
    "  <PIE version=\"1\"/>\n"
    "</SERVICIO>\n";

// The course dates every fixture writes into CURSOACAD.
inline const char* const kInicio = "15/09/2026";
inline const char* const kFin = "22/06/2027";

// A school in its own temporary directory: working folder "htemp" with CURSOACAD,
// an empty table of every other kind the run reads (the tests fill those they
// need), the chosen file "seneca/centro.xml" and the template "base.xml".
class School {
 public:
  School() {
    std::filesystem::create_directories(WorkingFolder());
    std::filesystem::create_directories(Chosen().parent_path());
    WriteBytes(Chosen(), "cualquier cosa: de este archivo solo cuentan su carpeta y su nombre");
    WriteBytes(Template(), kTemplate);
    WriteWorkingTable(WorkingFolder(), "CURSOACAD",
                      {{{"CURSOANNO", "2026"}, {"F_INICIO", kInicio}, {"F_FIN", kFin}}});
    for (const char* name : {"PROFT", "AULAT", "GRUPOST", "ASIGNOMT", "DIASHORAST"})
      WriteWorkingTable(WorkingFolder(), name, {});
    WriteSoluc(WorkingFolder(), DayHourType::kNumeric, {});
    state_ = std::make_unique<ProgramState>(WorkingFolder(), ui);
    state_->ArchivoXML = Chosen().string();
  }

  ProgramState& State() { return *state_; }

  std::filesystem::path WorkingFolder() const { return dir_.path() / "htemp"; }
  std::filesystem::path Chosen() const { return dir_.path() / "seneca" / "centro.xml"; }
  std::filesystem::path Output() const {
    return dir_.path() / "seneca" / "ResultadoOrvanocentro.xml";
  }
  std::filesystem::path Template() const { return dir_.path() / "base.xml"; }
  std::filesystem::path Path(const std::string& name) const { return dir_.path() / name; }

  ExportSummary Run() { return RunHoraliaToSeneca(*state_, Template()); }
  exchange::XmlDocument LoadOutput() const { return exchange::XmlDocument::Load(Output()); }

  // True when none of the six components the run uses is open.
  bool ComponentsClosed() {
    tables::MainWindowTables& t = state_->Tables;
    for (tables::TTable* c : {&t.wwTableSoluc, &t.wwTableGrupos, &t.wwTableProfesor,
                              &t.wwTableAulas, &t.wwTableNomAsg, &t.wwTableTramos})
      if (c->Active()) return false;
    return true;
  }

  NoDialogFrontEnd ui;

 private:
  ScratchFolder dir_;
  std::unique_ptr<ProgramState> state_;  // made once the folders exist
};


// Readers of the output document.
inline std::vector<exchange::XmlNode> TeacherGroups(const exchange::XmlDocument& doc) {
  return doc.SelectNodes(
      "/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"HORARIOS_REGULARES\"]/grupo_datos");
}
inline std::vector<exchange::XmlNode> Activities(exchange::XmlNode teacher) {
  return teacher.SelectNodes("grupo_datos");
}
// The text of every `dato` child, untrimmed, in order.
inline std::vector<std::string> DatoTexts(exchange::XmlNode group) {
  std::vector<std::string> texts;
  for (const exchange::XmlNode& dato : group.SelectNodes("dato")) texts.push_back(dato.Text());
  return texts;
}
inline std::vector<std::string> DatoNames(exchange::XmlNode group) {
  std::vector<std::string> names;
  for (const exchange::XmlNode& dato : group.SelectNodes("dato"))
    names.push_back(dato.Attribute("nombre_dato"));
  return names;
}

}  // namespace exporting::testing
