#include "FrameFixture.h"
#include "RunHelpers.h"

#include "app/MDIFrame.h"
#include "core/TextFile.h"
#include "documents/MDICommand.h"
#include "documents/MDIOutput.h"
#include "editor/TextEditor.h"
#include "engine/EngineLauncher.h"
#include "engine/LaunchScript.h"
#include "engine/RunLog.h"
#include "engine/RunLogView.h"

#include <QAction>
#include <QDockWidget>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>

using namespace RunHelpers;

namespace {

const QDateTime Noon(QDate(2024, 5, 1), QTime(12, 0, 0));

RunOutcome exited(int code, qint64 ms)
{
    RunOutcome outcome;
    outcome.code = code;
    outcome.wallMs = ms;
    return outcome;
}

// The line at the top of the view, as the user sees it.
QString topLine(const QPlainTextEdit &view)
{
    return view.cursorForPosition(QPoint(2, 2)).block().text();
}

QPlainTextEdit *logText(TFrameForm &frame)
{
    return frame.runLogDock()->findChild<QPlainTextEdit *>(QStringLiteral("RunLogText"));
}

} // namespace

// The run log: what it keeps of standard error and how it closes an entry,
// its view, and the Run Log pane of the frame with real engines.
class TestRunLog : public QObject
{
    Q_OBJECT

private slots:
    void errorLines_data();
    void errorLines();
    void closingLines_data();
    void closingLines();
    void keepsTheNewestLines();
    void errorOutputBeganOncePerEntry();
    void twoRunsAtOnce();
    void viewFollowsTheLog_data();
    void viewFollowsTheLog();
    void viewKeepsTheUsersPlace();

    void stderrReachesThePaneInOrder();
    void paneStaysAsTheUserLeftIt_data();
    void paneStaysAsTheUserLeftIt();
    void paneOpensSmallAndKeepsUsersHeight();
    void floodStaysBounded();
    void engineWritesOnWhileTheProgramIsBusy();
    void masterRunLogsEachCommandFile();
};

void TestRunLog::errorLines_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("whole lines") << QList<QByteArray>{"one\ntwo\n"} << QStringList{"one", "two"};
    QTest::newRow("a line in pieces") << QList<QByteArray>{"o", "ne\ntw", "o\n"} << QStringList{"one", "two"};
    QTest::newRow("CR LF") << QList<QByteArray>{"one\r\ntwo\r", "\n"} << QStringList{"one", "two"};
    QTest::newRow("no line end at the end") << QList<QByteArray>{"one\nlast"} << QStringList{"one", "last"};
    QTest::newRow("empty lines kept") << QList<QByteArray>{"\n\nx\n"} << QStringList{"", "", "x"};
    QTest::newRow("UTF-8") << QList<QByteArray>{"caf\xc3", "\xa9\n"}
                           << QStringList{QString::fromUtf8("café")};
    QTest::newRow("8-bit") << QList<QByteArray>{"caf\xe9\n"} << QStringList{QString::fromUtf8("café")};
    const QByteArray longLine(RunLog::LineLengthLimit * 2 + 5, 'x');
    QTest::newRow("a long line is cut")
        << QList<QByteArray>{longLine.left(700), longLine.mid(700), "\n"}
        << QStringList{QString(RunLog::LineLengthLimit, 'x'), QString(RunLog::LineLengthLimit, 'x'), "xxxxx"};
    // Cut where a whole line would be, however the pieces come.
    QTest::newRow("a long line in many pieces")
        << QList<QByteArray>{longLine.left(300), longLine.mid(300, 900), longLine.mid(1200), "\n"}
        << QStringList{QString(RunLog::LineLengthLimit, 'x'), QString(RunLog::LineLengthLimit, 'x'), "xxxxx"};
    QTest::newRow("no line end at all")
        << QList<QByteArray>{longLine}
        << QStringList{QString(RunLog::LineLengthLimit, 'x'), QString(RunLog::LineLengthLimit, 'x'), "xxxxx"};
    QByteArray accents;
    while (accents.size() < RunLog::LineLengthLimit + 10)
        accents += "\xc3\xa9";
    QTest::newRow("cut between characters")
        << QList<QByteArray>{accents + "\n"}
        << QStringList{QString(RunLog::LineLengthLimit / 2, QChar(0xe9)), QString(5, QChar(0xe9))};
}

