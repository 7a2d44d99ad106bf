// A study of many command files (default 1,000) whose engine sleeps 1 s,
// submitted to the Slurm cluster SLURM_CONF names (bench/study.sh starts the
// single-node test cluster). Prints, as medians of REPEATS submissions:
//   - the time from Submit until every line has its job id, beside the floor
//     of one bare sbatch (median of 10, in the same run) times the files;
//   - the longest gap of the event loop while submitting and while watching
//     (a 5 ms timer that notes how late it fires);
//   - the processor time of one poll of all the jobs: the program's own
//     (parsing, updating, showing) and squeue's.
// Every job is cancelled before the next submission and at the end.
//
//   bench_study [FILES] [REPEATS] [WATCH_SECONDS]   (default 1000, 3 and 30)

#include "BenchTools.h"
#include "BenchWindows.h"
#include "FrameFixture.h"

#include "app/MDIFrame.h"
#include "study/ClusterState.h"
#include "study/Studies.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using BenchTools::median;

double cpuMs(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    const auto ms = [](const timeval &t) { return double(t.tv_sec) * 1000 + double(t.tv_usec) / 1000; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

int run(const QString &program, const QStringList &arguments, QByteArray *output = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(120000);
    if (output)
        *output = process.readAllStandardOutput();
    return process.exitCode();
}

// sbatch alone, on a held job that is cancelled at once.
double sbatchMs(int repeats)
{
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer clock;
        clock.start();
        QByteArray id;
        run(QStringLiteral("sbatch"),
            {QStringLiteral("--parsable"), QStringLiteral("--hold"), QStringLiteral("--output=/dev/null"),
             QStringLiteral("--wrap=true")},
            &id);
        times.push_back(double(clock.nsecsElapsed()) / 1e6);
        run(QStringLiteral("scancel"), {QString::fromUtf8(id.trimmed())});
    }
    return median(times);
}

// squeue as a poll runs it, its processor time as the shell counts its children's.
double squeueMs()
{
    QByteArray output;
    run(QStringLiteral("bash"),
        QStringList{QStringLiteral("-c"), QStringLiteral("squeue \"$@\" >/dev/null; times"),
                    QStringLiteral("squeue")} +
            ClusterState::squeueArguments(),
        &output);
    // times: the shell's own user and system time, then its children's ("0m0.012s 0m0.004s").
    const QList<QByteArray> words = output.split('\n').value(1).split(' ');
    double ms = 0;
    for (const QByteArray &word : words) {
        const qsizetype m = word.indexOf('m');
        if (m > 0)
            ms += word.left(m).toDouble() * 60000 + word.mid(m + 1).chopped(1).toDouble() * 1000;
    }
    return ms;
}

// Notes the longest wait between two turns of the event loop.
class GapMeter : public QObject
{
public:
    explicit GapMeter(QObject *parent) : QObject(parent)
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] {
            const double now = double(m_clock.nsecsElapsed()) / 1e6;
            m_longest = std::max(m_longest, now - m_last);
            m_last = now;
        });
    }
    void start()
    {
        m_longest = 0;
        m_clock.start();
        m_last = 0;
        m_timer.start();
    }
    double stop()
    {
        m_timer.stop();
        return m_longest;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    double m_last = 0;
    double m_longest = 0;
};

void waitFor(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

bool allSubmitted(const Studies &studies)
{
    const Study &study = *studies.all().back();
    return !studies.isSubmitting(study.id) &&
           std::all_of(study.jobs.cbegin(), study.jobs.cend(),
                       [](const StudyJob &job) { return !job.jobId.isEmpty(); });
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int files = argc > 1 ? QByteArray(argv[1]).toInt() : 1000;
    const int repeats = argc > 2 ? QByteArray(argv[2]).toInt() : 3;
    const int watchSeconds = argc > 3 ? QByteArray(argv[3]).toInt() : 30;
    if (files <= 0 || repeats <= 0 || watchSeconds <= 0)
        return 1;
    if (!qEnvironmentVariableIsSet("SLURM_CONF") ||
        QStandardPaths::findExecutable(QStringLiteral("sbatch")).isEmpty()) {
        std::fprintf(stderr, "needs a running cluster: run bench/study.sh\n");
        return 77;
    }

    FrameFixture f;
    TFrameForm &frame = f.frame();
    openMasterOfFiles(f, files, "#!/bin/sh\nsleep 1\necho \"$1\"\n");
    Studies &studies = *frame.studies();
    studies.setPollSeconds(2);

    const double floorMs = sbatchMs(10);
    std::printf("%d files, sbatch alone %.1f ms (median of 10), floor %d x that = %.1f s\n", files, floorMs,
                files, floorMs * files / 1000);

    GapMeter gaps(&app);
    std::vector<double> submitS, submitGap, watchGap, pollOwn, pollSqueue;
    for (int r = 0; r < repeats; ++r) {
        QElapsedTimer clock;
        clock.start();
        gaps.start();
        frame.SubmitMasterClick();
        waitFor([&studies] { return !studies.all().empty() && allSubmitted(studies); }, 600000);
        submitS.push_back(double(clock.nsecsElapsed()) / 1e9);
        submitGap.push_back(gaps.stop());

        // Watching while the jobs run: polls every 2 s, the table ticking.
        gaps.start();
        QElapsedTimer watch;
        watch.start();
        waitFor([&watch, watchSeconds] { return watch.elapsed() > watchSeconds * 1000; },
                watchSeconds * 1000 + 1000);
        watchGap.push_back(gaps.stop());

        // One poll, its processor time in the program and in squeue. The
        // timer is held so that no poll of its own is in flight.
        studies.setPollSeconds(3600);
        waitFor([] { return false; }, 3000);
        for (int p = 0; p < 3; ++p) {
            bool done = false;
            const QMetaObject::Connection c =
                QObject::connect(&studies, &Studies::polled, [&done] { done = true; });
            const double own = cpuMs(RUSAGE_SELF);
            studies.pollNow();
            waitFor([&done] { return done; }, 60000);
            pollOwn.push_back(cpuMs(RUSAGE_SELF) - own);
            QObject::disconnect(c);
            pollSqueue.push_back(squeueMs());
            waitFor([] { return false; }, 300);
        }
        studies.setPollSeconds(2);
        std::printf("run %d: submitted in %.1f s, gaps %.0f ms submitting, %.0f ms watching; %s\n", r + 1,
                    submitS.back(), submitGap.back(), watchGap.back(),
                    qPrintable(Jobs::summaryText(*studies.all().back())));
        std::fflush(stdout);
        QList<int> lines;
        for (const StudyJob &job : studies.all().back()->jobs)
            lines.append(job.line);
        studies.cancel(studies.all().back()->id, lines);
        waitFor([&studies] { return Jobs::isOver(*studies.all().back()); }, 120000);
        studies.remove(studies.all().back()->id);
    }
    std::printf(
        "median of %d: submit %.1f s (floor %.1f s), longest gap submitting %.0f ms, watching %.0f ms\n",
        repeats, median(submitS), floorMs * files / 1000, median(submitGap), median(watchGap));
    std::printf(
        "one poll of %d jobs (median of %zu): %.0f ms of the program's processor time, %.0f ms squeue's\n",
        files, pollOwn.size(), median(pollOwn), median(pollSqueue));
    return 0;
}
