#include "app/tmform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <string>

#include "app/form_font.h"
#include "app/help.h"
#include "app/messages.h"
#include "app/settings_file.h"
#include "courses/control_cursos.h"
#include "export/horalia_to_seneca.h"
#include "import/seneca_to_horalia.h"
#include "tables/working_folder.h"

namespace app {
namespace {

std::filesystem::path LocalPath(const QString& path) {
  return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString FromLocalPath(const std::filesystem::path& path) {
  return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

// The arrow instead of the run's hourglass while a window waits for the user.
class ArrowCursor {
 public:
  ArrowCursor() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
  ~ArrowCursor() { QApplication::restoreOverrideCursor(); }
  ArrowCursor(const ArrowCursor&) = delete;
  ArrowCursor& operator=(const ArrowCursor&) = delete;
};

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QRect place) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QLatin1String(name));
  label->setGeometry(place);
  label->setAttribute(Qt::WA_TranslucentBackground);
  return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, QRect place) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QLatin1String(name));
  button->setGeometry(place);
  return button;
}

}  // namespace

TMFormSetup TMFormSetup::ForThisProgram(Parameters params) {
  TMFormSetup setup;
  setup.Params = std::move(params);
  setup.ProgramFolder = QCoreApplication::applicationDirPath();
  setup.WorkingFolder = tables::ResolveWindowsPath(tables::kWorkingFolder);
  setup.SenecaFolder = FromLocalPath(tables::ResolveWindowsPath(tables::kSenecaFolder));
  return setup;
}

