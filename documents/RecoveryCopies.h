#pragma once

#include <QObject>
#include <QSet>

class DocumentWindows;
class QTimer;
class RecoveryStore;
class TEditForm;

// Keeps a copy of every window's unsaved text in the recovery store: every
// interval, and when the program loses the focus. A save, a discard (No to
// the save question, Undo back to the saved text) or the window's closing
// removes its copy. Not copied: the output window (the engine writes its
// file) and text shown in pieces (it cannot be edited).
class RecoveryCopies : public QObject
{
    Q_OBJECT

public:
    static constexpr int DefaultIntervalSeconds = 30;

    RecoveryCopies(DocumentWindows &windows, RecoveryStore &store, QObject *parent = nullptr);

    // Watches a window that was made after this.
    void watch(TEditForm *window);
    // Copies each window's text that changed since its last copy.
    void writeCopies();

private:
    void writeCopy(TEditForm *window);

    DocumentWindows &m_windows;
    RecoveryStore &m_store;
    QTimer *m_timer = nullptr;
    // Windows whose text may differ from their last copy.
    QSet<const TEditForm *> m_changed;
};
