#include "engine/RunLogView.h"

#include "core/Fonts.h"
#include "engine/RunLog.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QtMath>

namespace {

// While catching up after a flood, the next step follows this soon.
constexpr int FillMs = 10;

} // namespace

RunLogView::RunLogView(const RunLog &log, QWidget *parent) : QPlainTextEdit(parent), m_log(log)
{
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(defaultTextFont());
    m_refreshTimer.setSingleShot(true);
    connect(&m_refreshTimer, &QTimer::timeout, this, &RunLogView::catchUp);
    connect(&m_log, &RunLog::linesAdded, this, [this] {
        if (!m_refreshTimer.isActive())
            m_refreshTimer.start(RefreshMs);
    });
    refresh();
}

void RunLogView::refresh()
{
    m_refreshTimer.stop();
    while (!upToDate())
        step(true);
}

int RunLogView::heightForLines(int lines) const
{
    return lines * fontMetrics().lineSpacing() + 2 * qCeil(document()->documentMargin()) + 2 * frameWidth();
}

void RunLogView::catchUp()
{
    // While lines keep coming, only the newest are shown: older ones filled
    // in now would be gone again with the next step, and filling them in
    // took the time the program needs to read the flood.
    const bool quiet = m_end == m_log.addedLineCount();
    step(quiet);
    if (!upToDate())
        m_refreshTimer.start(quiet ? FillMs : RefreshMs);
}

bool RunLogView::upToDate() const
{
    const qint64 firstKept = m_log.addedLineCount() - m_log.keptLineCount();
    return m_end == m_log.addedLineCount() && m_first == firstKept &&
           m_showsDroppedLine == (m_log.droppedLineCount() > 0) &&
           (!m_showsDroppedLine ||
            document()->firstBlock().text() == RunLog::droppedLine(m_log.droppedLineCount()));
}

int RunLogView::blockOf(qint64 line) const
{
    return int(line - m_first) + (m_showsDroppedLine ? 1 : 0);
}

void RunLogView::step(bool fillIn)
{
    const qint64 end = m_log.addedLineCount();
    const qint64 firstKept = end - m_log.keptLineCount();
    QScrollBar *bar = verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    // Lines put in or taken out before those in view, which keep their place.
    int frontChange = 0;
    QTextCursor cursor(document());

    const qint64 newestStep = m_log.stretchStart(end, StepLines, StepBytes);
    if (m_end < end && (m_first == m_end || m_end < newestStep)) {
        // What is shown is gone from the log, or too far behind: start again
        // from the newest lines.
        const qint64 from = newestStep;
        setPlainText(m_log.linesBetween(from, end).join(QLatin1Char('\n')));
        m_first = from;
        m_end = end;
        m_showsDroppedLine = false;
    } else {
        if (m_end < end) {
            cursor.movePosition(QTextCursor::End);
            cursor.insertText(QLatin1Char('\n') + m_log.linesBetween(m_end, end).join(QLatin1Char('\n')));
            m_end = end;
        }
        if (m_first < firstKept) {
            removeBlocks(blockOf(m_first), int(firstKept - m_first));
            frontChange -= int(firstKept - m_first);
            m_first = firstKept;
        } else if (m_first > firstKept && fillIn) {
            // The older lines, a step at a time.
            const qint64 from = m_log.stretchStart(m_first, StepLines, StepBytes);
            cursor.setPosition(document()->findBlockByNumber(blockOf(m_first)).position());
            cursor.insertText(m_log.linesBetween(from, m_first).join(QLatin1Char('\n')) + QLatin1Char('\n'));
            frontChange += int(m_first - from);
            m_first = from;
        }
    }
    // The line that counts what the log dropped stands only before all it kept.
    const bool hadDroppedLine = m_showsDroppedLine;
    showDroppedLine(m_first == firstKept && m_log.droppedLineCount() > 0);
    frontChange += int(m_showsDroppedLine) - int(hadDroppedLine);

    if (atEnd)
        bar->setValue(bar->maximum());
    else
        bar->setValue(bar->value() + frontChange);
}

void RunLogView::removeBlocks(int first, int count)
{
    // By position: moving a cursor block by block asks the layout about
    // every block and takes a hundred times as long.
    QTextCursor cursor(document());
    cursor.setPosition(document()->findBlockByNumber(first).position());
    cursor.setPosition(document()->findBlockByNumber(first + count).position(), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void RunLogView::showDroppedLine(bool show)
{
    QTextCursor cursor(document());
    if (show) {
        const QString line = RunLog::droppedLine(m_log.droppedLineCount());
        if (!m_showsDroppedLine) {
            cursor.insertText(line + QLatin1Char('\n'));
        } else if (document()->firstBlock().text() != line) {
            cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            cursor.insertText(line);
        }
    } else if (m_showsDroppedLine) {
        removeBlocks(0, 1);
    }
    m_showsDroppedLine = show;
}
