#include "FrameFixture.h"
#include "ProcessProbe.h"
#include "RunHelpers.h"

#include "app/MDIFrame.h"
#include "core/TextFile.h"
#include "documents/MDICommand.h"
#include "documents/MDIOutput.h"
#include "editor/TextEditor.h"
#include "engine/EngineLauncher.h"
#include "engine/LaunchScript.h"
#include "engine/MasterProgress.h"
#include "engine/RunLog.h"

#include <QAction>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <algorithm>

using namespace RunHelpers;

namespace {

// Stop's promise: SIGTERM at once, SIGKILL two seconds later to what is left.
constexpr int StopLimitMs = 3000;

// An engine whose child ignores SIGTERM: only the second step of a stop ends
// it. Both write their pids beside the command file; the engine writes a
// line of output first.
const QByteArray TreeWithStubbornChild =
    "f=${1#cf=}\n"
    "sh -c 'trap \"\" TERM; echo $$ >\"$0.child\"; while :; do sleep 0.05; done' \"$f\" &\n"
    "echo partial\n"
    "echo $$ >\"$f.engine\"\n"
    "wait\n";

// An engine that itself ignores SIGTERM.
const QByteArray StubbornEngine = "f=${1#cf=}\ntrap '' TERM\necho $$ >\"$f.engine\"\n"
                                  "while :; do sleep 0.05; done\n";

// An engine that notes the SIGTERM it gets, then ends, leaving a child that
// ignores it.
const QByteArray EngineNotingTerm =
    "f=${1#cf=}\n"
    "sh -c 'trap \"\" TERM; echo $$ >\"$0.child\"; while :; do sleep 0.05; done' \"$f\" &\n"
    "trap 'echo TERM >\"$f.signal\"; exit 0' TERM\n"
    "echo $$ >\"$f.engine\"\n"
    "while :; do sleep 0.05; done\n";

// An engine that starts two processes out of the run's process group: a
// helper in a session of its own, and a daemon whose parent ends at once.
// Each writes its pid beside the command file.
const QByteArray EngineWithDaemons = "f=${1#cf=}\n"
                                     "setsid sh -c 'echo $$ >\"$0.helper\"; exec sleep 30' \"$f\" &\n"
                                     "setsid -f sh -c 'echo $$ >\"$0.daemon\"; exec sleep 30' \"$f\"\n"
                                     "echo $$ >\"$f.engine\"\n"
                                     "wait\n";

bool pidsWritten(const QString &commandFile, bool withChild)
{
    return ProcessProbe::pidFromFile(commandFile + QStringLiteral(".engine")) > 0 &&
           (!withChild || ProcessProbe::pidFromFile(commandFile + QStringLiteral(".child")) > 0);
}

} // namespace

// Stopping a run: the whole process tree of the launch script goes, SIGTERM
// first; the command-file run then ends as usual, the master run runs no
// further line. Processes are checked by pid and process group.
class TestRunStop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void stopEndsTheGroup_data();
    void stopEndsTheGroup();
    void endOfProgramStopsARunTermFirst();
    void stopEndsWhatLeftTheGroup();
    void stopControlsFollowTheRun();
    void stopCommandRun_data();
    void stopCommandRun();
    void stopMasterRun_data();
    void stopMasterRun();

private:
    QString makeEngine(const QString &folder, const QByteArray &body);
    QTemporaryDir m_dir;
};

void TestRunStop::initTestCase()
{
    QVERIFY(m_dir.isValid());
    if (LaunchScript::platformShell() != LaunchScript::Shell::Posix)
        QSKIP("stopping by process group is for POSIX systems");
}

QString TestRunStop::makeEngine(const QString &folder, const QByteArray &body)
{
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(QStringLiteral("engine"));
    TextFile::writeBytes(path, "#!/bin/sh\n" + body);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

void TestRunStop::stopEndsTheGroup_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("withChild");
    QTest::newRow("child ignores SIGTERM") << TreeWithStubbornChild << true;
    QTest::newRow("engine ignores SIGTERM") << StubbornEngine << false;
}

// The run's process group gets SIGTERM, and what ignores it goes with the
// SIGKILL that follows: nothing of the group is left within three seconds,
// and the run says it was stopped.
void TestRunStop::stopEndsTheGroup()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, withChild);
    const QString folder = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
    const QString engine = makeEngine(folder, body);
    const QString command = QDir(folder).filePath(QStringLiteral("run.cf"));
    ProcessEngineLauncher launcher;
    QVERIFY(
        launcher.writeScript(folder, {}, engine, command, QDir(folder).filePath(QStringLiteral("run.out"))));
    auto run = launcher.start(folder);
    QVERIFY(run);
    QTRY_VERIFY_WITH_TIMEOUT(pidsWritten(command, withChild), EndTimeout);
    const qint64 group = run->processGroup();
    const qint64 enginePid = ProcessProbe::pidFromFile(command + QStringLiteral(".engine"));
    QVERIFY(group > 1);
    QCOMPARE(ProcessProbe::groupOf(enginePid), group);
    if (withChild)
        QCOMPARE(ProcessProbe::groupOf(ProcessProbe::pidFromFile(command + QStringLiteral(".child"))), group);
    QVERIFY(group != ProcessProbe::groupOf(QCoreApplication::applicationPid()));

    QElapsedTimer clock;
    clock.start();
    run->stop();
    // SIGTERM first: a process that ignores it is still there at once.
    QVERIFY(!ProcessProbe::liveMembers(group).isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(ProcessProbe::liveMembers(group).isEmpty(), StopLimitMs);
    QVERIFY(clock.elapsed() < StopLimitMs);
    RunHelpers::waitUntilEnded(*run);
    QCOMPARE(run->outcome().kind, RunOutcome::Kind::Stopped);
}

