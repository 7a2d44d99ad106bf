#pragma once

#include "core/TextCodec.h"

#include <Qsci/qsciscintilla.h>

#include <QByteArray>
#include <QStringList>

// The text pane of every editor window: plain text in one font, no wrap. It
// holds UTF-8 whatever the file's encoding: a file is decoded into it and the
// window encodes the text again when it saves.
//
// For large files: the editor swaps Scintilla documents itself (a loaded text
// gets a document made for its size), so QsciScintilla::document() and
// setDocument() are not used on it; and Scintilla's modification events, with
// QsciScintilla's textChanged() and linesChanged() that come of them, are on
// only while assistive technology is active (the modified flag comes from
// the save point, modificationChanged() too).
class TextEditor : public QsciScintilla
{
    Q_OBJECT

public:
    explicit TextEditor(QWidget *parent = nullptr);
    ~TextEditor() override;
    TextEditor(const TextEditor &) = delete;
    TextEditor &operator=(const TextEditor &) = delete;

    // Whether the Tab key inserts a tab (true) or moves the focus on.
    void setTabInserts(bool inserts) { m_tabInserts = inserts; }
    bool tabInserts() const { return m_tabInserts; }

    void setScrollBarsAlwaysOn(bool on);

    // Replaces the text with the file's, read in pieces straight into the
    // editor and decoded there when it is not UTF-8; caret to the start, not
    // modified. Returns the file's encoding. Throws FileError when the file
    // cannot be read or does not fit in memory; the old text then stays as
    // it was.
    TextEncoding loadFile(const QString &path);
    // An empty, unmodified text.
    void clearText();
    // The text as UTF-8, line ends as typed or loaded.
    QByteArray bytes() const;
    // The same without a copy: it reads the editor's own buffer, so it is
    // good only until the text next changes, and no event may be handled
    // while it is held.
    QByteArray bytesInPlace() const;
    // The text as shown, split into lines for printing.
    QStringList lines() const;

    void setEditorFont(const QFont &font);
    QFont editorFont() const { return m_font; }

    int selectionLength() const;
    void caretToStart();

protected:
    bool event(QEvent *event) override;

private:
    class PieceSink;
    class DocumentSwap;

    void resetScrollWidth();
    // Shows a new, empty document that can hold size bytes without growing;
    // only a small one keeps a style byte for each character.
    void showNewDocument(qint64 size);
    // Replaces the text read as it is, in Windows-1252, with its UTF-8.
    void showConvertedFromWindows1252();
    // Appends bytes to the text; throws std::bad_alloc when they do not fit.
    void appendBytes(const char *data, qsizetype size);
    // Makes the text a loaded one: no undo, caret at the start, not modified.
    void finishLoad();
    // Tells a screen reader, when one runs, that the whole text has changed.
    void announceNewText(const QString &oldText);
    // Modification events and the accessible object to suit whether
    // assistive technology is active.
    void followAssistiveTechnology(bool active);
    long modificationEvents() const;
    void blinkCaretOnShortLines();

    bool m_tabInserts = true;
    QFont m_font;
    // The document QsciScintilla made, kept alive for its own bookkeeping.
    void *m_firstDocument = nullptr;
    long m_caretPeriod = 0;
};
