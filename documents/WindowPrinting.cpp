#include "documents/WindowPrinting.h"

#include "core/Fonts.h"

#include <QPrinter>

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
    return RunPrintJob(window, m_dialogs, printer(), m_font, title, lines, m_setStatus);
}

bool PrintContext::setUpPrinter(QWidget *window)
{
    return RunPrinterSetup(window, m_dialogs, printer());
}
