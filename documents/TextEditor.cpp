#include "documents/TextEditor.h"

#include "core/Fonts.h"
#include "core/TextFile.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QMimeData>

#include <algorithm>

#include <new>

TextEditor::TextEditor(QWidget *parent) : QsciScintilla(parent)
{
    setObjectName(QStringLiteral("Editor"));
    setWrapMode(QsciScintilla::WrapNone);
    setEolMode(QsciScintilla::EolWindows);
    setEolVisibility(false);
    for (int margin = 0; margin < 5; ++margin)
        setMarginWidth(margin, 0);
    setUtf8(true);
    setPaper(Qt::white);
    setColor(Qt::black);
    // The horizontal scroll bar follows the longest line shown so far.
    resetScrollWidth();
    SendScintilla(SCI_SETSCROLLWIDTHTRACKING, 1);
    setEditorFont(defaultTextFont());
    removeSurprisingKeys();
}

void TextEditor::setScrollBarsAlwaysOn(bool on)
{
    const Qt::ScrollBarPolicy policy = on ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded;
    setHorizontalScrollBarPolicy(policy);
    setVerticalScrollBarPolicy(policy);
}

bool TextEditor::loadText(const QByteArray &utf8)
{
    // A loaded text is no edit: keeping a copy of it for undo would only
    // cost time and memory.
    SendScintilla(SCI_SETUNDOCOLLECTION, 0L);
    SendScintilla(SCI_CLEARALL);
    SendScintilla(SCI_SETSTATUS, static_cast<unsigned long>(SC_STATUS_OK));
    bool loaded = true;
    try {
        // Appending by length keeps NUL bytes.
        SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(utf8.size()), utf8.constData());
        loaded = SendScintilla(SCI_GETSTATUS) == SC_STATUS_OK;
    } catch (const std::bad_alloc &) {
        loaded = false;
    }
    if (!loaded) {
        SendScintilla(SCI_CLEARALL);
        SendScintilla(SCI_SETSTATUS, static_cast<unsigned long>(SC_STATUS_OK));
    }
    SendScintilla(SCI_SETUNDOCOLLECTION, 1L);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    resetScrollWidth();
    caretToStart();
    setModified(false);
    return loaded;
}

void TextEditor::clearText()
{
    SendScintilla(SCI_CLEARALL);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    resetScrollWidth();
    caretToStart();
    setModified(false);
}

void TextEditor::resetScrollWidth()
{
    // The width only ever grows with the lines shown; a new text starts
    // without the long lines of the one it replaced.
    SendScintilla(SCI_SETSCROLLWIDTH, 1);
}

QByteArray TextEditor::bytes() const
{
    const long length = SendScintilla(SCI_GETLENGTH);
    const auto *text = reinterpret_cast<const char *>(SendScintilla(SCI_GETCHARACTERPOINTER));
    return QByteArray(text, length);
}

QStringList TextEditor::lines() const
{
    return TextFile::splitLines(QString::fromUtf8(bytes()));
}

void TextEditor::setEditorFont(const QFont &font)
{
    m_font = font;
    setFont(font);
    setMarginsFont(font);
    fitLineNumbers();
}

int TextEditor::selectionLength() const
{
    return static_cast<int>(SendScintilla(SCI_GETSELECTIONEND) - SendScintilla(SCI_GETSELECTIONSTART));
}

void TextEditor::caretToStart()
{
    SendScintilla(SCI_GOTOPOS, 0L);
}

