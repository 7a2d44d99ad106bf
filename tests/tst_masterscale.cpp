#include "FrameFixture.h"
#include "ProcessProbe.h"
#include "RunHelpers.h"

#include "app/MDIFrame.h"
#include "documents/MDICommand.h"
#include "engine/LaunchScript.h"
#include "engine/MasterProgress.h"
#include "engine/RunLog.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

#include <unistd.h>

using namespace RunHelpers;

namespace {

// An engine that logs "start FILE" and "end FILE", leaves its pid beside the
// command file, holds while the home folder has a file "hold" but no file
// "go", then writes the command file's text and a line of its own.
QByteArray scaleEngine(const QString &home)
{
    const QByteArray dir = QFile::encodeName(LaunchScript::posixQuoted(home));
    return "f=${1#cf=}\n"
           "printf 'start %s\\n' \"$f\" >>" +
           dir +
           "/engine.log\necho $$ >\"$f.pid\"\n"
           "if [ -e " +
           dir + "/hold ]; then while [ ! -e " + dir +
           "/go ]; do sleep 0.05; done; fi\n"
           "sleep 0.1\ncat \"$f\"\nprintf 'result of %s\\n' \"${f##*/}\"\n"
           "printf 'end %s\\n' \"$f\" >>" +
           dir + "/engine.log\n";
}

// The most engines the log shows running at one time.
int mostAtOnce(const QStringList &log)
{
    int running = 0;
    int most = 0;
    for (const QString &line : log) {
        running += line.startsWith(QLatin1String("start ")) ? 1 : -1;
        most = qMax(most, running);
    }
    return most;
}

int startCount(const QStringList &log)
{
    return int(log.filter(QRegularExpression(QStringLiteral("^start "))).size());
}

// Calls step every 20 ms while the master run's progress window is up.
class ProgressWatch
{
public:
    explicit ProgressWatch(std::function<void(MasterProgress &)> step)
    {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [step] {
            if (auto *progress = qobject_cast<MasterProgress *>(QApplication::activeModalWidget()))
                step(*progress);
        });
        m_timer.start();
    }

private:
    QTimer m_timer;
};

} // namespace

// Master runs with several command files at once, with real shell engines.
class TestMasterScale : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void runsOverlapWithinLimit_data();
    void runsOverlapWithinLimit();
    void sharedFilesNeverAtOnce_data();
    void sharedFilesNeverAtOnce();
    void stopEndsEveryEngine();
    void missingFileStopsAfterRunningEnd();

private:
    static QStringList writeCommandFiles(FrameFixture &f, int count);
    static void setAtOnce(TFrameForm &frame, int atOnce);
};

void TestMasterScale::initTestCase()
{
    if (LaunchScript::platformShell() != LaunchScript::Shell::Posix)
        QSKIP("the engines here are shell scripts for /bin/sh");
}

QStringList TestMasterScale::writeCommandFiles(FrameFixture &f, int count)
{
    QStringList files;
    for (int i = 1; i <= count; ++i) {
        files.append(f.writeFile(QStringLiteral("jobs/job%1.cf").arg(i, 2, 10, QLatin1Char('0')),
                                 QByteArray::number(i * 7) + "+1\r\n"));
    }
    return files;
}

void TestMasterScale::setAtOnce(TFrameForm &frame, int atOnce)
{
    RunSettings runs = frame.runSettings();
    runs.atOnce = atOnce;
    frame.setRunSettings(runs);
}

void TestMasterScale::runsOverlapWithinLimit_data()
{
    QTest::addColumn<int>("atOnce");
    QTest::addColumn<int>("files");

    QTest::newRow("4 at once, 10 files") << 4 << 10;
    QTest::newRow("2 at once, 5 files") << 2 << 5;
    QTest::newRow("8 at once, 3 files") << 8 << 3;
}

