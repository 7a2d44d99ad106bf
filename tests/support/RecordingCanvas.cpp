#include "RecordingCanvas.h"

int RecordingCanvas::textWidth(const QString &text) const
{
    ++widthMeasures;
    return int(text.size()) * charWidth;
}

bool RecordingCanvas::begin()
{
    if (failBegin)
        return false;
    open = true;
    m_page = 1;
    calls.append({Call::Begin, m_page, 0, 0, 0, 0, {}});
    return true;
}

bool RecordingCanvas::newPage()
{
    if (failNewPageAt == m_page + 1)
        return false;
    ++m_page;
    calls.append({Call::NewPage, m_page, 0, 0, 0, 0, {}});
    return true;
}

bool RecordingCanvas::end()
{
    open = false;
    calls.append({Call::End, m_page, 0, 0, 0, 0, {}});
    return !failEnd;
}

void RecordingCanvas::drawRectangle(int left, int top, int right, int bottom)
{
    calls.append({Call::Rectangle, m_page, left, top, right, bottom, {}});
}

void RecordingCanvas::drawText(int x, int y, const QString &text)
{
    calls.append({Call::Text, m_page, x, y, 0, 0, text});
}

QList<RecordingCanvas::Call> RecordingCanvas::textsOnPage(int page) const
{
    QList<Call> found;
    for (const Call &call : calls) {
        if (call.kind == Call::Text && call.page == page)
            found.append(call);
    }
    return found;
}

QList<RecordingCanvas::Call> RecordingCanvas::ofKind(Call::Kind kind) const
{
    QList<Call> found;
    for (const Call &call : calls) {
        if (call.kind == kind)
            found.append(call);
    }
    return found;
}
