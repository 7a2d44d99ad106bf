#include "app/SingleInstance.h"

#include "core/FileNames.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QIODevice>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcessEnvironment>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace SingleInstance {

namespace {

constexpr quint32 Magic = 0x4f535452; // "OSTR"
constexpr quint16 Version = 1;
// Far more than any list of files a desktop hands over; a larger length is
// no message of ours.
constexpr quint32 LongestMessage = 64U << 20U;
constexpr char Taken = 'K';
// A start that has connected but says nothing is dropped after this.
constexpr int SilentPeerMs = 10000;
constexpr int ConnectTimeoutMs = 2000;
constexpr int StartLockTimeoutMs = 10000;
// sockaddr_un has room for about 108 bytes of path.
constexpr int LongestKey = 40;

#ifdef Q_OS_UNIX
// A folder of this user's that no one else may enter: a socket in it cannot
// be taken, nor read, by another user.
bool privateFolder(const QByteArray &path)
{
    struct stat info = {};
    return !path.isEmpty() && path.startsWith('/') && ::lstat(path.constData(), &info) == 0 &&
           S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}
#endif

} // namespace

QString runtimeFolder()
{
#ifdef Q_OS_UNIX
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (privateFolder(runtime))
        return FileNames::fromNative(runtime);
    // Without one (a login that set none, or one with the wrong rights) a
    // folder of our own; an existing one must be ours and private, since
    // anyone may have made it first.
    const QByteArray own = QFile::encodeName(QDir::tempPath()) + "/ostrel-" + QByteArray::number(::geteuid());
    ::mkdir(own.constData(), 0700);
    if (privateFolder(own))
        return FileNames::fromNative(own);
#endif
    return QString();
}

QString sessionKey(const QProcessEnvironment &environment)
{
    QString display = environment.value(QStringLiteral("WAYLAND_DISPLAY"));
    if (display.isEmpty()) {
        display = environment.value(QStringLiteral("DISPLAY"));
        // ":0.0" and ":0" are one display, its first screen.
        const qsizetype colon = display.lastIndexOf(QLatin1Char(':'));
        const qsizetype dot = display.lastIndexOf(QLatin1Char('.'));
        if (colon >= 0 && dot > colon)
            display.truncate(dot);
    }
    if (display.isEmpty())
        display = QStringLiteral("session-") +
                  environment.value(QStringLiteral("XDG_SESSION_ID"), QStringLiteral("console"));
    QString key;
    for (const QChar c : std::as_const(display)) {
        const bool plain = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-');
        key += plain ? c : QLatin1Char('_');
    }
    if (key.size() > LongestKey)
        key = QString::fromLatin1(
            QCryptographicHash::hash(display.toUtf8(), QCryptographicHash::Sha256).toHex().left(LongestKey));
    return key;
}

QString socketPath()
{
    const QString folder = runtimeFolder();
    if (folder.isEmpty())
        return QString();
    return folder + QStringLiteral("/ostrel-") + sessionKey(QProcessEnvironment::systemEnvironment()) +
           QStringLiteral(".socket");
}

QByteArray encode(const Message &message)
{
    QByteArray payload;
    {
        QDataStream out(&payload, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_4);
        // QString goes as its UTF-16 units, so a name that is not UTF-8
        // arrives as the same file.
        out << Magic << Version << message.activationToken << quint32(message.files.size());
        for (const FileAtLine &file : message.files)
            out << file.path << qint32(file.line) << qint32(file.column);
    }
    QByteArray framed;
    QDataStream frame(&framed, QIODevice::WriteOnly);
    frame << quint32(payload.size());
    framed += payload;
    return framed;
}

std::optional<Message> decode(const QByteArray &bytes)
{
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_4);
    quint32 length = 0;
    quint32 magic = 0;
    quint16 version = 0;
    quint32 count = 0;
    Message message;
    in >> length;
    if (in.status() != QDataStream::Ok || length > LongestMessage || bytes.size() - 4 != qsizetype(length))
        return std::nullopt;
    in >> magic >> version >> message.activationToken >> count;
    if (in.status() != QDataStream::Ok || magic != Magic || version != Version || count > length)
        return std::nullopt;
    for (quint32 i = 0; i < count; ++i) {
        FileAtLine file;
        qint32 line = 0;
        qint32 column = 0;
        in >> file.path >> line >> column;
        file.line = std::max(0, line);
        file.column = std::max(0, column);
        message.files.append(file);
    }
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return std::nullopt;
    return message;
}

bool handOver(const QString &socket, const Message &message, int answerTimeoutMs)
{
    QLocalSocket peer;
    peer.connectToServer(socket);
    if (!peer.waitForConnected(ConnectTimeoutMs))
        return false;
    peer.write(encode(message));
    if (!peer.waitForBytesWritten(answerTimeoutMs))
        return false;
    while (peer.bytesAvailable() < 1) {
        if (!peer.waitForReadyRead(answerTimeoutMs))
            return false;
    }
    char answer = 0;
    return peer.getChar(&answer) && answer == Taken;
}

StartLock::StartLock(const QString &socket) : m_lock(socket + QStringLiteral(".lock"))
{
    m_held = m_lock.tryLock(StartLockTimeoutMs);
}

} // namespace SingleInstance

InstanceServer::InstanceServer(QObject *parent) : QObject(parent), m_server(new QLocalServer(this))
{
    connect(m_server, &QLocalServer::newConnection, this, &InstanceServer::takeConnection);
}

InstanceServer::~InstanceServer() = default;

bool InstanceServer::listen(const QString &socket)
{
    // Under the start lock, a socket that no program answered on is one a
    // crashed program left.
    QLocalServer::removeServer(socket);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    return m_server->listen(socket);
}

void InstanceServer::takeConnection()
{
    while (QLocalSocket *peer = m_server->nextPendingConnection()) {
        connect(peer, &QLocalSocket::readyRead, this, [this, peer] { readFrom(peer); });
        connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        QTimer::singleShot(SingleInstance::SilentPeerMs, peer, [peer] { peer->abort(); });
        readFrom(peer);
    }
}

void InstanceServer::readFrom(QLocalSocket *peer)
{
    const QByteArray head = peer->peek(4);
    if (head.size() < 4)
        return;
    quint32 length = 0;
    QDataStream(head) >> length;
    if (length > SingleInstance::LongestMessage) {
        peer->abort();
        return;
    }
    if (peer->bytesAvailable() < qint64(length) + 4)
        return;
    const std::optional<SingleInstance::Message> message =
        SingleInstance::decode(peer->read(qint64(length) + 4));
    if (!message) {
        peer->abort();
        return;
    }
    // Taken now, opened when the program is ready for it: the start that
    // handed the files over need not wait for a question to be answered.
    peer->putChar(SingleInstance::Taken);
    peer->flush();
    peer->disconnectFromServer();
    emit filesHandedOver(message->files, message->activationToken);
}
