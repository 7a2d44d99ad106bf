#include "editor/TextEditor.h"

#include "core/FileError.h"
#include "core/Fonts.h"
#include "core/ReadAhead.h"
#include "core/TextFile.h"
#include "core/WorkProgress.h"
#include "diskchanges/FileSnapshot.h"
#include "editor/EditorAccessibility.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QAccessible>
#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QScopeGuard>

#include <algorithm>

#include <new>
#include <vector>

namespace {

// Texts up to this size keep a style byte for each character, so that a
// window can colour them; a larger one is shown in one style, which saves the
// time and memory of a second buffer as large as the text.
constexpr qint64 LargestStyledText = qint64(1) << 20;
// Scintilla's buffer grows when an insertion fills its gap exactly: the room
// made for a text is a little more than the text, with room for the cuts of
// lines shown in pieces too.
constexpr qint64 DocumentSlack = 4096;
constexpr qint64 roomFor(qint64 size)
{
    return size + size / (LinePieces::PieceLength / 2) + DocumentSlack;
}
// Every repaint of a line walks it from its start, so a caret on a line this
// long does not blink: blinking would keep the processor busy while the user
// only reads.
constexpr long LongestBlinkingLine = 100000;
// A file this large takes longer than any wait the user would not notice,
// most of it before the first piece is read: the system handing over the
// memory for its text.
constexpr qint64 SurelyLongFile = qint64(256) << 20;
// Cuts are put into a text this many at a time between looks at the user.
constexpr size_t CutsBetweenLooks = 4096;

// The user called a load off: it unwinds to loadFile, which says so by
// what it returns.
struct LoadCancelled
{
};

// Goes on with the work unless the user has called it off.
void advance(WorkProgress *progress, qint64 done, qint64 total)
{
    if (progress && !progress->advance(done, total))
        throw LoadCancelled();
}

// Keeps a widget from painting while it lives.
class UpdatesPaused
{
public:
    explicit UpdatesPaused(QWidget *widget) : m_widget(widget), m_wereEnabled(widget->updatesEnabled())
    {
        m_widget->setUpdatesEnabled(false);
    }
    ~UpdatesPaused() { m_widget->setUpdatesEnabled(m_wereEnabled); }
    UpdatesPaused(const UpdatesPaused &) = delete;
    UpdatesPaused &operator=(const UpdatesPaused &) = delete;

private:
    QWidget *m_widget;
    bool m_wereEnabled;
};

// The settings Scintilla keeps with a document rather than with the view,
// carried over to a new document.
struct DocumentSettings
{
    long codePage;
    long eolMode;
    long tabWidth;
    long indent;
    long useTabs;
};

} // namespace

// Feeds the pieces of a file into the editor, in a document made for its
// size, and tells how far it has come.
class TextEditor::PieceSink : public TextFile::ByteSink
{
public:
    PieceSink(TextEditor &editor, WorkProgress *progress) : m_editor(editor), m_progress(progress) {}
    void expectSize(qint64 size) override
    {
        m_expected = size;
        // Making room for a text this large takes a while by itself.
        if (m_progress && size >= SurelyLongFile)
            m_progress->showNow();
        m_editor.showNewDocument(size);
    }
    char *space(qsizetype size) override
    {
        m_piece.resize(size_t(size));
        return m_piece.data();
    }
    void commit(qsizetype length) override { take(m_piece.data(), length); }
    void take(const char *data, qsizetype size) override
    {
        m_editor.appendBytes(data, size);
        m_taken += size;
        advance(m_progress, m_taken, std::max(m_taken, m_expected));
    }

private:
    TextEditor &m_editor;
    WorkProgress *m_progress;
    std::vector<char> m_piece;
    qint64 m_expected = 0;
    qint64 m_taken = 0;
};

namespace {

// What is learnt of a file's bytes while they are read: whether they are
// UTF-8, and their hash.
struct PieceCheck : TextFile::PieceWatcher
{
    void see(QByteArrayView piece) override
    {
        utf8.add(piece);
        hash.add(piece);
    }
    TextCodec::Utf8Check utf8;
    ContentHash::Stream hash;
};

} // namespace

