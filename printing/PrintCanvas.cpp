#include "printing/PrintCanvas.h"

#include <QPainter>
#include <QPrinter>

#include <cmath>

PrinterCanvas::PrinterCanvas(QPrinter &printer) : m_printer(printer)
{}

PrinterCanvas::~PrinterCanvas()
{
    // A job is never left open, whatever way the caller left.
    if (m_painter && m_painter->isActive())
        m_painter->end();
}

PrinterMetrics PrinterCanvas::metrics() const
{
    const QRectF paper = m_printer.paperRect(QPrinter::DevicePixel);
    const QRectF printable = m_printer.pageRect(QPrinter::DevicePixel);
    PrinterMetrics m;
    m.W = m_printer.width();
    m.H = m_printer.height();
    m.Wmm = m_printer.widthMM();
    m.Hmm = m_printer.heightMM();
    m.PW = static_cast<int>(std::lround(paper.width()));
    m.PH = static_cast<int>(std::lround(paper.height()));
    m.OX = static_cast<int>(std::lround(printable.left() - paper.left()));
    m.OY = static_cast<int>(std::lround(printable.top() - paper.top()));
    return m;
}

void PrinterCanvas::setFont(const QFont &font)
{
    // Measured for the printer's resolution, not the screen's, so that the
    // widths match what the painter draws.
    m_font = QFont(font, &m_printer);
    m_fontMetrics.emplace(m_font, &m_printer);
    if (m_painter && m_painter->isActive())
        m_painter->setFont(m_font);
}

int PrinterCanvas::lineHeight() const
{
    return m_fontMetrics ? m_fontMetrics->height() : 0;
}

int PrinterCanvas::textWidth(const QString &text) const
{
    return m_fontMetrics ? m_fontMetrics->horizontalAdvance(text) : 0;
}

bool PrinterCanvas::begin()
{
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(&m_printer))
        return false;
    m_painter->setFont(m_font);
    m_painter->setPen(QPen(Qt::black, 0));
    m_painter->setBrush(Qt::white);
    m_painter->setBackground(Qt::white);
    m_painter->setBackgroundMode(Qt::OpaqueMode);
    return true;
}

bool PrinterCanvas::newPage()
{
    return m_painter && m_painter->isActive() && m_printer.newPage();
}

bool PrinterCanvas::end()
{
    if (!m_painter || !m_painter->isActive())
        return false;
    const bool ended = m_painter->end();
    return ended && m_printer.printerState() != QPrinter::Error;
}

void PrinterCanvas::drawRectangle(int left, int top, int right, int bottom)
{
    m_painter->drawRect(left, top, right - left - 1, bottom - top - 1);
}

void PrinterCanvas::drawText(int x, int y, const QString &text)
{
    m_painter->drawText(x, y + (m_fontMetrics ? m_fontMetrics->ascent() : 0), text);
}
