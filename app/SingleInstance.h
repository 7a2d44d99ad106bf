#pragma once

#include "core/FileAtLine.h"

#include <QByteArray>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class QLocalServer;
class QLocalSocket;
class QProcessEnvironment;

// One program per desktop session: the first start listens on a local
// socket in the user's runtime folder, and a later start hands its files to
// that program and ends. The socket's name tells users (by the folder) and
// desktop sessions (by the display) apart.
namespace SingleInstance {

// $XDG_RUNTIME_DIR when it is the user's own private folder; else a private
// folder of Ostrel's in the temporary folder. Empty when neither can be had
// safely: a folder others may write to would let them take the socket.
QString runtimeFolder();

// What tells this desktop session from the user's others: the Wayland or X
// display (":0.0" is ":0"), or the login session where there is neither.
// Made of characters any file name can hold.
QString sessionKey(const QProcessEnvironment &environment);

// The socket of this user's program on this display; empty when there is no
// safe folder for it.
QString socketPath();

// What a later start hands over: its files, and the token with which the
// desktop lets the running program come to the front.
struct Message
{
    FilesAtLines files;
    QByteArray activationToken;
};
QByteArray encode(const Message &message);
// Nothing for bytes that are not a whole message of this program.
std::optional<Message> decode(const QByteArray &bytes);

// Gives message to the program listening at socket; true once that program
// has taken it. False at once when none listens there.
bool handOver(const QString &socket, const Message &message, int answerTimeoutMs);

// Held from asking whether a program runs until this one listens, so that
// two programs started at the same moment end as one.
class StartLock
{
public:
    explicit StartLock(const QString &socket);
    // False when the lock could not be had in time (another start hangs,
    // or the folder refuses it): this start then neither waits nor listens.
    bool held() const { return m_held; }

private:
    QLockFile m_lock;
    bool m_held = false;
};

} // namespace SingleInstance

// The running program's side: says what each later start hands over.
class InstanceServer : public QObject
{
    Q_OBJECT

public:
    explicit InstanceServer(QObject *parent = nullptr);
    ~InstanceServer() override;

    // Listens at socket; a socket that a program left behind when it crashed
    // is taken over. Call it only while holding the StartLock.
    bool listen(const QString &socket);

signals:
    void filesHandedOver(const FilesAtLines &files, const QByteArray &activationToken);

private:
    void takeConnection();
    void readFrom(QLocalSocket *peer);

    QLocalServer *m_server = nullptr;
};