// Keeps the shown document alive while a new one is filled, and shows it
// again, where it was, unless the new one was kept. Modification events rest
// meanwhile: a loaded text is no edit.
class TextEditor::DocumentSwap
{
public:
    explicit DocumentSwap(TextEditor &editor)
        : m_editor(editor), m_old(reinterpret_cast<void *>(editor.SendScintilla(SCI_GETDOCPOINTER))),
          m_anchor(editor.SendScintilla(SCI_GETANCHOR)), m_caret(editor.SendScintilla(SCI_GETCURRENTPOS)),
          m_firstLine(editor.SendScintilla(SCI_GETFIRSTVISIBLELINE)),
          m_xOffset(editor.SendScintilla(SCI_GETXOFFSET))
    {
        m_editor.SendScintilla(SCI_ADDREFDOCUMENT, 0UL, m_old);
        m_editor.SendScintilla(SCI_SETMODEVENTMASK, 0L);
    }
    ~DocumentSwap()
    {
        if (!m_kept && reinterpret_cast<void *>(m_editor.SendScintilla(SCI_GETDOCPOINTER)) != m_old) {
            m_editor.SendScintilla(SCI_SETDOCPOINTER, 0UL, m_old);
            m_editor.SendScintilla(SCI_SETSEL, static_cast<unsigned long>(m_anchor), m_caret);
            m_editor.SendScintilla(SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(m_firstLine));
            m_editor.SendScintilla(SCI_SETXOFFSET, static_cast<unsigned long>(m_xOffset));
        }
        m_editor.SendScintilla(SCI_RELEASEDOCUMENT, 0UL, m_old);
        m_editor.SendScintilla(SCI_SETMODEVENTMASK, m_editor.modificationEvents());
    }
    DocumentSwap(const DocumentSwap &) = delete;
    DocumentSwap &operator=(const DocumentSwap &) = delete;

    // The new document stays. A text the user may not change now (the output
    // window during a run) stays so: Scintilla keeps that with the document.
    void keep()
    {
        m_kept = true;
        m_editor.applyReadOnly();
    }

private:
    TextEditor &m_editor;
    void *m_old;
    long m_anchor;
    long m_caret;
    long m_firstLine;
    long m_xOffset;
    bool m_kept = false;
};

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

    // Laying out a line costs time in proportion to its length; the lines on
    // the screen keep theirs, so that a long line is laid out once, not on
    // every caret move.
    SendScintilla(SCI_SETLAYOUTCACHE, static_cast<unsigned long>(SC_CACHE_PAGE));
    m_caretPeriod = SendScintilla(SCI_GETCARETPERIOD);
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, &TextEditor::blinkCaretOnShortLines);
    // The line count is known at once; the margin grows when it gains a digit.
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        if (updated & SC_UPDATE_CONTENT)
            fitLineNumbers();
    });
    // Whatever brought new lines into sight (a scroll, a resize, a load),
    // they are numbered once they are painted.
    connect(this, &QsciScintillaBase::SCN_PAINTED, this, &TextEditor::numberLinePieces);

    m_firstDocument = reinterpret_cast<void *>(SendScintilla(SCI_GETDOCPOINTER));
    SendScintilla(SCI_ADDREFDOCUMENT, 0UL, m_firstDocument);
    removeSurprisingKeys();
    followAssistiveTechnology(EditorAccessibility::instance().isActive());
    connect(&EditorAccessibility::instance(), &EditorAccessibility::activeChanged, this,
            &TextEditor::followAssistiveTechnology);
}

TextEditor::~TextEditor()
{
    SendScintilla(SCI_RELEASEDOCUMENT, 0UL, m_firstDocument);
}

void TextEditor::followAssistiveTechnology(bool)
{
    SendScintilla(SCI_SETMODEVENTMASK, modificationEvents());
    EditorAccessibility::renewAccessible(this);
}

void TextEditor::blinkCaretOnShortLines()
{
    const long line =
        SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(SendScintilla(SCI_GETCURRENTPOS)));
    const long period = SendScintilla(SCI_LINELENGTH, static_cast<unsigned long>(line)) > LongestBlinkingLine
                            ? 0
                            : m_caretPeriod;
    if (SendScintilla(SCI_GETCARETPERIOD) != period)
        SendScintilla(SCI_SETCARETPERIOD, static_cast<unsigned long>(period));
}

long TextEditor::modificationEvents() const
{
    // A screen reader hears of edits through them. Nothing else here needs
    // them, and QScintilla counts the characters before every edit for them.
    return EditorAccessibility::instance().isActive() ? long(SC_MODEVENTMASKALL) : 0L;
}

void TextEditor::setScrollBarsAlwaysOn(bool on)
{
    const Qt::ScrollBarPolicy policy = on ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded;
    setHorizontalScrollBarPolicy(policy);
    setVerticalScrollBarPolicy(policy);
}

