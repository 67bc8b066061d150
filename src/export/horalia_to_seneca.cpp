#include "export/horalia_to_seneca.h"

#include <array>
#include <memory>
#include <string>
#include <system_error>
#include <utility>

#include "app/program_state.h"
#include "app/working_folder_lock.h"
#include "exchange/exchange_document.h"
#include "export/activity_record.h"
#include "tables/table.h"
#include "tables/working_folder.h"
#include "tables/working_tables.h"
#include "text/file_io.h"

namespace exporting {
namespace {

constexpr const char* kFaltaCursoAcad =
    "ATENCIÓN Falta un Fich. Temporal. Transforme de nuevo de Séneca a Horalia";

// The six main-window components the run reads, opened in this order before
// the first teacher and closed in the same order after the last. A run that
// ends on an error closes them too: an open component holds its table
// exclusively, which would lock Horalia out of it until the program ends.
class RunComponents {
 public:
  explicit RunComponents(tables::MainWindowTables& components) : components_(components) {}
  ~RunComponents() {
    if (!closed_) components_.CloseAll();
  }
  RunComponents(const RunComponents&) = delete;
  RunComponents& operator=(const RunComponents&) = delete;

  void OpenAll() {
    for (tables::TTable* table : InRunOrder()) table->SetActive(true);
  }
  void CloseAll() {
    for (tables::TTable* table : InRunOrder()) table->SetActive(false);
    closed_ = true;
  }

 private:
  std::array<tables::TTable*, 6> InRunOrder() const {
    return {&components_.wwTableSoluc,  &components_.wwTableGrupos, &components_.wwTableProfesor,
            &components_.wwTableAulas,  &components_.wwTableNomAsg, &components_.wwTableTramos};
  }

