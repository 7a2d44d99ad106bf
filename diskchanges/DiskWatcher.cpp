#include "diskchanges/DiskWatcher.h"

#include <QFileInfo>

namespace {
// A program writing a file sends many events; the file is looked at once
// they have stopped for this long.
constexpr int SettleMilliseconds = 150;
} // namespace

DiskWatcher::DiskWatcher(QObject *parent) : QObject(parent)
{
    m_settleTimer.setSingleShot(true);
    m_settleTimer.setInterval(SettleMilliseconds);
    connect(&m_settleTimer, &QTimer::timeout, this, &DiskWatcher::settle);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &DiskWatcher::fileEvent);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &DiskWatcher::folderEvent);
}

void DiskWatcher::setFile(const QString &path, const FileSnapshot &seen)
{
    clear();
    m_path = path;
    m_seen = seen;
    watchAgain();
    // A change between taking the stamp and watching the file shows in the
    // stamp; a quick look finds it.
    m_settleTimer.start();
}

void DiskWatcher::clear()
{
    if (!m_watcher.files().isEmpty())
        m_watcher.removePaths(m_watcher.files());
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    m_settleTimer.stop();
    m_path.clear();
    m_seen = FileSnapshot();
    m_deepCheckDue = false;
    if (m_state != State::Unchanged) {
        m_state = State::Unchanged;
        emit stateChanged(m_state);
    }
}

void DiskWatcher::watchAgain()
{
    if (m_path.isEmpty())
        return;
    // A file replaced or deleted loses its watch; the folder's watch sees
    // it come back.
    if (!m_watcher.files().contains(m_path) && QFileInfo(m_path).isFile())
        m_watcher.addPath(m_path);
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!m_watcher.directories().contains(folder) && QFileInfo(folder).isDir())
        m_watcher.addPath(folder);
}

void DiskWatcher::fileEvent()
{
    m_deepCheckDue = true;
    m_settleTimer.start();
}

void DiskWatcher::folderEvent()
{
    m_settleTimer.start();
}

void DiskWatcher::settle()
{
    if (m_paused || m_path.isEmpty())
        return;
    watchAgain();
    const State state = currentState(m_deepCheckDue);
    m_deepCheckDue = false;
    if (state != m_state) {
        m_state = state;
        emit stateChanged(m_state);
    }
    emit looked(state);
}

DiskWatcher::State DiskWatcher::currentState(bool deep)
{
    const FileStamp now = FileStamp::of(m_path);
    if (now.notAFile)
        return m_seen.stamp.notAFile ? State::Unchanged : State::NotAFile;
    if (!now.exists)
        return m_seen.stamp.exists ? State::Deleted : State::Unchanged;
    if (!m_seen.stamp.exists || now.size != m_seen.stamp.size)
        return State::Changed;
    if (!deep && now == m_seen.stamp)
        return State::Unchanged;
    const std::optional<quint64> hash = ContentHash::ofFile(m_path);
    if (!hash || *hash != m_seen.hash)
        return State::Changed;
    // Touched, or written with the same bytes: the new stamp saves the
    // next look a read.
    m_seen.stamp = now;
    return State::Unchanged;
}

bool DiskWatcher::wouldOverwriteChange(const QString &path)
{
    if (m_path.isEmpty() || path != m_path)
        return false;
    return currentState(m_deepCheckDue || m_settleTimer.isActive()) == State::Changed;
}

void DiskWatcher::acceptDiskVersion()
{
    if (m_path.isEmpty())
        return;
    FileSnapshot now;
    now.stamp = FileStamp::of(m_path);
    if (now.stamp.exists)
        now.hash = ContentHash::ofFile(m_path).value_or(0);
    m_seen = now;
    if (m_state != State::Unchanged) {
        m_state = State::Unchanged;
        emit stateChanged(m_state);
    }
}

void DiskWatcher::setPaused(bool paused)
{
    m_paused = paused;
    if (!paused && !m_path.isEmpty()) {
        m_deepCheckDue = true;
        m_settleTimer.start();
    }
}
