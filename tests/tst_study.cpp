#include "FrameFixture.h"
#include "RunHelpers.h"
#include "SlurmCluster.h"

#include "app/MDIFrame.h"
#include "documents/MDIMaster.h"
#include "engine/RunLog.h"
#include "study/Studies.h"
#include "study/StudyView.h"

#include <QDockWidget>
#include <QProcess>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

using namespace RunHelpers;

namespace {

// Beside tst_slurm's cluster (6817), so that both may run at once.
constexpr int ClusterPort = 6917;
constexpr int JobTimeout = 30000;

// Waits for a "go" file beside the command file; fails run3 while a "fail" file is there.
const QByteArray Engine =
    "f=${1#cf=}; d=$(dirname \"$f\")\n"
    "while [ ! -e \"$d/go\" ]; do sleep 0.1; done\n"
    "case $f in *run3.cf) if [ -e \"$d/fail\" ]; then echo 'bad input' >&2; exit 3; fi;; esac\n"
    "echo \"result $(tr -d '\\r' <\"$f\" | bc)\"\n";

QTreeWidgetItem *studyLine(TFrameForm &frame)
{
    return frame.studyView()->table()->topLevelItem(0);
}

QString summary(TFrameForm &frame)
{
    QTreeWidgetItem *line = studyLine(frame);
    return line ? line->text(StudyView::StateColumn) : QString();
}

QString rowState(TFrameForm &frame, int line)
{
    return studyLine(frame)->child(line - 1)->text(StudyView::StateColumn);
}

// Selects one row, or the study's own line (0), and clicks the tool button of command.
void clickOn(TFrameForm &frame, int line, QAction *command)
{
    QTreeWidget *table = frame.studyView()->table();
    QTreeWidgetItem *item = line == 0 ? studyLine(frame) : studyLine(frame)->child(line - 1);
    table->scrollToItem(item);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(item).center());
    QVERIFY(item->isSelected());
    const QList<QToolButton *> buttons = frame.studyView()->findChildren<QToolButton *>();
    for (QToolButton *button : buttons) {
        if (button->defaultAction() == command) {
            QVERIFY(button->isEnabled());
            QTest::mouseClick(button, Qt::LeftButton);
            return;
        }
    }
    QFAIL("no button for the command");
}

void submit(FrameFixture &f)
{
    QToolButton *button = f.frame().MasterWindow()->findChild<QToolButton *>(QStringLiteral("SubmitButton"));
    QTest::mouseClick(button, Qt::LeftButton);
}

// scontrol release: the study's jobs are submitted held, so that the test decides which run.
void release(const QStringList &jobIds)
{
    QProcess scontrol;
    scontrol.start(QStringLiteral("scontrol"), QStringList{QStringLiteral("release")} + jobIds);
    QVERIFY(scontrol.waitForFinished(10000));
}

} // namespace

// Studies submitted to a real single-node Slurm cluster (as tst_slurm's),
// watched, left and come back to.
class TestStudy : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void studyOutlivesTheProgram();
    void sharedFilesNeverRunAtOnce();
    void refusedWithoutCluster_data();
    void refusedWithoutCluster();

private:
    QStringList setUpStudy(FrameFixture &f);

    SlurmCluster m_cluster{ClusterPort};
};

void TestStudy::initTestCase()
{
    const QString reason = m_cluster.start();
    if (reason.isEmpty())
        return;
    if (qEnvironmentVariableIsSet("OSTREL_REQUIRE_SLURM"))
        QFAIL(qPrintable(QStringLiteral("OSTREL_REQUIRE_SLURM is set, but ") + reason));
    QSKIP(qPrintable(reason));
}