// A run still going when the program ends is stopped the same way: the
// engine gets SIGTERM, not an outright SIGKILL.
void TestRunStop::endOfProgramStopsARunTermFirst()
{
    const QString folder = m_dir.filePath(QStringLiteral("end of program"));
    const QString engine = makeEngine(folder, EngineNotingTerm);
    const QString command = QDir(folder).filePath(QStringLiteral("run.cf"));
    ProcessEngineLauncher launcher;
    QVERIFY(
        launcher.writeScript(folder, {}, engine, command, QDir(folder).filePath(QStringLiteral("run.out"))));
    auto run = launcher.start(folder);
    QVERIFY(run);
    QTRY_VERIFY_WITH_TIMEOUT(pidsWritten(command, true), EndTimeout);
    const qint64 group = run->processGroup();

    run.reset();

    QCOMPARE(TextFile::readBytes(command + QStringLiteral(".signal")), QByteArray("TERM\n"));
    QTRY_VERIFY_WITH_TIMEOUT(ProcessProbe::liveMembers(group).isEmpty(), StopLimitMs);
}

// Stop ends what the engine started out of the run's process group too, and
// nothing of another run; what came to the program as its parent ended is
// reaped.
void TestRunStop::stopEndsWhatLeftTheGroup()
{
    ProcessEngineLauncher launcher;
    std::unique_ptr<EngineRun> runs[2];
    QString commands[2];
    for (int i = 0; i < 2; ++i) {
        const QString folder = m_dir.filePath(QStringLiteral("left the group %1").arg(i));
        const QString engine = makeEngine(folder, EngineWithDaemons);
        commands[i] = QDir(folder).filePath(QStringLiteral("run.cf"));
        QVERIFY(launcher.writeScript(folder, {}, engine, commands[i],
                                     QDir(folder).filePath(QStringLiteral("run.out"))));
        runs[i] = launcher.start(folder);
        QVERIFY(runs[i]);
    }
    const auto pids = [&commands](int run) {
        QList<qint64> found;
        for (const char *kind : {".engine", ".helper", ".daemon"})
            found.append(ProcessProbe::pidFromFile(commands[run] + QLatin1String(kind)));
        return found;
    };
    const auto anyLive = [&pids](int run) {
        const QList<qint64> all = pids(run);
        return std::any_of(all.cbegin(), all.cend(), ProcessProbe::isLive);
    };
    QTRY_VERIFY_WITH_TIMEOUT(!pids(0).contains(0) && !pids(1).contains(0), EndTimeout);
    QVERIFY(ProcessProbe::groupOf(pids(0).at(1)) != runs[0]->processGroup());
    QVERIFY(ProcessProbe::groupOf(pids(0).at(2)) != runs[0]->processGroup());

    runs[0]->stop();
    QTRY_VERIFY_WITH_TIMEOUT(!anyLive(0), StopLimitMs);
    RunHelpers::waitUntilEnded(*runs[0]);
    for (const qint64 pid : pids(1))
        QVERIFY(ProcessProbe::isLive(pid));
    runs[1]->stop();
    QTRY_VERIFY_WITH_TIMEOUT(!anyLive(1), StopLimitMs);
    RunHelpers::waitUntilEnded(*runs[1]);
    QTRY_VERIFY(ProcessProbe::zombiesOf(QCoreApplication::applicationPid()).isEmpty());
}

// Execute, Stop Quelm and the command window's Stop button can be used only
// while a command-file run is in progress; a master run is stopped from its
// own window.
void TestRunStop::stopControlsFollowTheRun()
{
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeLoggingEngine(f, WaitForGo);
    auto *stopItem = frame.findChild<QAction *>(QStringLiteral("StopQuelm1"));
    auto *stopButton = frame.CommandWindow()->findChild<QToolButton *>(QStringLiteral("StopQuelmButton"));
    QVERIFY(stopItem && stopButton);
    QVERIFY(!stopItem->isEnabled());
    QVERIFY(!stopButton->isEnabled());

    const QString command = openCommand(f, QStringLiteral("run.cf"));
    frame.ExecQuelm();
    QVERIFY(frame.EngineRunning());
    QVERIFY(stopItem->isEnabled());
    QVERIFY(stopButton->isEnabled());
    letGo(command);
    QVERIFY(runEnded(frame));
    QVERIFY(!stopItem->isEnabled());
    QVERIFY(!stopButton->isEnabled());
    QCOMPARE(frame.runLog()->lines().constLast().left(15), QStringLiteral("exit status 0 a"));
}