std::optional<TextEditor::LoadedFile> TextEditor::loadFile(const QString &path, WorkProgress *progress)
{
    // While progress is shown, timers still run: a look at the window's old
    // file on disk could ask to load it into the text being replaced.
    if (m_loading)
        throw FileError::cannotOpen(path, QStringLiteral("the window is opening another file"));
    m_loading = true;
    const auto loaded = qScopeGuard([this] { m_loading = false; });
    const QString oldText =
        EditorAccessibility::instance().isActive() ? QString::fromUtf8(bytes()) : QString();
    // The text half loaded is not painted: a line not yet cut would take
    // long to lay out.
    const UpdatesPaused paused(viewport());
    DocumentSwap swap(*this);
    TextEncoding encoding = TextEncoding::Utf8;
    LinePieces pieces;
    PieceCheck check;
    try {
        PieceSink sink(*this, progress);
        TextFile::readAhead(path, sink, check);
        const QByteArray shown = shownBytes();
        if (check.utf8.valid() && !TextCodec::hasUtf8Mark(shown)) {
            // Shown as it was read.
        } else if (TextCodec::isWindows1252(shown)) {
            encoding = TextEncoding::Windows1252;
            showConvertedFromWindows1252(progress);
        } else {
            const TextCodec::Decoded decoded = TextCodec::decode(shown);
            encoding = decoded.encoding;
            showNewDocument(decoded.utf8.size());
            appendBytes(decoded.utf8.constData(), decoded.utf8.size());
        }
        if (m_cutsLongLines)
            pieces = cutLongLines(progress);
    } catch (const std::bad_alloc &) {
        throw FileError::tooLarge(path);
    } catch (const LoadCancelled &) {
        return std::nullopt;
    }
    m_pieces = std::move(pieces);
    swap.keep();
    finishLoad();
    announceNewText(oldText);
    return LoadedFile{encoding, check.hash.value()};
}

void TextEditor::clearText()
{
    const QString oldText =
        EditorAccessibility::instance().isActive() ? QString::fromUtf8(bytes()) : QString();
    DocumentSwap swap(*this);
    showNewDocument(0);
    m_pieces = LinePieces();
    swap.keep();
    finishLoad();
    announceNewText(oldText);
}

void TextEditor::showNewDocument(qint64 size)
{
    const DocumentSettings settings{SendScintilla(SCI_GETCODEPAGE), SendScintilla(SCI_GETEOLMODE),
                                    SendScintilla(SCI_GETTABWIDTH), SendScintilla(SCI_GETINDENT),
                                    SendScintilla(SCI_GETUSETABS)};
    const long options = size > LargestStyledText ? long(SC_DOCUMENTOPTION_STYLES_NONE) : 0L;
    auto *document = reinterpret_cast<void *>(
        SendScintilla(SCI_CREATEDOCUMENT, static_cast<unsigned long>(roomFor(size)), options));
    if (!document)
        throw std::bad_alloc();
    // The view takes its own reference; the one from its making goes.
    SendScintilla(SCI_SETDOCPOINTER, 0UL, document);
    SendScintilla(SCI_RELEASEDOCUMENT, 0UL, document);
    SendScintilla(SCI_SETCODEPAGE, settings.codePage);
    SendScintilla(SCI_SETEOLMODE, settings.eolMode);
    SendScintilla(SCI_SETTABWIDTH, settings.tabWidth);
    SendScintilla(SCI_SETINDENT, settings.indent);
    SendScintilla(SCI_SETUSETABS, settings.useTabs);
    // A loaded text is no edit: keeping a copy of it for undo would only
    // cost time and memory.
    SendScintilla(SCI_SETUNDOCOLLECTION, 0L);
    SendScintilla(SCI_SETSTATUS, static_cast<unsigned long>(SC_STATUS_OK));
}

void TextEditor::showConvertedFromWindows1252(WorkProgress *progress)
{
    // The file's bytes stay in their document, alive while a new one is
    // filled from them a piece at a time: no third copy of the text.
    auto *bytesRead = reinterpret_cast<void *>(SendScintilla(SCI_GETDOCPOINTER));
    const qsizetype size = SendScintilla(SCI_GETLENGTH);
    const auto *data = reinterpret_cast<const char *>(SendScintilla(SCI_GETCHARACTERPOINTER));
    SendScintilla(SCI_ADDREFDOCUMENT, 0UL, bytesRead);
    try {
        showNewDocument(TextCodec::windows1252Utf8Size(data, size));
        // Each byte becomes at most three.
        std::vector<char> piece(size_t(3 * TextFile::ReadPieceSize));
        for (qsizetype done = 0; done < size; done += TextFile::ReadPieceSize) {
            const qsizetype length = qMin(TextFile::ReadPieceSize, size - done);
            appendBytes(piece.data(), TextCodec::windows1252ToUtf8(data + done, length, piece.data()));
            advance(progress, done + length, size);
        }
    } catch (...) {
        SendScintilla(SCI_RELEASEDOCUMENT, 0UL, bytesRead);
        throw;
    }
    SendScintilla(SCI_RELEASEDOCUMENT, 0UL, bytesRead);
}

