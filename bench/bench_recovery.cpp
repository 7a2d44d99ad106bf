// The recovery copy of a 76 MB text of 1,000,000 lines in the command
// window, as the program takes it (in steps on the interface thread) and
// writes it (on the store's writer thread). The copies are taken every second
// here instead of every 30. Prints the medians of 5 runs of:
//   floor gap      the longest gap between two turns of the event loop over
//                  the same time with the text saved (nothing is copied)
//   copy gap       the longest gap from the edit until the copy is on disk
//   copy on disk   the time from the edit until the copy is on disk (up to a
//                  second of it is the wait for the next copy)
// Goal: no gap over 100 ms while a copy is written.
//
//   QT_QPA_PLATFORM=offscreen build-release/bench/bench_recovery

#include "FrameFixture.h"

#include "documents/MDICommand.h"
#include "editor/TextEditor.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QByteArray bigText()
{
    QByteArray line = "0000000 a line of output with some numbers 3.14159 2.71828 1.41421 and more\r\n";
    QByteArray text;
    text.reserve(77 * 1000 * 1000);
    for (int i = 0; i < 1000000; ++i) {
        const QByteArray number = QByteArray::number(i).rightJustified(7, '0');
        std::copy(number.begin(), number.end(), line.begin());
        text += line;
    }
    return text;
}

// The longest gap between two turns of the event loop until done says so.
double longestGap(const std::function<bool()> &done)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    QTimer tick;
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    tick.start();
    while (!done())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return std::max(longest, clock.nsecsElapsed() - last) / 1e6;
}

bool hasCopy(const QString &home)
{
    return !QDir(home + QStringLiteral("/user/share/Ostrel/recovery"))
                .entryList({QStringLiteral("*.recovery")}, QDir::Files)
                .isEmpty();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QByteArray text = bigText();
    std::vector<double> floorGaps;
    std::vector<double> copyGaps;
    std::vector<double> onDisk;
    for (int run = 0; run < 5; ++run) {
        QTemporaryDir home;
        QDir().mkpath(home.filePath(QStringLiteral("user/Ostrel")));
        QFile conf(home.filePath(QStringLiteral("user/Ostrel/Ostrel.conf")));
        if (!conf.open(QIODevice::WriteOnly) || conf.write("[Recovery]\nIntervalSeconds=1\n") < 0)
            return 1;
        conf.close();
        FrameFixture f({}, {}, home.path());
        f.frame().OpenCommand(f.writeFile(QStringLiteral("big.out"), text));
        TCommandEditForm *command = f.frame().CommandWindow();
        QApplication::processEvents();

        QElapsedTimer timer;
        timer.start();
        FrameFixture::type(command, QStringLiteral("x"));
        copyGaps.push_back(longestGap([&] { return hasCopy(home.path()); }));
        onDisk.push_back(timer.nsecsElapsed() / 1e6);

        command->editor()->undo();
        QElapsedTimer idle;
        idle.start();
        floorGaps.push_back(longestGap([&] { return idle.elapsed() >= onDisk.back(); }));
    }
    std::printf("76 MB text, 1,000,000 lines, median of 5 runs:\n");
    std::printf("  floor gap      %7.1f ms\n", median(floorGaps));
    std::printf("  copy gap       %7.1f ms\n", median(copyGaps));
    std::printf("  copy on disk   %7.1f ms\n", median(onDisk));
    return 0;
}
