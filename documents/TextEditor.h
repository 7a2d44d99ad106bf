#pragma once

#include <Qsci/qsciscintilla.h>

#include <QByteArray>
#include <QStringList>

// The text pane of every editor window: plain text in one font, no wrap. It
// holds UTF-8 whatever the file's encoding: the window decodes a file into it
// and encodes the text again when it saves.
class TextEditor : public QsciScintilla
{
    Q_OBJECT

public:
    explicit TextEditor(QWidget *parent = nullptr);

    // Whether the Tab key inserts a tab (true) or moves the focus on.
    void setTabInserts(bool inserts) { m_tabInserts = inserts; }
    bool tabInserts() const { return m_tabInserts; }

    void setScrollBarsAlwaysOn(bool on);

    // Replaces the text with UTF-8 text; caret to the start, not modified.
    // False when the text did not fit in memory: the editor is then empty.
    bool loadText(const QByteArray &utf8);
    // An empty, unmodified text.
    void clearText();
    // The text as UTF-8, line ends as typed or loaded.
    QByteArray bytes() const;
    // The text as shown, split into lines for printing.
    QStringList lines() const;

    void setEditorFont(const QFont &font);
    QFont editorFont() const { return m_font; }

    int selectionLength() const;
    void caretToStart();

    // Line numbers in the left margin, wide enough for a million lines and
    // for the text's own count when it is longer.
    void setLineNumbersShown(bool shown);
    bool lineNumbersShown() const { return m_lineNumbersShown; }
    void fitLineNumbers();

    // Selects [start, end) and brings it to the middle of the view when it
    // is out of sight.
    void showMatch(long start, long end);
    void setCaretPosition(long position);
    // Counting from 1, kept within the text; column 0 is the line's start.
    // The line comes to the middle of the view.
    void goToLine(int line, int column);
    // Counting from 0.
    int caretLine() const;

    // Where the user is in the text: the caret and the top line shown.
    struct Place
    {
        long caret = 0;
        long firstLine = 0;
    };
    Place place() const;
    // The same place in a new text, as far as the text reaches.
    void setPlace(const Place &place);

protected:
    bool event(QEvent *event) override;
    // Files dragged here go to the frame, which opens them, rather than
    // into the text as their names.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void resetScrollWidth();
    void removeSurprisingKeys();
    void centerLine(long line);

    bool m_tabInserts = true;
    bool m_lineNumbersShown = false;
    QFont m_font;
};
