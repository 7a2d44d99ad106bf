#include "FrameFixture.h"

#include "app/IniFile.h"
#include "app/MDIFrame.h"
#include "documents/MDICommand.h"
#include "documents/MDIMaster.h"
#include "documents/MDIOutput.h"
#include "documents/TextEditor.h"
#include "engine/EngineLauncher.h"
#include "engine/LaunchScript.h"
#include "engine/MasterProgress.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QTimer>
#include <QtTest>

#include <unistd.h>

using Answer = UserDialogs::Answer;

namespace {

const QString RunningStatus =
    QStringLiteral("Executing Quelm ... (close the DOS Window after Quelm has finished calculating)");
constexpr int EndTimeout = 30000;

// Test engines: each appends "start ARG" and "end ARG" to a log and writes
// its argument and working folder to standard output. Extra shell code runs
// in between.
QByteArray engineBody(const QString &log, const QByteArray &between = QByteArray())
{
    const QByteArray quotedLog = QFile::encodeName(LaunchScript::posixQuoted(log));
    return "printf 'start %s\\n' \"$1\" >>" + quotedLog + "\n" + between +
           "\nprintf '%s\\n' \"$1\"\npwd\nprintf 'end %s\\n' \"$1\" >>" + quotedLog + "\n";
}

// Holds until a file named like the command file plus ".go" appears.
const QByteArray WaitForGo = "f=${1#cf=}; while [ ! -e \"$f.go\" ]; do sleep 0.05; done";
// Holds only for command files whose name says so.
const QByteArray WaitWhenGated =
    "case \"$1\" in *gated*) f=${1#cf=}; while [ ! -e \"$f.go\" ]; do sleep 0.05; done;; esac";

QStringList historyOf(const TEditForm *window)
{
    QStringList list;
    for (int i = 0; i < window->fileCombo()->count(); ++i)
        list.append(window->fileCombo()->itemText(i));
    return list;
}

TEditForm *activeWindow(TFrameForm &frame)
{
    QMdiSubWindow *sub = frame.mdiArea()->activeSubWindow();
    return sub ? qobject_cast<TEditForm *>(sub->widget()) : nullptr;
}

void letGo(const QString &commandFile)
{
    QFile gate(commandFile + QStringLiteral(".go"));
    QVERIFY(gate.open(QIODevice::WriteOnly));
}

// A launcher whose script cannot be written, for the one failure a real
// folder cannot be made to show here.
class UnwritableLauncher : public EngineLauncher
{
public:
    bool writeScript(const QString &, const QString &, const QString &, const QString &) override
    {
        return false;
    }
    std::unique_ptr<EngineRun> start(const QString &) override { return nullptr; }
};

} // namespace

// The command-file run and the master-file run through the frame, with real
// processes: small shell scripts as engines, and the demo engine.
class TestRuns : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void startRefusals_data();
    void startRefusals();
    void runShowsTheEngineOutput_data();
    void runShowsTheEngineOutput();
    void lockList_data();
    void lockList();
    void ticksWhileRunningChangeOnlyTheStatus();
    void sameFileTwiceListedTwice();
    void outputOpenedDuringRunIsShownAtEnd();
    void unreadableOutputStillEndsTheRun();
    void demoEngineComputes();
    void demoSettingsFile();

    void masterRefusals_data();
    void masterRefusals();
    void masterRunsLines_data();
    void masterRunsLines();
    void masterShowsEachCommandFile();
    void masterLeavesCommandRunAlone();
    void masterSaveQuestion_data();
    void masterSaveQuestion();

private:
    QString makeEngine(FrameFixture &f, const QByteArray &body, bool executable = true);
    QString openCommand(FrameFixture &f, const QString &name, const QByteArray &text = "1+1\r\n");
    void openMaster(FrameFixture &f, const QByteArray &text,
                    const QString &name = QStringLiteral("jobs.mst"));
    QStringList logOf(FrameFixture &f);
    void waitForEnd(TFrameForm &frame);
};

void TestRuns::initTestCase()
{
    if (LaunchScript::platformShell() != LaunchScript::Shell::Posix)
        QSKIP("the engines here are shell scripts for /bin/sh");
}

QString TestRuns::makeEngine(FrameFixture &f, const QByteArray &body, bool executable)
{
    const QString path = f.writeFile(QStringLiteral("engines/engine"), "#!/bin/sh\n" + body);
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (executable)
        permissions |= QFile::ExeOwner;
    QFile::setPermissions(path, permissions);
    f.frame().EnginePath = path;
    return path;
}