void TestRunStop::stopCommandRun_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Ctrl+F7") << "key";
    QTest::newRow("Stop button") << "button";
}

// Stop ends the engine and all it started; the run ends as every run does:
// the output written so far is shown and listed, and the status is "Ready.".
void TestRunStop::stopCommandRun()
{
    QFETCH(QString, how);
    FrameFixture f;
    TFrameForm &frame = f.frame();
    RunHelpers::makeEngine(f, TreeWithStubbornChild);
    const QString command = openCommand(f, QStringLiteral("run.cf"));
    const QString output = f.home() + QStringLiteral("/run.out");
    QApplication::setActiveWindow(&frame);
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    frame.CommandWindow()->editor()->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F7);
    QVERIFY(frame.EngineRunning());
    QTRY_VERIFY_WITH_TIMEOUT(pidsWritten(command, true), EndTimeout);
    const qint64 group = frame.EngineProcess()->processGroup();
    const qint64 enginePid = ProcessProbe::pidFromFile(command + QStringLiteral(".engine"));
    const qint64 childPid = ProcessProbe::pidFromFile(command + QStringLiteral(".child"));

    QElapsedTimer clock;
    clock.start();
    if (how == QLatin1String("key"))
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F7, Qt::ControlModifier);
    else
        QTest::mouseClick(frame.CommandWindow()->findChild<QToolButton *>(QStringLiteral("StopQuelmButton")),
                          Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!ProcessProbe::isLive(enginePid), StopLimitMs);
    // The engine went with SIGTERM; its child, which ignores it, is still there.
    QVERIFY(ProcessProbe::isLive(childPid));
    QTRY_VERIFY_WITH_TIMEOUT(ProcessProbe::liveMembers(group).isEmpty(), StopLimitMs);
    QVERIFY(clock.elapsed() < StopLimitMs);

    QVERIFY(runEnded(frame));
    QCOMPARE(frame.OutputWindow()->FileName, output);
    QCOMPARE(frame.OutputWindow()->editor()->bytes(), QByteArray("partial\n"));
    QCOMPARE(frame.OutputWindow()->historyEntries(), QStringList{output});
    QCOMPARE(frame.statusText(), QStringLiteral("Ready."));
    QVERIFY(f.dialogs.errors.isEmpty());
    QVERIFY(frame.runLog()->lines().constLast().startsWith(QStringLiteral("stopped after ")));
    QVERIFY(frame.findChild<QAction *>(QStringLiteral("RunQuelm1"))->isEnabled());
    QVERIFY(frame.close());
}

void TestRunStop::stopMasterRun_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Stop button") << "button";
    QTest::newRow("Escape") << "key";
}

// The progress window's Stop ends the engine that is running and the master
// run with it, as after its last line: no further line runs, no message.
void TestRunStop::stopMasterRun()
{
    QFETCH(QString, how);
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeLoggingEngine(f, TreeWithStubbornChild);
    const QString a = f.writeFile(QStringLiteral("a.cf"), "1\r\n");
    const QString b = f.writeFile(QStringLiteral("b.cf"), "2\r\n");
    openMaster(f, (a + "\r\n" + b + "\r\n").toUtf8());

    qint64 group = 0;
    bool stopPressed = false;
    bool stopItemEnabled = true;
    QElapsedTimer clock;
    execMasterWatching(frame, [&](MasterProgress &shown) {
        MasterProgress *progress = &shown;
        if (stopPressed || !pidsWritten(a, true))
            return;
        group = ProcessProbe::groupOf(ProcessProbe::pidFromFile(a + QStringLiteral(".engine")));
        stopItemEnabled = frame.findChild<QAction *>(QStringLiteral("StopQuelm1"))->isEnabled();
        stopPressed = true;
        clock.start();
        if (how == QLatin1String("button")) {
            QTest::mouseClick(progress->findChild<QPushButton *>(QStringLiteral("StopButton")),
                              Qt::LeftButton);
        } else {
            QApplication::setActiveWindow(progress);
            QVERIFY(QTest::qWaitForWindowActive(progress));
            QVERIFY(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        }
    });

    QVERIFY(stopPressed);
    QVERIFY(!stopItemEnabled);
    QVERIFY(group > 1);
    QTRY_VERIFY_WITH_TIMEOUT(ProcessProbe::liveMembers(group).isEmpty(), StopLimitMs);
    QVERIFY(clock.elapsed() < StopLimitMs);
    QCOMPARE(logOf(f), QStringList{"start cf=" + a});
    QVERIFY(f.dialogs.errors.isEmpty());
    QCOMPARE(frame.statusText(), QStringLiteral("Ready."));
    QCOMPARE(frame.CommandWindow()->FileName, a);
    QVERIFY(!frame.findChild<MasterProgress *>());
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(frame.runLog()->lines().constLast().startsWith(QStringLiteral("stopped after ")));
}

QTEST_MAIN(TestRunStop)
#include "tst_runstop.moc"