// As many run together as allowed, never more; the outputs are those of the
// run one after another, and the command window ends on the last file.
void TestMasterScale::runsOverlapWithinLimit()
{
    QFETCH(int, atOnce);
    QFETCH(int, files);
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeEngine(f, scaleEngine(f.home()));
    const QStringList commandFiles = writeCommandFiles(f, files);
    openMaster(f, (commandFiles.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
    f.writeFile(QStringLiteral("hold"), "");

    const int full = qMin(atOnce, files);
    QString countsSeen;
    QStringList listSeen;
    const ProgressWatch watch([&](MasterProgress &progress) {
        if (!countsSeen.isEmpty() || startCount(logOf(f)) < full)
            return;
        countsSeen = progress.text();
        listSeen = progress.runningFiles();
        f.writeFile(QStringLiteral("go"), "");
    });
    setAtOnce(frame, atOnce);
    frame.ExecMaster();

    const QStringList log = logOf(f);
    QCOMPARE(startCount(log), files);
    QCOMPARE(mostAtOnce(log), full);
    QCOMPARE(countsSeen, MasterProgress::countsText(0, full, files - full));
    QStringList expectedList;
    for (int i = 1; i <= full; ++i)
        expectedList.append(MasterProgress::runningText(i, commandFiles.at(i - 1)));
    QCOMPARE(listSeen, expectedList);
    QVERIFY(f.dialogs.errors.isEmpty());
    QCOMPARE(frame.statusText(), QStringLiteral("Ready."));
    QCOMPARE(frame.CommandWindow()->FileName, commandFiles.constLast());
    QCOMPARE(frame.CommandWindow()->windowTitle(), QStringLiteral("COMMAND - ") + commandFiles.constLast());
    QCOMPARE(
        frame.runLog()->lines().filter(QRegularExpression(QStringLiteral("^exit status 0 after"))).size(),
        files);

    QList<QByteArray> outputs;
    for (const QString &file : commandFiles) {
        const QString output = QDir(f.home()).filePath(
            QStringLiteral("jobs/") + QFileInfo(file).completeBaseName() + QStringLiteral(".out"));
        outputs.append(f.readFile(output));
        QVERIFY(QFile::remove(output));
    }
    setAtOnce(frame, 1);
    frame.ExecMaster();
    for (qsizetype i = 0; i < commandFiles.size(); ++i) {
        const QString output = QDir(f.home()).filePath(QStringLiteral("jobs/") +
                                                       QFileInfo(commandFiles.at(i)).completeBaseName() +
                                                       QStringLiteral(".out"));
        QCOMPARE(f.readFile(output), outputs.at(i));
    }
}

void TestMasterScale::sharedFilesNeverAtOnce_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    // A link made first: its name, what it points to (in the home folder,
    // made if missing) and whether it is a hard link.
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("linkTarget");
    QTest::addColumn<bool>("hard");

    QTest::newRow("one command file twice") << "a.cf"
                                            << "a.cf" << QString() << QString() << false;
    QTest::newRow("one file and a link to it") << "a.cf"
                                               << "b.cf"
                                               << "b.cf"
                                               << "a.cf" << false;
    QTest::newRow("one file through a linked folder") << "a.cf"
                                                      << "linked/a.cf"
                                                      << "linked"
                                                      << "." << false;
    QTest::newRow("both write one output file") << "x.cf"
                                                << "x.txt" << QString() << QString() << false;
    QTest::newRow("a command file hard-linked to the other's output") << "a.cf"
                                                                      << "b.cf"
                                                                      << "b.cf"
                                                                      << "a.out" << true;
    QTest::newRow("output files hard-linked") << "x.cf"
                                              << "y.cf"
                                              << "y.out"
                                              << "x.out" << true;
}

// Lines on the same command file, or whose files are one file under two
// names, take turns; the line after them still waits its turn.
void TestMasterScale::sharedFilesNeverAtOnce()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, link);
    QFETCH(QString, linkTarget);
    QFETCH(bool, hard);
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeEngine(f, scaleEngine(f.home()));
    const QDir home(f.home());
    const QString firstPath = f.writeFile(first, "1\r\n");
    if (hard) {
        const QString target = home.filePath(linkTarget);
        if (!QFile::exists(target))
            f.writeFile(linkTarget, "2\r\n");
        QCOMPARE(
            ::link(QFile::encodeName(target).constData(), QFile::encodeName(home.filePath(link)).constData()),
            0);
    } else if (!link.isEmpty()) {
        QVERIFY(QFile::link(QDir::cleanPath(home.filePath(linkTarget)), home.filePath(link)));
    }
    const QString secondPath = home.filePath(second);
    if (!QFile::exists(secondPath))
        f.writeFile(second, "2\r\n");
    const QString after = f.writeFile(QStringLiteral("after.cf"), "3\r\n");
    openMaster(f, (firstPath + "\r\n" + secondPath + "\r\n" + after + "\r\n").toUtf8());
    setAtOnce(frame, 4);
    frame.ExecMaster();

    const QStringList log = logOf(f);
    QCOMPARE(startCount(log), 3);
    const int firstEnd = int(log.indexOf(QStringLiteral("end ") + firstPath));
    const int secondStart = int(log.lastIndexOf(QStringLiteral("start ") + secondPath));
    QVERIFY2(firstEnd >= 0 && firstEnd < secondStart, qPrintable(log.join(QLatin1Char('|'))));
    // The line after starts with the second or later, and the two engines
    // may log their starts in either order: it must not have started while
    // the second waited.
    QVERIFY2(log.indexOf(QStringLiteral("start ") + after) > firstEnd,
             qPrintable(log.join(QLatin1Char('|'))));
    QVERIFY(f.dialogs.errors.isEmpty());
}