QString TestRuns::openCommand(FrameFixture &f, const QString &name, const QByteArray &text)
{
    const QString path = f.writeFile(name, text);
    f.frame().OpenCommand(path);
    return path;
}

void TestRuns::openMaster(FrameFixture &f, const QByteArray &text, const QString &name)
{
    f.dialogs.openAnswers.enqueue(f.writeFile(name, text));
    f.frame().OpenMasterClick();
}

QStringList TestRuns::logOf(FrameFixture &f)
{
    const QString text = QString::fromUtf8(f.readFile(f.home() + QStringLiteral("/engine.log")));
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void TestRuns::waitForEnd(TFrameForm &frame)
{
    QTRY_VERIFY_WITH_TIMEOUT(!frame.EngineRunning, EndTimeout);
}

void TestRuns::startRefusals_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("saved");

    const QString cannot = QStringLiteral("Cannot execute Quelm.");
    const QString error = QStringLiteral("Error while trying to execute Quelm");
    QTest::newRow("no engine") << "no engine"
                               << "Execute"
                               << "Cannot find executable Quelm File. Please change the Preferences."
                               << "Ready." << false;
    QTest::newRow("untitled") << "untitled"
                              << "Execute"
                              << "The Command File Name is missing."
                              << "Ready." << false;
    QTest::newRow("command file cannot be written") << "unwritable"
                                                    << "Ostrel"
                                                    << "Cannot create file %1."
                                                    << "Saving Command File" << false;
    QTest::newRow("script cannot be written") << "no script"
                                              << "Execute" << cannot << error << true;
    QTest::newRow("engine not executable") << "not executable"
                                           << "Execute" << cannot << error << true;
    QTest::newRow("engine not a program") << "bad interpreter"
                                          << "Execute" << cannot << error << true;
}

// Every refusal and failure of a start, in the order the checks come; an
// engine that the shell cannot run is found at the end of the run and
// reported alike.
void TestRuns::startRefusals()
{
    QFETCH(QString, kind);
    QFETCH(QString, title);
    QFETCH(QString, message);
    QFETCH(QString, status);
    QFETCH(bool, saved);

    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeEngine(f, engineBody(f.home() + QStringLiteral("/engine.log")),
               kind != QLatin1String("not executable"));
    QString command = openCommand(f, QStringLiteral("work/run.cf"));
    if (kind == QLatin1String("no engine")) {
        frame.EnginePath = f.home() + QStringLiteral("/engines/missing");
    } else if (kind == QLatin1String("untitled")) {
        frame.NewCommandClick();
        command.clear();
    } else if (kind == QLatin1String("unwritable")) {
        QDir(f.home() + QStringLiteral("/work")).removeRecursively();
        message = message.arg(command);
    } else if (kind == QLatin1String("no script")) {
        frame.setEngineLauncher(std::make_unique<UnwritableLauncher>());
    } else if (kind == QLatin1String("bad interpreter")) {
        f.writeFile(QStringLiteral("engines/engine"), "#!/nonexistent/interpreter\n");
    }
    FrameFixture::type(frame.CommandWindow, QStringLiteral("2+2"));
    frame.OutputWindow->bringToFront();
    const QString outputBefore = frame.OutputFileName;

    frame.ExecQuelm();
    waitForEnd(frame);

    QCOMPARE(f.dialogs.errors.size(), 1);
    QCOMPARE(f.dialogs.errors.first().title, title);
    QCOMPARE(f.dialogs.errors.first().text, message);
    QCOMPARE(frame.statusText(), status);
    QVERIFY(!frame.timer()->isActive());
    QCOMPARE(activeWindow(frame), kind == QLatin1String("no engine")
                                      ? static_cast<TEditForm *>(frame.OutputWindow)
                                      : frame.CommandWindow);
    QCOMPARE(frame.CommandWindow->isModified(), !saved);
    if (!command.isEmpty() && kind != QLatin1String("unwritable"))
        QCOMPARE(f.readFile(command).contains("2+2"), saved);
    QCOMPARE(frame.OutputFileName, saved ? f.home() + QStringLiteral("/work/run.out") : outputBefore);
    QVERIFY(logOf(f).isEmpty());
    QVERIFY(historyOf(frame.OutputWindow).isEmpty());
    QVERIFY(frame.findChild<QAction *>(QStringLiteral("RunQuelm1"))->isEnabled());
}

