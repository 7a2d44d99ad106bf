#include "documents/TextPrinter.h"

#include "core/StatusTexts.h"
#include "core/UserDialogs.h"
#include "documents/PageLayout.h"
#include "documents/PrintCanvas.h"

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

PrintOutcome PrintEditorLines(PrintCanvas &canvas, const QFont &font, const QString &title,
                              const QStringList &lines, const PrintClock &clock)
{
    canvas.setFont(font);
    const PageLayout layout = ComputePageLayout(canvas.metrics(), canvas.lineHeight());
    if (!layout.valid)
        return PrintOutcome::Refused;
    if (!canvas.begin())
        return PrintOutcome::Failed;

    const qsizetype count = lines.size();
    const qsizetype pages = layout.pageCount(count);
    const int perPage = layout.linesPerPage;
    qsizetype page = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const int onPage = int(i % perPage);
        if (onPage == 0) {
            if (i > 0 && !canvas.newPage()) {
                canvas.end();
                return PrintOutcome::Failed;
            }
            ++page;
            drawHeader(canvas, layout, title);
        }
        const QString &line = lines.at(i);
        if (!line.isEmpty()) {
            const qsizetype length = FittingLength(canvas, line, layout.usableWidth);
            if (length > 0)
                canvas.drawText(layout.left, layout.bodyLineY(onPage), line.left(length));
        }
        if (onPage == perPage - 1 || i == count - 1) {
            const QDateTime now = clock ? clock() : QDateTime::currentDateTime();
            drawFooter(canvas, layout, FooterDateText(now), QStringLiteral("%1/%2").arg(page).arg(pages));
        }
    }
    return canvas.end() ? PrintOutcome::Printed : PrintOutcome::Failed;
}

PrintOutcome RunPrintJob(QWidget *parent, UserDialogs &dialogs, QPrinter &printer, const QFont &font,
                         const QString &title, const QStringList &lines, const StatusSetter &setStatus)
{
    if (!dialogs.print(parent, printer))
        return PrintOutcome::Cancelled;
    if (setStatus)
        setStatus(QStringLiteral("Printing in Progress ..."));
    PrintOutcome outcome = PrintOutcome::Failed;
    {
        PrinterCanvas canvas(printer);
        outcome = PrintEditorLines(canvas, font, title, lines);
    }
    if (setStatus)
        setStatus(StatusTexts::Ready);
    if (outcome == PrintOutcome::Refused)
        dialogs.error(
            parent, PrintTitle,
            QStringLiteral("The print font is too large for this page: not one line fits between the "
                           "header and the footer. Nothing was printed. Choose a smaller print font "
                           "or a larger paper size."));
    else if (outcome == PrintOutcome::Failed)
        dialogs.error(parent, PrintTitle,
                      QStringLiteral("The printer reported an error, so the print job was ended. "
                                     "Check the printer and try again."));
    return outcome;
}

bool RunPrinterSetup(QWidget *parent, UserDialogs &dialogs, QPrinter &printer)
{
    return dialogs.printerSetup(parent, printer);
}
