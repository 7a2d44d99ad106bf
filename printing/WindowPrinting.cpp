#include "printing/WindowPrinting.h"

#include "core/FileError.h"
#include "core/Fonts.h"
#include "core/PathHelpers.h"
#include "core/StatusTexts.h"
#include "ui/UserDialogs.h"

#include <QFileInfo>
#include <QPrinter>

namespace {

const QString PdfFilter = QStringLiteral("PDF Files [.pdf]|*.pdf|All Files [*.*]|*.*");

// "run1.cf" for a window's file, "Quelm Help" for the help window.
QString documentName(const QString &title)
{
    return Paths::filePart(title);
}

} // namespace

PrintContext::PrintContext(UserDialogs &dialogs, StatusSetter setStatus)
    : m_dialogs(dialogs), m_setStatus(std::move(setStatus)), m_font(defaultTextFont())
{}

PrintContext::~PrintContext() = default;

QPrinter &PrintContext::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

PrintOutcome PrintContext::print(QWidget *window, const QString &title, const QStringList &lines)
{
    // The print dialog names a print to file after the document.
    printer().setDocName(documentName(title));
    return RunPrintJob(window, m_dialogs, printer(), m_font, title, lines, m_setStatus);
}

void PrintContext::preview(QWidget *window, const QString &title, const QStringList &lines)
{
    QPrinter &target = printer();
    target.setDocName(documentName(title));
    target.setPrintRange(QPrinter::AllPages);
    PrintOutcome outcome = PrintOutcome::Printed;
    m_dialogs.printPreview(window, target,
                           [&](QPrinter &shown) { outcome = PrintOnPrinter(shown, m_font, title, lines); });
    ReportPrintOutcome(window, m_dialogs, outcome);
}

PrintOutcome PrintContext::exportPdf(QWidget *window, const QString &title, const QStringList &lines)
{
    const UserDialogs::FileRequest request{QStringLiteral("Export as PDF"), PdfFilter, QStringLiteral(".pdf"),
                                           Paths::changeExtension(title, QStringLiteral(".pdf"))};
    const std::optional<QString> chosen = m_dialogs.saveFile(window, request);
    if (!chosen || chosen->isEmpty())
        return PrintOutcome::Cancelled;
    if (QFileInfo::exists(*chosen) &&
        m_dialogs.confirm(window, QStringLiteral("Overwrite existing File?")) != UserDialogs::Answer::Yes)
        return PrintOutcome::Cancelled;

    // A printer of its own, so that the program's printer keeps its output;
    // the paper and margins are the program's printer's.
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(*chosen);
    pdf.setPageLayout(printer().pageLayout());
    pdf.setDocName(documentName(title));
    if (m_setStatus)
        m_setStatus(QStringLiteral("Printing in Progress ..."));
    const PrintOutcome outcome = PrintOnPrinter(pdf, m_font, title, lines);
    if (m_setStatus)
        m_setStatus(StatusTexts::Ready);
    // A file that cannot be written is a file failure, reported as every
    // other one is: in the general error box.
    if (outcome == PrintOutcome::Failed)
        m_dialogs.error(window, QStringLiteral("Ostrel"),
                        FileError::cannotCreate(*chosen).message() + QLatin1Char('.'));
    else
        ReportPrintOutcome(window, m_dialogs, outcome);
    return outcome;
}

bool PrintContext::setUpPrinter(QWidget *window)
{
    return RunPrinterSetup(window, m_dialogs, printer());
}