LinePieces TextEditor::cutLongLines(WorkProgress *progress)
{
    const std::vector<qsizetype> cuts = LinePieces::cutsIn(shownBytes());
    if (cuts.empty())
        return {};
    const char cut[] = {LinePieces::Cut, '\0'};
    // From the last one on, the offsets before stay where they were.
    for (size_t done = 0; done < cuts.size(); ++done) {
        SendScintilla(SCI_INSERTTEXT, static_cast<unsigned long>(cuts[cuts.size() - 1 - done]), cut);
        if (done % CutsBetweenLooks == 0)
            advance(progress, qint64(done), qint64(cuts.size()));
    }
    if (SendScintilla(SCI_GETSTATUS) != SC_STATUS_OK)
        throw std::bad_alloc();
    std::vector<qsizetype> cutsShown(cuts.size());
    std::vector<long> continuedLines(cuts.size());
    for (size_t i = 0; i < cuts.size(); ++i) {
        cutsShown[i] = cuts[i] + qsizetype(i);
        continuedLines[i] = SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(cutsShown[i])) + 1;
    }
    return LinePieces(std::move(cutsShown), std::move(continuedLines));
}

void TextEditor::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    applyReadOnly();
}

void TextEditor::applyReadOnly()
{
    // An edit could not tell a cut from a line end the file has.
    QsciScintilla::setReadOnly(m_readOnly || !m_pieces.isEmpty());
}

void TextEditor::appendBytes(const char *data, qsizetype size)
{
    // Appending by length keeps NUL bytes.
    SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(size), data);
    if (SendScintilla(SCI_GETSTATUS) != SC_STATUS_OK)
        throw std::bad_alloc();
}

void TextEditor::finishLoad()
{
    SendScintilla(SCI_SETUNDOCOLLECTION, 1L);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    resetScrollWidth();
    // A new document has its caret at the start already. Showing the caret
    // with SCI_GOTOPOS would lay out the first line now, and the first paint
    // would do it again.
    SendScintilla(SCI_SETFIRSTVISIBLELINE, 0UL);
    SendScintilla(SCI_SETXOFFSET, 0UL);
    SendScintilla(SCI_SETEMPTYSELECTION, 0UL);
    setModified(false);
}

void TextEditor::announceNewText(const QString &oldText)
{
    if (!EditorAccessibility::instance().isActive())
        return;
    QAccessibleTextUpdateEvent event(this, 0, oldText, QString::fromUtf8(bytes()));
    QAccessible::updateAccessibility(&event);
}

void TextEditor::resetScrollWidth()
{
    // The width only ever grows with the lines shown; a new text starts
    // without the long lines of the one it replaced.
    SendScintilla(SCI_SETSCROLLWIDTH, 1);
}

QByteArray TextEditor::bytes() const
{
    QByteArray text = bytesInPlace();
    // Text in place is the editor's; a detached copy is the caller's.
    text.detach();
    return text;
}

QByteArray TextEditor::bytesInPlace() const
{
    return m_pieces.isEmpty() ? shownBytes() : m_pieces.joined(shownBytes());
}

QByteArray TextEditor::shownBytes() const
{
    const long length = SendScintilla(SCI_GETLENGTH);
    const auto *text = reinterpret_cast<const char *>(SendScintilla(SCI_GETCHARACTERPOINTER));
    return QByteArray::fromRawData(text, length);
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
    m_lineNumberDigits = 0; // a new font measures its digits anew
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
    fitLineNumbers();
}

