#include "engine/MasterProgress.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
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
    m_stopButton = new QPushButton(QStringLiteral("Stop"), this);
    m_stopButton->setObjectName(QStringLiteral("StopButton"));
    // Enter must not end a run by accident; only a deliberate Stop or Escape.
    m_stopButton->setAutoDefault(false);
    connect(m_stopButton, &QPushButton::clicked, this, &MasterProgress::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_stopButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addLayout(buttons);
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
    // The window stays until the run has ended; the run closes it.
    if (!m_stopButton->isEnabled())
        return;
    m_stopButton->setEnabled(false);
    emit stopRequested();
}

void MasterProgress::closeEvent(QCloseEvent *event)
{
    event->ignore();
}
