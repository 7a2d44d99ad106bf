#include "printing/TextPrinter.h"

#include "core/StatusTexts.h"
#include "printing/PageLayout.h"
#include "printing/PrintCanvas.h"
#include "ui/UserDialogs.h"

#include <QPrinter>

#include <algorithm>

namespace {

const QString PrintTitle = QStringLiteral("Print");

// Qt's long time formats may name the time zone; a printed listing shows the
// clock time alone.
QString withoutTimeZone(const QString &format)
{
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        result.append(c);
    }
    return result.trimmed();
}

void drawHeader(PrintCanvas &canvas, const PageLayout &layout, const QString &title)
{
    canvas.drawRectangle(layout.left, layout.top, layout.headerRight, layout.headerBottom);
    canvas.drawText(layout.titleX, layout.titleY, title);
}

void drawFooter(PrintCanvas &canvas, const PageLayout &layout, const QString &dateText,
                const QString &pageText)
{
    canvas.drawRectangle(layout.left, layout.footerTop, layout.headerRight, layout.footerBottom);
    canvas.drawText(layout.footerLeftX, layout.footerTextY, QStringLiteral("Ostrel"));
    canvas.drawText(layout.footerCentreX - canvas.textWidth(dateText) / 2, layout.footerTextY, dateText);
    canvas.drawText(layout.footerRightX - canvas.textWidth(pageText), layout.footerTextY, pageText);
}

} // namespace

QString FooterDateText(const QDateTime &moment, const QLocale &locale)
{
    QString text = locale.toString(moment.date(), QLocale::ShortFormat);
    const QTime time = moment.time();
    if (time.hour() != 0 || time.minute() != 0 || time.second() != 0)
        text +=
            QLatin1Char(' ') + locale.toString(time, withoutTimeZone(locale.timeFormat(QLocale::LongFormat)));
    return text;
}

qsizetype FittingLength(const PrintCanvas &canvas, const QString &line, int usableWidth)
{
    const qsizetype n = line.size();
    const auto fits = [&](qsizetype length) { return canvas.textWidth(line.left(length)) <= usableWidth; };

    // Widths grow with the length, so the longest fitting part is found by
    // doubling up to the first length that does not fit, then halving.
    qsizetype fitting = 0; // the empty part always fits
    qsizetype probe = std::min<qsizetype>(n, 128);
    while (probe > fitting && fits(probe)) {
        fitting = probe;
        probe = std::min<qsizetype>(n, probe * 2);
    }
    if (fitting == n)
        return n;
    qsizetype tooLong = probe;
    while (tooLong - fitting > 1) {
        const qsizetype middle = fitting + (tooLong - fitting) / 2;
        if (fits(middle))
            fitting = middle;
        else
            tooLong = middle;
    }
    // Never print half of a character that takes two UTF-16 units.
    if (fitting > 0 && fitting < n && line.at(fitting - 1).isHighSurrogate() &&
        line.at(fitting).isLowSurrogate())
        --fitting;
    return fitting;
}

PageRange PageRangeOf(const QPrinter &printer)
{
    PageRange range;
    if (printer.printRange() != QPrinter::PageRange)
        return range;
    // The dialog leaves 0 for a bound the user did not give.
    if (printer.fromPage() > 0)
        range.first = printer.fromPage();
    if (printer.toPage() > 0)
        range.last = printer.toPage();
    return range;
}

PrintOutcome PrintEditorLines(PrintCanvas &canvas, const QFont &font, const QString &title,
                              const QStringList &lines, const PrintClock &clock, const PageRange &range)
{
    canvas.setFont(font);
    const PageLayout layout = ComputePageLayout(canvas.metrics(), canvas.lineHeight());
    if (!layout.valid)
        return PrintOutcome::Refused;

    const qsizetype count = lines.size();
    const qsizetype pages = layout.pageCount(count);
    const qsizetype firstPage = std::max<qsizetype>(1, range.first);
    const qsizetype lastPage = std::min<qsizetype>(pages, range.last);
    // An empty text still makes its one blank page, as a job with no lines does.
    if (count > 0 && firstPage > lastPage)
        return PrintOutcome::NoPages;
    if (!canvas.begin())
        return PrintOutcome::Failed;

    const qsizetype perPage = layout.linesPerPage;
    for (qsizetype page = firstPage; count > 0 && page <= lastPage; ++page) {
        if (page > firstPage && !canvas.newPage()) {
            canvas.end();
            return PrintOutcome::Failed;
        }
        drawHeader(canvas, layout, title);
        const qsizetype pageStart = (page - 1) * perPage;
        const qsizetype pageEnd = std::min(count, pageStart + perPage);
        for (qsizetype i = pageStart; i < pageEnd; ++i) {
            const QString &line = lines.at(i);
            if (line.isEmpty())
                continue;
            const qsizetype length = FittingLength(canvas, line, layout.usableWidth);
            if (length > 0)
                canvas.drawText(layout.left, layout.bodyLineY(int(i - pageStart)), line.left(length));
        }
        const QDateTime now = clock ? clock() : QDateTime::currentDateTime();
        drawFooter(canvas, layout, FooterDateText(now), QStringLiteral("%1/%2").arg(page).arg(pages));
    }
    return canvas.end() ? PrintOutcome::Printed : PrintOutcome::Failed;
}

PrintOutcome PrintOnPrinter(QPrinter &printer, const QFont &font, const QString &title,
                            const QStringList &lines)
{
    PrinterCanvas canvas(printer);
    return PrintEditorLines(canvas, font, title, lines, {}, PageRangeOf(printer));
}

void ReportPrintOutcome(QWidget *parent, UserDialogs &dialogs, PrintOutcome outcome)
{
    switch (outcome) {
    case PrintOutcome::Refused:
        dialogs.error(
            parent, PrintTitle,
            QStringLiteral("The print font is too large for this page: not one line fits between the "
                           "header and the footer. Nothing was printed. Choose a smaller print font "
                           "or a larger paper size."));
        break;
    case PrintOutcome::NoPages:
        dialogs.error(parent, PrintTitle,
                      QStringLiteral("The text has fewer pages than the first page asked for. "
                                     "Nothing was printed."));
        break;
    case PrintOutcome::Failed:
        dialogs.error(parent, PrintTitle,
                      QStringLiteral("The printer reported an error, so the print job was ended. "
                                     "Check the printer and try again."));
        break;
    case PrintOutcome::Printed:
    case PrintOutcome::Cancelled:
        break;
    }
}

PrintOutcome RunPrintJob(QWidget *parent, UserDialogs &dialogs, QPrinter &printer, const QFont &font,
                         const QString &title, const QStringList &lines, const StatusSetter &setStatus)
{
    if (!dialogs.print(parent, printer))
        return PrintOutcome::Cancelled;
    if (setStatus)
        setStatus(QStringLiteral("Printing in Progress ..."));
    const PrintOutcome outcome = PrintOnPrinter(printer, font, title, lines);
    if (setStatus)
        setStatus(StatusTexts::Ready);
    ReportPrintOutcome(parent, dialogs, outcome);
    return outcome;
}

bool RunPrinterSetup(QWidget *parent, UserDialogs &dialogs, QPrinter &printer)
{
    return dialogs.printerSetup(parent, printer);
}