// Standard error comes in pieces as the engine writes it; the entry holds it
// line by line, in order, between its first and its last line.
void TestRunLog::errorLines()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QStringList, lines);
    RunLog log;
    const int entry = log.beginEntry(QStringLiteral("/w/run.cf"), Noon);
    for (const QByteArray &chunk : chunks)
        log.addErrorOutput(entry, chunk);
    log.endEntry(entry, exited(0, 1500));
    const QStringList expected = QStringList{QStringLiteral("2024-05-01 12:00:00  /w/run.cf")} + lines +
                                 QStringList{"exit status 0 after 1.50 s"};
    QCOMPARE(log.lines(), expected);
}

void TestRunLog::closingLines_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("code");
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("line");

    QTest::newRow("exit 0") << int(RunOutcome::Kind::Exited) << 0 << qint64(420) << QString()
                            << "exit status 0 after 0.42 s";
    QTest::newRow("exit 127") << int(RunOutcome::Kind::Exited) << 127 << qint64(61005) << QString()
                              << "exit status 127 after 61.01 s";
    QTest::newRow("crash") << int(RunOutcome::Kind::Signalled) << 11 << qint64(5) << QString()
                           << "ended by signal 11 (*) after 0.01 s";
    QTest::newRow("stopped") << int(RunOutcome::Kind::Stopped) << 15 << qint64(2000) << QString()
                             << "stopped after 2.00 s";
    QTest::newRow("not started") << int(RunOutcome::Kind::NotStarted) << 0 << qint64(0)
                                 << "Cannot execute Quelm."
                                 << "not started: Cannot execute Quelm.";
}

void TestRunLog::closingLines()
{
    QFETCH(int, kind);
    QFETCH(int, code);
    QFETCH(qint64, ms);
    QFETCH(QString, reason);
    QFETCH(QString, line);
    RunOutcome outcome;
    outcome.kind = RunOutcome::Kind(kind);
    outcome.code = code;
    outcome.wallMs = ms;
    outcome.reason = reason;
    // * stands for the system's name of the signal, which its language decides.
    const QString closing = RunLog::closingLine(outcome);
    const QRegularExpression pattern(QRegularExpression::wildcardToRegularExpression(line));
    QVERIFY2(pattern.match(closing).hasMatch(), qPrintable(closing));
}

// Only the newest lines are kept; the line in front counts those dropped,
// and a view catching up gets the kept ones among the new.
void TestRunLog::keepsTheNewestLines()
{
    RunLog log(nullptr, 5);
    const int entry = log.beginEntry(QStringLiteral("a.cf"), Noon);
    log.addErrorOutput(entry, "1\n2\n3\n");
    QCOMPARE(log.droppedLineCount(), 0);
    QCOMPARE(log.linesAddedSince(1), (QStringList{"1", "2", "3"}));
    log.addErrorOutput(entry, "4\n5\n6\n7\n8\n9\n");
    QCOMPARE(log.lines(), (QStringList{"(5 earlier lines dropped)", "5", "6", "7", "8", "9"}));
    QCOMPARE(log.addedLineCount(), 10);
    QCOMPARE(log.linesAddedSince(8), (QStringList{"8", "9"}));
    QCOMPARE(log.linesAddedSince(0), (QStringList{"5", "6", "7", "8", "9"}));
    log.addRefusal(QStringLiteral("b.cf"), QStringLiteral("why"), Noon);
    QCOMPARE(log.lines(), (QStringList{"(7 earlier lines dropped)", "7", "8", "9",
                                       "2024-05-01 12:00:00  b.cf", "not started: why"}));
}

// The pane shows itself when a run writes to standard error: once per entry,
// whatever it writes.
void TestRunLog::errorOutputBeganOncePerEntry()
{
    RunLog log;
    QSignalSpy began(&log, &RunLog::errorOutputBegan);
    const int a = log.beginEntry(QStringLiteral("a.cf"));
    log.endEntry(a, exited(0, 1));
    QCOMPARE(began.count(), 0);
    const int b = log.beginEntry(QStringLiteral("b.cf"));
    log.addErrorOutput(b, QByteArray());
    log.addErrorOutput(b, "x");
    log.addErrorOutput(b, "y\nz\n");
    log.endEntry(b, exited(1, 1));
    QCOMPARE(began.count(), 1);
    const int c = log.beginEntry(QStringLiteral("c.cf"));
    log.addErrorOutput(c, "\n");
    QCOMPARE(began.count(), 2);
}