void TestRuns::runShowsTheEngineOutput_data()
{
    QTest::addColumn<QString>("commandName");
    QTest::addColumn<QString>("outputName");

    QTest::newRow("extension replaced") << "data/run.cf"
                                        << "data/run.out";
    QTest::newRow("no extension") << "data/run"
                                  << "data/run.out";
    QTest::newRow("dotted folder") << "proj.2/run"
                                   << "proj.2/run.out";
    QTest::newRow("last dot only") << "data/run.old.cf"
                                   << "data/run.old.out";
    QTest::newRow("blank") << "My Data/run.cf"
                           << "My Data/run.out";
    QTest::newRow("shell characters") << "it's $HOME; & `touch canary` \"q\" \xc3\xa9/r|n.cf"
                                      << "it's $HOME; & `touch canary` \"q\" \xc3\xa9/r|n.out";
}

// A whole run: the script's exact bytes, the engine's argument and folder,
// and the end state once the timer has seen the process end.
void TestRuns::runShowsTheEngineOutput()
{
    QFETCH(QString, commandName);
    QFETCH(QString, outputName);

    FrameFixture f;
    TFrameForm &frame = f.frame();
    const QString engine = makeEngine(f, engineBody(f.home() + QStringLiteral("/engine.log")));
    const QString command = openCommand(f, commandName);
    const QString output = f.home() + QLatin1Char('/') + outputName;
    const QString folder = QFileInfo(command).absolutePath();

    frame.ExecQuelm();
    QVERIFY(frame.EngineRunning);
    const QByteArray script = f.readFile(f.home() + QStringLiteral("/QuelmExec.sh"));
    const QByteArray expected = "exec '" + QFile::encodeName(engine) + "' cf='" +
                                QFile::encodeName(command).replace("'", "'\\''") + "' >'" +
                                QFile::encodeName(output).replace("'", "'\\''") + "' </dev/null\n";
    QCOMPARE(script, expected);
    QCOMPARE(QDir::currentPath(), folder);
    waitForEnd(frame);

    QCOMPARE(frame.OutputFileName, output);
    const QByteArray shown = frame.OutputWindow->editor()->bytes();
    QCOMPARE(shown, "cf=" + QFile::encodeName(command) + "\n" + QFile::encodeName(folder) + "\n");
    QCOMPARE(frame.OutputWindow->FileName, output);
    QCOMPARE(frame.OutputWindow->windowTitle(), QStringLiteral("OUTPUT - ") + output);
    QCOMPARE(activeWindow(frame), frame.OutputWindow);
    QCOMPARE(historyOf(frame.OutputWindow), QStringList{output});
    QCOMPARE(frame.OutputWindow->fileCombo()->currentIndex(), 0);
    QCOMPARE(frame.statusText(), QStringLiteral("Ready."));
    QVERIFY(!frame.timer()->isActive());
    QVERIFY(f.dialogs.errors.isEmpty());
    QVERIFY(!QFile::exists(folder + QStringLiteral("/canary")));
    QVERIFY(!QFile::exists(f.home() + QStringLiteral("/canary")));
}

void TestRuns::lockList_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("locked");

    for (const char *name : {"RunQuelmButton", "FileCombo", "Save1", "Saveas1", "SaveButton", "OpenCommand1",
                             "OpenOutput1", "OpenButton", "PrintButton", "Print1"})
        QTest::addRow("command %s", name) << "command" << name << true;
    for (const char *name : {"FileCombo", "Save1", "Saveas1", "SaveButton", "OpenOutput1", "OpenCommand1",
                             "OpenButton", "PrintButton", "Print1"})
        QTest::addRow("output %s", name) << "output" << name << true;
    QTest::newRow("frame RunQuelm1") << "frame"
                                     << "RunQuelm1" << true;
    for (const char *name : {"New1", "OpenAnotherFile1", "OpenMasterFile1", "Cut1", "Printersetup1", "Exit1"})
        QTest::addRow("command %s stays", name) << "command" << name << false;
    QTest::newRow("output editor stays") << "output"
                                         << "Editor" << false;
    QTest::newRow("master run button stays") << "master"
                                             << "RunQuelmButton" << false;
}

