#include "editor/KeyWordCompletion.h"

#include "editor/EditorPreferences.h"

#include <Qsci/qsciscintilla.h>

#include <QColor>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>

namespace {
constexpr int RowsShown = 10;
constexpr int WidestList = 560;
const QColor HelpLineColour(96, 96, 96);
} // namespace

KeyWordCompletion::KeyWordCompletion(QsciScintilla *editor, SharedKeyWordHints hints,
                                     EditorPreferences &preferences)
    : QObject(editor), m_editor(editor), m_hints(std::move(hints)), m_preferences(preferences)
{
    m_offerTimer = new QTimer(this);
    m_offerTimer->setSingleShot(true);
    m_offerTimer->setInterval(0);
    connect(m_offerTimer, &QTimer::timeout, this, [this] { offer(); });
    m_editor->installEventFilter(this);
    connect(m_editor, &QsciScintillaBase::SCN_CHARADDED, this, &KeyWordCompletion::charAdded);
    connect(m_editor, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        if (isOffering() &&
            (updated & (QsciScintillaBase::SC_UPDATE_CONTENT | QsciScintillaBase::SC_UPDATE_SELECTION)))
            m_offerTimer->start();
    });
}

KeyWordCompletion::~KeyWordCompletion()
{
    delete m_list;
}

void KeyWordCompletion::setHints(SharedKeyWordHints hints)
{
    m_hints = std::move(hints);
    hide();
}

bool KeyWordCompletion::isOffering() const
{
    return m_list && m_list->isVisible();
}

long KeyWordCompletion::wordStart() const
{
    const long caret = m_editor->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    return m_editor->SendScintilla(QsciScintillaBase::SCI_WORDSTARTPOSITION, caret, 1L);
}

void KeyWordCompletion::charAdded()
{
    if (isOffering()) {
        m_offerTimer->start();
        return;
    }
    if (!m_preferences.completeKeyWords())
        return;
    const long caret = m_editor->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    // Counted in bytes, which is at least the characters typed.
    if (caret - wordStart() >= TypedBeforeOffer)
        m_offerTimer->start();
}

void KeyWordCompletion::offer()
{
    if (!m_hints || m_hints->isEmpty() || m_editor->isReadOnly() || !m_editor->hasFocus()) {
        hide();
        return;
    }
    const long caret = m_editor->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    const long start = wordStart();
    // The caret went on to another word, or back out of this one.
    if (isOffering() && start != m_offeredStart) {
        hide();
        return;
    }
    const QString prefix = EditorWords::textBetween(*m_editor, start, caret);
    const QList<KeyWordHints::Completion> found = m_hints->completions(prefix, MostShown);
    if (found.isEmpty()) {
        hide();
        return;
    }
    createList();
    m_list->clear();
    QList<QTreeWidgetItem *> items;
    items.reserve(found.size());
    for (const KeyWordHints::Completion &completion : found) {
        auto *item = new QTreeWidgetItem(QStringList{completion.keyWord, completion.firstLine});
        item->setForeground(1, HelpLineColour);
        items.append(item);
    }
    m_list->addTopLevelItems(items);
    m_list->setCurrentItem(items.first());
    m_offeredStart = start;
    placeList();
    m_list->show();
}

void KeyWordCompletion::createList()
{
    if (m_list)
        return;
    // A tool tip's window: it shows over the text and beyond the window's
    // edge, and never takes the keyboard from the text.
    m_list = new QTreeWidget(m_editor);
    m_list->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    m_list->setAttribute(Qt::WA_ShowWithoutActivating);
    m_list->setObjectName(QStringLiteral("KeyWordCompletions"));
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setColumnCount(2);
    m_list->setHeaderHidden(true);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setTextElideMode(Qt::ElideRight);
    m_list->setFont(m_editor->font());
    connect(m_list, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) {
        m_list->setCurrentItem(item);
        take();
    });
}

