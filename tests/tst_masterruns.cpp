#include "FifoTrap.h"
#include "FrameFixture.h"
#include "RunHelpers.h"

#include "app/MDIFrame.h"
#include "documents/MDICommand.h"
#include "documents/MDIMaster.h"
#include "documents/MDIOutput.h"
#include "editor/TextEditor.h"
#include "engine/EngineLauncher.h"
#include "engine/LaunchScript.h"
#include "engine/MasterProgress.h"

#include <QDir>
#include <QFile>
#include <QTimer>
#include <QtTest>

#include <optional>

using namespace RunHelpers;
using Answer = UserDialogs::Answer;

// The master-file run through the frame, with real processes: shell scripts
// as engines that log their starts and ends.
class TestMasterRuns : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void masterRefusals_data();
    void masterRefusals();
    void masterRunsLines_data();
    void masterRunsLines();
    void masterShowsEachCommandFile();
    void masterLeavesCommandRunAlone();
    void masterSaveQuestion_data();
    void masterSaveQuestion();
    void masterStopsAtOutputOverCommand();
};

void TestMasterRuns::initTestCase()
{
    if (LaunchScript::platformShell() != LaunchScript::Shell::Posix)
        QSKIP("the engines here are shell scripts for /bin/sh");
}

void TestMasterRuns::masterRefusals_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("masterText");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    // What the Run Log says of the line, if anything; @ stands for the test's folder.
    QTest::addColumn<QString>("logged");

    QTest::newRow("no master window") << "no window" << QByteArray() << QString() << QString() << QString();
    QTest::newRow("no engine") << "no engine" << QByteArray("a.cf\r\n") << "Execute"
                               << "Cannot find executable Quelm File. Please change the Preferences."
                               << QString();
    QTest::newRow("untitled") << "untitled" << QByteArray() << "Execute Master"
                              << "The Master File Name is missing." << QString();
    QTest::newRow("cannot be written") << "unwritable" << QByteArray("a.cf\r\n") << "Ostrel"
                                       << "Cannot create file %1." << QString();
    // A folder where the master file was: what root meets as well as a user.
    QTest::newRow("a folder in its place") << "folder" << QByteArray("a.cf\r\n") << "Ostrel"
                                           << "Cannot create file %1." << QString();
    QTest::newRow("zero bytes") << "file" << QByteArray() << "Execute Master"
                                << "The master file is empty." << QString();
    QTest::newRow("end mark first") << "file"
                                    << QByteArray("\x1a"
                                                  "a.cf\r\n")
                                    << "Execute Master"
                                    << "The master file is empty." << QString();
    QTest::newRow("only CR LF") << "file" << QByteArray("\r\n") << "Execute Master"
                                << "Cannot find ???"
                                << "not started: there is no such file";
    QTest::newRow("trailing blank")
        << "file" << QByteArray("a.cf \r\n") << "Execute Master"
        << "Cannot find ???"
        << "not started: there is no such file in @ nor in @/lists, the master file's folder";
    // The redirection would wait for a reader for ever.
    QTest::newRow("output file a FIFO") << "fifo" << QByteArray("a.cf\r\n") << "Ostrel"
                                        << "Cannot create file @/a.out."
                                        << "not started: Cannot create file @/a.out.";
}

void TestMasterRuns::masterRefusals()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, masterText);
    QFETCH(QString, title);
    QFETCH(QString, message);
    QFETCH(QString, logged);

    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeLoggingEngine(f);
    const QString command = openCommand(f, QStringLiteral("a.cf"));
    const QString master = f.home() + QStringLiteral("/lists/jobs.mst");
    message.replace(QLatin1Char('@'), f.home());
    logged.replace(QLatin1Char('@'), f.home());
    std::optional<FifoTrap> fifo;
    if (kind == QLatin1String("fifo"))
        QVERIFY(fifo.emplace(f.home() + QStringLiteral("/a.out")).created());
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
    if (kind == QLatin1String("folder")) {
        QVERIFY(QFile::remove(master));
        QVERIFY(QDir().mkdir(master));
        message = message.arg(master);
    }
    const QString statusBefore = frame.statusText();

    frame.ExecMaster();

    QVERIFY(logOf(f).isEmpty());
    QCOMPARE(frame.CommandWindow()->FileName, command);
    if (title.isEmpty()) {
        QVERIFY(f.dialogs.errors.isEmpty());
        QCOMPARE(frame.statusText(), statusBefore);
        return;
    }
    QCOMPARE(f.dialogs.errors.size(), 1);
    QCOMPARE(f.dialogs.errors.first().title, title);
    QCOMPARE(f.dialogs.errors.first().text, message);
    QVERIFY(!fifo || !fifo->sprung());
    if (!logged.isEmpty())
        QVERIFY2(frame.runLog()->lines().contains(logged), qPrintable(frame.runLog()->text()));
    if (kind == QLatin1String("file")) {
        QCOMPARE(frame.statusText(), QStringLiteral("Saving Master File"));
        QCOMPARE(activeWindow(frame), frame.MasterWindow());
    }
}

