#include "app/MessagePatternsDialog.h"

#include "core/Fonts.h"
#include "core/MessagePlaces.h"
#include "ui/UserDialogs.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

MessagePatternsDialog::MessagePatternsDialog(UserDialogs &dialogs, const QStringList &patterns,
                                             QWidget *parent)
    : QDialog(parent), m_dialogs(dialogs), m_text(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("MessagePatterns"));
    setWindowTitle(QStringLiteral("Message Patterns"));
    auto *explanation = new QLabel(
        QStringLiteral("Lines of the Run Log and the output window that name a place in a file lead "
                       "to it. Beside the usual forms (file:line:, file:line:column:, file(line):, "
                       "file(line,column): and line N), each line below is a regular expression with "
                       "the named groups file, line, column and message, for instance\n"
                       "^ERROR in (?<file>\\S+) at line (?<line>\\d+): (?<message>.*)$\n"
                       "Only line is required; without file, the line is one of the command file run."),
        this);
    explanation->setWordWrap(true);
    explanation->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_text->setObjectName(QStringLiteral("PatternsText"));
    m_text->setFont(defaultTextFont());
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setPlainText(patterns.join(QLatin1Char('\n')));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &MessagePatternsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &MessagePatternsDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addWidget(m_text, 1);
    layout->addWidget(buttons);
    resize(560, 300);
}

QStringList MessagePatternsDialog::patterns() const
{
    QStringList kept;
    for (const QString &line : m_text->toPlainText().split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty())
            kept.append(line);
    }
    return kept;
}

void MessagePatternsDialog::accept()
{
    const QStringList lines = m_text->toPlainText().split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        if (lines.at(i).trimmed().isEmpty())
            continue;
        const QString problem = MessagePatterns::problemWith(lines.at(i));
        if (!problem.isEmpty()) {
            m_dialogs.error(this, windowTitle(),
                            QStringLiteral("Pattern on line %1 refused: %2").arg(i + 1).arg(problem));
            return;
        }
    }
    QDialog::accept();
}
