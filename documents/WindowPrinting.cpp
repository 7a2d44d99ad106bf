#include "documents/WindowPrinting.h"

#include "core/Fonts.h"
#include "core/PathHelpers.h"

#include <QPrinter>

namespace {

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

bool PrintContext::setUpPrinter(QWidget *window)
{
    return RunPrinterSetup(window, m_dialogs, printer());
}
