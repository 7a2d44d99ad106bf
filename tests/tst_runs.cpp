#include "FrameFixture.h"
#include "RunHelpers.h"
#include "UserInput.h"

#include "app/MDIFrame.h"
#include "documents/MDICommand.h"
#include "documents/MDIMaster.h"
#include "documents/MDIOutput.h"
#include "editor/TextEditor.h"
#include "engine/EngineLauncher.h"
#include "engine/LaunchScript.h"
#include "engine/RunLog.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QToolButton>
#include <QtTest>

using namespace RunHelpers;

// The command-file run through the frame, with real processes: small shell
// scripts as engines.
class TestRuns : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void runShowsTheEngineOutput_data();
    void runShowsTheEngineOutput();
    void lockList_data();
    void lockList();
    void lockedCommandDoesNothing_data();
    void lockedCommandDoesNothing();
    void ticksWhileRunningChangeOnlyTheStatus();
    void sameFileTwiceListedTwice();
    void outputOpenedDuringRunIsShownAtEnd();
    void unreadableOutputStillEndsTheRun();
    void outputReadOnlyDuringRun();
    void exitStatusIsNotInterpreted_data();
    void exitStatusIsNotInterpreted();
};

void TestRuns::initTestCase()
{
    if (LaunchScript::platformShell() != LaunchScript::Shell::Posix)
        QSKIP("the engines here are shell scripts for /bin/sh");
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

void TestRuns::lockedCommandDoesNothing_data()
{
    QTest::addColumn<QString>("press");
    QTest::newRow("F2 in the command window") << "F2";
    QTest::newRow("its open button") << "OpenButton";
}

// A locked command's key and button do nothing during a run and work again
// after it: the item and the button are one command.
void TestRuns::lockedCommandDoesNothing()
{
    QFETCH(QString, press);
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeLoggingEngine(f, WaitForGo);
    const QString command = openCommand(f, QStringLiteral("run.cf"));
    const auto pressIt = [&] {
        if (press == QLatin1String("F2")) {
            QVERIFY(UserInput::focusText(frame, frame.CommandWindow()));
            QVERIFY(UserInput::pressKey(Qt::Key_F2));
        } else {
            QTest::mouseClick(frame.CommandWindow()->findChild<QToolButton *>(press), Qt::LeftButton);
        }
    };
    frame.ExecQuelm();
    pressIt();
    QVERIFY(f.dialogs.openRequests.isEmpty());
    letGo(command);
    QVERIFY(runEnded(frame));
    f.dialogs.openAnswers.enqueue(std::nullopt);
    pressIt();
    QCOMPARE(f.dialogs.openRequests.size(), 1);
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

QTEST_MAIN(TestRuns)
#include "tst_runs.moc"
