#include "core/RecoveryStore.h"

#include "core/UserSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QSet>

#include <algorithm>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

const QByteArray Signature = "Ostrel recovery copy 1\n";
const QString CopySuffix = QStringLiteral(".recovery");
const QString LockSuffix = QStringLiteral(".lock");
// A header is a few short lines; a longer one is no copy of ours.
constexpr qint64 LongestHeader = qint64(64) * 1024;

// Only a regular file is read or written over: a FIFO would hold the
// program, and a link could lead anywhere.
bool regularOrAbsent(const QString &path)
{
    const QFileInfo info(path);
    return (info.isFile() && !info.isSymLink()) || (!info.exists() && !info.isSymLink());
}

// The writer gives way to the interface thread: on a busy machine a copy
// may take longer, but typing never waits for it.
void yieldToInterface()
{
#ifdef Q_OS_LINUX
    setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), 10);
#endif
}

bool writeCopy(const QString &path, const QByteArray &header, const QByteArray &text)
{
    if (!regularOrAbsent(path))
        return false;
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (file.write(header) != header.size() || file.write(text) != text.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

// The program a copy or lock file belongs to: its name up to the copy's number.
QString ownerOf(const QString &fileName)
{
    if (fileName.endsWith(LockSuffix))
        return fileName.chopped(LockSuffix.size());
    const QString stem = fileName.chopped(CopySuffix.size());
    return stem.left(stem.lastIndexOf(QLatin1Char('-')));
}

} // namespace

QString RecoveryStore::defaultFolder()
{
    return QDir(userDataFolder()).filePath(QStringLiteral("recovery"));
}

RecoveryStore::RecoveryStore(const QString &folder, QObject *parent) : QObject(parent), m_folder(folder)
{
    m_writer.setMaxThreadCount(1);
    m_id = QStringLiteral("%1-%2")
               .arg(QCoreApplication::applicationPid())
               .arg(QDateTime::currentMSecsSinceEpoch());
}

bool RecoveryStore::takeFolder()
{
    // Made with the first copy: a program that never had unsaved text
    // leaves nothing behind.
    if (m_lock)
        return true;
    if (m_folderRefused || !QDir().mkpath(m_folder) || !QFileInfo(m_folder).isDir()) {
        m_folderRefused = true;
        return false;
    }
    // What the copies hold is the user's own: for the user's eyes alone.
    QFile::setPermissions(m_folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    auto lock = std::make_unique<QLockFile>(QDir(m_folder).filePath(m_id + LockSuffix));
    // Never stale by age: the program may run for weeks.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0))
        m_lock = std::move(lock);
    m_folderRefused = !m_lock;
    return !m_folderRefused;
}

RecoveryStore::~RecoveryStore()
{
    m_writer.waitForDone();
}

bool RecoveryStore::write(const void *key, const QString &kind, const QString &fileName, QByteArray text)
{
    if (!takeFolder())
        return false;
    Copy &copy = m_copies[key];
    if (copy.writing)
        return false;
    if (copy.path.isEmpty())
        copy.path =
            QDir(m_folder).filePath(QStringLiteral("%1-%2%3").arg(m_id).arg(m_nextCopy++).arg(CopySuffix));
    copy.writing = true;
    copy.removeWhenWritten = false;
    const QByteArray head = header(kind, fileName, QDateTime::currentDateTimeUtc());
    m_writer.start([this, key, path = copy.path, head, text = std::move(text)] {
        yieldToInterface();
        writeCopy(path, head, text);
        QMetaObject::invokeMethod(
            this, [this, key] { written(key); }, Qt::QueuedConnection);
    });
    return true;
}

void RecoveryStore::written(const void *key)
{
    auto it = m_copies.find(key);
    if (it == m_copies.end())
        return;
    it->writing = false;
    if (it->removeWhenWritten) {
        QFile::remove(it->path);
        m_copies.erase(it);
    }
}

void RecoveryStore::remove(const void *key)
{
    auto it = m_copies.find(key);
    if (it == m_copies.end())
        return;
    // The writer would put it back: it goes when the writer is done.
    if (it->writing) {
        it->removeWhenWritten = true;
        return;
    }
    QFile::remove(it->path);
    m_copies.erase(it);
}

void RecoveryStore::waitForWrites()
{
    m_writer.waitForDone();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void RecoveryStore::endNormally()
{
    m_writer.waitForDone();
    for (const Copy &copy : std::as_const(m_copies))
        QFile::remove(copy.path);
    m_copies.clear();
    releaseClaims();
    m_lock.reset();
}

QByteArray RecoveryStore::header(const QString &kind, const QString &fileName, const QDateTime &written)
{
    // The name as the file system has it, bytes that are no UTF-8 and line
    // breaks included.
    return Signature + "kind: " + kind.toUtf8() + "\nfile: " + QFile::encodeName(fileName).toBase64() +
           "\ntime: " + written.toUTC().toString(Qt::ISODateWithMs).toUtf8() + "\n\n";
}

std::optional<RecoveryCopy> RecoveryStore::parseHeader(const QByteArray &head)
{
    if (!head.startsWith(Signature))
        return std::nullopt;
    const qsizetype end = head.indexOf("\n\n");
    if (end < 0)
        return std::nullopt;
    RecoveryCopy copy;
    for (const QByteArray &line : head.mid(Signature.size(), end - Signature.size()).split('\n')) {
        const qsizetype colon = line.indexOf(": ");
        const QByteArray name = line.left(colon);
        const QByteArray value = line.mid(colon + 2);
        if (name == "kind")
            copy.kind = QString::fromUtf8(value);
        else if (name == "file")
            copy.fileName = QFile::decodeName(QByteArray::fromBase64(value));
        else if (name == "time")
            copy.written = QDateTime::fromString(QString::fromUtf8(value), Qt::ISODateWithMs);
    }
    if (copy.kind.isEmpty() || !copy.written.isValid())
        return std::nullopt;
    return copy;
}

QList<RecoveryCopy> RecoveryStore::claimLeftCopies()
{
    QList<RecoveryCopy> found;
    if (!QFileInfo(m_folder).isDir())
        return found;
    const QDir folder(m_folder);
    const QStringList names = folder.entryList({QLatin1Char('*') + CopySuffix, QLatin1Char('*') + LockSuffix},
                                               QDir::Files | QDir::Hidden);
    QSet<QString> owners;
    for (const QString &name : names)
        owners.insert(ownerOf(name));
    owners.remove(m_id);
    for (const QString &owner : std::as_const(owners)) {
        // A lock that can be taken is one whose program has ended (or that
        // never was: copies without one).
        auto lock = std::make_unique<QLockFile>(folder.filePath(owner + LockSuffix));
        lock->setStaleLockTime(0);
        if (owner.isEmpty() || !lock->tryLock(0))
            continue;
        for (const QString &name : names) {
            const QString path = folder.filePath(name);
            if (!name.endsWith(CopySuffix) || ownerOf(name) != owner || !regularOrAbsent(path))
                continue;
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            std::optional<RecoveryCopy> copy = parseHeader(file.peek(LongestHeader));
            if (!copy)
                continue;
            copy->path = path;
            found.append(*copy);
        }
        m_claims.emplace_back(owner, std::move(lock));
    }
    std::sort(found.begin(), found.end(),
              [](const RecoveryCopy &a, const RecoveryCopy &b) { return a.written < b.written; });
    return found;
}

std::optional<QByteArray> RecoveryStore::readText(const RecoveryCopy &copy)
{
    if (!regularOrAbsent(copy.path))
        return std::nullopt;
    QFile file(copy.path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray head = file.peek(LongestHeader);
    const qsizetype end = head.indexOf("\n\n");
    if (!head.startsWith(Signature) || end < 0 || !file.seek(end + 2))
        return std::nullopt;
    return file.readAll();
}

void RecoveryStore::discard(const RecoveryCopy &copy)
{
    QFile::remove(copy.path);
}

void RecoveryStore::releaseClaims()
{
    // Unlocking removes the lock file: copies left behind are anyone's again.
    for (auto &claim : m_claims)
        claim.second->unlock();
    m_claims.clear();
}