void KeyWordCompletion::placeList()
{
    const int rows = std::min(RowsShown, m_list->topLevelItemCount());
    m_list->resizeColumnToContents(0);
    m_list->resizeColumnToContents(1);
    const int frame = 2 * m_list->frameWidth();
    const int rowHeight = m_list->sizeHintForRow(0);
    const int scrollBar =
        m_list->topLevelItemCount() > rows ? m_list->verticalScrollBar()->sizeHint().width() : 0;
    // A little room between a keyword and its help.
    m_list->setColumnWidth(0, m_list->columnWidth(0) + m_list->fontMetrics().averageCharWidth() * 2);
    const int width =
        std::min(WidestList, m_list->columnWidth(0) + m_list->columnWidth(1) + frame + scrollBar);
    // A long help line ends in "..." rather than under the edge.
    m_list->setColumnWidth(1, width - frame - scrollBar - m_list->columnWidth(0));
    const QSize size(width, rows * rowHeight + frame);

    const long caret = m_editor->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    const long line = m_editor->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, caret);
    const int x = int(m_editor->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0L, m_offeredStart));
    const int top = int(m_editor->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0L, caret));
    const int lineHeight = int(m_editor->SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, line));
    QPoint at = m_editor->viewport()->mapToGlobal(QPoint(x, top + lineHeight));
    // Above the line where there is no room below it.
    if (const QScreen *screen = m_editor->screen()) {
        const QRect room = screen->availableGeometry();
        if (at.y() + size.height() > room.bottom())
            at.setY(at.y() - lineHeight - size.height());
        at.setX(std::max(room.left(), std::min(at.x(), room.right() - size.width())));
    }
    m_list->setGeometry(QRect(at, size));
}

void KeyWordCompletion::hide()
{
    m_offerTimer->stop();
    m_offeredStart = -1;
    if (m_list)
        m_list->hide();
}

void KeyWordCompletion::take()
{
    const QTreeWidgetItem *item = m_list ? m_list->currentItem() : nullptr;
    if (!item || !isOffering()) {
        hide();
        return;
    }
    const QString keyWord = item->text(0);
    hide();
    const long caret = m_editor->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    const long start = m_editor->SendScintilla(QsciScintillaBase::SCI_WORDSTARTPOSITION, caret, 1L);
    const long end = m_editor->SendScintilla(QsciScintillaBase::SCI_WORDENDPOSITION, caret, 1L);
    m_editor->SendScintilla(QsciScintillaBase::SCI_SETSEL, start, end);
    m_editor->replaceSelectedText(keyWord);
}

bool KeyWordCompletion::handleKey(QKeyEvent *key, bool press)
{
    const int code = key->key();
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (code == Qt::Key_Space && modifiers == Qt::ControlModifier) {
        key->accept();
        if (press)
            offer();
        return true;
    }
    if (!isOffering() || (modifiers != Qt::NoModifier && modifiers != Qt::ShiftModifier))
        return false;
    int move = 0;
    switch (code) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
        break;
    case Qt::Key_Up:
        move = -1;
        break;
    case Qt::Key_Down:
        move = 1;
        break;
    case Qt::Key_PageUp:
        move = -RowsShown;
        break;
    case Qt::Key_PageDown:
        move = RowsShown;
        break;
    default:
        return false;
    }
    key->accept();
    if (!press)
        return true;
    if (code == Qt::Key_Escape) {
        hide();
    } else if (move == 0) {
        take();
    } else {
        const int last = m_list->topLevelItemCount() - 1;
        const int row = std::clamp(m_list->indexOfTopLevelItem(m_list->currentItem()) + move, 0, last);
        m_list->setCurrentItem(m_list->topLevelItem(row));
    }
    return true;
}

bool KeyWordCompletion::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_editor) {
        switch (event->type()) {
        case QEvent::ShortcutOverride:
        case QEvent::KeyPress:
            if (handleKey(static_cast<QKeyEvent *>(event), event->type() == QEvent::KeyPress))
                return true;
            break;
        case QEvent::FocusOut:
        case QEvent::Hide:
            hide();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
