// From `ostrel FILE` typed while Ostrel runs to the file shown in the running
// program, the median of seven runs:
//
//   shown     from starting the second program to the file's window painted
//             in the running one: what the user waits for
//   arrived   from starting the second program to the files in the running one
//   ended     from starting the second program to its end
//   floor     `ostrel --version` started and ended: the cost of starting the
//             executable at all, measured in the same run
//
// The running program is this one (the same frame and socket code as the
// program's), so that its paint can be seen; the second start is the real
// executable beside the bench folder.
#include "BenchTools.h"
#include "ScriptedDialogs.h"
#include "app/MDIFrame.h"
#include "app/SingleInstance.h"
#include "core/UserSettings.h"
#include "documents/MDIAnother.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using BenchTools::median;

constexpr int Runs = 7;

double ms(const QElapsedTimer &clock)
{
    return double(clock.nsecsElapsed()) / 1e6;
}

// When a window showing path was first painted.
class PaintWatch : public QObject
{
public:
    QString path;
    double paintedMs = -1;
    const QElapsedTimer *clock = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && paintedMs < 0 && !path.isEmpty()) {
            for (QObject *o = watched; o; o = o->parent()) {
                const auto *window = qobject_cast<TAnotherEditForm *>(o);
                if (window && window->FileName == path) {
                    paintedMs = ms(*clock);
                    break;
                }
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir root;
    const QString runtime = root.filePath(QStringLiteral("run"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    QApplication app(argc, argv);
    setUserSettingsFolder(root.filePath(QStringLiteral("config")));
    const QString program =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../ostrel"));

    InstanceServer server;
    if (!server.listen(SingleInstance::socketPath())) {
        std::fprintf(stderr, "cannot listen\n");
        return 1;
    }
    ScriptedDialogs dialogs;
    TFrameForm frame(dialogs, root.path());
    frame.setSessionKept(false);
    QObject::connect(&server, &InstanceServer::filesHandedOver, &frame, &TFrameForm::openHandedFiles);
    frame.resize(800, 600);
    frame.show();
    if (!QTest::qWaitForWindowExposed(&frame))
        return 1;

    PaintWatch watch;
    app.installEventFilter(&watch);
    double arrivedMs = -1;
    QObject::connect(&server, &InstanceServer::filesHandedOver, &frame, [&watch, &arrivedMs] {
        if (watch.clock)
            arrivedMs = ms(*watch.clock);
    });
    std::vector<double> shown;
    std::vector<double> ended;
    std::vector<double> arrived;
    std::vector<double> floor;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        QProcess version;
        version.start(program, {QStringLiteral("--version")});
        version.waitForFinished();
        floor.push_back(ms(clock));

        const QString path = root.filePath(QStringLiteral("file%1.txt").arg(run));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write("some text\r\n");
        file.close();
        watch.path = path;
        watch.paintedMs = -1;
        watch.clock = &clock;
        QProcess second;
        clock.start();
        second.start(program, {path});
        double endedMs = -1;
        while (watch.paintedMs < 0 || endedMs < 0) {
            QApplication::processEvents(QEventLoop::AllEvents, 1);
            if (endedMs < 0 && second.state() == QProcess::NotRunning)
                endedMs = ms(clock);
            if (ms(clock) > 10000) {
                std::fprintf(stderr, "run %d: nothing shown\n", run);
                return 1;
            }
        }
        shown.push_back(watch.paintedMs);
        arrived.push_back(arrivedMs);
        ended.push_back(endedMs);
    }
    std::printf("hand-over of one file to the running program; medians of %d runs\n", Runs);
    std::printf("arrived %7.1f ms   (the files in the running program)\n", median(arrived));
    std::printf("shown   %7.1f ms\n", median(shown));
    std::printf("ended   %7.1f ms\n", median(ended));
    std::printf("floor   %7.1f ms   (ostrel --version)\n", median(floor));
    return 0;
}