// Two runs at once (a master run during a command-file run): each keeps its
// own unfinished line, and a line of the other run names its file again.
void TestRunLog::twoRunsAtOnce()
{
    RunLog log;
    const int command = log.beginEntry(QStringLiteral("/w/long.cf"), Noon);
    log.addErrorOutput(command, "long: one\nlong: tw");
    const int master = log.beginEntry(QStringLiteral("/w/a.cf"), Noon);
    log.addErrorOutput(master, "a: one\na: tw");
    log.addErrorOutput(command, "o\n");
    log.addErrorOutput(master, "o\n");
    log.endEntry(master, exited(0, 10));
    log.endEntry(command, exited(2, 20));
    QCOMPARE(
        log.lines(),
        (QStringList{"2024-05-01 12:00:00  /w/long.cf", "long: one", "2024-05-01 12:00:00  /w/a.cf", "a: one",
                     "(/w/long.cf, continued)", "long: two", "(/w/a.cf, continued)", "a: two",
                     "exit status 0 after 0.01 s", "(/w/long.cf, continued)", "exit status 2 after 0.02 s"}));
}

void TestRunLog::viewFollowsTheLog_data()
{
    QTest::addColumn<QList<int>>("steps");
    // The lines are padded to this many bytes.
    QTest::addColumn<int>("width");
    // Each step adds that many lines, then the view catches up.
    const int limit = RunLogView::StepLines * 2 + 50;
    QTest::newRow("within the limit") << QList<int>{1, 3, 10} << 0;
    QTest::newRow("past the limit bit by bit") << QList<int>{1000, 1500, 2000, 700, 1} << 0;
    QTest::newRow("more than the limit at once") << QList<int>{5, limit + 20, 3} << 0;
    QTest::newRow("exactly the limit at once") << QList<int>{1, limit - 1, limit, 2} << 0;
    QTest::newRow("more than a step at once") << QList<int>{3, RunLogView::StepLines + 7, 4} << 0;
    // Steps are cut short by their bytes.
    QTest::newRow("long lines") << QList<int>{1, 700, 2, limit} << RunLog::LineLengthLimit;
}

void TestRunLog::viewFollowsTheLog()
{
    QFETCH(QList<int>, steps);
    QFETCH(int, width);
    // A log that keeps more than a step of the view, so that catching up
    // after a flood takes several steps.
    RunLog log(nullptr, RunLogView::StepLines * 2 + 50);
    RunLogView view(log);
    const int entry = log.beginEntry(QStringLiteral("run.cf"), Noon);
    int next = 0;
    for (int count : steps) {
        QByteArray bytes;
        for (int i = 0; i < count; ++i)
            bytes += ("line " + QByteArray::number(++next)).leftJustified(width, 'x') + "\n";
        log.addErrorOutput(entry, bytes);
        view.refresh();
        QCOMPARE(view.toPlainText(), log.text());
        QCOMPARE(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());
    }
}

// A user who has scrolled back keeps the line in view while new lines come
// and old ones go.
void TestRunLog::viewKeepsTheUsersPlace()
{
    RunLog log(nullptr, 50);
    RunLogView view(log);
    view.resize(300, 120);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const int entry = log.beginEntry(QStringLiteral("run.cf"), Noon);
    int next = 0;
    const auto add = [&](int count) {
        QByteArray bytes;
        for (int i = 0; i < count; ++i)
            bytes += "line " + QByteArray::number(++next) + "\n";
        log.addErrorOutput(entry, bytes);
        view.refresh();
    };
    add(30);
    view.verticalScrollBar()->setValue(10);
    QCOMPARE(topLine(view), QStringLiteral("line 10"));
    add(15);
    QCOMPARE(topLine(view), QStringLiteral("line 10"));
    add(10);
    QVERIFY(log.droppedLineCount() > 0);
    QCOMPARE(view.toPlainText(), log.text());
    QCOMPARE(topLine(view), QStringLiteral("line 10"));
}

