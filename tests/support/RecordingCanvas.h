#pragma once

#include "printing/PrintCanvas.h"

#include <QList>
#include <QString>

// A canvas that records what a print job draws. Every character is
// charWidth pixels wide, so positions can be worked out by hand; a printer
// failure can be forced at any page.
class RecordingCanvas : public PrintCanvas
{
public:
    struct Call
    {
        enum Kind { Begin, NewPage, End, Rectangle, Text };
        Kind kind = Text;
        int page = 0; // 1 for the first page
        int x = 0;
        int y = 0;
        int right = 0;
        int bottom = 0;
        QString text;
    };

    PrinterMetrics printerMetrics;
    int height = 42;
    int charWidth = 20;
    bool failBegin = false;
    int failNewPageAt = 0; // the page whose start fails, 0 for never
    bool failEnd = false;

    QList<Call> calls;
    int fontChanges = 0;
    mutable int widthMeasures = 0;
    bool open = false;

    PrinterMetrics metrics() const override { return printerMetrics; }
    void setFont(const QFont &) override { ++fontChanges; }
    int lineHeight() const override { return height; }
    int textWidth(const QString &text) const override;
    bool begin() override;
    bool newPage() override;
    bool end() override;
    void drawRectangle(int left, int top, int right, int bottom) override;
    void drawText(int x, int y, const QString &text) override;

    // The texts drawn on one page, in drawing order.
    QList<Call> textsOnPage(int page) const;
    QList<Call> ofKind(Call::Kind kind) const;
    int pages() const { return m_page; }

private:
    int m_page = 0;
};
