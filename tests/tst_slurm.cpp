#include "FrameFixture.h"
#include "RunHelpers.h"

#include "app/MDIFrame.h"
#include "engine/MasterProgress.h"
#include "engine/RunLog.h"

#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <unistd.h>

using namespace RunHelpers;

namespace {

const QString Launcher = QStringLiteral("srun --quiet --ntasks=1 --job-name=quelm");

QString clusterScript()
{
    return QStringLiteral(OSTREL_SOURCE_DIR "/tests/support/slurm-cluster");
}

// The job ids in the cluster's queue, one a line; empty when the queue is.
QString queue()
{
    QProcess squeue;
    squeue.start(QStringLiteral("squeue"),
                 {QStringLiteral("-h"), QStringLiteral("-o"), QStringLiteral("%A")});
    squeue.waitForFinished(10000);
    return QString::fromUtf8(squeue.readAllStandardOutput()).trimmed();
}

} // namespace

// Master runs through srun on a real single-node Slurm cluster that the
// test starts as root (tests/support/slurm-cluster). Where that cannot be
// done the test is skipped, unless OSTREL_REQUIRE_SLURM is set, as in CI:
// then it fails.
class TestSlurm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void masterRunOnCluster();
    void stopLeavesNoJob();

private:
    // Why the cluster cannot start here; empty when it can.
    static QString cannotStart();
    // Eight command files and a master file listing them, through srun.
    QStringList setUpStudy(FrameFixture &f, const QByteArray &engine);

    QTemporaryDir m_cluster{QStringLiteral("/tmp/ostrel-slurm-XXXXXX")};
    bool m_started = false;
};

QString TestSlurm::cannotStart()
{
    if (::geteuid() != 0)
        return QStringLiteral("needs root to start munged and the Slurm daemons");
    for (const char *program : {"munged", "slurmctld", "slurmd", "srun", "sinfo", "squeue"}) {
        if (QStandardPaths::findExecutable(QLatin1String(program)).isEmpty() &&
            QStandardPaths::findExecutable(QLatin1String(program), {QStringLiteral("/usr/sbin")}).isEmpty())
            return QStringLiteral("%1 is not installed (scripts/install-deps installs it)").arg(program);
    }
    return QString();
}

void TestSlurm::initTestCase()
{
    const bool required = qEnvironmentVariableIsSet("OSTREL_REQUIRE_SLURM");
    QString reason = cannotStart();
    if (reason.isEmpty()) {
        QProcess start;
        start.setProcessChannelMode(QProcess::MergedChannels);
        start.start(clusterScript(), {QStringLiteral("start"), m_cluster.path()});
        if (!start.waitForFinished(60000) || start.exitStatus() != QProcess::NormalExit ||
            start.exitCode() != 0)
            reason = QStringLiteral("the cluster did not start: ") + QString::fromLocal8Bit(start.readAll());
        else
            m_started = true;
    }
    if (!reason.isEmpty()) {
        if (required)
            QFAIL(qPrintable(QStringLiteral("OSTREL_REQUIRE_SLURM is set, but ") + reason));
        QSKIP(qPrintable(reason));
    }
    // srun, squeue and the engine's srun find the cluster through this.
    qputenv("SLURM_CONF", QFile::encodeName(QDir(m_cluster.path()).filePath(QStringLiteral("slurm.conf"))));
}

void TestSlurm::cleanupTestCase()
{
    if (!m_started)
        return;
    QProcess stop;
    stop.start(clusterScript(), {QStringLiteral("stop"), m_cluster.path()});
    QVERIFY(stop.waitForFinished(60000));
    QCOMPARE(stop.exitCode(), 0);
}

QStringList TestSlurm::setUpStudy(FrameFixture &f, const QByteArray &engine)
{
    makeEngine(f, engine);
    QStringList files;
    for (int i = 1; i <= 8; ++i)
        files.append(f.writeFile(QStringLiteral("study/run%1.cf").arg(i), QByteArray::number(i) + "*6\r\n"));
    openMaster(f, (files.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
    // More at once than the node has cores: the cluster queues the rest.
    f.frame().setRunSettings(RunSettings{8, Launcher});
    return files;
}

// Every command file runs as a job step: its output holds the engine's
// result and the job's id.
void TestSlurm::masterRunOnCluster()
{
    FrameFixture f;
    const QStringList files = setUpStudy(f, "f=${1#cf=}\necho \"result $(cat \"$f\" | tr -d '\\r' | bc)\"\n"
                                            "echo \"job $SLURM_JOB_ID\"\n");
    f.frame().ExecMaster();

    QVERIFY2(f.dialogs.errors.isEmpty(), qPrintable(f.dialogs.lastError()));
    for (int i = 1; i <= files.size(); ++i) {
        const QString output = QDir(f.home()).filePath(QStringLiteral("study/run%1.out").arg(i));
        const QString text = QString::fromUtf8(f.readFile(output));
        QVERIFY2(text.startsWith(QStringLiteral("result %1\njob ").arg(i * 6)), qPrintable(text));
        QVERIFY2(QRegularExpression(QStringLiteral("\njob [0-9]+\n$")).match(text).hasMatch(),
                 qPrintable(text));
    }
    QCOMPARE(
        f.frame().runLog()->lines().filter(QRegularExpression(QStringLiteral("^exit status 0 after"))).size(),
        files.size());
    // A job that has just ended may still be listed while Slurm completes it.
    QTRY_COMPARE_WITH_TIMEOUT(queue(), QString(), 20000);
}

// Stop in the middle: srun is told to end, which cancels its job, the
// running and the queued alike; nothing is left in the queue.
void TestSlurm::stopLeavesNoJob()
{
    FrameFixture f;
    setUpStudy(f, "trap '' TERM\nwhile :; do sleep 0.2; done\n");
    bool stopPressed = false;
    QString queued;
    QTimer watch;
    watch.setInterval(100);
    connect(&watch, &QTimer::timeout, this, [&] {
        auto *progress = qobject_cast<MasterProgress *>(QApplication::activeModalWidget());
        if (stopPressed || !progress)
            return;
        // All eight are waiting or running on the cluster.
        queued = queue();
        if (queued.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size() < 8)
            return;
        stopPressed = true;
        QTest::mouseClick(progress->findChild<QPushButton *>(QStringLiteral("StopButton")), Qt::LeftButton);
    });
    watch.start();
    f.frame().ExecMaster();
    watch.stop();

    QVERIFY(stopPressed);
    QTRY_COMPARE_WITH_TIMEOUT(queue(), QString(), 20000);
    QCOMPARE(f.frame().runLog()->lines().filter(QRegularExpression(QStringLiteral("^stopped after "))).size(),
             8);
    QVERIFY(f.dialogs.errors.isEmpty());
    QCOMPARE(f.frame().statusText(), QStringLiteral("Ready."));
}

QTEST_MAIN(TestSlurm)
#include "tst_slurm.moc"