void TestMasterRuns::masterRunsLines_data()
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
    // Not in the previous file's folder: then beside the master file, and on from there.
    QTest::newRow("beside the master file") << "a.cf\r\nm.cf\r\nn.cf\r\n"
                                            << QStringList{a, "@/lists/m.cf", "@/lists/n.cf"} << QString();
    QTest::newRow("shell characters and blanks") << odd + "\r\n" << QStringList{odd} << QString();
}

// Each listed command file runs once the one before has ended, in its own
// folder, shown in the command window; the output window is left alone.
void TestMasterRuns::masterRunsLines()
{
    QFETCH(QString, masterText);
    QFETCH(QStringList, ran);
    QFETCH(QString, message);

    FrameFixture f;
    TFrameForm &frame = f.frame();
    const QString home = f.home();
    makeLoggingEngine(f, "sleep 0.2");
    for (const char *name : {"d/a.cf", "d/b.cf", "d/sub/e.cf", "lists/m.cf", "lists/n.cf",
                             "it's $x; & `touch canary` \"q\" \xc3\xa9/c d.cf"})
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
    QCOMPARE(frame.CommandWindow()->FileName, last);
    QCOMPARE(frame.CommandWindow()->windowTitle(), QStringLiteral("COMMAND - ") + last);
    QCOMPARE(frame.CommandFileName, last);
    QCOMPARE(frame.OutputFileName, QString(last).replace(QStringLiteral(".cf"), QStringLiteral(".out")));
    const QByteArray lastOutput = f.readFile(frame.OutputFileName);
    const QString lastFolder = QFileInfo(last).canonicalPath();
    QCOMPARE(lastOutput, "cf=" + last.toUtf8() + "\n" + lastFolder.toUtf8() + "\n");
    QCOMPARE(QDir::current().canonicalPath(), lastFolder);
    QCOMPARE(frame.OutputWindow()->FileName, earlier);
    QCOMPARE(frame.OutputWindow()->historyEntries(), QStringList{earlier});
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
void TestMasterRuns::masterShowsEachCommandFile()
{
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeLoggingEngine(f, WaitForGo);
    const QString a = f.writeFile(QStringLiteral("a.cf"), "1\r\n");
    const QString b = f.writeFile(QStringLiteral("b b.cf"), "2\r\n");
    openMaster(f, (a + "\r\n" + b + "\r\n").toUtf8());

    QStringList seen;
    execMasterWatching(frame, [&](MasterProgress &progress) {
        const QString entry = progress.text() + QStringLiteral(" | ") + frame.CommandWindow()->windowTitle();
        if (!seen.isEmpty() && seen.constLast() == entry)
            return;
        seen.append(entry);
        letGo(frame.CommandWindow()->FileName);
    });

    QCOMPARE(seen, (QStringList{QStringLiteral("Running 1: %1 | COMMAND - %1").arg(a),
                                QStringLiteral("Running 2: %1 | COMMAND - %1").arg(b)}));
    QCOMPARE(frame.statusText(), QStringLiteral("Ready."));
}

// A master run during a command-file run: the command-file run keeps its
// process, its timer and its output file, and ends when its own engine ends.
void TestMasterRuns::masterLeavesCommandRunAlone()
{
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeLoggingEngine(f, WaitWhenGated);
    const QString gated = openCommand(f, QStringLiteral("gated.cf"));
    // The master's engine holds too, until the modal window has been seen.
    const QString a = f.writeFile(QStringLiteral("list/gated-a.cf"), "1\r\n");
    openMaster(f, (a + "\r\n").toUtf8());
    frame.ExecQuelm();
    EngineRun *commandRun = frame.EngineProcess();
    QTRY_COMPARE_WITH_TIMEOUT(logOf(f).size(), 1, EndTimeout);

    bool seenModal = false;
    bool timerQuiet = true;
    execMasterWatching(frame, [&](MasterProgress &) {
        if (seenModal)
            return;
        seenModal = true;
        timerQuiet = !frame.timer()->isActive();
        letGo(a);
    });

    QVERIFY(seenModal);
    QVERIFY(timerQuiet);
    QCOMPARE(logOf(f), (QStringList{"start cf=" + gated, "start cf=" + a, "end cf=" + a}));
    QVERIFY(frame.EngineRunning());
    QCOMPARE(frame.EngineProcess(), commandRun);
    QVERIFY(commandRun->isRunning());
    QVERIFY(frame.timer()->isActive());
    QCOMPARE(frame.OutputFileName, f.home() + QStringLiteral("/gated.out"));

    letGo(gated);
    QVERIFY(runEnded(frame));
    QCOMPARE(frame.OutputWindow()->FileName, f.home() + QStringLiteral("/gated.out"));
    QVERIFY(frame.OutputWindow()->editor()->bytes().startsWith("cf=" + gated.toUtf8() + "\n"));
    QCOMPARE(frame.statusText(), QStringLiteral("Ready."));
}

void TestMasterRuns::masterSaveQuestion_data()
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
void TestMasterRuns::masterSaveQuestion()
{
    QFETCH(bool, untitled);
    QFETCH(Answer, answer);
    QFETCH(bool, saved);
    QFETCH(bool, ran);

    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeLoggingEngine(f);
    const QString edited = openCommand(f, QStringLiteral("edited.cf"), "old\r\n");
    if (untitled)
        frame.NewCommandClick();
    FrameFixture::type(frame.CommandWindow(), QStringLiteral("new"));
    const QString a = f.writeFile(QStringLiteral("a.cf"), "1\r\n");
    openMaster(f, (a + "\r\n").toUtf8());
    f.dialogs.answers.enqueue(answer);

    frame.ExecMaster();

    QCOMPARE(f.dialogs.questions, QStringList{QStringLiteral("Save changes to current command file?")});
    QCOMPARE(f.readFile(edited).startsWith("new"), saved);
    QCOMPARE(logOf(f).size(), ran ? 2 : 0);
    QCOMPARE(frame.CommandWindow()->FileName, ran ? a : untitled ? QStringLiteral("Untitled") : edited);
    QCOMPARE(frame.CommandWindow()->isModified(), !ran);
    QVERIFY(f.dialogs.errors.isEmpty());
    QCOMPARE(frame.statusText(), QStringLiteral("Ready."));
}

// A listed file whose output file would be the file itself stops the master
// run at that line, before anything of it is written: the lines before it
// have run, the file keeps its text.
void TestMasterRuns::masterStopsAtOutputOverCommand()
{
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeLoggingEngine(f);
    const QString a = f.writeFile(QStringLiteral("a.cf"), "1\r\n");
    const QString job = f.writeFile(QStringLiteral("job.out"), "2\r\n");
    const QString b = f.writeFile(QStringLiteral("b.cf"), "3\r\n");
    openMaster(f, (a + "\r\n" + job + "\r\n" + b + "\r\n").toUtf8());

    frame.ExecMaster();

    QCOMPARE(logOf(f), (QStringList{"start cf=" + a, "end cf=" + a}));
    QCOMPARE(f.dialogs.errors.size(), 1);
    QCOMPARE(f.dialogs.errors.first().title, QStringLiteral("Execute"));
    QCOMPARE(
        f.dialogs.errors.first().text,
        QStringLiteral("The output file %1 is the command file itself: the run would empty it.").arg(job));
    QCOMPARE(f.readFile(job), QByteArray("2\r\n"));
    QCOMPARE(frame.CommandWindow()->FileName, a);
    QVERIFY(!frame.findChild<MasterProgress *>());
}

QTEST_MAIN(TestMasterRuns)
#include "tst_masterruns.moc"
