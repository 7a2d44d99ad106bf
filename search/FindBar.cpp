#include "search/FindBar.h"

#include "editor/TextEditor.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace {

const QString NoMatch = QStringLiteral("no match");
const QString Unreadable = QStringLiteral("invalid regular expression");
// A selection longer than this is no search text anyone typed.
constexpr int LongestTakenSelection = 200;

QToolButton *textButton(const QString &name, const QString &text, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(text);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

QToolButton *arrowButton(const QString &name, Qt::ArrowType arrow, const QString &tip, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setArrowType(arrow);
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    return button;
}

// An option as a short toggle, named in full by its tool tip: the bar has
// to fit on one line of a narrow window.
QToolButton *optionButton(const QString &name, const QString &text, const QString &tip, QWidget *parent)
{
    QToolButton *button = textButton(name, text, parent);
    button->setCheckable(true);
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    return button;
}

} // namespace

FindBar::FindBar(TextEditor *editor, QWidget *parent) : EditorBar(editor, parent)
{
    setObjectName(QStringLiteral("FindBar"));

    m_findText = new QLineEdit(this);
    m_findText->setObjectName(QStringLiteral("FindText"));
    m_findText->installEventFilter(this);
    QToolButton *next =
        arrowButton(QStringLiteral("FindNextButton"), Qt::DownArrow, QStringLiteral("Next (Enter)"), this);
    QToolButton *previous = arrowButton(QStringLiteral("FindPreviousButton"), Qt::UpArrow,
                                        QStringLiteral("Previous (Shift+Enter)"), this);
    m_matchCase =
        optionButton(QStringLiteral("MatchCase"), QStringLiteral("Aa"), QStringLiteral("Match case"), this);
    m_wholeWord =
        optionButton(QStringLiteral("WholeWord"), QStringLiteral("Word"), QStringLiteral("Whole word"), this);
    m_regularExpression = optionButton(QStringLiteral("RegularExpression"), QStringLiteral(".*"),
                                       QStringLiteral("Regular expression"), this);
    m_wrapAround = optionButton(QStringLiteral("WrapAround"), QStringLiteral("Wrap"),
                                QStringLiteral("Wrap around"), this);
    m_wrapAround->setChecked(true);
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("FindMessage"));

    auto *findButtons = new QHBoxLayout;
    for (QToolButton *button : {next, previous, m_matchCase, m_wholeWord, m_regularExpression, m_wrapAround})
        findButtons->addWidget(button);
    findButtons->addWidget(m_message);
    findButtons->addStretch(1);
    findButtons->addWidget(createCloseButton());

    m_replaceLabel = new QLabel(QStringLiteral("Replace:"), this);
    m_replaceText = new QLineEdit(this);
    m_replaceText->setObjectName(QStringLiteral("ReplaceText"));
    m_replaceText->installEventFilter(this);
    m_replaceButtons = new QWidget(this);
    QToolButton *replaceOne =
        textButton(QStringLiteral("ReplaceButton"), QStringLiteral("Replace"), m_replaceButtons);
    QToolButton *replaceEvery =
        textButton(QStringLiteral("ReplaceAllButton"), QStringLiteral("Replace All"), m_replaceButtons);
    auto *replaceButtons = new QHBoxLayout(m_replaceButtons);
    replaceButtons->setContentsMargins(0, 0, 0, 0);
    replaceButtons->addWidget(replaceOne);
    replaceButtons->addWidget(replaceEvery);
    replaceButtons->addStretch(1);

    // The two boxes line up, the buttons follow them.
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(4, 1, 4, 1);
    layout->setVerticalSpacing(1);
    layout->addWidget(new QLabel(QStringLiteral("Find:"), this), 0, 0);
    layout->addWidget(m_findText, 0, 1);
    layout->addLayout(findButtons, 0, 2);
    layout->addWidget(m_replaceLabel, 1, 0);
    layout->addWidget(m_replaceText, 1, 1);
    layout->addWidget(m_replaceButtons, 1, 2);
    layout->setColumnStretch(1, 1);
    // The bar must not make a narrow window wider.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setTabOrder(m_findText, m_replaceText);

    connect(next, &QToolButton::clicked, this, &FindBar::findNext);
    connect(previous, &QToolButton::clicked, this, &FindBar::findPrevious);
    connect(replaceOne, &QToolButton::clicked, this, &FindBar::replace);
    connect(replaceEvery, &QToolButton::clicked, this, &FindBar::replaceAll);
    connect(m_findText, &QLineEdit::textEdited, this, [this] { setMessage(QString()); });
}

void FindBar::showReplace(bool shown)
{
    for (QWidget *part :
         {static_cast<QWidget *>(m_replaceLabel), static_cast<QWidget *>(m_replaceText), m_replaceButtons})
        part->setVisible(shown);
}

TextSearch::Options FindBar::options() const
{
    TextSearch::Options options;
    options.text = m_findText->text();
    options.matchCase = m_matchCase->isChecked();
    options.wholeWord = m_wholeWord->isChecked();
    options.regularExpression = m_regularExpression->isChecked();
    return options;
}

void FindBar::openFind()
{
    open(false);
}

void FindBar::openReplace()
{
    open(true);
}

void FindBar::open(bool withReplace)
{
    const QString selected = editor()->selectedText();
    if (!selected.isEmpty() && selected.size() <= LongestTakenSelection &&
        !selected.contains(QLatin1Char('\n')) && !selected.contains(QLatin1Char('\r')))
        m_findText->setText(selected);
    showReplace(withReplace && !editor()->isReadOnly());
    setMessage(QString());
    show();
    m_findText->setFocus();
    m_findText->selectAll();
}

bool FindBar::findNext()
{
    return find(true);
}

bool FindBar::findPrevious()
{
    return find(false);
}

bool FindBar::find(bool forward)
{
    if (m_findText->text().isEmpty()) {
        openFind();
        return false;
    }
    if (isHidden()) {
        showReplace(false);
        show();
    }
    if (!readable())
        return false;
    const TextSearch::Found match =
        TextSearch::findNext(*editor(), options(), forward, m_wrapAround->isChecked());
    showResult(match);
    return match.has_value();
}

void FindBar::showResult(const TextSearch::Found &match)
{
    if (!match) {
        setMessage(NoMatch);
        return;
    }
    setMessage(QString());
    editor()->showMatch(match->start, match->end);
}

void FindBar::replace()
{
    if (editor()->isReadOnly() || m_findText->text().isEmpty() || !readable())
        return;
    const TextSearch::Options search = options();
    // The first press finds a match, the next replaces it and finds the one after.
    if (TextSearch::selectionMatches(*editor(), search)) {
        const long after = TextSearch::replaceSelection(*editor(), search, m_replaceText->text());
        editor()->setCaretPosition(after);
    }
    findNext();
}

void FindBar::replaceAll()
{
    if (editor()->isReadOnly() || m_findText->text().isEmpty() || !readable())
        return;
    const int count = TextSearch::replaceAll(*editor(), options(), m_replaceText->text());
    setMessage(count == 0 ? NoMatch : QStringLiteral("%1 replaced").arg(count));
}

bool FindBar::readable()
{
    if (TextSearch::isReadable(options()))
        return true;
    setMessage(Unreadable);
    return false;
}

void FindBar::setMessage(const QString &text)
{
    m_message->setText(text);
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (watched == m_replaceText)
                replace();
            else if (key->modifiers() & Qt::ShiftModifier)
                findPrevious();
            else
                findNext();
            return true;
        }
    }
    return EditorBar::eventFilter(watched, event);
}
