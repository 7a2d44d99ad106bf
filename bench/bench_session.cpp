// Start-up with a session of 20 other-file windows, 10 of them files of
// 10 MB, each the median of five runs:
//
//   painted   from making the frame to its first paint (the start-up that
//             ostrel.ini drives, with the session's frame state)
//   restored  from making the frame to the last window back
//   gap       the longest time the event loop was held while the windows
//             came back: what a user who clicks or types meanwhile waits
//
// The floor, measured in the same run: the same start without a session
// (painted), and the longest gap of the event loop while the frame idles.
#include "BenchTools.h"
#include "ScriptedDialogs.h"
#include "app/MDIFrame.h"
#include "app/Session.h"
#include "core/UserSettings.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using BenchTools::median;

constexpr int Runs = 5;
constexpr int Windows = 20;
constexpr int LargeWindows = 10;
constexpr qint64 LargeSize = 10 * 1024 * 1024;

QString writeLines(const QString &path, qint64 size)
{
    const QByteArray line = QByteArray(78, 'r') + "\r\n";
    QByteArray text;
    text.reserve(size);
    while (text.size() + line.size() <= size)
        text += line;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text);
    return path;
}

// Records when the frame's windows are first painted.
class PaintProbe : public QObject
{
public:
    PaintProbe(QWidget *watched, const QElapsedTimer &clock) : m_clock(clock) { watched->installEventFilter(this); }
    double paintedMs = -1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && paintedMs < 0)
            paintedMs = double(m_clock.nsecsElapsed()) / 1e6;
        return QObject::eventFilter(watched, event);
    }

private:
    const QElapsedTimer &m_clock;
};

struct Start
{
    double painted = 0;
    double restored = 0;
    double gap = 0;
};

Start startFrame(const QString &home, bool session)
{
    ScriptedDialogs dialogs;
    QElapsedTimer clock;
    clock.start();
    TFrameForm frame(dialogs, home);
    frame.setSessionKept(session);
    PaintProbe painted(frame.mdiArea()->viewport(), clock);
    BenchTools::LoopGaps gaps;
    QEventLoop loop;
    QObject::connect(&frame, &TFrameForm::sessionRestored, &loop, &QEventLoop::quit);
    frame.resize(800, 600);
    frame.show();
    gaps.start();
    loop.exec();
    Start start{painted.paintedMs, double(clock.nsecsElapsed()) / 1e6, gaps.longestMs()};
    // Whatever paint was still due.
    while (painted.paintedMs < 0)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    start.painted = painted.paintedMs;
    return start;
}

double idleGap()
{
    BenchTools::LoopGaps gaps;
    gaps.start();
    QEventLoop loop;
    QTimer::singleShot(500, &loop, &QEventLoop::quit);
    loop.exec();
    return gaps.longestMs();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir home;
    setUserSettingsFolder(home.filePath(QStringLiteral("user")));

    Session::State session;
    for (int i = 0; i < Windows; ++i) {
        const QString path = home.filePath(QStringLiteral("file%1.txt").arg(i));
        const qint64 size = i % 2 == 0 && i / 2 < LargeWindows ? LargeSize : 4096;
        writeLines(path, size);
        const int lines = int(size / 80);
        session.others.append(Session::Window{path, lines / 2, lines / 2 - 10, QRect()});
    }
    {
        QSettings settings = userSettings();
        Session::write(settings, session);
    }

    std::vector<double> painted;
    std::vector<double> restored;
    std::vector<double> gaps;
    std::vector<double> floorPainted;
    std::vector<double> floorGaps;
    for (int run = 0; run < Runs; ++run) {
        const Start floor = startFrame(home.path(), false);
        floorPainted.push_back(floor.painted);
        floorGaps.push_back(idleGap());
        const Start start = startFrame(home.path(), true);
        painted.push_back(start.painted);
        restored.push_back(start.restored);
        gaps.push_back(start.gap);
    }
    std::printf("session of %d windows, %d of them %lld MB; medians of %d runs\n", Windows, LargeWindows,
                LargeSize >> 20, Runs);
    std::printf("painted   %8.1f ms   (floor, no session: %.1f ms)\n", median(painted), median(floorPainted));
    std::printf("restored  %8.1f ms\n", median(restored));
    std::printf("gap       %8.1f ms   (floor, idle: %.1f ms)\n", median(gaps), median(floorGaps));
    return 0;
}