TMForm::TMForm(TMFormSetup setup, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      setup_(std::move(setup)),
      state_(setup_.WorkingFolder, *this) {
  setObjectName(QStringLiteral("MForm"));
  BuildControls();
  FormCreate();
}

TMForm::~TMForm() {
  while (hourglass_ > 0) SetHourglass(false);
}

void TMForm::BuildControls() {
  setWindowTitle(QStringLiteral("Exportar e importar datos entre Horalia y Séneca"));
  const QFont font = FormFont();
  setFont(font);
  setFixedSize(632, 266);

  QFont heading(QStringLiteral("Arial"));
  heading.setPixelSize(16);
  heading.setBold(true);
  const QIcon ok = style()->standardIcon(QStyle::SP_DialogOkButton);

  const QColor warm[] = {QColor(0xF9D37D), QColor(0xFFFFFF), QColor(0xFFEEDD)};
  Draw3D2 = new TDraw3D(this, warm[0], warm[1], warm[2]);
  Draw3D2->setObjectName(QStringLiteral("Draw3D2"));
  Draw3D2->setGeometry(1, 0, 315, 169);
  Label3 = MakeLabel(Draw3D2, "Label3", QStringLiteral("Transformar datos desde Séneca hacia Horalia "),
                     QRect(24, 24, 265, 57));
  BExportar = MakeButton(Draw3D2, "BExportar", QStringLiteral("Aceptar"), QRect(96, 120, 89, 25));
  BExportar->setIcon(ok);

  Draw3D3 = new TDraw3D(this, warm[0], warm[1], warm[2]);
  Draw3D3->setObjectName(QStringLiteral("Draw3D3"));
  Draw3D3->setGeometry(316, 0, 317, 169);
  Label4 = MakeLabel(Draw3D3, "Label4", QStringLiteral("Transformar datos desde Horalia hacia Séneca"),
                     QRect(8, 24, 305, 57));
  BImportar = MakeButton(Draw3D3, "BImportar", QStringLiteral("Aceptar"), QRect(96, 120, 89, 25));
  BImportar->setIcon(ok);

  for (QLabel* label : {Label3, Label4}) {
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(heading);
  }

  Draw3D1 = new TDraw3D(this, QColor(0xC2CDFE), QColor(0xCFF2FE), QColor(0xCCD8E6));
  Draw3D1->setObjectName(QStringLiteral("Draw3D1"));
  Draw3D1->setGeometry(0, 168, 633, 97);
  Label1 = MakeLabel(Draw3D1, "Label1", QStringLiteral("TransHoraliaSéneca para HZ40 V-1.0"), QRect(8, 72, 227, 13));
  QFont version = font;
  version.setBold(true);
  Label1->setFont(version);
  Label1->setStyleSheet(QStringLiteral("color: #FF0000;"));
  BClose = MakeButton(Draw3D1, "BClose", QStringLiteral("&Salir"), QRect(256, 32, 89, 25));
  BClose->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
  Button1 = MakeButton(Draw3D1, "Button1", QStringLiteral("F1 AYUDA"), QRect(264, 67, 75, 19));

  connect(BExportar, &QPushButton::clicked, this, [this] { BExportarClick(); });
  connect(BImportar, &QPushButton::clicked, this, [this] { BImportarClick(); });
  connect(BClose, &QPushButton::clicked, this, [this] { close(); });
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(f1, &QShortcut::activated, this, [this] { ShowHelp(this, setup_.ProgramFolder, 1); });

  OpenDialogXML = new QFileDialog(this, QStringLiteral("Archivo XML"), setup_.SenecaFolder,
                                  QStringLiteral("*.xml"));
  OpenDialogXML->setObjectName(QStringLiteral("OpenDialogXML"));
  OpenDialogXML->setOption(QFileDialog::DontUseNativeDialog);
  OpenDialogXML->setAcceptMode(QFileDialog::AcceptOpen);
  // The runs test for the file themselves ("No existe archivo").
  OpenDialogXML->setFileMode(QFileDialog::AnyFile);
  OpenDialogXML->setDefaultSuffix(QStringLiteral("xml"));
}

QString TMForm::SettingsFilePath() const { return QDir(setup_.ProgramFolder).filePath(kSettingsFile); }

void TMForm::FormCreate() {
  state_.CodigoResultado = 0;
  if (!IsHostedLaunch(setup_.Params)) return;
  RunReportingErrors(this, [this] {
    const std::uint32_t host = ParseHostHandle(setup_.Params[1]);
    embedding_.Embed(*this, host);
    // Where the platform cannot embed, the launch is still Horalia's: it
    // waits for the outcome code all the same.
    state_.NumParametros = 2;
  });
}

void TMForm::setVisible(bool visible) {
  if (!visible || shownOnce_) {
    QWidget::setVisible(visible);
    return;
  }
  shownOnce_ = true;
  if (state_.NumParametros != 2 && parentWidget() == nullptr) {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
      move(screen->availableGeometry().center() - rect().center());
  }
  FormShow();
  // A run that found no file, completed a hosted launch or was forced out
  // has closed the window already: the program ends without showing it.
  if (!closed_) QWidget::setVisible(true);
}

void TMForm::FormShow() {
  if (!IsHostedLaunch(setup_.Params)) return;  // counted afresh: NumParametros is not consulted
  const std::string& word = setup_.Params[0];
  if (CommandWordIs(word, "importar")) BImportarClick();
  if (CommandWordIs(word, "exportar")) BExportarClick();
}

void TMForm::closeEvent(QCloseEvent* event) {
  closed_ = true;
  RunReportingErrors(this, [this] { FormClose(); });
  event->accept();
  emit FormClosed();
  EndProgramWhenIdle();
}

void TMForm::FormClose() {
  if (state_.NumParametros != 2) return;
  WriteIniValue(LocalPath(SettingsFilePath()), "Transformadores", "Transformado",
                std::to_string(state_.CodigoResultado));
}

void TMForm::EndProgramWhenIdle() {
  if (handlersRunning_ > 0) {
    endPending_ = true;
    return;
  }
  emit ProgramEnding();
}

template <typename Body>
void TMForm::RunHandler(Body&& body) {
  ++handlersRunning_;
  RunReportingErrors(this, std::forward<Body>(body));
  if (--handlersRunning_ == 0 && endPending_) {
    endPending_ = false;
    emit ProgramEnding();
  }
}

bool TMForm::ChooseExistingFile() {
  if (OpenDialogXML->exec() == QDialog::Accepted && !OpenDialogXML->selectedFiles().isEmpty())
    state_.ArchivoXML = OpenDialogXML->selectedFiles().constFirst().toStdString();
  std::error_code ec;
  if (!state_.ArchivoXML.empty() && std::filesystem::is_regular_file(LocalPath(QString::fromStdString(state_.ArchivoXML)), ec))
    return true;
  ShowMessage(this, QStringLiteral("No existe archivo"));
  return false;
}

void TMForm::EndOfRun() {
  if (forcedExit_)
    ShowMessageClosingItself(this, QStringLiteral("Proceso finalizado"));
  else
    ShowMessage(this, QStringLiteral("Proceso finalizado"));
  if (state_.NumParametros == 2) close();
}

void TMForm::BExportarClick() {
  RunHandler([this] {
    forcedExit_ = false;
    if (!ChooseExistingFile()) {
      if (state_.NumParametros == 2) {
        state_.CodigoResultado = -1;
        close();
      }
      return;
    }
    import::RunSenecaToHoralia(state_);
    EndOfRun();
  });
}

void TMForm::BImportarClick() {
  RunHandler([this] {
    forcedExit_ = false;
    if (!ChooseExistingFile()) {
      if (state_.NumParametros == 2) {
        state_.CodigoResultado = 0;
        close();
      }
      return;
    }
    exporting::RunHoraliaToSeneca(state_, setup_.TemplateFile);
    EndOfRun();
  });
}

void TMForm::Button1Click() { ShowHelp(this, setup_.ProgramFolder, 0); }

CourseDialogResult TMForm::ShowCourseDialog(ProgramState& state) {
  courses::TControlCursos dialog(state, setup_.ProgramFolder, this);
  dialog.FormShow();  // opens CURSOST: a failure ends the run
  {
    ArrowCursor arrow;
    dialog.exec();
  }
  dialog.CloseTable();  // after the close box: what was posted is kept
  return {dialog.FaltaDato, dialog.MarcaSalida};
}

void TMForm::CloseMainWindow() {
  forcedExit_ = true;
  close();
}

void TMForm::SetHourglass(bool busy) {
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++hourglass_;
  } else if (hourglass_ > 0) {
    QApplication::restoreOverrideCursor();
    --hourglass_;
  }
}

}  // namespace app
