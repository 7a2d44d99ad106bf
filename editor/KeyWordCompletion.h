#pragma once

#include "editor/KeyWords.h"

#include <QObject>
#include <QPointer>
#include <QTreeWidget>

class EditorPreferences;
class QKeyEvent;
class QTimer;
class QsciScintilla;

// Completes the word at the caret with the help file's keywords: a list
// beside the text shows each keyword with the first line of its entry.
// Ctrl+Space offers it always, three typed word characters when the user
// has left it on. The list never takes the keyboard: typing goes on in the
// text and narrows the list; Enter or Tab takes the keyword chosen, Escape
// closes it, Up and Down choose.
class KeyWordCompletion : public QObject
{
    Q_OBJECT

public:
    // Characters typed before the list offers itself.
    static constexpr int TypedBeforeOffer = 3;
    // More would only be scrolled past: typing narrows the list.
    static constexpr int MostShown = 200;

    KeyWordCompletion(QsciScintilla *editor, SharedKeyWordHints hints, EditorPreferences &preferences);
    ~KeyWordCompletion() override;
    KeyWordCompletion(const KeyWordCompletion &) = delete;
    KeyWordCompletion &operator=(const KeyWordCompletion &) = delete;

    void setHints(SharedKeyWordHints hints);
    // The list, shown or not; made with the first offer.
    QTreeWidget *list() const { return m_list; }
    bool isOffering() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Shows the keywords for the word before the caret; hides the list
    // when there are none.
    void offer();
    void hide();
    void take();
    bool handleKey(QKeyEvent *key, bool press);
    void charAdded();
    void createList();
    void placeList();
    long wordStart() const;

    QsciScintilla *m_editor;
    SharedKeyWordHints m_hints;
    EditorPreferences &m_preferences;
    QPointer<QTreeWidget> m_list;
    // Offers wait for the typing of one event loop's pass to end.
    QTimer *m_offerTimer = nullptr;
    long m_offeredStart = -1;
};
