#include "explorer/FolderWatch.h"

#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int PauseMs = 100;

} // namespace

FolderWatch::FolderWatch(QObject *parent)
    : QObject(parent), m_watcher(new QFileSystemWatcher(this)), m_pause(new QTimer(this))
{
    m_pause->setSingleShot(true);
    m_pause->setInterval(PauseMs);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        // Not restarted by every change: a folder that changes all the time
        // is still shown as it is now and then.
        if (!m_pause->isActive())
            m_pause->start();
    });
    connect(m_pause, &QTimer::timeout, this, &FolderWatch::pauseOver);
}

void FolderWatch::setFolder(const QString &path)
{
    if (!m_watcher->directories().isEmpty())
        m_watcher->removePaths(m_watcher->directories());
    m_pause->stop();
    m_folder = path;
    if (!m_folder.isEmpty())
        m_watcher->addPath(m_folder);
}

void FolderWatch::pauseOver()
{
    QElapsedTimer timer;
    timer.start();
    emit changed();
    // A folder deleted and made again is no longer watched.
    if (!m_folder.isEmpty() && !m_watcher->directories().contains(m_folder))
        m_watcher->addPath(m_folder);
    m_pause->setInterval(int(std::max<qint64>(PauseMs, timer.elapsed())));
}