// Each control of the lock list is disabled while a run is in progress and
// enabled again at its end; nothing else is.
void TestRuns::lockList()
{
    QFETCH(QString, window);
    QFETCH(QString, name);
    QFETCH(bool, locked);

    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeEngine(f, engineBody(f.home() + QStringLiteral("/engine.log"), WaitForGo));
    openMaster(f, "");
    const QString command = openCommand(f, QStringLiteral("run.cf"));
    QObject *owner = window == QLatin1String("command")  ? static_cast<QObject *>(frame.CommandWindow)
                     : window == QLatin1String("output") ? static_cast<QObject *>(frame.OutputWindow)
                     : window == QLatin1String("master") ? static_cast<QObject *>(frame.MasterWindow)
                                                         : static_cast<QObject *>(&frame);
    QObject *control = owner->findChild<QObject *>(name);
    if (name == QLatin1String("Editor"))
        control = frame.OutputWindow->editor();
    QVERIFY(control);
    const auto enabled = [control] { return control->property("enabled").toBool(); };
    QVERIFY(enabled());

    frame.ExecQuelm();
    QVERIFY(frame.EngineRunning);
    QCOMPARE(enabled(), !locked);
    letGo(command);
    waitForEnd(frame);
    QVERIFY(enabled());
}

// Ticks while the engine runs only set the status text again; the frame
// refuses to close and a second start changes nothing.
void TestRuns::ticksWhileRunningChangeOnlyTheStatus()
{
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeEngine(f, engineBody(f.home() + QStringLiteral("/engine.log"), WaitForGo));
    const QString command = openCommand(f, QStringLiteral("run.cf"));
    const QString earlier = f.writeFile(QStringLiteral("earlier.out"), "earlier\r\n");
    frame.OpenOutput(earlier);
    frame.ExecQuelm();
    QVERIFY(frame.EngineRunning);
    QVERIFY(frame.timer()->isActive());
    QCOMPARE(frame.statusText(), RunningStatus);

    for (int tick = 0; tick < 3; ++tick) {
        frame.setStatusText(QStringLiteral("something else"));
        frame.CheckQuelmActivation();
        QCOMPARE(frame.statusText(), RunningStatus);
        QVERIFY(frame.EngineRunning);
        QVERIFY(frame.timer()->isActive());
        QCOMPARE(frame.OutputWindow->FileName, earlier);
        QCOMPARE(historyOf(frame.OutputWindow), QStringList{earlier});
    }

    QVERIFY(!frame.close());
    QCOMPARE(f.dialogs.errors.size(), 1);
    QCOMPARE(f.dialogs.errors.first().title, QStringLiteral("Close Ostrel"));
    QCOMPARE(f.dialogs.errors.first().text, QStringLiteral("Quelm is still executing"));
    QVERIFY(!QFile::exists(f.home() + QStringLiteral("/ostrel.ini")));

    EngineRun *running = frame.EngineProcess.get();
    frame.ExecQuelm();
    QCOMPARE(frame.EngineProcess.get(), running);
    QVERIFY(running->isRunning());

    letGo(command);
    QTRY_VERIFY_WITH_TIMEOUT(!frame.EngineProcess->isRunning(), EndTimeout);
    frame.CheckQuelmActivation();
    QVERIFY(!frame.EngineRunning);
    QVERIFY(!frame.timer()->isActive());
    QCOMPARE(frame.OutputWindow->FileName, f.home() + QStringLiteral("/run.out"));
    QCOMPARE(f.dialogs.errors.size(), 1);
    QCOMPARE(logOf(f).size(), 2);
    QVERIFY(frame.close());
}

void TestRuns::sameFileTwiceListedTwice()
{
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeEngine(f, engineBody(f.home() + QStringLiteral("/engine.log")));
    openCommand(f, QStringLiteral("run.cf"));
    const QString output = f.home() + QStringLiteral("/run.out");
    for (int run = 0; run < 2; ++run) {
        frame.ExecQuelm();
        waitForEnd(frame);
    }
    QCOMPARE(historyOf(frame.OutputWindow), (QStringList{output, output}));
    QCOMPARE(frame.OutputWindow->fileCombo()->currentIndex(), 0);
    QCOMPARE(logOf(f).size(), 4);
}

// The end of a run loads the output file named at that moment.
void TestRuns::outputOpenedDuringRunIsShownAtEnd()
{
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeEngine(f, engineBody(f.home() + QStringLiteral("/engine.log"), WaitForGo));
    const QString command = openCommand(f, QStringLiteral("run.cf"));
    const QString other = f.writeFile(QStringLiteral("other/other.out"), "other text\r\n");
    frame.ExecQuelm();
    frame.OpenOutput(other);
    QCOMPARE(frame.OutputFileName, other);
    letGo(command);
    waitForEnd(frame);

    QCOMPARE(frame.OutputWindow->FileName, other);
    QCOMPARE(frame.OutputWindow->editor()->bytes(), QByteArray("other text\r\n"));
    QCOMPARE(frame.OutputWindow->windowTitle(), QStringLiteral("OUTPUT - ") + other);
    QCOMPARE(historyOf(frame.OutputWindow), (QStringList{other, other}));
}

