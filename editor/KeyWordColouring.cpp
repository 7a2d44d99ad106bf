#include "editor/KeyWordColouring.h"

#include <Qsci/qsciscintilla.h>

#include <QHelpEvent>
#include <QToolTip>

const QColor KeyWordColouring::Colour(0, 0, 176);

KeyWordColouring::KeyWordColouring(QsciScintilla *editor, SharedKeyWordHints hints)
    : QObject(editor), m_editor(editor), m_viewport(editor->viewport()), m_hints(std::move(hints))
{
    m_indicator = m_editor->indicatorDefine(QsciScintilla::TextColorIndicator);
    m_editor->setIndicatorForegroundColor(Colour, m_indicator);
    m_viewport->installEventFilter(this);
    connect(m_editor, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        if (updated & (QsciScintillaBase::SC_UPDATE_CONTENT | QsciScintillaBase::SC_UPDATE_V_SCROLL))
            colourShownLines();
    });
    // A taller window shows lines that no change or scrolling brought in.
    connect(m_editor, &QsciScintillaBase::SCN_PAINTED, this, [this] {
        const long first = m_editor->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
        const long last = first + m_editor->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN);
        if (first != m_shownFirst || last != m_shownLast)
            colourShownLines();
    });
    colourShownLines();
}

void KeyWordColouring::setHints(SharedKeyWordHints hints)
{
    m_hints = std::move(hints);
    colourShownLines();
}

void KeyWordColouring::colourShownLines()
{
    // Without folding or wrapping, the screen's lines are the document's.
    m_shownFirst = m_editor->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
    m_shownLast = m_shownFirst + m_editor->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN);
    colourLines(m_shownFirst, m_shownLast);
}

QList<std::pair<long, long>> KeyWordColouring::colouredRanges(long start, long end) const
{
    QList<std::pair<long, long>> ranges;
    for (long position = start; position < end;) {
        const long value =
            m_editor->SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT, m_indicator, position);
        long runEnd = m_editor->SendScintilla(QsciScintillaBase::SCI_INDICATOREND, m_indicator, position);
        if (runEnd <= position || runEnd > end)
            runEnd = end;
        if (value != 0)
            ranges.append({position, runEnd});
        position = runEnd;
    }
    return ranges;
}

void KeyWordColouring::colourLines(long first, long last)
{
    const long length = m_editor->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const long lines = m_editor->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT);
    if (length > MaxColouredLength || first >= lines)
        return;
    last = std::min(last, lines - 1);
    const long start = m_editor->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, first);
    const long end = m_editor->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, last);

    QList<std::pair<long, long>> wanted;
    if (m_hints && end > start) {
        const auto *text = reinterpret_cast<const char *>(
            m_editor->SendScintilla(QsciScintillaBase::SCI_GETRANGEPOINTER, start, end - start));
        for (const auto &[from, to] : m_hints->keyWordRanges(text, end - start, m_editor->isUtf8()))
            wanted.append({start + long(from), start + long(to)});
    }
    // Changing the indicators repaints the text, and a repaint asks for
    // colouring again: only a real change may touch them.
    if (wanted == colouredRanges(start, end))
        return;
    // Nobody listens for indicator changes, and announcing each of a screen's
    // keywords would cost more than colouring them.
    const long events = m_editor->SendScintilla(QsciScintillaBase::SCI_GETMODEVENTMASK);
    m_editor->SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK,
                            events & ~long(QsciScintillaBase::SC_MOD_CHANGEINDICATOR));
    m_editor->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, m_indicator);
    m_editor->SendScintilla(QsciScintillaBase::SCI_INDICATORCLEARRANGE, start, end - start);
    for (const auto &[from, to] : wanted)
        m_editor->SendScintilla(QsciScintillaBase::SCI_INDICATORFILLRANGE, from, to - from);
    m_editor->SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, events);
}

bool KeyWordColouring::eventFilter(QObject *watched, QEvent *event)
{
    // Compared, not asked for: the viewport's last events come while the
    // editor is being destroyed, when it is no longer a scroll area.
    if (watched == m_viewport && event->type() == QEvent::ToolTip) {
        showHint(static_cast<QHelpEvent *>(event));
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void KeyWordColouring::showHint(QHelpEvent *event)
{
    const long position = m_editor->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMPOINTCLOSE,
                                                  event->pos().x(), event->pos().y());
    const QString hint =
        position >= 0 && m_hints ? m_hints->hintFor(EditorWords::wordAt(*m_editor, position)) : QString();
    if (hint.isEmpty()) {
        QToolTip::hideText();
        return;
    }
    // Rich text, so that the entry's own "<" and line breaks show as written.
    QToolTip::showText(event->globalPos(),
                       QStringLiteral("<p style='white-space:pre'>%1</p>").arg(hint.toHtmlEscaped()),
                       m_viewport);
}
