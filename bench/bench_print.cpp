// Times printing long texts to a PDF file, to show that the cost of a line
// does not grow with the length of the text.
#include "printing/PrintCanvas.h"
#include "printing/TextPrinter.h"

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
        lines.append(
            QStringLiteral("%1  result(%2) = %3\tscale=20").arg(i, 7).arg(i).arg(1.0 / i, 0, 'g', 17));
    return lines;
}

// Passes every call on and notes the time at each new page, so that the cost
// of the first and the last pages of one long job can be compared.
class TimingCanvas : public PrintCanvas
{
public:
    explicit TimingCanvas(PrintCanvas &inner) : m_inner(inner) { m_timer.start(); }

    std::vector<qint64> pageStarts; // nanoseconds since the job began

    PrinterMetrics metrics() const override { return m_inner.metrics(); }
    void setFont(const QFont &font) override { m_inner.setFont(font); }
    int lineHeight() const override { return m_inner.lineHeight(); }
    int textWidth(const QString &text) const override { return m_inner.textWidth(text); }
    bool begin() override
    {
        pageStarts.push_back(m_timer.nsecsElapsed());
        return m_inner.begin();
    }
    bool newPage() override
    {
        pageStarts.push_back(m_timer.nsecsElapsed());
        return m_inner.newPage();
    }
    bool end() override
    {
        pageStarts.push_back(m_timer.nsecsElapsed());
        return m_inner.end();
    }
    void drawRectangle(int left, int top, int right, int bottom) override
    {
        m_inner.drawRectangle(left, top, right, bottom);
    }
    void drawText(int x, int y, const QString &text) override { m_inner.drawText(x, y, text); }

private:
    PrintCanvas &m_inner;
    QElapsedTimer m_timer;
};

struct JobTimes
{
    double totalMs = 0;
    double firstPagesMs = 0; // the first tenth of the pages
    double lastPagesMs = 0;  // the last tenth, without the job's end
};

JobTimes printJob(const QString &pdf, const QStringList &lines)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    QFont font(QStringLiteral("Courier New"), 10);
    font.setStyleHint(QFont::Monospace);
    PrinterCanvas printerCanvas(printer);
    TimingCanvas canvas(printerCanvas);
    QElapsedTimer timer;
    timer.start();
    const PrintOutcome outcome = PrintEditorLines(canvas, font, QStringLiteral("/tmp/bench.out"), lines);
    JobTimes times;
    times.totalMs = double(timer.nsecsElapsed()) / 1e6;
    if (outcome != PrintOutcome::Printed)
        std::fprintf(stderr, "print failed\n");
    const std::vector<qint64> &starts = canvas.pageStarts;
    const size_t pages = starts.size() - 2; // begin, one mark per later page, end
    const size_t tenth = std::max<size_t>(1, pages / 10);
    times.firstPagesMs = double(starts[tenth] - starts[0]) / 1e6;
    times.lastPagesMs = double(starts[pages] - starts[pages - tenth]) / 1e6;
    return times;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;

    std::printf("%8s %5s %10s %12s %18s %18s\n", "lines", "runs", "median ms", "us per line",
                "first 10% us/line", "last 10% us/line");
    for (const int count : {10000, 30000, 100000}) {
        const QStringList lines = makeLines(count);
        const int runs = count >= 100000 ? 3 : 5;
        std::vector<JobTimes> jobs;
        for (int run = 0; run < runs; ++run)
            jobs.push_back(printJob(dir.filePath(QStringLiteral("bench.pdf")), lines));
        std::sort(jobs.begin(), jobs.end(),
                  [](const JobTimes &a, const JobTimes &b) { return a.totalMs < b.totalMs; });
        const JobTimes &median = jobs[jobs.size() / 2];
        const double tenthLines = count / 10.0;
        std::printf("%8d %5d %10.1f %12.2f %18.2f %18.2f\n", count, runs, median.totalMs,
                    median.totalMs * 1000.0 / count, median.firstPagesMs * 1000.0 / tenthLines,
                    median.lastPagesMs * 1000.0 / tenthLines);
    }
    return 0;
}