// What the engine writes to standard error shows in the pane, in order and
// apart from its output, followed by the exit status; the pane opens without
// taking the keys from the editor.
void TestRunLog::stderrReachesThePaneInOrder()
{
    if (LaunchScript::platformShell() != LaunchScript::Shell::Posix)
        QSKIP("the engines here are shell scripts for /bin/sh");
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeEngine(f, "echo one >&2\necho out1\n" + WaitForGo +
                      "\nprintf 'two ' >&2\nsleep 0.1\n"
                      "echo three >&2\necho out2\nexit 4\n");
    const QString command = openCommand(f, QStringLiteral("run.cf"));
    QApplication::setActiveWindow(&frame);
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    frame.CommandWindow()->editor()->setFocus();
    QWidget *focus = QApplication::focusWidget();
    QVERIFY(frame.runLogDock()->isHidden());

    QTest::keyClick(focus, Qt::Key_F7);
    QTRY_VERIFY_WITH_TIMEOUT(frame.runLogDock()->isVisible(), EndTimeout);
    QCOMPARE(QApplication::focusWidget(), focus);
    letGo(command);
    QVERIFY(runEnded(frame));

    QCOMPARE(frame.OutputWindow()->editor()->bytes(), QByteArray("out1\nout2\n"));
    QStringList lines = frame.runLog()->lines();
    QVERIFY(lines.first().endsWith(QStringLiteral("  ") + command));
    QVERIFY(lines.last().startsWith(QStringLiteral("exit status 4 after ")));
    QCOMPARE(lines.mid(1, lines.size() - 2), (QStringList{"one", "two three"}));
    QTRY_COMPARE(logText(frame)->toPlainText(), frame.runLog()->text());
    QVERIFY(logText(frame)->isReadOnly());
}

void TestRunLog::paneStaysAsTheUserLeftIt_data()
{
    QTest::addColumn<bool>("shownBefore");
    QTest::addColumn<bool>("writesErrors");
    QTest::addColumn<bool>("shownAfter");
    QTest::newRow("hidden, nothing said") << false << false << false;
    QTest::newRow("shown, nothing said") << true << false << true;
    QTest::newRow("hidden, errors") << false << true << true;
}

// Window, Run Log shows and hides the pane, with a check mark; a run shows
// it only when it writes to standard error.
void TestRunLog::paneStaysAsTheUserLeftIt()
{
    QFETCH(bool, shownBefore);
    QFETCH(bool, writesErrors);
    QFETCH(bool, shownAfter);
    if (LaunchScript::platformShell() != LaunchScript::Shell::Posix)
        QSKIP("the engines here are shell scripts for /bin/sh");
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeEngine(f, writesErrors ? "echo complaint >&2\n" : "echo fine\n");
    openCommand(f, QStringLiteral("run.cf"));
    auto *item = frame.findChild<QAction *>(QStringLiteral("RunLog1"));
    QVERIFY(item && item->isCheckable());
    QVERIFY(!item->isChecked());
    if (shownBefore) {
        item->trigger();
        QVERIFY(frame.runLogDock()->isVisible());
        QVERIFY(item->isChecked());
    }

    frame.ExecQuelm();
    QVERIFY(runEnded(frame));

    QCOMPARE(frame.runLogDock()->isVisible(), shownAfter);
    QCOMPARE(item->isChecked(), shownAfter);
}

// In an 800 x 600 frame the pane that opens by itself shows about six lines,
// and the height the user drags it to is kept for the next start.
void TestRunLog::paneOpensSmallAndKeepsUsersHeight()
{
    if (LaunchScript::platformShell() != LaunchScript::Shell::Posix)
        QSKIP("the engines here are shell scripts for /bin/sh");
    QTemporaryDir home;
    int dragged = 0;
    {
        FrameFixture f({}, QByteArray(), home.path());
        f.resizeOuter(QSize(800, 600));
        TFrameForm &frame = f.frame();
        makeEngine(f, "echo complaint >&2\n");
        openCommand(f, QStringLiteral("run.cf"));
        frame.ExecQuelm();
        QVERIFY(runEnded(frame));
        const QPlainTextEdit *view = logText(frame);
        QTRY_COMPARE(view->viewport()->height() / view->fontMetrics().lineSpacing(), 6);

        // The edge between the windows and the pane, dragged up with the mouse.
        const QPoint edge(400, (frame.centralWidget()->geometry().bottom() + frame.runLogDock()->y()) / 2);
        const int opened = frame.runLogDock()->height();
        QTest::mousePress(&frame, Qt::LeftButton, {}, edge);
        QTest::mouseMove(&frame, edge - QPoint(0, 80));
        QApplication::processEvents(); // the frame follows the mouse on its next round
        QTest::mouseRelease(&frame, Qt::LeftButton, {}, edge - QPoint(0, 80));
        dragged = frame.runLogDock()->height();
        QVERIFY(dragged > opened + 60);
        QVERIFY(frame.close());
    }
    FrameFixture f({}, QByteArray(), home.path());
    f.frame().findChild<QAction *>(QStringLiteral("RunLog1"))->trigger();
    QTRY_COMPARE(f.frame().runLogDock()->height(), dragged);
}

