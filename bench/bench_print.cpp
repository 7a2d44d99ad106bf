// Times printing long texts to a PDF file, to show that the cost of a line
// does not grow with the length of the text.
#include "documents/PrintCanvas.h"
#include "documents/TextPrinter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPrinter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QStringList makeLines(int count)
{
    QStringList lines;
    lines.reserve(count);
    for (int i = 1; i <= count; ++i)
        lines.append(QStringLiteral("%1  result(%2) = %3\tscale=20").arg(i, 7).arg(i).arg(1.0 / i, 0, 'g', 17));
    return lines;
}

double printMs(const QString &pdf, const QStringList &lines)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    QFont font(QStringLiteral("Courier New"), 10);
    font.setStyleHint(QFont::Monospace);
    PrinterCanvas canvas(printer);
    QElapsedTimer timer;
    timer.start();
    const PrintOutcome outcome = PrintEditorLines(canvas, font, QStringLiteral("/tmp/bench.out"), lines);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    if (outcome != PrintOutcome::Printed)
        std::fprintf(stderr, "print failed\n");
    return ms;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;

    std::printf("%10s %6s %12s %14s\n", "lines", "runs", "median ms", "us per line");
    for (const int count : {10000, 30000, 100000}) {
        const QStringList lines = makeLines(count);
        const int runs = count >= 100000 ? 3 : 5;
        std::vector<double> times;
        for (int run = 0; run < runs; ++run)
            times.push_back(printMs(dir.filePath(QStringLiteral("bench.pdf")), lines));
        std::sort(times.begin(), times.end());
        const double median = times[times.size() / 2];
        std::printf("%10d %6d %12.1f %14.2f\n", count, runs, median, median * 1000.0 / count);
    }
    return 0;
}
