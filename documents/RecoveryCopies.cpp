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
            if (auto it = m_taking.find(window); it != m_taking.end()) {
                stopTaking(*it);
                m_taking.erase(it);
            }
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
        m_taking.remove(window);
        m_store.remove(window);
    });
    if (window->isModified())
        m_changed.insert(window);
}

void RecoveryCopies::writeCopies()
{
    for (TEditForm *window : m_windows.recoverableWindows()) {
        // A new text in the window (a load, New Command File) leaves the
        // save point without a word: its copy goes now.
        if (m_changed.contains(window) || (m_store.hasCopy(window) && !window->isModified()))
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
    // The last copy is still being taken or written: the next turn takes it.
    if (m_taking.contains(window) || m_store.isWriting(window))
        return;
    m_changed.remove(window);
    startTaking(window, 0);
}

void RecoveryCopies::startTaking(TEditForm *window, int tries)
{
    TextEditor *editor = window->editor();
    Taking &taking = m_taking[window];
    taking.window = window;
    taking.tries = tries;
    taking.text = QByteArray(editor->SendScintilla(QsciScintillaBase::SCI_GETLENGTH), Qt::Uninitialized);
    taking.document = editor->SendScintilla(QsciScintillaBase::SCI_GETDOCPOINTER);
    // The editor keeps its edits to itself for speed; while a text is taken
    // it says when one comes, so that a text taken across edits is thrown
    // away.
    taking.eventMask = editor->SendScintilla(QsciScintillaBase::SCI_GETMODEVENTMASK);
    editor->SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, taking.eventMask |
                                                                      QsciScintillaBase::SC_MOD_INSERTTEXT |
                                                                      QsciScintillaBase::SC_MOD_DELETETEXT);
    const TEditForm *key = window;
    taking.watch = connect(editor, &QsciScintillaBase::SCN_MODIFIED, this, [this, key] {
        auto it = m_taking.find(key);
        if (it != m_taking.end())
            it->spoiled = true;
    });
    QTimer::singleShot(0, this, [this, key] { takeStep(key); });
}

void RecoveryCopies::stopTaking(Taking &taking)
{
    disconnect(taking.watch);
    if (taking.window)
        taking.window->editor()->SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, taking.eventMask);
}

void RecoveryCopies::takeStep(const TEditForm *key)
{
    auto it = m_taking.find(key);
    if (it == m_taking.end())
        return;
    Taking &taking = *it;
    TEditForm *window = taking.window;
    const TextEditor *editor = window ? window->editor() : nullptr;
    const bool same = editor && !taking.spoiled &&
                      editor->SendScintilla(QsciScintillaBase::SCI_GETDOCPOINTER) == taking.document &&
                      editor->SendScintilla(QsciScintillaBase::SCI_GETLENGTH) == taking.text.size();
    if (!same) {
        const int tries = taking.tries;
        stopTaking(taking);
        m_taking.erase(it);
        // Typing goes on: take it again at once, a few times, rather than a
        // whole interval later.
        if (window && window->isModified() && tries < 20)
            startTaking(window, tries + 1);
        else if (window)
            m_changed.insert(window);
        return;
    }
    const long step = std::min(StepBytes, long(taking.text.size()) - taking.taken);
    if (step > 0) {
        const auto *bytes = reinterpret_cast<const char *>(
            editor->SendScintilla(QsciScintillaBase::SCI_GETRANGEPOINTER, taking.taken, step));
        std::copy(bytes, bytes + step, taking.text.data() + taking.taken);
        taking.taken += step;
    }
    if (taking.taken < taking.text.size()) {
        QTimer::singleShot(0, this, [this, key] { takeStep(key); });
        return;
    }
    stopTaking(taking);
    const QString fileName = window->isUntitled() ? QString() : window->FileName;
    if (!m_store.write(window, DocumentWindows::kindName(*window), fileName, std::move(taking.text)))
        m_changed.insert(window);
    m_taking.erase(it);
}
