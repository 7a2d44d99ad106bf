#include "search/GoToLineBar.h"

#include "editor/TextEditor.h"
#include "search/GoToLine.h"

#include <QColor>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

GoToLineBar::GoToLineBar(TextEditor *editor, QWidget *parent) : EditorBar(editor, parent)
{
    setObjectName(QStringLiteral("GoToLineBar"));
    m_lineText = new QLineEdit(this);
    m_lineText->setObjectName(QStringLiteral("GoToLineText"));
    m_lineText->setPlaceholderText(QStringLiteral("line or line:column"));
    auto *goButton = new QToolButton(this);
    goButton->setObjectName(QStringLiteral("GoToLineButton"));
    goButton->setText(QStringLiteral("Go"));
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("GoToLineMessage"));

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(new QLabel(QStringLiteral("Go to line:"), this));
    layout->addWidget(m_lineText, 1);
    layout->addWidget(goButton);
    layout->addWidget(m_message);
    layout->addWidget(createCloseButton());
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);

    connect(m_lineText, &QLineEdit::returnPressed, this, &GoToLineBar::go);
    connect(goButton, &QToolButton::clicked, this, &GoToLineBar::go);
    connect(m_lineText, &QLineEdit::textEdited, m_message, &QLabel::clear);

    m_marker = editor->markerDefine(QsciScintilla::Background);
    editor->setMarkerBackgroundColor(QColor(255, 244, 168), m_marker);
    connect(editor, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        if (m_markedCaret >= 0 && (updated & QsciScintillaBase::SC_UPDATE_SELECTION) &&
            this->editor()->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS) != m_markedCaret)
            clearMark();
    });
}

void GoToLineBar::markCaretLine()
{
    clearMark();
    TextEditor *text = editor();
    const LinePieces &pieces = text->linePieces();
    // All of a line shown in pieces: the user asked for the file's line.
    const long caret = text->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    long shown = pieces.firstShownLine(
        pieces.fileLine(text->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, caret)));
    const long lines = text->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT);
    do {
        text->markerAdd(int(shown), m_marker);
        ++shown;
    } while (shown < lines && pieces.continuesLine(shown));
    m_markedCaret = caret;
}

void GoToLineBar::clearMark()
{
    if (m_markedCaret < 0)
        return;
    m_markedCaret = -1;
    editor()->markerDeleteAll(m_marker);
}

bool GoToLineBar::marksLine(long shownLine) const
{
    return m_markedCaret >= 0 && (editor()->markersAtLine(int(shownLine)) & (1U << unsigned(m_marker))) != 0;
}

void GoToLineBar::open()
{
    m_message->clear();
    m_lineText->setText(QString::number(editor()->caretLine() + 1));
    show();
    m_lineText->setFocus();
    m_lineText->selectAll();
}

bool GoToLineBar::go()
{
    const std::optional<GoToLine::Target> target = GoToLine::parse(m_lineText->text());
    if (!target) {
        m_message->setText(QStringLiteral("not a line number"));
        return false;
    }
    editor()->goToLine(target->line, target->column);
    dismiss();
    markCaretLine();
    return true;
}
