// What the end of a command-file run adds to the user's wait by looking for
// messages that name places: an output of 8 MB (the largest that is searched)
// in about 120,000 lines of numbers, decoded and split into lines (the floor),
// and every line then tried against the message forms (what the search
// adds). Prints the median of 7 runs of each. Target: the search under 50 ms.
//
//   bench_messages
#include "BenchTools.h"
#include "core/MessagePlaces.h"
#include "engine/RunMessages.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using BenchTools::median;

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QByteArray output;
    for (int i = 0; output.size() < 8 * 1024 * 1024; ++i)
        output += QByteArray::number(i) + "   " + QByteArray::number(i * 1.0001, 'f', 6) + "   " +
                  QByteArray::number(i / 7.0, 'f', 10) + "   the balance after year " +
                  QByteArray::number(i) + "\n";
    const MessagePatterns patterns;
    std::vector<double> floorMs;
    std::vector<double> searchMs;
    std::size_t found = 0;
    for (int run = 0; run < 7; ++run) {
        QElapsedTimer timer;
        timer.start();
        QStringList lines = QString::fromUtf8(output).split(QLatin1Char('\n'));
        floorMs.push_back(double(timer.nsecsElapsed()) / 1e6);
        timer.restart();
        found = RunMessages::inOutput(lines, patterns, QStringLiteral("/tmp/run.cf"), 10000).size();
        searchMs.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("%lld bytes, %lld lines, %zu messages\n", qlonglong(output.size()),
                qlonglong(output.count('\n')), found);
    std::printf("floor (decode and split): median %.1f ms\n", median(floorMs));
    std::printf("the search added:         median %.1f ms\n", median(searchMs));
    return 0;
}