bool TextEditor::event(QEvent *event)
{
    if (!m_tabInserts && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (tab && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            // Scintilla's own override keeps the focus; the widget's moves it.
            if (event->type() == QEvent::KeyPress)
                QWidget::focusNextPrevChild( // NOLINT(bugprone-parent-virtual-call)
                    key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
    }
    return QsciScintilla::event(event);
}

void TextEditor::removeSurprisingKeys()
{
    // Scintilla binds keys that delete or rewrite text where other programs
    // do something harmless (Ctrl+L cuts the line, Ctrl+U changes case):
    // one slip would change the file unnoticed.
    const QsciCommand::Command surprising[] = {
        QsciCommand::LineCut,
        QsciCommand::LineDelete,
        QsciCommand::DeleteLineLeft,
        QsciCommand::DeleteLineRight,
        QsciCommand::LineTranspose,
        QsciCommand::SelectionDuplicate,
        QsciCommand::SelectionLowerCase,
        QsciCommand::SelectionUpperCase,
    };
    QsciCommandSet *commands = standardCommands();
    for (const QsciCommand::Command command : surprising) {
        if (QsciCommand *bound = commands->find(command)) {
            bound->setKey(0);
            bound->setAlternateKey(0);
        }
    }
    // Redo answers the key most other programs use for it too.
    if (QsciCommand *redo = commands->find(QsciCommand::Redo))
        redo->setAlternateKey(QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z).toCombined());
}

void TextEditor::setLineNumbersShown(bool shown)
{
    m_lineNumbersShown = shown;
    setMarginLineNumbers(0, shown);
    fitLineNumbers();
}

void TextEditor::fitLineNumbers()
{
    if (!m_lineNumbersShown) {
        setMarginWidth(0, 0);
        return;
    }
    constexpr long MillionLines = 1000000;
    const long lines = std::max(MillionLines, SendScintilla(SCI_GETLINECOUNT));
    const QByteArray widest(QByteArray::number(qlonglong(lines)).size(), '9');
    const long digits =
        SendScintilla(SCI_TEXTWIDTH, static_cast<uintptr_t>(STYLE_LINENUMBER), widest.constData());
    // Half a digit's room on either side keeps the numbers off the text.
    setMarginWidth(0, int(digits + digits / long(widest.size())));
}

void TextEditor::centerLine(long line)
{
    const long shownLine = SendScintilla(SCI_VISIBLEFROMDOCLINE, line);
    const long linesOnScreen = SendScintilla(SCI_LINESONSCREEN);
    SendScintilla(SCI_SETFIRSTVISIBLELINE, std::max(0L, shownLine - linesOnScreen / 2));
}

void TextEditor::showMatch(long start, long end)
{
    const long line = SendScintilla(SCI_LINEFROMPOSITION, start);
    const long first = SendScintilla(SCI_DOCLINEFROMVISIBLE, SendScintilla(SCI_GETFIRSTVISIBLELINE));
    const bool inSight = line >= first && line < first + SendScintilla(SCI_LINESONSCREEN);
    SendScintilla(SCI_SETSEL, start, end);
    if (!inSight)
        centerLine(line);
    // The end of a match on a long line may lie beyond the right edge.
    SendScintilla(SCI_SCROLLRANGE, start, end);
}

void TextEditor::setCaretPosition(long position)
{
    SendScintilla(SCI_SETSEL, position, position);
}

void TextEditor::goToLine(int line, int column)
{
    const long lastLine = SendScintilla(SCI_GETLINECOUNT) - 1;
    const long target = std::min(static_cast<long>(line) - 1, lastLine);
    const long lineStart = SendScintilla(SCI_POSITIONFROMLINE, target);
    const long lineEnd = SendScintilla(SCI_GETLINEENDPOSITION, target);
    long position = lineStart;
    if (column > 1) {
        // Columns count characters; a column past the end is the end.
        const long moved = SendScintilla(SCI_POSITIONRELATIVE, lineStart, static_cast<long>(column - 1));
        position = moved <= 0 || moved > lineEnd ? lineEnd : moved;
    }
    SendScintilla(SCI_GOTOPOS, position);
    SendScintilla(SCI_CHOOSECARETX);
    centerLine(target);
}

int TextEditor::caretLine() const
{
    return static_cast<int>(SendScintilla(SCI_LINEFROMPOSITION, SendScintilla(SCI_GETCURRENTPOS)));
}

TextEditor::Place TextEditor::place() const
{
    return Place{SendScintilla(SCI_GETCURRENTPOS), SendScintilla(SCI_GETFIRSTVISIBLELINE)};
}

void TextEditor::setPlace(const Place &place)
{
    setCaretPosition(std::min(place.caret, SendScintilla(SCI_GETLENGTH)));
    SendScintilla(SCI_SETFIRSTVISIBLELINE, place.firstLine);
}

void TextEditor::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    QsciScintilla::dragEnterEvent(event);
}

void TextEditor::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    QsciScintilla::dragMoveEvent(event);
}

void TextEditor::dropEvent(QDropEvent *event)
{
    if (event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    QsciScintilla::dropEvent(event);
}
