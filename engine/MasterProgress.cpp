#include "engine/MasterProgress.h"

#include <QCloseEvent>
#include <QLabel>
#include <QVBoxLayout>

MasterProgress::MasterProgress(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("MasterProgress"));
    setWindowTitle(QStringLiteral("Execute Master"));
    setModal(true);
    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("ProgressText"));
    m_label->setMinimumWidth(360);
    m_label->setTextFormat(Qt::PlainText);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
}

QString MasterProgress::runningText(int lineNumber, const QString &commandFile)
{
    return QStringLiteral("Running %1: %2").arg(QString::number(lineNumber), commandFile);
}

void MasterProgress::showRunning(int lineNumber, const QString &commandFile)
{
    m_label->setText(runningText(lineNumber, commandFile));
    if (!isVisible())
        show();
}

QString MasterProgress::text() const
{
    return m_label->text();
}

void MasterProgress::reject()
{
    // The run ends when its engines end; the window cannot stop it.
}

void MasterProgress::closeEvent(QCloseEvent *event)
{
    event->ignore();
}
