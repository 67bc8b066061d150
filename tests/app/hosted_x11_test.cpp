// The hosted launch on a real X server (run under xvfb-run): a foreign
// window stands in for Horalia's, the built transorvano is started with
// "exportar" and that window's id, and the run is driven with xdotool as a
// user would drive it. The program is copied into a folder of the test's own,
// so that its Horalia.ini lands there.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kPatience = 120000;  // ms: a busy two-core machine is slow, never this slow

// Runs a tool to its end and returns its standard output.
QString Run(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForFinished(kPatience)) return {};
  return QString::fromUtf8(p.readAllStandardOutput());
}

// The ids of the visible windows whose name matches `pattern`.
QStringList FindWindows(const QString& pattern) {
  return Run(QStringLiteral("xdotool"), {"search", "--onlyvisible", "--name", pattern})
      .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Waits for a window of the program; gives up at once if the program has
// ended, since then no window of its can come.
QString WaitForWindow(const QProcess& program, const QString& pattern, int patience = kPatience) {
  QString id;
  (void)QTest::qWaitFor([&] {
    const QStringList found = FindWindows(pattern);
    if (!found.isEmpty()) id = found.constLast();
    return !id.isEmpty() || program.state() == QProcess::NotRunning;
  }, patience);
  return id;
}

// The names of the visible windows, for a failure's message: which window
// the program was showing instead of the one awaited.
QByteArray VisibleWindows() {
  QStringList names;
  for (const QString& id : FindWindows(QStringLiteral(".")))
    names << Run(QStringLiteral("xdotool"), {"getwindowname", id}).trimmed();
  return ("visible windows: " + names.join(QStringLiteral(" | "))).toUtf8();
}

void Xdotool(const QStringList& args) { Run(QStringLiteral("xdotool"), args); }

// Keys go through XTEST to the focused window: Qt ignores keys sent to a
// window with XSendEvent.
void TypeInto(const QString& window, const QStringList& keysAndText) {
  Xdotool({"windowfocus", "--sync", window});
  for (const QString& item : keysAndText) {
    if (item.startsWith(QLatin1Char('<')))
      Xdotool({"key", item.mid(1, item.size() - 2)});
    else
      Xdotool({"type", "--delay", "20", item});
  }
}

// "child-id geometry" lines of xwininfo -tree for the direct children of a window.
QString Tree(const QString& window) { return Run(QStringLiteral("xwininfo"), {"-tree", "-id", window}); }

const QByteArray kHoraliaIni = "[General]\r\nRuta=C:\\HZ40\r\n\r\n[Transformadores]\r\nTransformado=7\r\n";

}  // namespace

class HostedLaunchTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void exportarRunsInsideTheHostAndWritesOne();
  void programEndsWhenTheHostWindowIsDestroyed();
  void aHandleThatIsNoWindowLeavesAPlainWindow();

 private:
  QString StartHost();
  void StartProgram(const QString& word, const QString& host);
  QString OurWindowIn(const QString& host);

  std::unique_ptr<QTemporaryDir> dir_;
  QProcess host_;
  QProcess program_;
};

void HostedLaunchTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
  QDir root(dir_->path());
  QVERIFY(root.mkpath(QStringLiteral("programa")));
  QVERIFY(root.mkpath(QStringLiteral("wine/drive_c/HTEMP/seneca")));
  QVERIFY(QFile::copy(QStringLiteral(TRANSORVANO_EXE), dir_->filePath(QStringLiteral("programa/transorvano"))));
  QVERIFY(QFile::copy(QStringLiteral(TEST_DATA_DIR "/hardening/small_school.xml"),
                      dir_->filePath(QStringLiteral("wine/drive_c/HTEMP/seneca/small_school.xml"))));
  QFile ini(dir_->filePath(QStringLiteral("programa/Horalia.ini")));
  QVERIFY(ini.open(QIODevice::WriteOnly));
  ini.write(kHoraliaIni);
}

void HostedLaunchTest::cleanup() {
  for (QProcess* p : {&program_, &host_}) {
    if (p->state() != QProcess::NotRunning) {
      p->kill();
      p->waitForFinished(kPatience);
    }
  }
}

QString HostedLaunchTest::StartHost() {
  host_.start(QStringLiteral(FAKE_HORALIA), {});
  if (!host_.waitForReadyRead(kPatience)) return {};
  return QString::fromLatin1(host_.readLine()).trimmed();
}

void HostedLaunchTest::StartProgram(const QString& word, const QString& host) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("WINEPREFIX"), dir_->filePath(QStringLiteral("wine")));
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  program_.setProcessEnvironment(env);
  program_.setWorkingDirectory(dir_->path());
  program_.setProcessChannelMode(QProcess::ForwardedChannels);
  program_.start(dir_->filePath(QStringLiteral("programa/transorvano")), {word, host});
  QVERIFY(program_.waitForStarted(kPatience));
}

// The id of the window that xwininfo lists as the host's child, with our caption.
QString HostedLaunchTest::OurWindowIn(const QString& host) {
  static const QRegularExpression child(
      QStringLiteral(R"((0x[0-9a-f]+) "Exportar e importar datos entre Horalia y Séneca")"));
  QString id;
  (void)QTest::qWaitFor([&] {
    const auto match = child.match(Tree(QStringLiteral("0x") + host));
    if (match.hasMatch()) id = match.captured(1);
    return !id.isEmpty();
  }, kPatience);
  return id;
}

