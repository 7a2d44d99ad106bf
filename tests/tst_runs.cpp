#include "FrameFixture.h"
#include "RunHelpers.h"

#include "app/MDIFrame.h"
#include "documents/MDICommand.h"
#include "documents/MDIMaster.h"
#include "documents/MDIOutput.h"
#include "documents/TextEditor.h"
#include "engine/EngineLauncher.h"
#include "engine/LaunchScript.h"
#include "engine/RunLog.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QtTest>

using namespace RunHelpers;

namespace {

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

// The command-file run through the frame, with real processes: small shell
// scripts as engines.
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
    void outputOverCommandRefused_data();
    void outputOverCommandRefused();
    void outputSaveQuestion_data();
    void outputSaveQuestion();
    void outputReadOnlyDuringRun();
    void unwritableOutputStartsNothing_data();
    void unwritableOutputStartsNothing();
    void exitStatusIsNotInterpreted_data();
    void exitStatusIsNotInterpreted();
    void failedSaveAsThenF7RunsTheOldFile();
};

void TestRuns::initTestCase()
{
    if (LaunchScript::platformShell() != LaunchScript::Shell::Posix)
        QSKIP("the engines here are shell scripts for /bin/sh");
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
                               << "" << false;
    QTest::newRow("untitled") << "untitled"
                              << "Execute"
                              << "The Command File Name is missing."
                              << "" << false;
    QTest::newRow("command file cannot be written") << "unwritable"
                                                    << "Ostrel"
                                                    << "Cannot create file %1."
                                                    << "Saving Command File" << false;
    QTest::newRow("script cannot be written") << "no script"
                                              << "Execute" << cannot << error << true;
    QTest::newRow("engine not executable") << "not executable"
                                           << "Execute" << cannot << error << true;
}

// Every refusal and failure of a start, in the order the checks come. None
// runs anything, and none empties the output file of an earlier run.
void TestRuns::startRefusals()
{
    QFETCH(QString, kind);
    QFETCH(QString, title);
    QFETCH(QString, message);
    QFETCH(QString, status);
    QFETCH(bool, saved);

    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeEngine(f, engineBody(logPath(f)), kind != QLatin1String("not executable"));
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
    }
    const QString earlierOutput = kind == QLatin1String("unwritable")
                                      ? QString()
                                      : f.writeFile(QStringLiteral("work/run.out"), "earlier\r\n");
    FrameFixture::type(frame.CommandWindow(), QStringLiteral("2+2"));
    frame.OutputWindow()->bringToFront();
    const QString outputBefore = frame.OutputFileName;
    const QString statusBefore = frame.statusText();

    frame.ExecQuelm();
    QVERIFY(runEnded(frame));

    QCOMPARE(f.dialogs.errors.size(), 1);
    QCOMPARE(f.dialogs.errors.first().title, title);
    QCOMPARE(f.dialogs.errors.first().text, message);
    // An empty status: a refusal leaves the status line as it was.
    QCOMPARE(frame.statusText(), status.isEmpty() ? statusBefore : status);
    QVERIFY(!frame.timer()->isActive());
    QCOMPARE(activeWindow(frame), kind == QLatin1String("no engine")
                                      ? static_cast<TEditForm *>(frame.OutputWindow())
                                      : frame.CommandWindow());
    QCOMPARE(frame.CommandWindow()->isModified(), !saved);
    if (!command.isEmpty() && kind != QLatin1String("unwritable"))
        QCOMPARE(f.readFile(command).contains("2+2"), saved);
    QCOMPARE(frame.OutputFileName, saved ? f.home() + QStringLiteral("/work/run.out") : outputBefore);
    QVERIFY(logOf(f).isEmpty());
    if (!earlierOutput.isEmpty())
        QCOMPARE(f.readFile(earlierOutput), QByteArray("earlier\r\n"));
    QVERIFY(frame.OutputWindow()->historyEntries().isEmpty());
    QVERIFY(frame.findChild<QAction *>(QStringLiteral("RunQuelm1"))->isEnabled());
    QVERIFY(!frame.findChild<QAction *>(QStringLiteral("StopQuelm1"))->isEnabled());
    QCOMPARE(frame.runLog()->lines().constLast(), QStringLiteral("not started: ") + message);
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
    const QString engine = makeLoggingEngine(f);
    const QString command = openCommand(f, commandName);
    const QString output = f.home() + QLatin1Char('/') + outputName;
    const QString folder = QFileInfo(command).absolutePath();

    frame.ExecQuelm();
    QVERIFY(frame.EngineRunning());
    const QByteArray script = f.readFile(f.home() + QStringLiteral("/QuelmExec.sh"));
    const QByteArray expected = "exec '" + QFile::encodeName(engine) + "' cf='" +
                                QFile::encodeName(command).replace("'", "'\\''") + "' >'" +
                                QFile::encodeName(output).replace("'", "'\\''") + "' </dev/null\n";
    QCOMPARE(script, expected);
    QCOMPARE(QDir::currentPath(), folder);
    QVERIFY(runEnded(frame));

    QCOMPARE(frame.OutputFileName, output);
    const QByteArray shown = frame.OutputWindow()->editor()->bytes();
    QCOMPARE(shown, "cf=" + QFile::encodeName(command) + "\n" + QFile::encodeName(folder) + "\n");
    QCOMPARE(frame.OutputWindow()->FileName, output);
    QCOMPARE(frame.OutputWindow()->windowTitle(), QStringLiteral("OUTPUT - ") + output);
    QCOMPARE(activeWindow(frame), frame.OutputWindow());
    QCOMPARE(frame.OutputWindow()->historyEntries(), QStringList{output});
    QCOMPARE(frame.OutputWindow()->fileCombo()->currentIndex(), 0);
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
    makeLoggingEngine(f, WaitForGo);
    openMaster(f, "");
    const QString command = openCommand(f, QStringLiteral("run.cf"));
    QObject *owner = window == QLatin1String("command")  ? static_cast<QObject *>(frame.CommandWindow())
                     : window == QLatin1String("output") ? static_cast<QObject *>(frame.OutputWindow())
                     : window == QLatin1String("master") ? static_cast<QObject *>(frame.MasterWindow())
                                                         : static_cast<QObject *>(&frame);
    QObject *control = owner->findChild<QObject *>(name);
    if (name == QLatin1String("Editor"))
        control = frame.OutputWindow()->editor();
    QVERIFY(control);
    const auto enabled = [control] { return control->property("enabled").toBool(); };
    QVERIFY(enabled());

    frame.ExecQuelm();
    QVERIFY(frame.EngineRunning());
    QCOMPARE(enabled(), !locked);
    letGo(command);
    QVERIFY(runEnded(frame));
    QVERIFY(enabled());
}

