#include "FifoTrap.h"
#include "FrameFixture.h"
#include "RunHelpers.h"

#include "app/MDIFrame.h"
#include "documents/MDICommand.h"
#include "documents/MDIOutput.h"
#include "editor/TextEditor.h"
#include "engine/EngineLauncher.h"
#include "engine/LaunchScript.h"
#include "engine/RunLog.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QtTest>

#include <optional>

using namespace RunHelpers;

namespace {

// A launcher whose script cannot be written, for the one failure a real
// folder cannot be made to show here.
class UnwritableLauncher : public EngineLauncher
{
public:
    bool writeScript(const QString &, const QStringList &, const QString &, const QString &,
                     const QString &) override
    {
        return false;
    }
    std::unique_ptr<EngineRun> start(const QString &) override { return nullptr; }
};

} // namespace

// What a command-file run checks and asks before it starts, with real
// processes: a refusal writes nothing and runs nothing.
class TestRunStart : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void startRefusals_data();
    void startRefusals();
    void outputOverCommandRefused_data();
    void outputOverCommandRefused();
    void outputSaveQuestion_data();
    void outputSaveQuestion();
    void unwritableOutputStartsNothing_data();
    void unwritableOutputStartsNothing();
    void failedSaveAsThenF7RunsTheOldFile();
};

void TestRunStart::initTestCase()
{
    if (LaunchScript::platformShell() != LaunchScript::Shell::Posix)
        QSKIP("the engines here are shell scripts for /bin/sh");
}

void TestRunStart::startRefusals_data()
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
void TestRunStart::startRefusals()
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

void TestRunStart::outputOverCommandRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("output file opened as command file") << "opened";
    QTest::newRow("both extensions .txt") << "txt";
    QTest::newRow("output is a link to the command file") << "link";
}

// A run whose redirection would empty its own command file is refused before
// anything is written: the file, the window and the output stay as they were.
void TestRunStart::outputOverCommandRefused()
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

void TestRunStart::outputSaveQuestion_data()
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
void TestRunStart::outputSaveQuestion()
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

void TestRunStart::unwritableOutputStartsNothing_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("a folder of that name") << "folder";
    QTest::newRow("a link into a missing folder") << "dangling";
    QTest::newRow("a read-only file") << "read-only";
    // The redirection would wait for a reader for ever.
    QTest::newRow("a FIFO") << "fifo";
    QTest::newRow("a link to a device") << "device";
}

// An output file that the redirection could not write would leave the old
// output to be shown as the new results: the start says so and runs nothing.
void TestRunStart::unwritableOutputStartsNothing()
{
    QFETCH(QString, kind);
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeLoggingEngine(f);
    openCommand(f, QStringLiteral("work/run.cf"));
    const QString output = f.home() + QStringLiteral("/work/run.out");
    std::optional<FifoTrap> fifo;
    if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(output));
    } else if (kind == QLatin1String("dangling")) {
        QVERIFY(QFile::link(f.home() + QStringLiteral("/missing/run.out"), output));
    } else if (kind == QLatin1String("fifo")) {
        QVERIFY(fifo.emplace(output).created());
    } else if (kind == QLatin1String("device")) {
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), output));
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
    QVERIFY(!fifo || !fifo->sprung());
}

// A Save As that failed leaves the command window on its file, so F7 saves
// the text there and runs the engine on it.
void TestRunStart::failedSaveAsThenF7RunsTheOldFile()
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

QTEST_MAIN(TestRunStart)
#include "tst_runstart.moc"
