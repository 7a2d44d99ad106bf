#include "FrameFixture.h"
#include "RunHelpers.h"
#include "UserInput.h"

#include "app/MDIFrame.h"
#include "documents/MDIOutput.h"
#include "editor/TextEditor.h"
#include "engine/LaunchScript.h"

#include <QAction>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QProcess>
#include <QToolButton>
#include <QtTest>

using namespace RunHelpers;

namespace {

// An engine in two steps, each held until the test lets it go: it writes
// first, waits for "<command file>.go", does then, and waits for ".go2".
// $out is its output file, for an engine that writes it anew itself.
QByteArray twoStepEngine(const QByteArray &first, const QByteArray &then)
{
    return "f=${1#cf=}; out=${f%.cf}.out\n" + first + "\nwhile [ ! -e \"$f.go\" ]; do sleep 0.05; done\n" +
           then + "\nwhile [ ! -e \"$f.go2\" ]; do sleep 0.05; done\n";
}

void touch(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

// The desktop's notification service, as a fake on a private session bus:
// it keeps what it was asked to show.
class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    static constexpr uint FirstId = 7;
    QStringList summaries;
    QStringList bodies;

public slots:
    // NOLINTNEXTLINE(readability-make-member-function-const): D-Bus calls it.
    uint Notify(const QString &, uint, const QString &, const QString &summary, const QString &body,
                const QStringList &, const QVariantMap &, int)
    {
        summaries.append(summary);
        bodies.append(body);
        return FirstId + uint(summaries.size()) - 1;
    }
};

} // namespace

// The output window while the engine writes, and the word at a run's end.
class TestRunOutput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void outputShownAsItComes_data();
    void outputShownAsItComes();
    void readerFurtherUpStaysThere();
    void followOutputOff();
    void notificationWhenElsewhere();
};

void TestRunOutput::initTestCase()
{
    if (LaunchScript::platformShell() != LaunchScript::Shell::Posix)
        QSKIP("the engines here are shell scripts for /bin/sh");
}

void TestRunOutput::outputShownAsItComes_data()
{
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("firstShown");
    QTest::addColumn<QByteArray>("then");
    QTest::addColumn<QByteArray>("thenShown");

    QTest::newRow("bursts") << QByteArray("printf 'first burst\\n'") << QByteArray("first burst\n")
                            << QByteArray("printf 'second burst\\n'")
                            << QByteArray("first burst\nsecond burst\n");
    QTest::newRow("written anew") << QByteArray("printf 'a first text, longer than the new\\n'")
                                  << QByteArray("a first text, longer than the new\n")
                                  << QByteArray("printf 'taken again\\n' >\"$out\"")
                                  << QByteArray("taken again\n");
    QTest::newRow("character split") << QByteArray("printf 'caf\\303'") << QByteArray("caf")
                                     << QByteArray("printf '\\251\\n'") << QByteArray("caf\xc3\xa9\n");
    // Shown in pieces as it comes, so that laying it out takes no time.
    const QByteArray pieces = QByteArray(20000, 'x') + '\n' + QByteArray(10000, 'x');
    QTest::newRow("overlong line") << QByteArray("head -c 30000 /dev/zero | tr '\\0' x") << pieces
                                   << QByteArray("printf '\\n'") << pieces + '\n';
}

// The window shows each step while the engine still runs, and at the end
// holds the file's bytes where the user followed them: at the end.
void TestRunOutput::outputShownAsItComes()
{
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, firstShown);
    QFETCH(QByteArray, then);
    QFETCH(QByteArray, thenShown);

    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeEngine(f, twoStepEngine(first, then));
    const QString command = openCommand(f, QStringLiteral("run.cf"));
    const QString output = f.home() + QStringLiteral("/run.out");
    TextEditor *editor = frame.OutputWindow()->editor();

    frame.ExecQuelm();
    QTRY_COMPARE(editor->bytes(), firstShown);
    QCOMPARE(frame.OutputWindow()->windowTitle(), QStringLiteral("OUTPUT - ") + output);
    touch(command + QStringLiteral(".go"));
    QTRY_COMPARE(editor->bytes(), thenShown);
    QVERIFY(frame.EngineRunning());
    touch(command + QStringLiteral(".go2"));
    QVERIFY(runEnded(frame));

    QCOMPARE(editor->bytes(), f.readFile(output));
    QCOMPARE(frame.OutputWindow()->FileName, output);
    QCOMPARE(frame.OutputWindow()->historyEntries(), QStringList{output});
    QVERIFY(editor->isAtEnd());
    QVERIFY(!frame.OutputWindow()->isModified());
    QCOMPARE(frame.statusText(), QStringLiteral("Ready."));
}

