#include "engine/RunEndNotice.h"

#include "core/PathHelpers.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QVariantMap>
#include <QWidget>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString ObjectPath = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = QStringLiteral("org.freedesktop.Notifications");
const QString ConnectionName = QStringLiteral("ostrel-run-end-notice");
// The action a click on the notification itself invokes.
const QString DefaultAction = QStringLiteral("default");

// Where the session bus is. Without an address in the environment, the
// socket most desktops put in the runtime folder; an address set empty
// means that there is none, as in the tests.
QString sessionBusAddress()
{
    if (qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"))
        return qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString socket = runtime + QStringLiteral("/bus");
    if (runtime.isEmpty() || QFileInfo(socket).isFile() || !QFileInfo::exists(socket))
        return QString();
    return QStringLiteral("unix:path=") + socket;
}

QString duration(qint64 milliseconds)
{
    const qint64 seconds = milliseconds / 1000;
    if (seconds < 60)
        return QStringLiteral("%1 s").arg(double(milliseconds) / 1000.0, 0, 'f', 1);
    if (seconds < 3600)
        return QStringLiteral("%1 min %2 s").arg(seconds / 60).arg(seconds % 60);
    return QStringLiteral("%1 h %2 min").arg(seconds / 3600).arg(seconds % 3600 / 60);
}

} // namespace

RunEndNotice::RunEndNotice(QWidget *window) : QObject(window), m_window(window)
{}

RunEndNotice::~RunEndNotice()
{
    if (m_bus)
        QDBusConnection::disconnectFromBus(ConnectionName);
}

QString RunEndNotice::summary(const QString &fileName)
{
    return QStringLiteral("%1 has ended").arg(Paths::filePart(fileName));
}

QString RunEndNotice::body(const QString &fileName, const QString &outcome, qint64 milliseconds)
{
    return QStringLiteral("%1 after %2\n%3").arg(outcome, duration(milliseconds), fileName);
}

void RunEndNotice::runEnded(const QString &fileName, const QString &outcome, qint64 milliseconds)
{
    if (programIsActive())
        return;
    QApplication::alert(m_window);
    notify(fileName, outcome, milliseconds);
}

bool RunEndNotice::programIsActive() const
{
    // The program's dialogs (a master run's progress) are its window too.
    for (const QWidget *active = QApplication::activeWindow(); active; active = active->parentWidget()) {
        if (active == m_window)
            return true;
    }
    return false;
}

QDBusConnection *RunEndNotice::bus()
{
    if (m_busLookedFor)
        return m_bus.get();
    m_busLookedFor = true;
    const QString address = sessionBusAddress();
    if (address.isEmpty())
        return nullptr;
    auto connection =
        std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, ConnectionName));
    if (!connection->isConnected()) {
        QDBusConnection::disconnectFromBus(ConnectionName);
        return nullptr;
    }
    // From any sender: asking the bus who owns the service would wait on it.
    connection->connect(QString(), ObjectPath, Interface, QStringLiteral("ActionInvoked"), this,
                        SLOT(actionInvoked(uint, QString)));
    connection->connect(QString(), ObjectPath, Interface, QStringLiteral("NotificationClosed"), this,
                        SLOT(notificationClosed(uint, uint)));
    m_bus = std::move(connection);
    return m_bus.get();
}

void RunEndNotice::notify(const QString &fileName, const QString &outcome, qint64 milliseconds)
{
    QDBusConnection *connection = bus();
    if (!connection)
        return;
    QDBusMessage call =
        QDBusMessage::createMethodCall(Service, ObjectPath, Interface, QStringLiteral("Notify"));
    // Servers that take markup would read a path's "&" or "<" as markup.
    const QString text = body(fileName, outcome, milliseconds).toHtmlEscaped();
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("io.github.ostrel.Ostrel")}};
    call << QStringLiteral("Ostrel") << uint(0) << QStringLiteral("ostrel") << summary(fileName) << text
         << QStringList{DefaultAction, QStringLiteral("Show Ostrel")} << hints << int(-1);
    // Asked without waiting: a busy notification server must not hold the program.
    auto *watcher = new QDBusPendingCallWatcher(connection->asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *finished) {
        const QDBusPendingReply<uint> reply = *finished;
        if (reply.isValid())
            m_shown.insert(reply.value());
        finished->deleteLater();
    });
}

void RunEndNotice::actionInvoked(uint id, const QString &action)
{
    if (!m_shown.contains(id) || action != DefaultAction)
        return;
    m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void RunEndNotice::notificationClosed(uint id, uint)
{
    m_shown.remove(id);
}