void TextEditor::fitLineNumbers()
{
    // Scintilla numbers the lines it shows; lines shown in pieces have their
    // numbers written in the margin.
    const long type = !m_lineNumbersShown  ? SC_MARGIN_SYMBOL
                      : m_pieces.isEmpty() ? SC_MARGIN_NUMBER
                                           : SC_MARGIN_RTEXT;
    if (SendScintilla(SCI_GETMARGINTYPEN, 0UL) != type)
        SendScintilla(SCI_SETMARGINTYPEN, 0UL, type);
    if (!m_lineNumbersShown) {
        m_lineNumberDigits = 0;
        setMarginWidth(0, 0);
        return;
    }
    // Room for three digits at least, so that the text does not shift at
    // every tenth line of a new file.
    constexpr int FewestDigits = 3;
    const int digits = std::max(FewestDigits, int(QByteArray::number(qlonglong(fileLineCount())).size()));
    if (digits == m_lineNumberDigits)
        return;
    m_lineNumberDigits = digits;
    const QByteArray widest(digits, '9');
    const long width =
        SendScintilla(SCI_TEXTWIDTH, static_cast<uintptr_t>(STYLE_LINENUMBER), widest.constData());
    // Half a digit's room on either side keeps the numbers off the text.
    setMarginWidth(0, int(width + width / long(digits)));
}

void TextEditor::numberLinePieces()
{
    if (m_pieces.isEmpty() || !m_lineNumbersShown)
        return;
    const long first = SendScintilla(SCI_GETFIRSTVISIBLELINE);
    const long end = std::min(first + SendScintilla(SCI_LINESONSCREEN) + 1, SendScintilla(SCI_GETLINECOUNT));
    bool numbered = false;
    for (long line = first; line < end; ++line) {
        // A piece after the first goes without a number.
        if (m_pieces.continuesLine(line) ||
            SendScintilla(SCI_MARGINGETTEXT, line, static_cast<char *>(nullptr)) > 0)
            continue;
        const QByteArray number = QByteArray::number(qlonglong(m_pieces.fileLine(line)) + 1);
        SendScintilla(SCI_MARGINSETTEXT, static_cast<unsigned long>(line), number.constData());
        SendScintilla(SCI_MARGINSETSTYLE, static_cast<unsigned long>(line), long(STYLE_LINENUMBER));
        numbered = true;
    }
    // A repaint asked for while the text is painted is lost: the new
    // numbers are painted next time round.
    if (numbered)
        QMetaObject::invokeMethod(viewport(), qOverload<>(&QWidget::update), Qt::QueuedConnection);
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
    const long lastLine = fileLineCount() - 1;
    const long target = m_pieces.firstShownLine(std::min(static_cast<long>(line) - 1, lastLine));
    // Columns count characters, on through the pieces of a line shown in
    // pieces; a column past the end is the end.
    long shownLine = target;
    long position = SendScintilla(SCI_POSITIONFROMLINE, shownLine);
    long left = std::max(0L, static_cast<long>(column) - 1);
    for (;;) {
        const long pieceEnd = SendScintilla(SCI_GETLINEENDPOSITION, shownLine);
        const long characters = SendScintilla(SCI_COUNTCHARACTERS, position, pieceEnd);
        if (left < characters) {
            position = SendScintilla(SCI_POSITIONRELATIVE, position, left);
            break;
        }
        if (!m_pieces.continuesLine(shownLine + 1)) {
            position = pieceEnd;
            break;
        }
        left -= characters;
        ++shownLine;
        position = SendScintilla(SCI_POSITIONFROMLINE, shownLine);
    }
    SendScintilla(SCI_GOTOPOS, position);
    SendScintilla(SCI_CHOOSECARETX);
    centerLine(shownLine);
}

long TextEditor::fileLineCount() const
{
    return m_pieces.fileLineCount(SendScintilla(SCI_GETLINECOUNT));
}

int TextEditor::caretLine() const
{
    return static_cast<int>(
        m_pieces.fileLine(SendScintilla(SCI_LINEFROMPOSITION, SendScintilla(SCI_GETCURRENTPOS))));
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

QMimeData *TextEditor::toMimeData(const QByteArray &text, bool rectangular) const
{
    // The text is the selection's, cuts and all, unless the selection is a
    // rectangle or several ranges.
    const long start = SendScintilla(SCI_GETSELECTIONSTART);
    const bool oneRange = !m_pieces.isEmpty() && !rectangular && SendScintilla(SCI_GETSELECTIONS) == 1 &&
                          SendScintilla(SCI_GETSELECTIONEND) - start == text.size();
    return QsciScintilla::toMimeData(oneRange ? m_pieces.joined(text, start) : text, rectangular);
}

void TextEditor::dropEvent(QDropEvent *event)
{
    if (event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    QsciScintilla::dropEvent(event);
}
