#include "documents/MDIOutput.h"

#include "documents/FileFilters.h"
#include "editor/TextEditor.h"

#include <QKeyEvent>
#include <QToolButton>

namespace {

EditorKind outputKind()
{
    EditorKind kind;
    kind.designCaption = QStringLiteral("OUTPUT");
    kind.untitledCaption = Captions::Output + Captions::Untitled;
    kind.designSize = QSize(657, 394);
    kind.scrollBarsAlwaysOn = true;
    kind.saveAsPrefix = Captions::OutputSavedAs;
    kind.saveAsRecordsHistory = true;
    kind.openHint = QStringLiteral("Open Output File|");
    kind.saveHint = QStringLiteral("Save Output File|");
    kind.printHint = QStringLiteral("Print Output File|");
    kind.hasFileCombo = true;
    kind.fileComboOnToolBar = false;
    kind.fileComboRows = 15;
    kind.runWritesFile = true;
    return kind;
}

} // namespace

TOutputEditForm::TOutputEditForm(const WindowServices &services, QWidget *parent)
    : TEditForm(outputKind(), services, parent)
{
    addOpenButton(m_fileMenu.openOutput);
    m_newOutputMark = new QToolButton(editor());
    m_newOutputMark->setObjectName(QStringLiteral("NewOutputMark"));
    m_newOutputMark->setText(QStringLiteral("New output below"));
    m_newOutputMark->setToolTip(QStringLiteral("Go to the end of the output and follow it"));
    m_newOutputMark->setFocusPolicy(Qt::NoFocus);
    m_newOutputMark->hide();
    connect(m_newOutputMark, &QToolButton::clicked, this, [this] {
        editor()->goToEnd();
        m_newOutputMark->hide();
    });
    connect(editor(), &QsciScintillaBase::SCN_DOUBLECLICK, this,
            [this](int, int line, int) { emit lineActivated(line); });
}

bool TOutputEditForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == editor() && event->type() == QEvent::KeyPress) {
        const auto *press = static_cast<QKeyEvent *>(event);
        const bool enter = press->key() == Qt::Key_Return || press->key() == Qt::Key_Enter;
        const Qt::KeyboardModifiers modifiers = press->modifiers() & ~Qt::KeypadModifier;
        if (enter &&
            (modifiers == Qt::ControlModifier || (modifiers == Qt::NoModifier && editor()->isReadOnly()))) {
            int line = 0;
            int index = 0;
            editor()->getCursorPosition(&line, &index);
            emit lineActivated(line);
            return true;
        }
    }
    return TEditForm::eventFilter(watched, event);
}

void TOutputEditForm::setNewOutputBelow(bool shown)
{
    if (shown)
        placeNewOutputMark();
    m_newOutputMark->setVisible(shown);
}

bool TOutputEditForm::newOutputBelow() const
{
    return m_newOutputMark->isVisible();
}

void TOutputEditForm::placeNewOutputMark()
{
    m_newOutputMark->adjustSize();
    // Clear of the scroll bars, over the text's last lines.
    const QRect text = editor()->viewport()->geometry();
    constexpr int Margin = 4;
    m_newOutputMark->move(text.right() - m_newOutputMark->width() - Margin,
                          text.bottom() - m_newOutputMark->height() - Margin);
    m_newOutputMark->raise();
}
