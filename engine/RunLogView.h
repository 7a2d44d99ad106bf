#pragma once

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTimer>

class RunLog;

// The Run Log pane's text: a read-only view of a RunLog. It catches up with
// the log at most every RefreshMs, so that an engine that floods standard
// error costs one update per interval rather than one per line, and it
// stays at the end while the user has left it there.
class RunLogView : public QPlainTextEdit
{
    Q_OBJECT

public:
    static constexpr int RefreshMs = 100;
    // The least time between two rebuilds of the whole text.
    static constexpr int RebuildMs = 500;

    RunLogView(const RunLog &log, QWidget *parent = nullptr);

    // Shows what the log holds now.
    void refresh();

private:
    void catchUp();
    // Whether the text is to be made anew rather than added to.
    bool needsRebuild(qint64 fresh) const;
    void appendFresh();

    const RunLog &m_log;
    QTimer m_refreshTimer;
    QElapsedTimer m_lastRebuild;
    qint64 m_shownAdded = 0;
    bool m_showsDroppedLine = false;
};
