#include "study/BatchScript.h"
#include "study/ClusterState.h"
#include "study/StudyFile.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using ClusterState::ClusterJob;
using ClusterState::StatusFile;

Q_DECLARE_METATYPE(JobState)

// What the program reads of Slurm and of the jobs' own status files, what
// it keeps of a study, and the batch script run for real by sh.
class TestStudyFiles : public QObject
{
    Q_OBJECT

private slots:
    void slurmOutput();
    void jobUpdate_data();
    void jobUpdate();
    void keptAndExported();
    void batchScriptRuns();
};

void TestStudyFiles::slurmOutput()
{
    const QHash<QString, ClusterJob> listed =
        ClusterState::parseSqueue("17|RUNNING|vm|2026-12-09T11:30:00|2026-12-09T12:30:00\n"
                                  "18|PENDING||N/A|N/A\n"
                                  "19|CANCELLED by 0|vm|2026-12-09T11:30:01|2026-12-09T11:30:05\n"
                                  "garbage\n");
    QCOMPARE(listed.size(), 3);
    QCOMPARE(listed.value("17").state, JobState::Running);
    QCOMPARE(listed.value("17").node, QStringLiteral("vm"));
    QCOMPARE(listed.value("18").state, JobState::Pending);
    QVERIFY(!listed.value("18").start.isValid());
    QCOMPARE(listed.value("19").state, JobState::Cancelled);

    const QHash<QString, ClusterJob> shown = ClusterState::parseScontrol(
        "JobId=20 JobName=a.cf JobState=FAILED Reason=NonZeroExitCode ExitCode=3:0 NodeList=vm "
        "StartTime=2026-12-09T11:30:00 EndTime=2026-12-09T11:30:02\n"
        "JobId=21 JobState=TIMEOUT ExitCode=0:15 NodeList=(null)\n");
    QCOMPARE(shown.value("20").state, JobState::Failed);
    QCOMPARE(shown.value("20").exitStatus, 3);
    QCOMPARE(shown.value("21").state, JobState::TimedOut);
    QCOMPARE(shown.value("21").node, QString());
    QCOMPARE(ClusterState::stateFromSlurm(QStringLiteral("NODE_FAIL")), JobState::NodeFailure);
    QCOMPARE(ClusterState::stateFromSlurm(QStringLiteral("COMPLETING")), JobState::Running);
}

void TestStudyFiles::jobUpdate_data()
{
    QTest::addColumn<QByteArray>("status");    // the job's status file; empty for none
    QTest::addColumn<QString>("clusterState"); // as squeue lists it; empty when not listed
    QTest::addColumn<bool>("cancelAsked");
    QTest::addColumn<int>("polls");
    QTest::addColumn<QString>("shown");

    const QByteArray exit3 = "job=5\nexit=3\nsignal=0\nterminated=0\nstart=1000\nend=1060\nnode=n1\n";
    const QByteArray ended = "job=5\nexit=143\nsignal=15\nterminated=1\nstart=1000\nend=1060\nnode=n1\n";
    QTest::newRow("engine ended well")
        << QByteArray("job=5\nexit=0\nend=1\n") << QString() << false << 1 << "completed";
    QTest::newRow("engine failed") << exit3 << QStringLiteral("FAILED") << false << 1
                                   << "failed (exit status 3)";
    QTest::newRow("status of an earlier attempt")
        << QByteArray("job=4\nexit=0\nend=1\n") << QStringLiteral("RUNNING") << false << 1 << "running";
    QTest::newRow("time limit") << ended << QStringLiteral("TIMEOUT") << false << 1 << "timed out";
    QTest::newRow("ended by Slurm, forgotten") << ended << QString() << false << 1 << "cancelled";
    QTest::newRow("cancelled while pending") << QByteArray() << QString() << true << 1 << "cancelled";
    QTest::newRow("gone for a moment") << QByteArray() << QString() << false << 2 << "pending";
    QTest::newRow("gone without a word")
        << QByteArray() << QString() << false << 3 << "ended without a status";
    QTest::newRow("node failure") << QByteArray() << QStringLiteral("NODE_FAIL") << false << 1
                                  << "node failure";
}

