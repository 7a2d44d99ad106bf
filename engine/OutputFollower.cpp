#include "engine/OutputFollower.h"

#include "core/TextCodec.h"
#include "documents/DocumentWindows.h"
#include "documents/MDIOutput.h"
#include "editor/LinePieces.h"
#include "editor/TextEditor.h"

#include <QScopeGuard>

#include <cstring>
#include <new>

namespace {

const QString EndOnlyNote = QStringLiteral("The output window shows the output's end until the run ends.");

bool continuesCharacter(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// Cuts lines as they come into pieces a window can lay out quickly; the end
// of the run loads the file and shows such lines as any load does.
// lineLength carries the length of the last line from piece to piece.
QByteArray withCuts(const QByteArray &text, qsizetype &lineLength, bool &cut)
{
    constexpr qsizetype Longest = LinePieces::LongestWholeLine;
    QByteArray out;
    qsizetype copied = 0;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const auto *lineFeed =
            static_cast<const char *>(std::memchr(text.constData() + i, '\n', size_t(n - i)));
        const qsizetype lineEnd = lineFeed ? lineFeed - text.constData() : n;
        while (lineLength + (lineEnd - i) > Longest) {
            qsizetype at = i + (Longest - lineLength);
            while (at > i && continuesCharacter(text.at(at)))
                --at;
            out.append(text.constData() + copied, at - copied);
            out.append(LinePieces::Cut);
            copied = at;
            i = at;
            lineLength = 0;
            cut = true;
        }
        lineLength = lineFeed ? 0 : lineLength + (lineEnd - i);
        i = lineEnd + 1;
    }
    if (copied == 0)
        return text;
    out.append(text.constData() + copied, n - copied);
    return out;
}

} // namespace

OutputFollower::OutputFollower(DocumentWindows &documents, QString path, QObject *parent)
    : QObject(parent), m_documents(documents), m_path(std::move(path)), m_file(m_path)
{
    m_timer.setInterval(LookInterval);
    connect(&m_timer, &QTimer::timeout, this, [this] { look(PieceLimit); });
    m_timer.start();
}

OutputFollower::~OutputFollower() = default;

void OutputFollower::leave()
{
    giveUp();
    if (m_shown && m_documents.showsRunOutput(m_path))
        m_documents.outputWindow().setNewOutputBelow(false);
    setNote(QString());
}

void OutputFollower::setHeld(bool held)
{
    if (held)
        m_timer.stop();
    else if (!m_gaveUp)
        m_timer.start();
}

std::optional<FileSnapshot> OutputFollower::finish()
{
    const auto done = qScopeGuard([this] { leave(); });
    if (!m_shown || m_gaveUp)
        return std::nullopt;
    // The stamp before the bytes: a change while they are read shows.
    FileSnapshot seen;
    seen.stamp = FileStamp::of(m_path);
    // More than a few megabytes left load faster as any file does: read
    // ahead on a thread into a text made for their size.
    const qint64 left = seen.stamp.size - m_file.offset();
    if (!seen.stamp.exists || seen.stamp.notAFile || !m_verbatim || left > EndCatchUp)
        return std::nullopt;
    look(qsizetype(qMax<qint64>(0, left)));
    const bool whole = !m_gaveUp && m_verbatim && m_carry.isEmpty() && m_file.offset() == seen.stamp.size &&
                       m_shownLength == m_file.offset();
    if (!whole)
        return std::nullopt;
    seen.hash = m_hash.value();
    return seen;
}