// An output file that is gone at the end: the box says so, the run ends all
// the same, and the output window keeps the file it showed.
void TestRuns::unreadableOutputStillEndsTheRun()
{
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeEngine(f, "f=${1#cf=}; rm -f \"${f%.cf}.out\"\n");
    openCommand(f, QStringLiteral("run.cf"));
    const QString earlier = f.writeFile(QStringLiteral("earlier.out"), "earlier\r\n");
    frame.OpenOutput(earlier);
    frame.ExecQuelm();
    waitForEnd(frame);

    QCOMPARE(f.dialogs.errors.size(), 1);
    QCOMPARE(f.dialogs.errors.first().title, QStringLiteral("Ostrel"));
    QCOMPARE(f.dialogs.lastError(),
             QStringLiteral("Cannot open file %1.").arg(f.home() + QStringLiteral("/run.out")));
    QCOMPARE(frame.statusText(), QStringLiteral("Ready."));
    QVERIFY(!frame.timer()->isActive());
    QVERIFY(frame.findChild<QAction *>(QStringLiteral("RunQuelm1"))->isEnabled());
    QVERIFY(frame.OutputWindow->fileCombo()->isEnabled());
    QCOMPARE(frame.OutputWindow->FileName, earlier);
    QCOMPARE(frame.OutputWindow->windowTitle(), QStringLiteral("OUTPUT - ") + earlier);
    QCOMPARE(frame.OutputFileName, earlier);
    QCOMPARE(historyOf(frame.OutputWindow), QStringList{earlier});
    QVERIFY(frame.close());
}

void TestRuns::demoEngineComputes()
{
    if (QStandardPaths::findExecutable(QStringLiteral("bc")).isEmpty())
        QSKIP("GNU bc is not installed");
    FrameFixture f;
    TFrameForm &frame = f.frame();
    frame.EnginePath = QStringLiteral(OSTREL_SOURCE_DIR "/demo/quelm");
    openCommand(f, QStringLiteral("sum.cf"), "x = 6\r\nx * 7\r\nscale = 3\r\n1 / 8\r\n");
    frame.ExecQuelm();
    waitForEnd(frame);
    QCOMPARE(frame.OutputWindow->editor()->bytes(), QByteArray("42\n.125\n"));
}

// The settings file that the run command writes on a first start points the
// program at the demo engine and opens an example.
void TestRuns::demoSettingsFile()
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("ostrel.ini"));
    QCOMPARE(QProcess::execute(QStringLiteral(OSTREL_SOURCE_DIR "/scripts/demo-settings"), {ini}), 0);
    const QString demo = QDir(QStringLiteral(OSTREL_SOURCE_DIR "/demo")).canonicalPath();

    QFile file(ini);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.count("\r\n"), bytes.count('\n'));
    QVERIFY(bytes.startsWith("[Main Window Size]\r\n"));
    const std::optional<IniSettings> settings = readIniFile(bytes);
    QVERIFY(settings);
    QCOMPARE(QFileInfo(settings->enginePath).canonicalFilePath(), demo + QStringLiteral("/quelm"));
    QVERIFY(isExecutableFile(settings->enginePath, QDir::currentPath()));
    QCOMPARE(QFileInfo(settings->helpFilePath).canonicalFilePath(), demo + QStringLiteral("/quelm.hlp"));
    QCOMPARE(QFileInfo(settings->workingDirectory).canonicalFilePath(), demo);
    QCOMPARE(settings->commandFileExtension, QStringLiteral(".cf"));
    QCOMPARE(settings->outputFileExtension, QStringLiteral(".out"));
    QVERIFY(settings->explorerOpen);
    QVERIFY(!settings->commandHistory.isEmpty());
    QVERIFY(QFileInfo::exists(settings->commandHistory.first()));
    QVERIFY(settings->outputHistory.isEmpty());

    FrameFixture f({}, bytes);
    QCOMPARE(f.frame().EnginePath, settings->enginePath);
    QCOMPARE(f.frame().CommandWindow->FileName, settings->commandHistory.first());
}

