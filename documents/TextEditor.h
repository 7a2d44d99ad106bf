#pragma once

#include <Qsci/qsciscintilla.h>

#include <QByteArray>
#include <QStringList>

// The text pane of every editor window: plain text in one font, no wrap. It
// keeps a file's bytes: UTF-8 files are edited as UTF-8, any other file as
// 8-bit text, and bytes() gives back what was loaded apart from the edits.
class TextEditor : public QsciScintilla
{
    Q_OBJECT

public:
    explicit TextEditor(QWidget *parent = nullptr);

    // Whether the Tab key inserts a tab (true) or moves the focus on.
    void setTabInserts(bool inserts) { m_tabInserts = inserts; }
    bool tabInserts() const { return m_tabInserts; }

    void setScrollBarsAlwaysOn(bool on);

    // Replaces the text with a file's bytes; caret to the start, not modified.
    void loadBytes(const QByteArray &bytes);
    // An empty, unmodified UTF-8 text.
    void clearText();
    // The text as it would be written to its file, line ends as typed or loaded.
    QByteArray bytes() const;
    // The text decoded, split into lines for printing.
    QStringList lines() const;

    void setEditorFont(const QFont &font);
    QFont editorFont() const { return m_font; }

    int selectionLength() const;
    void caretToStart();

protected:
    bool event(QEvent *event) override;

private:
    void resetScrollWidth();

    bool m_tabInserts = true;
    QFont m_font;
};
