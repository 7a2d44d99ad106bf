#include "editor/MessageMarks.h"

#include "editor/TextEditor.h"

#include <QHelpEvent>
#include <QToolTip>

#include <algorithm>

namespace {
constexpr int MarkMargin = 1;
constexpr int MarginWidth = 14;
} // namespace

MessageMarks &MessageMarks::of(TextEditor &editor)
{
    if (auto *marks = editor.findChild<MessageMarks *>(QString(), Qt::FindDirectChildrenOnly))
        return *marks;
    return *new MessageMarks(editor);
}

MessageMarks::MessageMarks(TextEditor &editor)
    : QObject(&editor), m_editor(editor), m_viewport(editor.viewport()),
      m_marker(editor.markerDefine(QsciScintilla::RightTriangle))
{
    m_editor.setMarkerBackgroundColor(QColor(208, 32, 32), m_marker);
    m_editor.setMarkerForegroundColor(QColor(128, 0, 0), m_marker);
    m_editor.setMarginType(MarkMargin, QsciScintilla::SymbolMargin);
    m_editor.setMarginMarkerMask(MarkMargin, 1 << m_marker);
    // Installed after the keyword hints, so the margin's tool tips come first.
    m_viewport->installEventFilter(this);
}

void MessageMarks::add(int line, const QString &message)
{
    if (line < 1 || line > m_editor.fileLineCount())
        return;
    const long shownLine = m_editor.linePieces().firstShownLine(line - 1);
    const int handle = m_editor.markerAdd(int(shownLine), m_marker);
    if (handle < 0)
        return;
    m_marks.push_back({handle, line, message});
    showMargin(true);
}

void MessageMarks::clear()
{
    m_editor.markerDeleteAll(m_marker);
    m_marks.clear();
    showMargin(false);
}

std::vector<int> MessageMarks::markedLines() const
{
    std::vector<int> lines;
    for (const auto &mark : m_marks) {
        const int shown = m_editor.markerLine(mark.handle);
        if (shown >= 0)
            lines.push_back(int(m_editor.linePieces().fileLine(shown)) + 1);
    }
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    return lines;
}

int MessageMarks::lineNow(int line) const
{
    for (const Mark &mark : m_marks) {
        const int shown = m_editor.markerLine(mark.handle);
        if (mark.line == line && shown >= 0)
            return int(m_editor.linePieces().fileLine(shown)) + 1;
    }
    return line;
}

void MessageMarks::showMargin(bool shown)
{
    m_editor.setMarginWidth(MarkMargin, shown ? MarginWidth : 0);
}

QString MessageMarks::messagesAt(int y) const
{
    const long height = m_editor.SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, 0UL);
    if (height <= 0)
        return QString();
    const long visible = m_editor.SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE) + y / height;
    const long line = m_editor.SendScintilla(QsciScintillaBase::SCI_DOCLINEFROMVISIBLE, visible);
    QStringList messages;
    for (const auto &mark : m_marks) {
        if (m_editor.markerLine(mark.handle) == line)
            messages.append(mark.message);
    }
    return messages.join(QLatin1Char('\n'));
}

bool MessageMarks::eventFilter(QObject *watched, QEvent *event)
{
    // Compared, not asked for: the viewport's last events come while the
    // editor is being destroyed.
    if (watched != m_viewport || event->type() != QEvent::ToolTip || m_marks.empty())
        return QObject::eventFilter(watched, event);
    auto *help = static_cast<QHelpEvent *>(event);
    int marginsWidth = 0;
    for (int margin = 0; margin <= MarkMargin; ++margin)
        marginsWidth += m_editor.marginWidth(margin);
    if (help->pos().x() >= marginsWidth)
        return QObject::eventFilter(watched, event);
    const QString messages = messagesAt(help->pos().y());
    if (messages.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), messages, qobject_cast<QWidget *>(m_viewport));
    return true;
}
