#pragma once

#include <QObject>
#include <QSet>
#include <QString>

#include <memory>

class QDBusConnection;
class QWidget;

// Word that a run has ended, for a user who has gone to another program
// meanwhile: the task bar entry asks for attention and, where the desktop
// shows notifications (the freedesktop service on the session bus), one
// says which file ended, how and after how long; a click on it brings the
// program to the front. Nothing is said while the program is the active
// window, and without a session bus only the task bar hears of it.
class RunEndNotice : public QObject
{
    Q_OBJECT

public:
    // window is the program's main window, the one alerted and raised.
    explicit RunEndNotice(QWidget *window);
    ~RunEndNotice() override;

    // Any run's end: the file that ended (a path), how it ended ("exit
    // status 0") and how long it ran.
    void runEnded(const QString &fileName, const QString &outcome, qint64 milliseconds);

    static QString summary(const QString &fileName);
    static QString body(const QString &fileName, const QString &outcome, qint64 milliseconds);

private slots:
    void actionInvoked(uint id, const QString &action);
    void notificationClosed(uint id, uint reason);

private:
    bool programIsActive() const;
    void notify(const QString &fileName, const QString &outcome, qint64 milliseconds);
    // The session bus, looked for once, at the first notification.
    QDBusConnection *bus();

    QWidget *m_window;
    bool m_busLookedFor = false;
    std::unique_ptr<QDBusConnection> m_bus;
    // The notifications shown and not yet closed.
    QSet<uint> m_shown;
};
