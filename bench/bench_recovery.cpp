// The recovery copy of a 76 MB text of 1,000,000 lines in the command
// window, as the program takes it (in steps on the interface thread) and
// writes it (on the store's writer thread). The copies are taken every second
// here instead of every 30. Prints the medians of 5 runs of:
//   floor gap      the longest gap between two turns of the event loop after
//                  the same edit, over the same time, where nothing is copied
//   copy gap       the longest gap from the edit until the copy is on disk
//   copy on disk   the time from the edit until the copy is on disk (up to a
//                  second of it is the wait for the next copy)
// Goal: no gap over 100 ms while a copy is written.
//
//   QT_QPA_PLATFORM=offscreen build-release/bench/bench_recovery

#include "BenchTools.h"
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
#include <memory>
#include <vector>

namespace {

using BenchTools::median;

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
    return BenchTools::longestGapWhile(1, [&done] {
        while (!done())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    });
}

bool hasCopy(const QString &home)
{
    return !QDir(home + QStringLiteral("/user/share/Ostrel/recovery"))
                .entryList({QStringLiteral("*.recovery")}, QDir::Files)
                .isEmpty();
}

// A frame whose command window shows text and copies unsaved text every
// seconds, in a home of its own.
struct Shown
{
    explicit Shown(const QByteArray &text, int seconds)
    {
        QDir().mkpath(home.filePath(QStringLiteral("user/Ostrel")));
        QFile conf(home.filePath(QStringLiteral("user/Ostrel/Ostrel.conf")));
        if (conf.open(QIODevice::WriteOnly))
            conf.write("[Recovery]\nIntervalSeconds=" + QByteArray::number(seconds) + "\n");
        conf.close();
        frame = std::make_unique<FrameFixture>(QStringList(), QByteArray(), home.path());
        frame->frame().OpenCommand(frame->writeFile(QStringLiteral("big.out"), text));
        QApplication::processEvents();
    }
    QTemporaryDir home;
    std::unique_ptr<FrameFixture> frame;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QByteArray text = bigText();
    std::vector<double> floorGaps;
    std::vector<double> copyGaps;
    std::vector<double> onDisk;
    for (int run = 0; run < 5; ++run) {
        {
            Shown copied(text, 1);
            QElapsedTimer timer;
            timer.start();
            FrameFixture::type(copied.frame->frame().CommandWindow(), QStringLiteral("x"));
            copyGaps.push_back(longestGap([&] { return hasCopy(copied.home.path()); }));
            onDisk.push_back(timer.nsecsElapsed() / 1e6);
        }
        // The same edit and the same wait where no copy is taken.
        Shown floor(text, 3600);
        QElapsedTimer timer;
        timer.start();
        FrameFixture::type(floor.frame->frame().CommandWindow(), QStringLiteral("x"));
        floorGaps.push_back(longestGap([&] { return timer.elapsed() >= onDisk.back(); }));
    }
    std::printf("76 MB text, 1,000,000 lines, median of 5 runs:\n");
    std::printf("  floor gap      %7.1f ms\n", median(floorGaps));
    std::printf("  copy gap       %7.1f ms\n", median(copyGaps));
    std::printf("  copy on disk   %7.1f ms\n", median(onDisk));
    return 0;
}
