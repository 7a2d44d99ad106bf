#include "documents/RecoveryCopies.h"

#include "core/RecoveryStore.h"
#include "core/UserSettings.h"
#include "documents/DocumentWindows.h"
#include "documents/EditorWindow.h"
#include "editor/TextEditor.h"

#include <QGuiApplication>
#include <QTimer>

#include <algorithm>

RecoveryCopies::RecoveryCopies(DocumentWindows &windows, RecoveryStore &store, QObject *parent)
    : QObject(parent), m_windows(windows), m_store(store)
{
    const int seconds = std::max(
        1, userSettings().value(QStringLiteral("Recovery/IntervalSeconds"), DefaultIntervalSeconds).toInt());
    m_timer = new QTimer(this);
    m_timer->setInterval(seconds * 1000);
    connect(m_timer, &QTimer::timeout, this, &RecoveryCopies::writeCopies);
    m_timer->start();
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive)
            writeCopies();
    });
    for (TEditForm *window : m_windows.recoverableWindows())
        watch(window);
}

void RecoveryCopies::watch(TEditForm *window)
{
    TextEditor *editor = window->editor();
    connect(editor, &QsciScintilla::modificationChanged, this, [this, window](bool modified) {
        if (modified) {
            m_changed.insert(window);
        } else {
            // Saved, or back to the saved text: nothing left to lose.
            m_changed.remove(window);
            m_store.remove(window);
        }
    });
    // Scintilla says once per repaint that the text changed; a change that
    // is no edit (colouring) only costs a copy too many.
    connect(editor, &QsciScintillaBase::SCN_UPDATEUI, this, [this, window](int updated) {
        if ((updated & QsciScintillaBase::SC_UPDATE_CONTENT) && window->isModified())
            m_changed.insert(window);
    });
    connect(window, &QObject::destroyed, this, [this, window] {
        m_changed.remove(window);
        m_store.remove(window);
    });
    if (window->isModified())
        m_changed.insert(window);
}

void RecoveryCopies::writeCopies()
{
    for (TEditForm *window : m_windows.recoverableWindows()) {
        if (m_changed.contains(window))
            writeCopy(window);
    }
}

void RecoveryCopies::writeCopy(TEditForm *window)
{
    const TextEditor *editor = window->editor();
    if (!window->isModified() || editor->showsLinesInPieces()) {
        m_changed.remove(window);
        m_store.remove(window);
        return;
    }
    const QString fileName = window->isUntitled() ? QString() : window->FileName;
    // A copy of the text is all the interface thread does; the writer
    // thread writes it.
    if (m_store.write(window, DocumentWindows::kindName(*window), fileName, editor->bytes()))
        m_changed.remove(window);
}