void TestRuns::masterRefusals_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("masterText");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");

    QTest::newRow("no master window") << "no window" << QByteArray() << QString() << QString();
    QTest::newRow("no engine") << "no engine" << QByteArray("a.cf\r\n") << "Execute"
                               << "Cannot find executable Quelm File. Please change the Preferences.";
    QTest::newRow("untitled") << "untitled" << QByteArray() << "Execute Master"
                              << "The Master File Name is missing.";
    QTest::newRow("cannot be written") << "unwritable" << QByteArray("a.cf\r\n") << "Ostrel"
                                       << "Cannot create file %1.";
    QTest::newRow("cannot be read") << "unreadable" << QByteArray("a.cf\r\n") << "Execute Master"
                                    << "Cannot read master file.";
    QTest::newRow("zero bytes") << "file" << QByteArray() << "Execute Master"
                                << "The master file is empty.";
    QTest::newRow("end mark first") << "file"
                                    << QByteArray("\x1a"
                                                  "a.cf\r\n")
                                    << "Execute Master"
                                    << "The master file is empty.";
    QTest::newRow("only CR LF") << "file" << QByteArray("\r\n") << "Execute Master"
                                << "Cannot find ???";
    QTest::newRow("trailing blank") << "file" << QByteArray("a.cf \r\n") << "Execute Master"
                                    << "Cannot find ???";
}

void TestRuns::masterRefusals()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, masterText);
    QFETCH(QString, title);
    QFETCH(QString, message);

    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeEngine(f, engineBody(f.home() + QStringLiteral("/engine.log")));
    const QString command = openCommand(f, QStringLiteral("a.cf"));
    const QString master = f.home() + QStringLiteral("/lists/jobs.mst");
    if (kind == QLatin1String("untitled")) {
        f.dialogs.openAnswers.enqueue(QString());
        frame.OpenMasterClick();
    } else if (kind != QLatin1String("no window")) {
        openMaster(f, masterText, QStringLiteral("lists/jobs.mst"));
    }
    if (kind == QLatin1String("no engine"))
        frame.EnginePath.clear();
    if (kind == QLatin1String("unwritable")) {
        QDir(f.home() + QStringLiteral("/lists")).removeRecursively();
        message = message.arg(master);
    }
    if (kind == QLatin1String("unreadable")) {
        QFile::setPermissions(master, QFile::WriteOwner);
        if (QFile(master).open(QIODevice::ReadOnly))
            QSKIP("a file without read permission is readable here (running as root)");
    }
    const QString statusBefore = frame.statusText();

    frame.ExecMaster();

    QVERIFY(logOf(f).isEmpty());
    QCOMPARE(frame.CommandWindow->FileName, command);
    if (title.isEmpty()) {
        QVERIFY(f.dialogs.errors.isEmpty());
        QCOMPARE(frame.statusText(), statusBefore);
        return;
    }
    QCOMPARE(f.dialogs.errors.size(), 1);
    QCOMPARE(f.dialogs.errors.first().title, title);
    QCOMPARE(f.dialogs.errors.first().text, message);
    if (kind == QLatin1String("file")) {
        QCOMPARE(frame.statusText(), QStringLiteral("Saving Master File"));
        QCOMPARE(activeWindow(frame), frame.MasterWindow);
    }
}

void TestRuns::masterRunsLines_data()
{
    QTest::addColumn<QString>("masterText");
    QTest::addColumn<QStringList>("ran");
    QTest::addColumn<QString>("message");

    // @ stands for the test's folder.
    const QString a = QStringLiteral("@/d/a.cf");
    const QString b = QStringLiteral("@/d/b.cf");
    const QString odd = QString::fromUtf8("@/it's $x; & `touch canary` \"q\" \xc3\xa9/c d.cf");
    QTest::newRow("two lines") << a + "\r\n" + b + "\r\n" << QStringList{a, b} << QString();
    QTest::newRow("no line end at the end") << a + "\r\n" + b << QStringList{a, b} << QString();
    QTest::newRow("LF only") << a + "\n" + b + "\n" << QStringList{a, b} << QString();
    QTest::newRow("lone CR") << a + "\r" + b << QStringList{a, b} << QString();
    QTest::newRow("extra empty line") << a + "\r\n" + b + "\r\n\r\n"
                                      << QStringList{a, b} << "Cannot find ???";
    QTest::newRow("missing in the middle")
        << a + "\r\n@/d/gone.cf\r\n" + b << QStringList{a} << "Cannot find ???";
    QTest::newRow("bare names from the first folder") << "a.cf\r\nb.cf\r\n" << QStringList{a, b} << QString();
    QTest::newRow("relative to the previous file") << a + "\r\nsub/e.cf\r\n../b.cf\r\n"
                                                   << QStringList{a, "@/d/sub/e.cf", b} << QString();
    QTest::newRow("shell characters and blanks") << odd + "\r\n" << QStringList{odd} << QString();
}