  tables::MainWindowTables& components_;
  bool closed_ = false;
};

// F_INICIO and F_FIN of the first CURSOACAD record, read through a table of
// the run's own. An empty CURSOACAD gives empty dates.
CourseDates ReadCourseDates(const std::filesystem::path& workingFolder) {
  tables::TTable cursoAcad;
  tables::BindWorkingTable(cursoAcad, workingFolder, "CURSOACAD");
  cursoAcad.SetActive(true);
  cursoAcad.First();
  CourseDates dates;
  if (!cursoAcad.Eof()) {
    dates.Inicio = cursoAcad.FieldByName("F_INICIO").AsString();
    dates.Fin = cursoAcad.FieldByName("F_FIN").AsString();
  }
  cursoAcad.SetActive(false);
  return dates;
}

// The template loaded into a new DocXML, and its BLOQUE_DATOS. A template that
// is missing, cannot be read, is not well formed, or has no BLOQUE_DATOS right
// under its root cannot carry the output: the run ends with an error naming it.
exchange::XmlNode LoadTemplate(ProgramState& state, const std::filesystem::path& templateFile) {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(templateFile, ec);
  const std::string shown = files::Quoted(files::PathText(ec ? templateFile : absolute));
  if (!std::filesystem::exists(templateFile, ec)) {
    throw UserError("No se encuentra la plantilla del documento para Séneca " + shown +
                    ". Copie base.xml en esa carpeta y repita la transformación.");
  }
  state.DocXML = std::make_unique<exchange::XmlDocument>();
  try {
    *state.DocXML = exchange::XmlDocument::Load(templateFile);
  } catch (const UserError& e) {
    throw UserError("La plantilla del documento para Séneca " + shown + " no sirve. " + e.what());
  }
  const exchange::XmlNode root = state.DocXML->DocumentElement();
  const exchange::XmlNode bloque = root ? root.SelectSingleNode("BLOQUE_DATOS") : exchange::XmlNode();
  if (!bloque) {
    throw UserError("La plantilla del documento para Séneca " + shown +
                    " no tiene el elemento BLOQUE_DATOS directamente bajo su elemento raíz" +
                    (root ? " <" + root.Name() + ">" : std::string()) +
                    ", y sin él no puede llevar los horarios. Use un base.xml con ese elemento y "
                    "repita la transformación.");
  }
  return bloque;
}

// One HORARIO_REGULAR_PROFESOR_n group per PROFT record, in record order,
// each holding the activities of the SOLUC lessons filtered to its code.
void WriteTeachers(ProgramState& state, exchange::XmlNode regulares, ActivityWriter& activities,
                   ExportSummary& summary) {
  exchange::XmlDocument& doc = *state.DocXML;
  tables::TTable& profesor = state.Tables.wwTableProfesor;
  tables::TTable& soluc = state.Tables.wwTableSoluc;

  long teacherNumber = 1;
  for (profesor.First(); !profesor.Eof(); profesor.Next()) {
    const std::string xEmpleado = profesor.FieldByName("X_EMPLEADO").AsString();
    const std::string fTomapos = profesor.FieldByName("F_TOMAPOS").AsString();

    // registros comes right after seq, so it stays the second attribute when
    // the count replaces it below.
    const exchange::XmlNode teacher = exchange::AppendGroup(
        doc, regulares, "HORARIO_REGULAR_PROFESOR_" + std::to_string(teacherNumber));
    ++teacherNumber;
    exchange::SetRegistros(teacher, 1);
    exchange::AppendDato(doc, teacher, "X_EMPLEADO", xEmpleado);
    exchange::AppendDato(doc, teacher, "F_TOMAPOS", fTomapos);

    const std::string code = profesor.FieldByName("ABREV").AsString();
    soluc.SetFiltered(false);
    soluc.SetFilter("PROF= " + tables::QuotedStr(code));
    soluc.SetFiltered(true);
    long activityNumber = 1;
    for (; !soluc.Eof(); soluc.Next()) activities.WriteLesson(soluc, teacher, activityNumber);
    exchange::SetRegistros(teacher, activityNumber - 1);
  }
  summary.Teachers = teacherNumber - 1;
}

}  // namespace

std::filesystem::path OutputPathFor(const std::filesystem::path& archivoXML) {
  return archivoXML.parent_path() / ("ResultadoOrvano" + archivoXML.filename().string());
}

ExportSummary RunHoraliaToSeneca(ProgramState& state, const std::filesystem::path& templateFile) {
  // Held to the end of the run: a Séneca-to-Horalia run on the same folder
  // must not rebuild the tables while this one reads them.
  const app::WorkingFolderLock lock(state.WorkingFolder(), app::WorkingFolderLock::Use::kReadTables);

  // CURSOACAD is the mark that a Séneca-to-Horalia run filled the working
  // folder; without it there is nothing to translate Horalia's codes with.
  std::error_code ec;
  if (!std::filesystem::exists(tables::TableFile(state.WorkingFolder(), "CURSOACAD.DBF"), ec)) {
    throw UserError(kFaltaCursoAcad);
  }
  CourseDates dates = ReadCourseDates(state.WorkingFolder());

  const Hourglass hourglass(state.Ui());
  const exchange::XmlNode bloque = LoadTemplate(state, templateFile);
  exchange::XmlDocument& doc = *state.DocXML;

  const exchange::XmlNode regulares = exchange::AppendGroup(doc, bloque, "HORARIOS_REGULARES");
  exchange::SetRegistros(regulares, 1);

  ExportSummary summary;
  RunComponents components(state.Tables);
  components.OpenAll();
  ActivityWriter activities(doc, state.Tables, std::move(dates), summary);
  WriteTeachers(state, regulares, activities, summary);
  exchange::SetRegistros(regulares, summary.Teachers);
  components.CloseAll();

  summary.Output = OutputPathFor(state.ArchivoXML);
  doc.Save(summary.Output);
  state.CodigoResultado = 1;
  return summary;
}

}  // namespace exporting