// A user reading further up is not moved by new output; a mark says it
// came, and a click on it goes there.
void TestRunOutput::readerFurtherUpStaysThere()
{
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeEngine(f, twoStepEngine("seq 1 300", "printf 'last line\\n'"));
    const QString command = openCommand(f, QStringLiteral("run.cf"));
    TOutputEditForm *window = frame.OutputWindow();
    TextEditor *editor = window->editor();
    auto *mark = window->findChild<QToolButton *>(QStringLiteral("NewOutputMark"));
    QVERIFY(mark);

    frame.ExecQuelm();
    QTRY_VERIFY(editor->bytes().endsWith("300\n"));
    window->bringToFront();
    QVERIFY(UserInput::activate(&frame));
    editor->setFocus();
    QVERIFY(UserInput::pressKey(Qt::Key_Home, Qt::ControlModifier));
    touch(command + QStringLiteral(".go"));
    QTRY_VERIFY(editor->bytes().endsWith("last line\n"));
    QTRY_VERIFY(mark->isVisible());
    QCOMPARE(editor->place().caret, 0L);

    QTest::mouseClick(mark, Qt::LeftButton);
    QCOMPARE(editor->place().caret, long(editor->bytes().size()));
    QVERIFY(!mark->isVisible());
    touch(command + QStringLiteral(".go2"));
    QVERIFY(runEnded(frame));
}

// With Execute, Follow Output off a run ends as before: the file is loaded
// at the end, the caret at its start. The choice holds in the next session.
void TestRunOutput::followOutputOff()
{
    QTemporaryDir home;
    {
        FrameFixture f({}, {}, home.path());
        TFrameForm &frame = f.frame();
        makeEngine(f, "seq 1 200");
        openCommand(f, QStringLiteral("run.cf"));
        auto *follow = frame.findChild<QAction *>(QStringLiteral("FollowOutput1"));
        QVERIFY(follow && follow->isChecked());
        follow->trigger();
        frame.ExecQuelm();
        QVERIFY(runEnded(frame));
        TextEditor *editor = frame.OutputWindow()->editor();
        QCOMPARE(editor->bytes(), f.readFile(f.home() + QStringLiteral("/run.out")));
        QCOMPARE(editor->place().caret, 0L);
    }
    FrameFixture again({}, {}, home.path());
    QVERIFY(!again.frame().findChild<QAction *>(QStringLiteral("FollowOutput1"))->isChecked());
}

// A run that ends while the user is elsewhere is told on the desktop (not
// one that ends in front of them), and a click on the word brings the
// program to the front.
void TestRunOutput::notificationWhenElsewhere()
{
    QProcess bus;
    bus.start(QStringLiteral("dbus-daemon"),
              {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    if (!bus.waitForStarted() || !bus.waitForReadyRead())
        QSKIP("dbus-daemon cannot start a session bus here");
    const QString address = QString::fromUtf8(bus.readLine()).trimmed();
    const auto stopBus = qScopeGuard([&bus] {
        bus.kill();
        bus.waitForFinished();
    });
    QDBusConnection service = QDBusConnection::connectToBus(address, QStringLiteral("fake-notifications"));
    const auto leaveBus =
        qScopeGuard([] { QDBusConnection::disconnectFromBus(QStringLiteral("fake-notifications")); });
    FakeNotifications notifications;
    QVERIFY(service.registerService(QStringLiteral("org.freedesktop.Notifications")));
    QVERIFY(service.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &notifications,
                                   QDBusConnection::ExportAllSlots));
    const QByteArray oldAddress = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
    const auto restoreAddress =
        qScopeGuard([&oldAddress] { qputenv("DBUS_SESSION_BUS_ADDRESS", oldAddress); });

    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeEngine(f, "exit 3");
    openCommand(f, QStringLiteral("seen.cf"));
    QVERIFY(UserInput::activate(&frame));
    frame.ExecQuelm();
    QVERIFY(runEnded(frame));

    const QString command = openCommand(f, QStringLiteral("away.cf"));
    // The user goes to another program's window.
    QWidget elsewhere;
    elsewhere.show();
    QVERIFY(UserInput::activate(&elsewhere));
    frame.ExecQuelm();
    QVERIFY(runEnded(frame));
    QTRY_COMPARE(notifications.summaries, QStringList{QStringLiteral("away.cf has ended")});
    QVERIFY(notifications.bodies.constFirst().startsWith(QStringLiteral("exit status 3 after ")));
    QVERIFY(notifications.bodies.constFirst().endsWith(command.toHtmlEscaped()));

    QDBusMessage click = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/Notifications"),
                                                    QStringLiteral("org.freedesktop.Notifications"),
                                                    QStringLiteral("ActionInvoked"));
    click << FakeNotifications::FirstId << QStringLiteral("default");
    QVERIFY(service.send(click));
    QTRY_VERIFY(frame.isActiveWindow());

    // A master run says how its command files ended.
    openMaster(f, "away.cf\r\n");
    QVERIFY(UserInput::activate(&elsewhere));
    frame.ExecMaster();
    QTRY_COMPARE(notifications.summaries.size(), 2);
    QCOMPARE(notifications.summaries.constLast(), QStringLiteral("jobs.mst has ended"));
    QVERIFY(notifications.bodies.constLast().startsWith(
        QStringLiteral("1 command file run, 1 without exit status 0")));
}

QTEST_MAIN(TestRunOutput)
#include "tst_runoutput.moc"
