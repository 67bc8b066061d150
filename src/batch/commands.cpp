#include "batch/commands.h"

#include <filesystem>
#include <ostream>
#include <string>

#include "app/program_state.h"
#include "batch/batch_front_end.h"
#include "batch/table_summary.h"
#include "export/horalia_to_seneca.h"
#include "import/seneca_to_horalia.h"
#include "tables/working_folder.h"
#include "text/file_io.h"

namespace batch {
namespace {

namespace fs = std::filesystem;

fs::path WorkingFolderOf(const Options& options) {
  return options.htemp ? *options.htemp : tables::ResolveWindowsPath(tables::kWorkingFolder);
}

// The chosen document must be a file: a missing path or a folder is reported
// before anything is read or touched, as the file dialog's check does.
bool ReportMissingFile(const Options& options, Console& console) {
  std::error_code ec;
  if (fs::is_regular_file(options.archivo, ec)) return false;
  console.err << "No existe archivo\n  " << options.archivo.string() << "\n";
  return true;
}

// ArchivoXML holds a full path in UTF-8, as the file dialog would give it.
std::string FullPathUtf8(const fs::path& file) { return files::PathText(fs::absolute(file).lexically_normal()); }

}  // namespace

int Exportar(const Options& options, Console& console) {
  if (ReportMissingFile(options, console)) return kExitError;
  // The file of levels is read in full first, so that a mistake in it stops
  // the run before any table is deleted.
  std::vector<CourseLevel> levels;
  if (options.niveles) levels = ReadCourseLevels(*options.niveles);

  const fs::path folder = WorkingFolderOf(options);
  BatchFrontEnd frontEnd(console, std::move(levels), options.forzarSalida);
  ProgramState state(folder, frontEnd);
  state.ArchivoXML = FullPathUtf8(options.archivo);
  try {
    import::RunSenecaToHoralia(state);
  } catch (const CoursesLeftIncomplete& stopped) {
    console.err << stopped.what() << "\n";
    return kExitIncomplete;
  }

  console.out << "Tablas de trabajo escritas en " << files::PathText(folder) << ":\n";
  PrintWorkingTableCounts(folder, console.out);
  if (frontEnd.ForcedExit()) {
    console.out << "Salida forzada: algún curso quedó sin NIVEL o sin CURSO; "
                   "sus unidades llevan el nivel NIV. Los datos recogidos son incoherentes.\n";
  }
  console.out << "Proceso finalizado\n";
  return kExitOk;
}

int Importar(const Options& options, Console& console) {
  if (ReportMissingFile(options, console)) return kExitError;

  BatchFrontEnd frontEnd(console, {}, false);
  ProgramState state(WorkingFolderOf(options), frontEnd);
  state.ArchivoXML = FullPathUtf8(options.archivo);
  const exporting::ExportSummary summary = exporting::RunHoraliaToSeneca(state);

  console.out << "Profesores: " << summary.Teachers << "\n"
              << "Actividades escritas: " << summary.Activities << "\n"
              << "Sesiones sin tramo hallado en DIASHORAST: " << summary.LessonsWithoutSlot << "\n"
              << "Sesiones sin dependencia hallada en AULAT (se escribe el código de Horalia): "
              << summary.LessonsWithoutRoom << "\n"
              << "Sesiones sin unidad hallada en GRUPOST (guardias y otras tareas incluidas): "
              << summary.LessonsWithoutUnit << "\n"
              << "Sesiones sin materia hallada en ASIGNOMT (guardias y otras tareas incluidas): "
              << summary.LessonsWithoutSubject << "\n"
              << "Documento para Séneca: " << files::PathText(summary.Output) << "\n"
              << "Proceso finalizado\n";
  return kExitOk;
}

}  // namespace batch
