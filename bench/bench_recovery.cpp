// The recovery copy of a 76 MB text of 1,000,000 lines, as the program
// writes it every 30 seconds while the text is unsaved. Prints the medians
// of 5 runs of:
//   floor gap      the longest gap between two turns of the event loop
//                  while it only waits, as long as a copy takes
//   copy gap       the longest gap while a copy is written (the text taken
//                  on the interface thread, written by the writer thread)
//   copy on disk   the time until the copy is whole on disk
// Goal: no gap over 100 ms while a copy is written.
//
//   QT_QPA_PLATFORM=offscreen build-release/bench/bench_recovery

#include "core/RecoveryStore.h"
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

// The longest gap between two turns of the event loop while work runs and
// until done says it is over.
double longestGap(const std::function<void()> &work, const std::function<bool()> &done)
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
    QTimer::singleShot(5, work);
    while (!done() || clock.elapsed() < 20)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const qint64 now = clock.nsecsElapsed();
    return std::max(longest, now - last) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.out"));
    {
        QFile file(path);
        QByteArray line = "0000000 a line of output with some numbers 3.14159 2.71828 1.41421 and more\r\n";
        QByteArray text;
        text.reserve(77 * 1000 * 1000);
        for (int i = 0; i < 1000000; ++i) {
            const QByteArray number = QByteArray::number(i).rightJustified(7, '0');
            std::copy(number.begin(), number.end(), line.begin());
            text += line;
        }
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    TextEditor editor;
    editor.resize(800, 600);
    editor.show();
    editor.loadFile(path);
    editor.insertAt(QStringLiteral("unsaved "), 500000, 0);
    QApplication::processEvents();

    std::vector<double> floorGaps;
    std::vector<double> copyGaps;
    std::vector<double> onDisk;
    for (int run = 0; run < 5; ++run) {
        RecoveryStore store(dir.filePath(QStringLiteral("recovery%1").arg(run)));
        QElapsedTimer timer;
        bool started = false;
        copyGaps.push_back(longestGap(
            [&] {
                timer.start();
                started = store.write(&editor, QStringLiteral("command"), path, editor.bytes());
            },
            [&] {
                // The writer says so through the event loop.
                if (!started || store.isWriting(&editor))
                    return false;
                if (onDisk.size() <= size_t(run))
                    onDisk.push_back(timer.nsecsElapsed() / 1e6);
                return true;
            }));
        store.waitForWrites();
        const double copyTime = onDisk.back();
        QElapsedTimer idle;
        idle.start();
        floorGaps.push_back(longestGap([] {}, [&] { return idle.elapsed() >= copyTime; }));
        store.endNormally();
    }
    std::printf("76 MB text, 1,000,000 lines, median of 5 runs:\n");
    std::printf("  floor gap      %7.1f ms\n", median(floorGaps));
    std::printf("  copy gap       %7.1f ms\n", median(copyGaps));
    std::printf("  copy on disk   %7.1f ms\n", median(onDisk));
    return 0;
}