// Stop ends every engine that runs, starts no further line and leaves no
// process behind.
void TestMasterScale::stopEndsEveryEngine()
{
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeEngine(f, scaleEngine(f.home()));
    const QStringList commandFiles = writeCommandFiles(f, 7);
    openMaster(f, (commandFiles.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
    f.writeFile(QStringLiteral("hold"), "");

    QList<qint64> groups;
    bool stopPressed = false;
    const ProgressWatch watch([&](MasterProgress &progress) {
        if (stopPressed || startCount(logOf(f)) < 4)
            return;
        for (int i = 0; i < 4; ++i) {
            const qint64 pid = ProcessProbe::pidFromFile(commandFiles.at(i) + QStringLiteral(".pid"));
            if (pid == 0)
                return;
            groups.append(ProcessProbe::groupOf(pid));
        }
        stopPressed = true;
        QTest::mouseClick(progress.findChild<QPushButton *>(QStringLiteral("StopButton")), Qt::LeftButton);
    });
    setAtOnce(frame, 4);
    frame.ExecMaster();

    QVERIFY(stopPressed);
    QCOMPARE(startCount(logOf(f)), 4);
    for (const qint64 group : groups) {
        QVERIFY(group > 1);
        QTRY_VERIFY_WITH_TIMEOUT(ProcessProbe::liveMembers(group).isEmpty(), 10000);
    }
    QCOMPARE(frame.runLog()->lines().filter(QRegularExpression(QStringLiteral("^stopped after "))).size(), 4);
    QVERIFY(f.dialogs.errors.isEmpty());
    QCOMPARE(frame.statusText(), QStringLiteral("Ready."));
    QVERIFY(!frame.findChild<MasterProgress *>());
}

// A missing file stops the run, but the message waits until the engines
// already started have ended; no line after it starts.
void TestMasterScale::missingFileStopsAfterRunningEnd()
{
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeEngine(f, scaleEngine(f.home()));
    const QStringList commandFiles = writeCommandFiles(f, 3);
    const QString missing = QDir(f.home()).filePath(QStringLiteral("jobs/missing.cf"));
    openMaster(f, (commandFiles.at(0) + "\r\n" + commandFiles.at(1) + "\r\n" + missing + "\r\n" +
                   commandFiles.at(2) + "\r\n")
                      .toUtf8());
    f.writeFile(QStringLiteral("hold"), "");

    bool seenWaiting = false;
    bool errorTooEarly = false;
    bool stoppingShown = false;
    const ProgressWatch watch([&](MasterProgress &progress) {
        if (!f.dialogs.errors.isEmpty() && !QFile::exists(QDir(f.home()).filePath(QStringLiteral("go"))))
            errorTooEarly = true;
        if (seenWaiting || startCount(logOf(f)) < 2)
            return;
        seenWaiting = true;
        const auto *stopping = progress.findChild<QLabel *>(QStringLiteral("StoppingText"));
        stoppingShown = stopping && stopping->isVisible();
        errorTooEarly = errorTooEarly || !f.dialogs.errors.isEmpty();
        f.writeFile(QStringLiteral("go"), "");
    });
    setAtOnce(frame, 3);
    frame.ExecMaster();

    QVERIFY(seenWaiting);
    QVERIFY(!errorTooEarly);
    QVERIFY(stoppingShown);
    QCOMPARE(f.dialogs.lastError(), QStringLiteral("Cannot find ???"));
    QCOMPARE(f.dialogs.errors.size(), 1);
    const QStringList log = logOf(f);
    QCOMPARE(startCount(log), 2);
    QCOMPARE(log.filter(QStringLiteral("end ")).size(), 2);
    QVERIFY(!frame.findChild<MasterProgress *>());
}

QTEST_MAIN(TestMasterScale)
#include "tst_masterscale.moc"
