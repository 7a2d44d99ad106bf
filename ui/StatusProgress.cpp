#include "ui/StatusProgress.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace {

// The bar moves and the windows repaint at most this often: each look at
// the events costs the work a little.
constexpr qint64 RefreshMilliseconds = 50;
constexpr int BarSteps = 1000;
constexpr int BarWidth = 160;

} // namespace

class StatusProgress::Work : public WorkProgress
{
public:
    // owner: nothing for work started while other work runs.
    Work(StatusProgress *owner, QString what) : m_owner(owner), m_what(std::move(what)) { m_clock.start(); }
    ~Work() override
    {
        if (!m_owner)
            return;
        if (m_shown)
            m_owner->hideWork();
        m_owner->m_work = nullptr;
    }
    Work(const Work &) = delete;
    Work &operator=(const Work &) = delete;

    bool advance(qint64 done, qint64 total) override
    {
        if (!m_owner || m_cancelled)
            return !m_cancelled;
        if (!m_shown) {
            if (m_clock.elapsed() < m_owner->m_showAfter)
                return true;
            m_shown = true;
            m_owner->showWork(m_what);
        } else if (m_clock.elapsed() - m_refreshed < RefreshMilliseconds) {
            return true;
        }
        m_refreshed = m_clock.elapsed();
        m_owner->m_bar->setValue(total > 0 ? int(qBound(qint64(0), done * BarSteps / total, qint64(BarSteps)))
                                           : 0);
        QCoreApplication::processEvents();
        return !m_cancelled;
    }

    void showNow() override
    {
        if (!m_owner || m_shown)
            return;
        m_shown = true;
        m_owner->showWork(m_what);
        m_refreshed = m_clock.elapsed();
        QCoreApplication::processEvents();
    }

    void cancel() { m_cancelled = true; }

private:
    StatusProgress *m_owner;
    QString m_what;
    QElapsedTimer m_clock;
    qint64 m_refreshed = 0;
    bool m_shown = false;
    bool m_cancelled = false;
};

StatusProgress::StatusProgress(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("StatusProgress"));
    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("ProgressText"));
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("ProgressBar"));
    m_bar->setRange(0, BarSteps);
    m_bar->setFixedWidth(BarWidth);
    m_bar->setTextVisible(false);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("CancelButton"));
    m_cancelButton->setAutoDefault(false);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_label);
    layout->addWidget(m_bar);
    layout->addWidget(m_cancelButton);
    connect(m_cancelButton, &QPushButton::clicked, this, &StatusProgress::cancel);
    hide();
}

StatusProgress::~StatusProgress()
{
    qApp->removeEventFilter(this);
}

std::unique_ptr<WorkProgress> StatusProgress::start(const QString &what)
{
    if (m_work)
        return std::make_unique<Work>(nullptr, what);
    auto work = std::make_unique<Work>(this, what);
    m_work = work.get();
    return work;
}

void StatusProgress::showWork(const QString &what)
{
    m_label->setText(what);
    m_bar->setValue(0);
    show();
    qApp->installEventFilter(this);
}

void StatusProgress::hideWork()
{
    qApp->removeEventFilter(this);
    hide();
}

void StatusProgress::cancel()
{
    if (m_work)
        m_work->cancel();
}

bool StatusProgress::isMine(QObject *object) const
{
    for (; object; object = object->parent()) {
        if (object == this)
            return true;
    }
    return false;
}

bool StatusProgress::eventFilter(QObject *watched, QEvent *event)
{
    // The events of the system's windows are left to reach the widgets in
    // them, where they are told apart.
    if (!watched->isWidgetType())
        return false;
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Taken, so that no shortcut runs a command meanwhile.
        event->accept();
        return true;
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
            cancel();
        return !isMine(watched);
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::InputMethod:
        return !isMine(watched);
    case QEvent::Close:
        // A window closed now would take the work's text with it.
        if (watched->isWidgetType() && static_cast<QWidget *>(watched)->isWindow()) {
            event->ignore();
            return true;
        }
        return false;
    default:
        return false;
    }
}