// Ticks while the engine runs only set the status text again; the frame
// refuses to close and a second start changes nothing.
void TestRuns::ticksWhileRunningChangeOnlyTheStatus()
{
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeLoggingEngine(f, WaitForGo);
    const QString command = openCommand(f, QStringLiteral("run.cf"));
    const QString earlier = f.writeFile(QStringLiteral("earlier.out"), "earlier\r\n");
    frame.OpenOutput(earlier);
    frame.ExecQuelm();
    QVERIFY(frame.EngineRunning());
    QVERIFY(frame.timer()->isActive());
    QCOMPARE(frame.statusText(), RunningStatus);

    for (int tick = 0; tick < 3; ++tick) {
        frame.setStatusText(QStringLiteral("something else"));
        frame.CheckQuelmActivation();
        QCOMPARE(frame.statusText(), RunningStatus);
        QVERIFY(frame.EngineRunning());
        QVERIFY(frame.timer()->isActive());
        QCOMPARE(frame.OutputWindow()->FileName, earlier);
        QCOMPARE(frame.OutputWindow()->historyEntries(), QStringList{earlier});
    }

    QVERIFY(!frame.close());
    QCOMPARE(f.dialogs.errors.size(), 1);
    QCOMPARE(f.dialogs.errors.first().title, QStringLiteral("Close Ostrel"));
    QCOMPARE(f.dialogs.errors.first().text, QStringLiteral("Quelm is still executing"));
    QVERIFY(!QFile::exists(f.home() + QStringLiteral("/ostrel.ini")));

    EngineRun *running = frame.EngineProcess();
    frame.ExecQuelm();
    QCOMPARE(frame.EngineProcess(), running);
    QVERIFY(running->isRunning());

    letGo(command);
    QTRY_VERIFY_WITH_TIMEOUT(!frame.EngineProcess()->isRunning(), EndTimeout);
    frame.CheckQuelmActivation();
    QVERIFY(!frame.EngineRunning());
    QVERIFY(!frame.timer()->isActive());
    QCOMPARE(frame.OutputWindow()->FileName, f.home() + QStringLiteral("/run.out"));
    QCOMPARE(f.dialogs.errors.size(), 1);
    QCOMPARE(logOf(f).size(), 2);
    QVERIFY(frame.close());
}