QStringList TestStudy::setUpStudy(FrameFixture &f)
{
    makeEngine(f, Engine);
    QStringList files;
    for (int i = 1; i <= 8; ++i)
        files.append(f.writeFile(QStringLiteral("study/run%1.cf").arg(i), QByteArray::number(i) + "*6\r\n"));
    openMaster(f, (files.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
    return files;
}

void TestStudy::studyOutlivesTheProgram()
{
    QTemporaryDir home;
    QStringList jobIds;
    {
        FrameFixture f({}, QByteArray(), home.path());
        setUpStudy(f);
        f.writeFile(QStringLiteral("study/fail"), "");
        f.frame().setRunSettings(RunSettings{1, QString(), QStringLiteral("--hold --job-name=\"a study\"")});
        submit(f);
        QTRY_COMPARE_WITH_TIMEOUT(summary(f.frame()), QStringLiteral("8 pending"), JobTimeout);
        QVERIFY(f.frame().studyDock()->isVisible());
        f.frame().studies()->setPollSeconds(1);
        for (int line = 1; line <= 8; ++line)
            jobIds.append(studyLine(f.frame())->child(line - 1)->text(StudyView::JobColumn));
        QCOMPARE(SlurmCluster::jobIds()
                     .filter(QRegularExpression(QStringLiteral("^(%1)$").arg(jobIds.join('|'))))
                     .size(),
                 8);

        // Cancelled while it waits in the queue.
        clickOn(f.frame(), 8, f.frame().studyView()->cancelAction());
        QTRY_COMPARE_WITH_TIMEOUT(rowState(f.frame(), 8), QStringLiteral("cancelled"), JobTimeout);
        release(jobIds.mid(0, 7));
        QTRY_VERIFY_WITH_TIMEOUT(summary(f.frame()).contains(QStringLiteral("running")), JobTimeout);

        // Quitting asks nothing and cancels nothing.
        QVERIFY(f.frame().close());
        QVERIFY(f.dialogs.questions.isEmpty());
        QVERIFY(f.dialogs.errors.isEmpty());
    }
    // The seven left are still there (the cancelled one may have left Slurm's memory).
    QCOMPARE(SlurmCluster::jobIds()
                 .filter(QRegularExpression(QStringLiteral("^(%1)$").arg(jobIds.mid(0, 7).join('|'))))
                 .size(),
             7);

    FrameFixture g({}, QByteArray(), home.path());
    g.frame().studies()->setPollSeconds(1);
    QVERIFY(g.frame().studyDock()->isVisible());
    QCOMPARE(studyLine(g.frame())->childCount(), 8);
    g.writeFile(QStringLiteral("study/go"), "");
    QTRY_COMPARE_WITH_TIMEOUT(summary(g.frame()), QStringLiteral("6 completed, 1 failed, 1 cancelled"),
                              JobTimeout);
    QCOMPARE(rowState(g.frame(), 3), QStringLiteral("failed (exit status 3)"));
    QVERIFY(g.frame().runLog()->lines().contains(QStringLiteral("bad input")));
    QVERIFY(!g.frame().runLog()->lines().filter(QStringLiteral("exit status 3 after")).isEmpty());
    QCOMPARE(QString::fromUtf8(g.readFile(g.home() + QStringLiteral("/study/run2.out"))),
             QStringLiteral("result 12\n"));

    // Submit Again reruns the failed one, and only it.
    QFile::remove(g.home() + QStringLiteral("/study/fail"));
    clickOn(g.frame(), 3, g.frame().studyView()->submitAgainAction());
    QTRY_COMPARE_WITH_TIMEOUT(rowState(g.frame(), 3), QStringLiteral("pending"), JobTimeout);
    const QString again = studyLine(g.frame())->child(2)->text(StudyView::JobColumn);
    QVERIFY(!jobIds.contains(again));
    release({again});
    QTRY_COMPARE_WITH_TIMEOUT(summary(g.frame()), QStringLiteral("7 completed, 1 cancelled"), JobTimeout);
    QCOMPARE(QString::fromUtf8(g.readFile(g.home() + QStringLiteral("/study/run3.out"))),
             QStringLiteral("result 18\n"));

    // Remove Study forgets it; its files stay.
    clickOn(g.frame(), 0, g.frame().studyView()->removeAction());
    QCOMPARE(g.frame().studyView()->table()->topLevelItemCount(), 0);
    QVERIFY(g.frame().studies()->all().empty());
    QVERIFY(g.dialogs.errors.isEmpty());
}

void TestStudy::sharedFilesNeverRunAtOnce()
{
    FrameFixture f;
    makeEngine(f, Engine);
    const QString twice = f.writeFile(QStringLiteral("twice/a.cf"), "1\r\n");
    const QString once = f.writeFile(QStringLiteral("twice/b.cf"), "2\r\n");
    openMaster(
        f, (QStringList{twice, once, twice}.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
    f.frame().setRunSettings(RunSettings{1, QString(), QStringLiteral("--hold")});
    submit(f);
    QTRY_COMPARE_WITH_TIMEOUT(summary(f.frame()), QStringLiteral("3 pending"), JobTimeout);
    QStringList dependencies;
    for (int line = 1; line <= 3; ++line) {
        QProcess squeue;
        squeue.start(QStringLiteral("squeue"),
                     {QStringLiteral("-h"), QStringLiteral("-o"), QStringLiteral("%E"), QStringLiteral("-j"),
                      studyLine(f.frame())->child(line - 1)->text(StudyView::JobColumn)});
        QVERIFY(squeue.waitForFinished(10000));
        dependencies.append(QString::fromUtf8(squeue.readAllStandardOutput().trimmed()));
    }
    QCOMPARE(dependencies.mid(0, 2), QStringList({QStringLiteral("(null)"), QStringLiteral("(null)")}));
    QVERIFY2(dependencies.at(2).startsWith(QStringLiteral("afterany:") +
                                           studyLine(f.frame())->child(0)->text(StudyView::JobColumn)),
             qPrintable(dependencies.at(2)));

    clickOn(f.frame(), 0, f.frame().studyView()->cancelAction());
    QTRY_COMPARE_WITH_TIMEOUT(summary(f.frame()), QStringLiteral("3 cancelled"), JobTimeout);
}

void TestStudy::refusedWithoutCluster_data()
{
    QTest::addColumn<bool>("sbatchMissing");
    QTest::addColumn<QString>("message");
    QTest::newRow("sbatch missing") << true << "Cannot find sbatch";
    QTest::newRow("controller down") << false << "The Slurm controller does not answer";
}

void TestStudy::refusedWithoutCluster()
{
    QFETCH(bool, sbatchMissing);
    QFETCH(QString, message);
    FrameFixture f;
    setUpStudy(f);
    const QStringList before = SlurmCluster::jobIds();
    const QByteArray path = qgetenv("PATH");
    const QByteArray conf = qgetenv("SLURM_CONF");
    if (sbatchMissing) {
        qputenv("PATH", QFile::encodeName(f.home()));
    } else {
        QByteArray text = f.readFile(m_cluster.confPath());
        text.replace("SlurmctldPort=", "SlurmctldPort=1");
        qputenv("SLURM_CONF", QFile::encodeName(f.writeFile(QStringLiteral("down.conf"), text)));
    }
    submit(f);
    QTRY_VERIFY_WITH_TIMEOUT(!f.dialogs.errors.isEmpty(), JobTimeout);
    qputenv("PATH", path);
    qputenv("SLURM_CONF", conf);

    QVERIFY2(f.dialogs.lastError().startsWith(message), qPrintable(f.dialogs.lastError()));
    QVERIFY(f.dialogs.lastError().endsWith(QStringLiteral("Nothing was submitted.")));
    QVERIFY(f.frame().studies()->all().empty());
    QVERIFY(QDir(f.home()).entryList({QStringLiteral("*.study-*")}, QDir::Dirs).isEmpty());
    QCOMPARE(SlurmCluster::jobIds(), before);
}

QTEST_MAIN(TestStudy)
#include "tst_study.moc"