void TestStudyFiles::jobUpdate()
{
    QFETCH(QByteArray, status);
    QFETCH(QString, clusterState);
    QFETCH(bool, cancelAsked);
    QFETCH(int, polls);
    QFETCH(QString, shown);

    StudyJob job;
    job.jobId = QStringLiteral("5");
    job.state = JobState::Pending;
    job.cancelAsked = cancelAsked;
    const std::optional<StatusFile> file = ClusterState::parseStatusFile(status);
    ClusterJob cluster;
    cluster.state = ClusterState::stateFromSlurm(clusterState);
    for (int i = 0; i < polls; ++i)
        ClusterState::update(job,
                             {true, clusterState.isEmpty() ? nullptr : &cluster, file ? &*file : nullptr});
    QCOMPARE(Jobs::stateText(job), shown);
}

void TestStudyFiles::keptAndExported()
{
    Study study;
    study.masterFile = QStringLiteral("/data/a b.mst");
    study.folder = QStringLiteral("/data/a b.study-1");
    study.submitted = QDateTime(QDate(2026, 12, 9), QTime(10, 42));
    for (int line = 1; line <= 3; ++line) {
        StudyJob job;
        job.line = line;
        job.commandFile = QStringLiteral("/data/run,%1.cf").arg(line);
        job.outputFile = QStringLiteral("/data/run \"%1\".out").arg(line);
        job.jobId = QString::number(100 + line);
        job.state = line == 2 ? JobState::Failed : JobState::Completed;
        job.exitStatus = line == 2 ? 3 : 0;
        job.start = study.submitted;
        job.end = study.submitted.addSecs(75);
        study.jobs.push_back(job);
    }
    const std::optional<Study> back = StudyFile::fromJson(StudyFile::toJson(study));
    QVERIFY(back);
    QCOMPARE(StudyFile::toJson(*back), StudyFile::toJson(study));
    QCOMPARE(Jobs::summaryText(*back), QStringLiteral("2 completed, 1 failed"));
    QVERIFY(!StudyFile::fromJson("{\"kind\":\"ostrel-study\",\"version\":1"));

    const QList<QByteArray> lines = StudyFile::csv(study, QDateTime()).split('\n');
    QCOMPARE(lines.at(0), QByteArray("file,job id,state,exit status,node,start,end,elapsed,output\r"));
    QCOMPARE(lines.at(2), QByteArray("\"/data/run,2.cf\",102,failed,3,,2026-12-09T10:42:00,"
                                     "2026-12-09T10:43:15,75,\"/data/run \"\"2\"\".out\"\r"));
}

// The script as sbatch would run it, with paths a shell would act on.
void TestStudyFiles::batchScriptRuns()
{
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/it's $HOME; a\nb");
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/study")));
    BatchScript::Job job;
    job.enginePath = folder + QStringLiteral("/engine");
    job.commandFile = folder + QStringLiteral("/run 1.cf");
    job.outputFile = folder + QStringLiteral("/run 1.out");
    job.errorFile = folder + QStringLiteral("/study/1.err");
    job.studyFolder = folder + QStringLiteral("/study");
    job.masterFile = folder + QStringLiteral("/m.mst");
    job.line = 1;
    QFile engine(job.enginePath);
    QVERIFY(engine.open(QIODevice::WriteOnly));
    engine.write("#!/bin/sh\necho \"ran on ${1#cf=} in $(pwd)\"\necho complaint >&2\nexit 4\n");
    engine.close();
    engine.setPermissions(engine.permissions() | QFileDevice::ExeOwner);
    QFile(job.commandFile).open(QIODevice::WriteOnly);

    QProcess sh;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("SLURM_JOB_ID"), QStringLiteral("77"));
    sh.setProcessEnvironment(environment);
    sh.setWorkingDirectory(dir.path());
    sh.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), BatchScript::text(job)});
    QVERIFY(sh.waitForFinished(10000));
    QCOMPARE(sh.exitCode(), 4);

    QFile output(job.outputFile);
    QVERIFY(output.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(output.readAll()),
             QStringLiteral("ran on %1 in %2\n").arg(job.commandFile, folder));
    QFile errors(job.errorFile);
    QVERIFY(errors.open(QIODevice::ReadOnly));
    QCOMPARE(errors.readAll(), QByteArray("complaint\n"));
    QFile statusFile(job.studyFolder + QStringLiteral("/77.status"));
    QVERIFY(statusFile.open(QIODevice::ReadOnly));
    const std::optional<StatusFile> status = ClusterState::parseStatusFile(statusFile.readAll());
    QVERIFY(status);
    QCOMPARE(status->jobId, QStringLiteral("77"));
    QCOMPARE(status->exitStatus, 4);
    QVERIFY(!status->terminated);
}

QTEST_MAIN(TestStudyFiles)
#include "tst_studyfiles.moc"
