#pragma once

#include <QPlainTextEdit>
#include <QTimer>

class RunLog;

// The Run Log pane's text: a read-only view of a RunLog. It catches up with
// the log at most every RefreshMs, and each step of catching up touches at
// most StepLines lines and StepBytes of text, so that an engine that floods
// standard error never holds the program up for long: the newest lines show
// at once, and the older ones that the log keeps are filled in once the
// flood has passed. It stays at the end while the user has left it there.
class RunLogView : public QPlainTextEdit
{
    Q_OBJECT

public:
    static constexpr int RefreshMs = 100;
    static constexpr int StepLines = 2000;
    // And at most this many bytes of them, for long lines.
    static constexpr qint64 StepBytes = qint64(256) * 1024;

    RunLogView(const RunLog &log, QWidget *parent = nullptr);

    // Shows what the log holds now, all of it.
    void refresh();

    // The height at which the view shows `lines` lines, frame included.
    int heightForLines(int lines) const;

private:
    // One step of catching up, then another soon if one is needed.
    void catchUp();
    // Shows the newest lines, and when fillIn, a step of the older ones.
    void step(bool fillIn);
    bool upToDate() const;
    // The number of the block that shows the line numbered `line` in the log.
    int blockOf(qint64 line) const;
    void removeBlocks(int first, int count);
    void showDroppedLine(bool show);

    const RunLog &m_log;
    QTimer m_refreshTimer;
    // The lines shown: numbered from m_first to before m_end in the log.
    qint64 m_first = 0;
    qint64 m_end = 0;
    bool m_showsDroppedLine = false;
};
