#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QPointer>
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
    // How much of a text one turn of the event loop copies: a large text is
    // taken in steps, so that the window never stands still while it is.
    static constexpr long StepBytes = 1024L * 1024;

    RecoveryCopies(DocumentWindows &windows, RecoveryStore &store, QObject *parent = nullptr);

    // Watches a window that was made after this.
    void watch(TEditForm *window);
    // Copies each window's text that changed since its last copy.
    void writeCopies();

private:
    // A text being taken, step by step, until it goes to the store.
    struct Taking
    {
        QPointer<TEditForm> window;
        QByteArray text;
        long taken = 0;
        long document = 0;
        long eventMask = 0;
        // The text changed while it was taken: what was taken is not a text
        // the window ever held.
        bool spoiled = false;
        int tries = 0;
        QMetaObject::Connection watch;
    };
    void writeCopy(TEditForm *window);
    void startTaking(TEditForm *window, int tries);
    void takeStep(const TEditForm *key);
    void stopTaking(Taking &taking);

    DocumentWindows &m_windows;
    RecoveryStore &m_store;
    QTimer *m_timer = nullptr;
    // Windows whose text may differ from their last copy.
    QSet<const TEditForm *> m_changed;
    QHash<const TEditForm *, Taking> m_taking;
};