void TestRuns::sameFileTwiceListedTwice()
{
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeLoggingEngine(f);
    openCommand(f, QStringLiteral("run.cf"));
    const QString output = f.home() + QStringLiteral("/run.out");
    for (int run = 0; run < 2; ++run) {
        frame.ExecQuelm();
        QVERIFY(runEnded(frame));
    }
    QCOMPARE(frame.OutputWindow()->historyEntries(), (QStringList{output, output}));
    QCOMPARE(frame.OutputWindow()->fileCombo()->currentIndex(), 0);
    QCOMPARE(logOf(f).size(), 4);
}

// The end of a run loads the output file named at that moment.
void TestRuns::outputOpenedDuringRunIsShownAtEnd()
{
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeLoggingEngine(f, WaitForGo);
    const QString command = openCommand(f, QStringLiteral("run.cf"));
    const QString other = f.writeFile(QStringLiteral("other/other.out"), "other text\r\n");
    frame.ExecQuelm();
    frame.OpenOutput(other);
    QCOMPARE(frame.OutputFileName, other);
    letGo(command);
    QVERIFY(runEnded(frame));

    QCOMPARE(frame.OutputWindow()->FileName, other);
    QCOMPARE(frame.OutputWindow()->editor()->bytes(), QByteArray("other text\r\n"));
    QCOMPARE(frame.OutputWindow()->windowTitle(), QStringLiteral("OUTPUT - ") + other);
    QCOMPARE(frame.OutputWindow()->historyEntries(), (QStringList{other, other}));
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
    QVERIFY(runEnded(frame));

    QCOMPARE(f.dialogs.errors.size(), 1);
    QCOMPARE(f.dialogs.errors.first().title, QStringLiteral("Ostrel"));
    QCOMPARE(f.dialogs.lastError(),
             QStringLiteral("Cannot open file %1.").arg(f.home() + QStringLiteral("/run.out")));
    QCOMPARE(frame.statusText(), QStringLiteral("Ready."));
    QVERIFY(!frame.timer()->isActive());
    QVERIFY(frame.findChild<QAction *>(QStringLiteral("RunQuelm1"))->isEnabled());
    QVERIFY(frame.OutputWindow()->fileCombo()->isEnabled());
    QCOMPARE(frame.OutputWindow()->FileName, earlier);
    QCOMPARE(frame.OutputWindow()->windowTitle(), QStringLiteral("OUTPUT - ") + earlier);
    QCOMPARE(frame.OutputFileName, earlier);
    QCOMPARE(frame.OutputWindow()->historyEntries(), QStringList{earlier});
    QVERIFY(frame.close());
}

void TestRuns::outputOverCommandRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("output file opened as command file") << "opened";
    QTest::newRow("both extensions .txt") << "txt";
    QTest::newRow("output is a link to the command file") << "link";
}

// A run whose redirection would empty its own command file is refused before
// anything is written: the file, the window and the output stay as they were.
void TestRuns::outputOverCommandRefused()
{
    QFETCH(QString, kind);
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeLoggingEngine(f);
    QString name = QStringLiteral("work/job.out");
    if (kind == QLatin1String("txt")) {
        frame.CommandFileExtension = QStringLiteral(".txt");
        frame.OutputFileExtension = QStringLiteral(".txt");
        name = QStringLiteral("work/job.txt");
    } else if (kind == QLatin1String("link")) {
        name = QStringLiteral("work/job.cf");
    }
    const QString command = openCommand(f, name, "1+1\r\n");
    QString output = command;
    if (kind == QLatin1String("link")) {
        output = f.home() + QStringLiteral("/work/job.out");
        QVERIFY(QFile::link(command, output));
    }
    FrameFixture::type(frame.CommandWindow(), QStringLiteral("2+2"));
    const QString outputBefore = frame.OutputFileName;

    frame.ExecQuelm();

    QVERIFY(!frame.EngineRunning());
    QCOMPARE(f.dialogs.errors.size(), 1);
    QCOMPARE(f.dialogs.errors.first().title, QStringLiteral("Execute"));
    const QString message =
        QStringLiteral("The output file %1 is the command file itself: the run would empty it.").arg(output);
    QCOMPARE(f.dialogs.errors.first().text, message);
    QCOMPARE(f.readFile(command), QByteArray("1+1\r\n"));
    QVERIFY(frame.CommandWindow()->isModified());
    QVERIFY(!QFile::exists(f.home() + QStringLiteral("/QuelmExec.sh")));
    QVERIFY(logOf(f).isEmpty());
    QCOMPARE(frame.OutputFileName, outputBefore);
    QCOMPARE(frame.runLog()->lines().constLast(), QStringLiteral("not started: ") + message);
}

