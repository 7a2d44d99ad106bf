// Times the help index on a large help file: reading it, building the keyword
// list, and one search for the last keyword (which scans the whole text).
#include "BenchFiles.h"
#include "core/TextFile.h"
#include "help/KeyWordIndex.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int KeyWords = 100000;

double medianMs(int runs, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("quelm.hlp"));
    const QByteArray bytes = BenchFiles::helpFile(KeyWords);
    TextFile::writeBytes(path, bytes);
    const QString last = QStringLiteral("kw%1").arg(KeyWords, 6, 10, QLatin1Char('0'));

    QByteArray text;
    const double readMs = medianMs(5, [&] { text = TextFile::readText(path).utf8; });
    qsizetype count = 0;
    const double buildMs = medianMs(5, [&] { count = BuildKeyWordList(text).size(); });
    qsizetype found = -1;
    const double searchMs =
        medianMs(5, [&] { found = FindHelpEntry(text, last).value_or(QString()).size(); });
    const double fullSearchMs = medianMs(5, [&] {
        const QByteArray fresh = TextFile::readText(path).utf8;
        found = FindHelpEntry(fresh, last).value_or(QString()).size();
    });

    std::printf("help file: %.1f MB, %lld keywords listed, last entry %lld characters\n",
                double(bytes.size()) / (1024.0 * 1024.0), static_cast<long long>(count),
                static_cast<long long>(found));
    std::printf("median of 5 runs:\n");
    std::printf("  read the file as UTF-8           %8.1f ms\n", readMs);
    std::printf("  build the keyword list           %8.1f ms\n", buildMs);
    std::printf("  search the last keyword          %8.1f ms\n", searchMs);
    std::printf("  read and search the last         %8.1f ms\n", fullSearchMs);
    return count == KeyWords && found > 0 ? 0 : 1;
}
