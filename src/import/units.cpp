// GRUPOST: the units (class groups), each named by a code built from the
// level and course number the user gave its course in CURSOST.
#include <string>
#include <unordered_map>

#include "app/program_state.h"
#include "exchange/exchange_document.h"
#include "import/seneca_to_horalia.h"
#include "import/step_support.h"
#include "import/unit_codes.h"
#include "tables/working_tables.h"

namespace import {
namespace {

struct Course {
  std::string estud, nivel, curso;
};

// CURSOST by CLAVE, read once from its first row: the first row with a key
// wins, as a walk from the first row stopping at the first match would find.
// Keys compare exactly, letter case included.
std::unordered_map<std::string, Course> IndexCoursesByClave(tables::TTable& wwTableCursos) {
  std::unordered_map<std::string, Course> byClave;
  for (wwTableCursos.First(); !wwTableCursos.Eof(); wwTableCursos.Next()) {
    byClave.try_emplace(wwTableCursos.FieldByName("CLAVE").AsString(),
                        Course{wwTableCursos.FieldByName("ESTUD").AsString(),
                               wwTableCursos.FieldByName("NIVEL").AsString(),
                               wwTableCursos.FieldByName("CURSO").AsString()});
  }
  return byClave;
}

// Written where the user left a course without a level (or the unit's course
// is missing), after the code was built without it.
constexpr std::string_view kNoLevel = "NIV";

}  // namespace

// A UNIDADES record: X_UNIDAD, T_NOMBRE, X_OFERTAMATRIG at positions 0 to 2.
void TransformarUnidades(ProgramState& state) {
  const exchange::XmlDocument& doc = LoadedDocument(state);
  tables::TTable& wwTableCursos = state.Tables.wwTableCursos;
  wwTableCursos.SetActive(true);
  const auto courses = IndexCoursesByClave(wwTableCursos);

  auto table = tables::RebuildTable(state.WorkingFolder(), "GRUPOST");
  UnitCodes codes;
  static const Course kNotFound;

  for (const exchange::XmlNode& node : exchange::SelectRecords(doc, "UNIDADES")) {
    const exchange::Record unit(node);
    if (!unit.IsUsable()) continue;
    const std::string unidad = unit.Position(0);
    const std::string oferta = unit.Position(2);
    const auto found = courses.find(oferta);
    const Course& course = found != courses.end() ? found->second : kNotFound;

    const std::string abrev = codes.Next(course.nivel, course.curso, unidad);
    table->Append();
    SetText(*table, "ABREV", abrev);
    SetText(*table, "TURNO", "");
    SetText(*table, "NIVEL", course.nivel.empty() ? kNoLevel : std::string_view(course.nivel));
    SetText(*table, "CURSO", course.curso);
    SetText(*table, "GRUPO", std::string_view(abrev).substr(abrev.size() - 1));
    SetText(*table, "UNIDAD", unidad);
    SetText(*table, "OFERMATR", oferta);
    SetText(*table, "DESCRIP", course.estud);
    table->Post();
  }
  table->Close();
  wwTableCursos.SetActive(false);
}

}  // namespace import