// Each listed command file runs once the one before has ended, in its own
// folder, shown in the command window; the output window is left alone.
void TestRuns::masterRunsLines()
{
    QFETCH(QString, masterText);
    QFETCH(QStringList, ran);
    QFETCH(QString, message);

    FrameFixture f;
    TFrameForm &frame = f.frame();
    const QString home = f.home();
    makeEngine(f, engineBody(home + QStringLiteral("/engine.log"), "sleep 0.2"));
    for (const char *name :
         {"d/a.cf", "d/b.cf", "d/sub/e.cf", "it's $x; & `touch canary` \"q\" \xc3\xa9/c d.cf"})
        f.writeFile(QString::fromUtf8(name), "1\r\n");
    // Bare names are looked up from the command window's file.
    openCommand(f, QStringLiteral("d/first.cf"));
    openMaster(f, masterText.replace(QLatin1Char('@'), home).toUtf8(), QStringLiteral("lists/jobs.mst"));
    QDir::setCurrent(home);
    const QString earlier = f.writeFile(QStringLiteral("earlier.out"), "earlier\r\n");
    frame.OpenOutput(earlier);

    frame.ExecMaster();

    QStringList expectedLog;
    for (QString &path : ran) {
        path.replace(QLatin1Char('@'), home);
        expectedLog << QStringLiteral("start cf=") + path << QStringLiteral("end cf=") + path;
    }
    QCOMPARE(logOf(f), expectedLog);
    const QString last = ran.constLast();
    QCOMPARE(frame.CommandWindow->FileName, last);
    QCOMPARE(frame.CommandWindow->windowTitle(), QStringLiteral("COMMAND - ") + last);
    QCOMPARE(frame.CommandFileName, last);
    QCOMPARE(frame.OutputFileName, QString(last).replace(QStringLiteral(".cf"), QStringLiteral(".out")));
    const QByteArray lastOutput = f.readFile(frame.OutputFileName);
    const QString lastFolder = QFileInfo(last).canonicalPath();
    QCOMPARE(lastOutput, "cf=" + last.toUtf8() + "\n" + lastFolder.toUtf8() + "\n");
    QCOMPARE(QDir::current().canonicalPath(), lastFolder);
    QCOMPARE(frame.OutputWindow->FileName, earlier);
    QCOMPARE(historyOf(frame.OutputWindow), QStringList{earlier});
    QVERIFY(!frame.findChild<MasterProgress *>());
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(!QFile::exists(home + QStringLiteral("/canary")));
    if (message.isEmpty()) {
        QVERIFY(f.dialogs.errors.isEmpty());
        QCOMPARE(frame.statusText(), QStringLiteral("Ready."));
    } else {
        QCOMPARE(f.dialogs.errors.size(), 1);
        QCOMPARE(f.dialogs.errors.first().title, QStringLiteral("Execute Master"));
        QCOMPARE(f.dialogs.lastError(), message);
        QCOMPARE(frame.statusText(), QStringLiteral("Executing Quelm ..."));
    }
}

// While each engine runs, the modal progress window names its line and the
// command window shows its file; the program keeps handling events.
void TestRuns::masterShowsEachCommandFile()
{
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeEngine(f, engineBody(f.home() + QStringLiteral("/engine.log"), WaitForGo));
    const QString a = f.writeFile(QStringLiteral("a.cf"), "1\r\n");
    const QString b = f.writeFile(QStringLiteral("b b.cf"), "2\r\n");
    openMaster(f, (a + "\r\n" + b + "\r\n").toUtf8());

    QStringList seen;
    QTimer watcher;
    watcher.setInterval(20);
    connect(&watcher, &QTimer::timeout, this, [&] {
        auto *progress = qobject_cast<MasterProgress *>(QApplication::activeModalWidget());
        if (!progress || !progress->isVisible())
            return;
        const QString entry = progress->text() + QStringLiteral(" | ") + frame.CommandWindow->windowTitle();
        if (!seen.isEmpty() && seen.constLast() == entry)
            return;
        seen.append(entry);
        letGo(frame.CommandWindow->FileName);
    });
    watcher.start();
    frame.ExecMaster();
    watcher.stop();

    QCOMPARE(seen, (QStringList{QStringLiteral("Running 1: %1 | COMMAND - %1").arg(a),
                                QStringLiteral("Running 2: %1 | COMMAND - %1").arg(b)}));
    QCOMPARE(frame.statusText(), QStringLiteral("Ready."));
}

