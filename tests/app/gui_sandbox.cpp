#include "gui_sandbox.h"

#include <QDir>
#include <QFile>

#include "tables/table.h"
#include "text/cp1252.h"

namespace testing_gui {
namespace {

const QString kData = QStringLiteral(TEST_DATA_DIR "/hardening");

void Copy(const QString& from, const QString& to) {
  QFile::remove(to);
  if (!QFile::copy(from, to)) qFatal("cannot copy %s to %s", qPrintable(from), qPrintable(to));
}

}  // namespace

Sandbox::Sandbox() {
  if (!dir_.isValid()) qFatal("no temporary folder");
  QDir(dir_.path()).mkpath(QStringLiteral("programa"));
  QDir(dir_.path()).mkpath(QStringLiteral("htemp/seneca"));
}

std::filesystem::path Sandbox::WorkingFolder() const {
  return std::filesystem::path(QFile::encodeName(dir_.filePath(QStringLiteral("htemp"))).toStdString());
}

app::TMFormSetup Sandbox::Setup(app::Parameters params) const {
  app::TMFormSetup setup;
  setup.Params = std::move(params);
  setup.ProgramFolder = ProgramFolder();
  setup.WorkingFolder = WorkingFolder();
  setup.SenecaFolder = SenecaFolder();
  setup.TemplateFile = QFile::encodeName(kData + QStringLiteral("/base.xml")).toStdString();
  return setup;
}

bool Sandbox::IniExists() const { return QFile::exists(IniPath()); }

QByteArray Sandbox::ReadIni() const {
  QFile file(IniPath());
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

void Sandbox::WriteIni(const QByteArray& content) const {
  QFile file(IniPath());
  if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) qFatal("cannot write Horalia.ini");
}

QString Sandbox::SchoolDocument() const {
  const QString path = SenecaFolder() + QStringLiteral("/small_school.xml");
  Copy(kData + QStringLiteral("/small_school.xml"), path);
  return path;
}

void Sandbox::PutSoluc() const {
  Copy(kData + QStringLiteral("/SOLUC.DBF"), dir_.filePath(QStringLiteral("htemp/SOLUC.DBF")));
}

QString Sandbox::WriteFile(const QString& name, const QByteArray& content) const {
  const QString path = SenecaFolder() + QLatin1Char('/') + name;
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) qFatal("cannot write %s", qPrintable(path));
  return path;
}

QStringList ColumnOf(const std::filesystem::path& folder, const char* table, const char* field) {
  tables::TTable t;
  t.SetDatabaseName(folder.string());
  t.SetTableName(table);
  t.SetActive(true);
  QStringList values;
  for (t.First(); !t.Eof(); t.Next())
    values << QString::fromStdString(text::Cp1252ToUtf8(t.FieldByName(field).AsString()));
  t.SetActive(false);
  return values;
}

}  // namespace testing_gui