// An engine that floods standard error leaves only the newest lines in the
// log and in the pane.
void TestRunLog::floodStaysBounded()
{
    if (LaunchScript::platformShell() != LaunchScript::Shell::Posix)
        QSKIP("the engines here are shell scripts for /bin/sh");
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeEngine(f, "i=0\nwhile [ $i -lt 30000 ]; do i=$((i+1)); echo \"line $i\"; done >&2\necho done\n");
    openCommand(f, QStringLiteral("run.cf"));

    frame.ExecQuelm();
    QVERIFY(runEnded(frame));

    const RunLog &log = *frame.runLog();
    QCOMPARE(log.keptLineCount(), RunLog::DefaultLineLimit);
    const QStringList lines = log.lines();
    // The header and 30,000 lines, of which the newest stay with the closing line.
    QCOMPARE(lines.first(), RunLog::droppedLine(30002 - RunLog::DefaultLineLimit));
    QCOMPARE(lines.at(lines.size() - 2), QStringLiteral("line 30000"));
    QCOMPARE(lines.at(1), QStringLiteral("line %1").arg(30002 - RunLog::DefaultLineLimit));
    QTRY_COMPARE(logText(frame)->toPlainText(), log.text());
    QCOMPARE(logText(frame)->blockCount(), RunLog::DefaultLineLimit + 1);
    QCOMPARE(frame.OutputWindow()->editor()->bytes(), QByteArray("done\n"));
}

// An engine's writes to standard error are not held up while the program is
// busy with something else for a moment: there is room for them.
void TestRunLog::engineWritesOnWhileTheProgramIsBusy()
{
    if (LaunchScript::platformShell() != LaunchScript::Shell::Posix)
        QSKIP("the engines here are shell scripts for /bin/sh");
    if (TextFile::readBytes(QStringLiteral("/proc/sys/fs/pipe-max-size")).trimmed().toLongLong() < (1 << 20))
        QSKIP("pipes cannot be made large enough here");
    QTemporaryDir dir;
    const QString engine = dir.filePath(QStringLiteral("engine"));
    TextFile::writeBytes(engine, "#!/bin/sh\nhead -c 900000 /dev/zero | tr '\\0' x >&2\n"
                                 "echo done >\"${1#cf=}.done\"\n");
    QFile::setPermissions(engine, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString command = dir.filePath(QStringLiteral("run.cf"));
    ProcessEngineLauncher launcher;
    QVERIFY(launcher.writeScript(dir.path(), {}, engine, command, dir.filePath(QStringLiteral("run.out"))));
    const std::unique_ptr<EngineRun> run = launcher.start(dir.path());
    QVERIFY(run);

    // Busy: no event is handled, so nothing is read meanwhile.
    const QDeadlineTimer deadline(EndTimeout);
    while (!QFile::exists(command + QStringLiteral(".done")) && !deadline.hasExpired())
        QThread::msleep(20);
    QVERIFY(QFile::exists(command + QStringLiteral(".done")));
    RunHelpers::waitUntilEnded(*run);
}

// A master run leaves an entry for each command file it runs.
void TestRunLog::masterRunLogsEachCommandFile()
{
    if (LaunchScript::platformShell() != LaunchScript::Shell::Posix)
        QSKIP("the engines here are shell scripts for /bin/sh");
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeEngine(f, "echo \"complaint about $1\" >&2\n");
    const QString a = f.writeFile(QStringLiteral("a.cf"), "1\r\n");
    const QString b = f.writeFile(QStringLiteral("b.cf"), "2\r\n");
    openMaster(f, (a + "\r\n" + b + "\r\n").toUtf8());

    frame.ExecMaster();

    const QStringList lines = frame.runLog()->lines();
    QCOMPARE(lines.size(), 6);
    QVERIFY(lines.at(0).endsWith(QStringLiteral("  ") + a));
    QCOMPARE(lines.at(1), QStringLiteral("complaint about cf=") + a);
    QVERIFY(lines.at(2).startsWith(QStringLiteral("exit status 0 after ")));
    QVERIFY(lines.at(3).endsWith(QStringLiteral("  ") + b));
    QCOMPARE(lines.at(4), QStringLiteral("complaint about cf=") + b);
    QVERIFY(lines.at(5).startsWith(QStringLiteral("exit status 0 after ")));
    QVERIFY(frame.runLogDock()->isVisible());
}

QTEST_MAIN(TestRunLog)
#include "tst_runlog.moc"