void OutputFollower::look(qsizetype limit)
{
    if (m_gaveUp)
        return;
    // A file the user opened into the window during the run stays there.
    if (m_shown ? !stillShown() : m_documents.shownFiles().OutputFileName != m_path) {
        giveUp();
        return;
    }
    GrowingFile::News news = m_file.read(limit);
    if (!news.isFile)
        return;
    if (!m_shown || news.change == GrowingFile::Change::Restarted)
        startText();
    // Far behind: only the end is worth showing now.
    if (news.size - m_file.offset() > ShownLimit) {
        m_file.skipTo(news.size - ShownLimit / 2);
        startText();
        m_verbatim = false;
        m_midLine = true;
        setNote(EndOnlyNote);
        news = m_file.read(limit);
        if (news.change == GrowingFile::Change::Restarted)
            startText();
    }
    try {
        show(shownText(std::move(news.bytes)));
    } catch (const std::bad_alloc &) {
        // What is shown stays; the end of the run loads the file as any
        // load does, and says when it cannot.
        giveUp();
    }
}

void OutputFollower::startText()
{
    if (!m_shown)
        m_documents.followRunOutput(m_path);
    else
        m_documents.outputWindow().editor()->startGrowingText();
    m_shown = true;
    m_verbatim = true;
    m_midLine = false;
    m_atFileStart = true;
    m_windows1252 = false;
    m_carry.clear();
    m_lineLength = 0;
    m_shownLength = 0;
    m_hash = ContentHash::Stream();
    setNote(QString());
}

void OutputFollower::giveUp()
{
    m_gaveUp = true;
    m_timer.stop();
}

bool OutputFollower::stillShown() const
{
    return m_documents.showsRunOutput(m_path) &&
           m_documents.outputWindow().editor()->shownLength() == m_shownLength;
}

QByteArray OutputFollower::shownText(QByteArray bytes)
{
    if (m_midLine) {
        const qsizetype lineFeed = bytes.indexOf('\n');
        if (lineFeed < 0)
            return {};
        bytes.remove(0, lineFeed + 1);
        m_midLine = false;
        m_atFileStart = false;
    }
    if (bytes.isEmpty())
        return bytes;
    if (m_verbatim)
        m_hash.add(bytes);
    QByteArray text = m_carry + bytes;
    m_carry.clear();
    if (m_atFileStart && text.size() >= 3) {
        m_atFileStart = false;
        // The end's load decides what the mark means; until then it is not shown.
        if (TextCodec::hasUtf8Mark(text)) {
            text.remove(0, 3);
            m_verbatim = false;
        }
    }
    if (!m_windows1252) {
        const qsizetype whole = TextCodec::wholeUtf8Length(text);
        TextCodec::Utf8Check check;
        check.add(QByteArrayView(text).first(whole));
        if (check.valid()) {
            m_carry = text.mid(whole);
            text.truncate(whole);
        } else {
            // Shown as 8-bit text from here on; the end's load decides.
            m_windows1252 = true;
            m_verbatim = false;
        }
    }
    if (m_windows1252) {
        QByteArray utf8(TextCodec::windows1252Utf8Size(text.constData(), text.size()), Qt::Uninitialized);
        TextCodec::windows1252ToUtf8(text.constData(), text.size(), utf8.data());
        text = std::move(utf8);
    }
    bool cut = false;
    text = withCuts(text, m_lineLength, cut);
    if (cut)
        m_verbatim = false;
    return text;
}

void OutputFollower::show(const QByteArray &text)
{
    TOutputEditForm &window = m_documents.outputWindow();
    TextEditor &editor = *window.editor();
    if (!text.isEmpty()) {
        if (m_shownLength + text.size() > ShownLimit) {
            editor.dropFront(m_shownLength + text.size() - ShownLimit / 2);
            m_verbatim = false;
            setNote(EndOnlyNote);
        }
        editor.appendGrowing(text);
        editor.fitLineNumbers();
        m_shownLength = editor.shownLength();
        if (!editor.isAtEnd())
            window.setNewOutputBelow(true);
    }
    if (window.newOutputBelow() && editor.isAtEnd())
        window.setNewOutputBelow(false);
}

void OutputFollower::setNote(const QString &text)
{
    if (text == m_note)
        return;
    m_note = text;
    emit noteChanged(text);
}
