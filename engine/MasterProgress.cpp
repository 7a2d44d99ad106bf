#include "engine/MasterProgress.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

MasterProgress::MasterProgress(QWidget *parent, int atOnce)
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

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    if (atOnce > 1) {
        m_runningList = new QListWidget(this);
        m_runningList->setObjectName(QStringLiteral("RunningFiles"));
        // Shows what runs; nothing in it is chosen or acted on.
        m_runningList->setSelectionMode(QAbstractItemView::NoSelection);
        m_runningList->setFocusPolicy(Qt::NoFocus);
        m_runningList->setMinimumSize(480, 120);
        m_runningList->setMaximumHeight(m_runningList->fontMetrics().lineSpacing() * 12);
        layout->addWidget(m_runningList);
        m_stoppingLabel =
            new QLabel(QStringLiteral("No further command file starts; those running end first."), this);
        m_stoppingLabel->setObjectName(QStringLiteral("StoppingText"));
        m_stoppingLabel->hide();
        layout->addWidget(m_stoppingLabel);
    }
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_stopButton);
    layout->addLayout(buttons);
}

QString MasterProgress::runningText(int lineNumber, const QString &commandFile)
{
    return QStringLiteral("Running %1: %2").arg(QString::number(lineNumber), commandFile);
}

QString MasterProgress::countsText(int done, int running, int left)
{
    return QStringLiteral("%1 done, %2 running, %3 left")
        .arg(QString::number(done), QString::number(running), QString::number(left));
}

void MasterProgress::showRunning(int lineNumber, const QString &commandFile)
{
    m_label->setText(runningText(lineNumber, commandFile));
    showOnce();
}

void MasterProgress::showCounts(int done, int running, int left, const QStringList &runningFiles,
                                bool stopping)
{
    m_label->setText(countsText(done, running, left));
    if (m_runningList) {
        // Rewritten only when it changed, so that a long list does not flicker.
        if (runningFiles != this->runningFiles()) {
            m_runningList->clear();
            m_runningList->addItems(runningFiles);
        }
        m_stoppingLabel->setVisible(stopping);
    }
    showOnce();
}

void MasterProgress::showOnce()
{
    if (!isVisible())
        show();
}

QString MasterProgress::text() const
{
    return m_label->text();
}

QStringList MasterProgress::runningFiles() const
{
    QStringList lines;
    if (!m_runningList)
        return lines;
    for (int i = 0; i < m_runningList->count(); ++i)
        lines.append(m_runningList->item(i)->text());
    return lines;
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
