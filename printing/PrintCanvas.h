#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QString>

#include <memory>
#include <optional>

class QPainter;
class QPrinter;

// What the page arithmetic needs to know about a printer, all in device
// pixels except the two millimetre sizes.
struct PrinterMetrics
{
    int W = 0;   // printable width
    int H = 0;   // printable height
    int Wmm = 0; // printable width, millimetres
    int Hmm = 0; // printable height, millimetres
    int PW = 0;  // paper width
    int PH = 0;  // paper height
    int OX = 0;  // printable area's offset from the paper's left edge
    int OY = 0;  // printable area's offset from the paper's top edge
};

// The surface a print job draws on. Coordinates are device pixels with the
// origin at the printable area's top left corner. The program prints on a
// QPrinter; tests record the calls.
class PrintCanvas
{
public:
    virtual ~PrintCanvas() = default;

    virtual PrinterMetrics metrics() const = 0;

    // May be called before begin(), so that a job that cannot be laid out is
    // refused before anything reaches the printer.
    virtual void setFont(const QFont &font) = 0;
    // The font's cell height, without external leading.
    virtual int lineHeight() const = 0;
    virtual int textWidth(const QString &text) const = 0;

    // Starts the job and its first page; false when the printer refuses.
    virtual bool begin() = 0;
    virtual bool newPage() = 0;
    // Ends the last page and the job; false when the printer reports an error.
    virtual bool end() = 0;

    // A white box with a one-pixel black outline from (left, top) to
    // (right, bottom), right and bottom edges excluded.
    virtual void drawRectangle(int left, int top, int right, int bottom) = 0;
    // Text with its top left corner at (x, y) on an opaque white background.
    virtual void drawText(int x, int y, const QString &text) = 0;
};

// The program's canvas: a QPainter on a QPrinter.
class PrinterCanvas : public PrintCanvas
{
public:
    explicit PrinterCanvas(QPrinter &printer);
    ~PrinterCanvas() override;

    PrinterMetrics metrics() const override;
    void setFont(const QFont &font) override;
    int lineHeight() const override;
    int textWidth(const QString &text) const override;
    bool begin() override;
    bool newPage() override;
    bool end() override;
    void drawRectangle(int left, int top, int right, int bottom) override;
    void drawText(int x, int y, const QString &text) override;

private:
    QPrinter &m_printer;
    std::unique_ptr<QPainter> m_painter;
    QFont m_font;
    std::optional<QFontMetrics> m_fontMetrics;
};