// A master run during a command-file run: the command-file run keeps its
// process, its timer and its output file, and ends when its own engine ends.
void TestRuns::masterLeavesCommandRunAlone()
{
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeEngine(f, engineBody(f.home() + QStringLiteral("/engine.log"), WaitWhenGated));
    const QString gated = openCommand(f, QStringLiteral("gated.cf"));
    // The master's engine holds too, until the modal window has been seen.
    const QString a = f.writeFile(QStringLiteral("list/gated-a.cf"), "1\r\n");
    openMaster(f, (a + "\r\n").toUtf8());
    frame.ExecQuelm();
    EngineRun *commandRun = frame.EngineProcess.get();
    QTRY_COMPARE_WITH_TIMEOUT(logOf(f).size(), 1, EndTimeout);

    bool seenModal = false;
    bool timerQuiet = true;
    QTimer watcher;
    watcher.setInterval(20);
    connect(&watcher, &QTimer::timeout, this, [&] {
        if (seenModal || !QApplication::activeModalWidget())
            return;
        seenModal = true;
        timerQuiet = !frame.timer()->isActive();
        letGo(a);
    });
    watcher.start();
    frame.ExecMaster();
    watcher.stop();

    QVERIFY(seenModal);
    QVERIFY(timerQuiet);
    QCOMPARE(logOf(f), (QStringList{"start cf=" + gated, "start cf=" + a, "end cf=" + a}));
    QVERIFY(frame.EngineRunning);
    QCOMPARE(frame.EngineProcess.get(), commandRun);
    QVERIFY(commandRun->isRunning());
    QVERIFY(frame.timer()->isActive());
    QCOMPARE(frame.OutputFileName, f.home() + QStringLiteral("/gated.out"));

    letGo(gated);
    waitForEnd(frame);
    QCOMPARE(frame.OutputWindow->FileName, f.home() + QStringLiteral("/gated.out"));
    QVERIFY(frame.OutputWindow->editor()->bytes().startsWith("cf=" + gated.toUtf8() + "\n"));
    QCOMPARE(frame.statusText(), QStringLiteral("Ready."));
}

void TestRuns::masterSaveQuestion_data()
{
    QTest::addColumn<bool>("untitled");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<bool>("ran");

    QTest::newRow("yes") << false << Answer::Yes << true << true;
    QTest::newRow("no") << false << Answer::No << false << true;
    QTest::newRow("cancel") << false << Answer::Cancel << false << false;
    QTest::newRow("yes, save as cancelled") << true << Answer::Yes << false << false;
}

// Unsaved changes in the command window are asked about before its text is
// replaced by the first listed file.
void TestRuns::masterSaveQuestion()
{
    QFETCH(bool, untitled);
    QFETCH(Answer, answer);
    QFETCH(bool, saved);
    QFETCH(bool, ran);

    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeEngine(f, engineBody(f.home() + QStringLiteral("/engine.log")));
    const QString edited = openCommand(f, QStringLiteral("edited.cf"), "old\r\n");
    if (untitled)
        frame.NewCommandClick();
    FrameFixture::type(frame.CommandWindow, QStringLiteral("new"));
    const QString a = f.writeFile(QStringLiteral("a.cf"), "1\r\n");
    openMaster(f, (a + "\r\n").toUtf8());
    f.dialogs.answers.enqueue(answer);

    frame.ExecMaster();

    QCOMPARE(f.dialogs.questions, QStringList{QStringLiteral("Save changes to current command file?")});
    QCOMPARE(f.readFile(edited).startsWith("new"), saved);
    QCOMPARE(logOf(f).size(), ran ? 2 : 0);
    QCOMPARE(frame.CommandWindow->FileName, ran ? a : untitled ? QStringLiteral("Untitled") : edited);
    QCOMPARE(frame.CommandWindow->isModified(), !ran);
    QVERIFY(f.dialogs.errors.isEmpty());
    QCOMPARE(frame.statusText(), QStringLiteral("Ready."));
}

QTEST_MAIN(TestRuns)
#include "tst_runs.moc"