void HostedLaunchTest::exportarRunsInsideTheHostAndWritesOne() {
  const QString host = StartHost();
  QVERIFY(!host.isEmpty());
  StartProgram(QStringLiteral("exportar"), host);

  // The run starts at once: its file dialog.
  const QString fileDialog = WaitForWindow(program_, QStringLiteral("^Archivo XML"));
  QVERIFY2(!fileDialog.isEmpty(), "the file dialog never showed; " + VisibleWindows());

  // Meanwhile the main window sits in the host window, without a frame.
  const QString ours = OurWindowIn(host);
  QVERIFY2(!ours.isEmpty(), qPrintable(Tree(QStringLiteral("0x") + host)));
  // _MOTIF_WM_HINTS is flags, functions, decorations...: decorations given, and none.
  const QString hints = Run(QStringLiteral("xprop"), {"-id", ours, "_MOTIF_WM_HINTS"});
  static const QRegularExpression motif(QStringLiteral(R"(= (0x[0-9a-f]+), 0x[0-9a-f]+, (0x[0-9a-f]+))"));
  const auto fields = motif.match(hints);
  QVERIFY2(fields.hasMatch(), qPrintable(hints));
  QVERIFY2(fields.captured(1).toUInt(nullptr, 16) & 0x2, qPrintable(hints));
  QVERIFY2(fields.captured(2).toUInt(nullptr, 16) == 0, qPrintable(hints));

  // It keeps to the middle of the host when Horalia's window is resized.
  Xdotool({"windowsize", QStringLiteral("0x") + host, "1000", "700"});
  QVERIFY(QTest::qWaitFor([&] {
    return Run(QStringLiteral("xwininfo"), {"-id", ours}).contains(QStringLiteral("Relative upper-left X:  184"));
  }, kPatience));

  TypeInto(fileDialog, {dir_->filePath(QStringLiteral("wine/drive_c/HTEMP/seneca/small_school.xml")), "<Return>"});
  // On a busy machine the file name's completion list may still be open and
  // take that Return for itself: the dialog then waits for another.
  QString courses;
  for (int attempt = 0; attempt < 4 && courses.isEmpty(); ++attempt) {
    courses = WaitForWindow(program_, QStringLiteral("^Asignación de Niveles y Cursos"), kPatience / 4);
    if (courses.isEmpty() && !FindWindows(QStringLiteral("^Archivo XML")).isEmpty()) TypeInto(fileDialog, {"<Return>"});
  }
  QVERIFY2(!courses.isEmpty(), "the assignment dialog never showed; " + VisibleWindows());

  // Both courses get a level and a course number; Enter moves along the grid.
  TypeInto(courses, {"<Right>", "<Right>", "ESO", "<Return>", "1", "<Return>",
                     "<Right>", "<Right>", "ESO", "<Return>", "2", "<Return>"});
  Xdotool({"mousemove", "--window", courses, "565", "391", "click", "1"});  // Aceptar

  const QString done = WaitForWindow(program_, QStringLiteral("^TransOrvanoSeneca$"));
  QVERIFY2(!done.isEmpty(), "no «Proceso finalizado»; " + VisibleWindows());
  TypeInto(done, {"<Return>"});

  QVERIFY2(program_.waitForFinished(kPatience), "the program did not end; " + VisibleWindows());
  QCOMPARE(program_.exitCode(), 0);
  QFile ini(dir_->filePath(QStringLiteral("programa/Horalia.ini")));
  QVERIFY(ini.open(QIODevice::ReadOnly));
  QByteArray expected = kHoraliaIni;
  expected.replace("Transformado=7", "Transformado=1");
  QCOMPARE(ini.readAll(), expected);
}

void HostedLaunchTest::programEndsWhenTheHostWindowIsDestroyed() {
  const QString host = StartHost();
  QVERIFY(!host.isEmpty());
  StartProgram(QStringLiteral("export"), host);  // no run: the window just waits
  QVERIFY(!OurWindowIn(host).isEmpty());
  host_.kill();  // its window goes with its connection
  QVERIFY(program_.waitForFinished(kPatience));
}

void HostedLaunchTest::aHandleThatIsNoWindowLeavesAPlainWindow() {
  StartProgram(QStringLiteral("export"), QStringLiteral("1"));
  const QString error = WaitForWindow(program_, QStringLiteral("^TransOrvanoSeneca$"));
  QVERIFY2(!error.isEmpty(), "no message about the missing window; " + VisibleWindows() +
                                (program_.state() == QProcess::NotRunning ? "; the program had ended" : ""));
  TypeInto(error, {"<Return>"});
  // The main window then stands on its own, straight on the screen's root.
  QVERIFY(QTest::qWaitFor([&] {
    return Run(QStringLiteral("xwininfo"), {"-root", "-children"})
        .contains(QStringLiteral("\"Exportar e importar datos entre Horalia y Séneca\""));
  }, kPatience));
  program_.terminate();
  QVERIFY(program_.waitForFinished(kPatience));
  QFile ini(dir_->filePath(QStringLiteral("programa/Horalia.ini")));
  QVERIFY(ini.open(QIODevice::ReadOnly));
  QCOMPARE(ini.readAll(), kHoraliaIni);  // not a hosted launch: nothing recorded
}

QTEST_GUILESS_MAIN(HostedLaunchTest)
#include "hosted_x11_test.moc"
