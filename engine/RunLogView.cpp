#include "engine/RunLogView.h"

#include "core/Fonts.h"
#include "engine/RunLog.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

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

bool RunLogView::needsRebuild(qint64 fresh) const
{
    return m_shownAdded == 0 || fresh >= m_log.keptLineCount();
}

void RunLogView::catchUp()
{
    // A flood: the text changes faster than anyone reads it, and a whole new
    // text costs tens of milliseconds, so it comes less often.
    const qint64 fresh = m_log.addedLineCount() - m_shownAdded;
    if (needsRebuild(fresh) && m_lastRebuild.isValid() && m_lastRebuild.elapsed() < RebuildMs) {
        m_refreshTimer.start(int(RebuildMs - m_lastRebuild.elapsed()));
        return;
    }
    refresh();
}

void RunLogView::refresh()
{
    m_refreshTimer.stop();
    const qint64 fresh = m_log.addedLineCount() - m_shownAdded;
    if (fresh <= 0)
        return;
    const bool rebuild = needsRebuild(fresh);
    QScrollBar *bar = verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    if (rebuild) {
        // Nothing shown is kept any longer: the whole text at once.
        setPlainText(m_log.text());
        m_showsDroppedLine = m_log.droppedLineCount() > 0;
        m_lastRebuild.start();
    } else {
        appendFresh();
    }
    m_shownAdded = m_log.addedLineCount();
    if (atEnd)
        bar->setValue(bar->maximum());
}

void RunLogView::appendFresh()
{
    QTextDocument *text = document();
    QTextCursor cursor(text);
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QLatin1Char('\n') + m_log.linesAddedSince(m_shownAdded).join(QLatin1Char('\n')));

    // The lines the log has dropped go from the front, after the line that
    // counts them.
    const int shownLines = text->blockCount() - (m_showsDroppedLine ? 1 : 0);
    const int excess = shownLines - m_log.keptLineCount();
    if (excess > 0) {
        // By position: moving the cursor block by block asks the layout
        // about every block and takes a hundred times as long.
        const int first = m_showsDroppedLine ? 1 : 0;
        cursor.setPosition(text->findBlockByNumber(first).position());
        cursor.setPosition(text->findBlockByNumber(first + excess).position(), QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    if (m_log.droppedLineCount() > 0) {
        cursor.movePosition(QTextCursor::Start);
        if (m_showsDroppedLine) {
            cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            cursor.insertText(RunLog::droppedLine(m_log.droppedLineCount()));
        } else {
            cursor.insertText(RunLog::droppedLine(m_log.droppedLineCount()) + QLatin1Char('\n'));
        }
        m_showsDroppedLine = true;
    }
    cursor.endEditBlock();
}
