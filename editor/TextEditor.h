#pragma once

#include "core/TextCodec.h"
#include "editor/LinePieces.h"

#include <Qsci/qsciscintilla.h>

#include <QByteArray>
#include <QStringList>

class WorkProgress;

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

    // What loadFile found: the file's encoding and the hash (ContentHash) of
    // its bytes as they were read, before any decoding.
    struct LoadedFile
    {
        TextEncoding encoding;
        quint64 hash;
    };
    // Replaces the text with the file's, read in pieces straight into the
    // editor and decoded there when it is not UTF-8; caret to the start, not
    // modified. Nothing when the user cancels it through progress. Throws
    // FileError when the file cannot be read or does not fit in memory, or
    // while it is loading another file. The old text stays as it was unless
    // the load is done.
    std::optional<LoadedFile> loadFile(const QString &path, WorkProgress *progress = nullptr);
    // An empty, unmodified text.
    void clearText();
    // Whether a load shows overlong lines cut into pieces (see LinePieces),
    // as it does unless told otherwise. The text cannot be edited then.
    void setCutsLongLines(bool cuts) { m_cutsLongLines = cuts; }
    bool showsLinesInPieces() const { return !m_pieces.isEmpty(); }
    const LinePieces &linePieces() const { return m_pieces; }
    // What the window asks; the editor stays read-only while it shows lines
    // in pieces.
    void setReadOnly(bool readOnly) override;
    // The text as UTF-8, line ends as typed or loaded, lines whole.
    QByteArray bytes() const;
    // The same without a copy where it can: it reads the editor's own
    // buffer, so it is good only until the text next changes, and no event
    // may be handled while it is held.
    QByteArray bytesInPlace() const;
    // The text as shown, split into lines for printing.
    QStringList lines() const;

    void setEditorFont(const QFont &font);
    QFont editorFont() const { return m_font; }

    int selectionLength() const;
    void caretToStart();

    // Line numbers in the left margin, as wide as the text's line count
    // needs (three digits at least); it grows as lines are added.
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
    // The file's lines, however they are shown.
    long fileLineCount() const;
    // The caret's line in the file, counting from 0.
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
    // What is copied or dragged out of lines shown in pieces is the file's
    // text, without the cuts.
    QMimeData *toMimeData(const QByteArray &text, bool rectangular) const override;

private:
    class PieceSink;
    class DocumentSwap;

    // The editor's own buffer as it is shown, cuts and all.
    QByteArray shownBytes() const;
    // Puts the cuts into a newly loaded text that needs them.
    LinePieces cutLongLines(WorkProgress *progress);
    // Numbers the shown lines in sight by the file's lines.
    void numberLinePieces();
    void applyReadOnly();
    void resetScrollWidth();
    void removeSurprisingKeys();
    void centerLine(long line);
    // Shows a new, empty document that can hold size bytes without growing;
    // only a small one keeps a style byte for each character.
    void showNewDocument(qint64 size);
    // Replaces the text read as it is, in Windows-1252, with its UTF-8.
    void showConvertedFromWindows1252(WorkProgress *progress);
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
    bool m_lineNumbersShown = false;
    // The digits the line-number margin has room for; 0 while it is hidden.
    int m_lineNumberDigits = 0;
    QFont m_font;
    // The document QsciScintilla made, kept alive for its own bookkeeping.
    void *m_firstDocument = nullptr;
    long m_caretPeriod = 0;
    bool m_cutsLongLines = true;
    LinePieces m_pieces;
    bool m_readOnly = false;
    bool m_loading = false;
};