void TestRuns::outputSaveQuestion_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("untitled");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<bool>("ran");

    QTest::newRow("yes saves") << "yes" << false << true << true;
    QTest::newRow("no discards") << "no" << false << false << true;
    QTest::newRow("cancel starts nothing") << "cancel" << false << false << false;
    QTest::newRow("yes, save as cancelled") << "yes" << true << false << false;
}

// The end of a run replaces the output window's text, so a start asks first
// about unsaved changes there.
void TestRuns::outputSaveQuestion()
{
    QFETCH(QString, answer);
    QFETCH(bool, untitled);
    QFETCH(bool, saved);
    QFETCH(bool, ran);

    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeLoggingEngine(f);
    const QString command = openCommand(f, QStringLiteral("run.cf"));
    const QString earlier = f.writeFile(QStringLiteral("earlier.out"), "earlier\r\n");
    if (!untitled)
        frame.OpenOutput(earlier);
    FrameFixture::type(frame.OutputWindow(), QStringLiteral("edited "));
    f.dialogs.answers.enqueue(answer == QLatin1String("yes")  ? UserDialogs::Answer::Yes
                              : answer == QLatin1String("no") ? UserDialogs::Answer::No
                                                              : UserDialogs::Answer::Cancel);

    frame.ExecQuelm();
    QVERIFY(runEnded(frame));

    QCOMPARE(f.dialogs.questions, QStringList{QStringLiteral("Save changes to current output file?")});
    QCOMPARE(f.readFile(earlier), saved ? QByteArray("edited earlier\r\n") : QByteArray("earlier\r\n"));
    QCOMPARE(logOf(f).size(), ran ? 2 : 0);
    QVERIFY(f.dialogs.errors.isEmpty());
    if (ran) {
        QCOMPARE(frame.OutputWindow()->FileName, f.home() + QStringLiteral("/run.out"));
        QVERIFY(!frame.OutputWindow()->isModified());
    } else {
        QVERIFY(!QFile::exists(f.home() + QStringLiteral("/QuelmExec.sh")));
        QVERIFY(frame.OutputWindow()->isModified());
        QVERIFY(frame.OutputWindow()->editor()->bytes().startsWith("edited "));
    }
    QCOMPARE(f.readFile(command), QByteArray("1+1\r\n"));
}

// While a run is in progress the user cannot type into the output window,
// whose text the end replaces; a file opened into it meanwhile still shows.
void TestRuns::outputReadOnlyDuringRun()
{
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeLoggingEngine(f, WaitForGo);
    const QString command = openCommand(f, QStringLiteral("run.cf"));
    const QString other = f.writeFile(QStringLiteral("other.out"), "other\r\n");
    TOutputEditForm *output = frame.OutputWindow();
    frame.ExecQuelm();
    QVERIFY(frame.EngineRunning());

    FrameFixture::type(output, QStringLiteral("typed"));
    QCOMPARE(output->editor()->bytes(), QByteArray());
    QVERIFY(!output->isModified());
    frame.OpenOutput(other);
    QCOMPARE(output->editor()->bytes(), QByteArray("other\r\n"));
    FrameFixture::type(output, QStringLiteral("typed"));
    QCOMPARE(output->editor()->bytes(), QByteArray("other\r\n"));

    letGo(command);
    QVERIFY(runEnded(frame));
    FrameFixture::type(output, QStringLiteral("typed "));
    QVERIFY(output->isModified());
    QVERIFY(output->editor()->bytes().startsWith("typed "));
}

void TestRuns::unwritableOutputStartsNothing_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("a folder of that name") << "folder";
    QTest::newRow("a link into a missing folder") << "dangling";
    QTest::newRow("a read-only file") << "read-only";
}

// An output file that the redirection could not write would leave the old
// output to be shown as the new results: the start says so and runs nothing.
void TestRuns::unwritableOutputStartsNothing()
{
    QFETCH(QString, kind);
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeLoggingEngine(f);
    openCommand(f, QStringLiteral("work/run.cf"));
    const QString output = f.home() + QStringLiteral("/work/run.out");
    if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(output));
    } else if (kind == QLatin1String("dangling")) {
        QVERIFY(QFile::link(f.home() + QStringLiteral("/missing/run.out"), output));
    } else {
        f.writeFile(QStringLiteral("work/run.out"), "old\r\n");
        QFile::setPermissions(output, QFile::ReadOwner);
        if (QFile(output).open(QIODevice::WriteOnly | QIODevice::Append))
            QSKIP("a read-only file is writable here (running as root)");
    }
    const QString earlier = f.writeFile(QStringLiteral("earlier.out"), "earlier\r\n");
    frame.OpenOutput(earlier);

    frame.ExecQuelm();

    QVERIFY(!frame.EngineRunning());
    QCOMPARE(f.dialogs.errors.size(), 1);
    QCOMPARE(f.dialogs.errors.first().title, QStringLiteral("Ostrel"));
    QCOMPARE(f.dialogs.errors.first().text, QStringLiteral("Cannot create file %1.").arg(output));
    QVERIFY(!QFile::exists(f.home() + QStringLiteral("/QuelmExec.sh")));
    QVERIFY(logOf(f).isEmpty());
    QVERIFY(frame.statusText() != QStringLiteral("Ready."));
    QCOMPARE(frame.OutputWindow()->FileName, earlier);
    QCOMPARE(frame.OutputWindow()->editor()->bytes(), QByteArray("earlier\r\n"));
    QVERIFY(!QFile::exists(f.home() + QStringLiteral("/missing")));
}

void TestRuns::exitStatusIsNotInterpreted_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("shown");
    QTest::addColumn<QString>("closing");

    QTest::newRow("exit 126") << QByteArray("echo result\nexit 126\n") << QByteArray("result\n")
                              << "exit status 126 after ";
    QTest::newRow("exit 127") << QByteArray("echo result\nexit 127\n") << QByteArray("result\n")
                              << "exit status 127 after ";
    QTest::newRow("exit 3") << QByteArray("echo result\nexit 3\n") << QByteArray("result\n")
                            << "exit status 3 after ";
    QTest::newRow("crash") << QByteArray("echo result\nkill -SEGV $$\n") << QByteArray("result\n")
                           << "ended by signal 11 (";
    QTest::newRow("engine the shell cannot run") << QByteArray() << QByteArray() << "exit status 12";
}

// However the engine ends, the run shows what it wrote and says "Ready.";
// how it ended is for the run log, together with what went to standard error.
void TestRuns::exitStatusIsNotInterpreted()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, shown);
    QFETCH(QString, closing);
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeEngine(f, body);
    if (body.isEmpty())
        f.writeFile(QStringLiteral("engines/engine"), "#!/nonexistent/interpreter\n");
    const QString command = openCommand(f, QStringLiteral("run.cf"));

    frame.ExecQuelm();
    QVERIFY(runEnded(frame));

    QVERIFY(f.dialogs.errors.isEmpty());
    QCOMPARE(frame.statusText(), QStringLiteral("Ready."));
    QCOMPARE(frame.OutputWindow()->FileName, f.home() + QStringLiteral("/run.out"));
    QCOMPARE(frame.OutputWindow()->editor()->bytes(), shown);
    const QStringList lines = frame.runLog()->lines();
    QVERIFY2(lines.constLast().startsWith(closing), qPrintable(lines.constLast()));
    QVERIFY(lines.constFirst().endsWith(QStringLiteral("  ") + command));
    // The shell's complaint about an engine it cannot run stands between.
    QCOMPARE(lines.size() > 2, body.isEmpty());
}

// A Save As that failed leaves the command window on its file, so F7 saves
// the text there and runs the engine on it.
void TestRuns::failedSaveAsThenF7RunsTheOldFile()
{
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeLoggingEngine(f);
    const QString command = openCommand(f, QStringLiteral("run.cf"), "old\r\n");
    FrameFixture::type(frame.CommandWindow(), QStringLiteral("new "));
    f.dialogs.saveAnswers.enqueue(f.home() + QStringLiteral("/missing/renamed.cf"));
    QVERIFY(!frame.CommandWindow()->SaveAsClick());

    QApplication::setActiveWindow(&frame);
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    frame.CommandWindow()->editor()->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F7);
    QVERIFY(runEnded(frame));

    QCOMPARE(f.readFile(command), QByteArray("new old\r\n"));
    QCOMPARE(logOf(f), (QStringList{"start cf=" + command, "end cf=" + command}));
    QCOMPARE(frame.OutputWindow()->FileName, f.home() + QStringLiteral("/run.out"));
}

QTEST_MAIN(TestRuns)
#include "tst_runs.moc"
