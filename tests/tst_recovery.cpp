#include "FrameFixture.h"
#include "UserInput.h"

#include "core/RecoveryStore.h"
#include "documents/DocumentWindows.h"
#include "documents/MDIAnother.h"
#include "documents/MDICommand.h"
#include "documents/MDIOutput.h"
#include "editor/TextEditor.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString recoveryFolder(const QString &home)
{
    return home + QStringLiteral("/user/share/Ostrel/recovery");
}

QStringList copiesIn(const QString &home)
{
    return QDir(recoveryFolder(home)).entryList({QStringLiteral("*.recovery")}, QDir::Files);
}

// The user's settings of a home: copies every second instead of every 30.
void copyEverySecond(const QString &home)
{
    QDir().mkpath(home + QStringLiteral("/user/Ostrel"));
    QFile conf(home + QStringLiteral("/user/Ostrel/Ostrel.conf"));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write("[Recovery]\nIntervalSeconds=1\n");
}

bool anyCopyHolds(const QString &home, const QByteArray &text)
{
    for (const QString &name : copiesIn(home)) {
        QFile file(recoveryFolder(home) + QLatin1Char('/') + name);
        if (file.open(QIODevice::ReadOnly) && file.readAll().contains(text))
            return true;
    }
    return false;
}

// A display of the test's own, where the real program gets real keys.
class VirtualDisplay
{
public:
    VirtualDisplay()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            return;
        m_server.start(QStringLiteral("Xvfb"),
                       {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                        QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                        QStringLiteral("tcp")});
        if (m_server.waitForReadyRead(10000))
            m_display = QLatin1Char(':') + QString::fromLatin1(m_server.readLine().trimmed());
    }
    ~VirtualDisplay()
    {
        m_server.terminate();
        m_server.waitForFinished();
    }
    VirtualDisplay(const VirtualDisplay &) = delete;
    VirtualDisplay &operator=(const VirtualDisplay &) = delete;

    QString name() const { return m_display; }
    QString xdotool(const QStringList &arguments) const
    {
        QProcess tool;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), m_display);
        tool.setProcessEnvironment(environment);
        tool.start(QStringLiteral("xdotool"), arguments);
        tool.waitForFinished(20000);
        return QString::fromLatin1(tool.readAllStandardOutput()).trimmed();
    }

private:
    QProcess m_server;
    QString m_display;
};

} // namespace

// Unsaved text kept through a crash: the copies, who may take them, and the
// offer at the next start.
class TestRecovery : public QObject
{
    Q_OBJECT

private slots:
    void copiesFollowUnsavedText_data();
    void copiesFollowUnsavedText();
    void killedProgramsTextIsOffered_data();
    void killedProgramsTextIsOffered();
    void livingProgramsCopiesAreLeftAlone();
};

void TestRecovery::copiesFollowUnsavedText_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<bool>("copied");
    QTest::newRow("command window") << "command" << true;
    QTest::newRow("other-file window") << "another" << true;
    QTest::newRow("output window: the engine writes its file") << "output" << false;
}

void TestRecovery::copiesFollowUnsavedText()
{
    QFETCH(QString, window);
    QFETCH(bool, copied);
    QTemporaryDir home;
    copyEverySecond(home.path());
    FrameFixture f({}, {}, home.path());
    const QString file = f.writeFile(QStringLiteral("notes.txt"), "first\r\n");
    TEditForm *shown = f.frame().CommandWindow();
    if (window == QLatin1String("another")) {
        f.frame().OpenAnother(file);
        shown = f.frame().findChildren<TAnotherEditForm *>().constFirst();
    } else if (window == QLatin1String("output")) {
        shown = f.frame().OutputWindow();
    } else {
        f.frame().OpenCommand(file);
    }
    FrameFixture::type(shown, QStringLiteral("typed "));
    if (!copied) {
        // Three intervals go by without a copy.
        QTest::qWait(3000);
        QCOMPARE(copiesIn(home.path()), QStringList());
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(anyCopyHolds(home.path(), "typed first"), 10000);
    // Never beside the user's file.
    QCOMPARE(QDir(home.path()).entryList({QStringLiteral("*notes*")}), QStringList{"notes.txt"});
    QVERIFY(shown->SaveClick());
    QTRY_COMPARE(copiesIn(home.path()), QStringList());
}

void TestRecovery::killedProgramsTextIsOffered_data()
{
    QTest::addColumn<bool>("recover");
    QTest::newRow("Recover") << true;
    QTest::newRow("Discard") << false;
}

void TestRecovery::killedProgramsTextIsOffered()
{
    QFETCH(bool, recover);
    const VirtualDisplay display;
    if (display.name().isEmpty())
        QSKIP("needs Xvfb and xdotool");
    QTemporaryDir home;
    copyEverySecond(home.path());

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display.name());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/user"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.path() + QStringLiteral("/user/share"));
    QProcess ostrel;
    ostrel.setWorkingDirectory(home.path());
    // A runtime folder of its own: no other running program is asked to open anything.
    QDir().mkpath(home.path() + QStringLiteral("/run"));
    QFile::setPermissions(home.path() + QStringLiteral("/run"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path() + QStringLiteral("/run"));
    ostrel.setProcessEnvironment(environment);
    ostrel.start(QStringLiteral(OSTREL_EXECUTABLE), {});
    QVERIFY(ostrel.waitForStarted());
    const QString window = display.xdotool({"search", "--sync", "--onlyvisible", "--name", "^Ostrel$"})
                               .section(QLatin1Char('\n'), 0, 0);
    QVERIFY(!window.isEmpty());
    display.xdotool({"windowfocus", "--sync", window});
    display.xdotool({"type", "--delay", "20", "x = 42 "});
    QTRY_VERIFY_WITH_TIMEOUT(anyCopyHolds(home.path(), "x = 42"), 15000);
    // In the middle of typing.
    display.xdotool({"type", "--delay", "20", "+ 1"});
    ostrel.kill();
    QVERIFY(ostrel.waitForFinished());

    FrameFixture f({}, {}, home.path(), {recover});
    QCOMPARE(f.dialogs.proceedQuestions.size(), 1);
    QVERIFY(f.dialogs.proceedQuestions.constFirst().startsWith(QStringLiteral("Recover unsaved text from ")));
    TCommandEditForm *command = f.frame().CommandWindow();
    QCOMPARE(command->editor()->bytes().contains("x = 42"), recover);
    QCOMPARE(command->isModified(), recover);
    // The copy is this program's now, or gone: never offered twice.
    FrameFixture again({}, {}, home.path(), {true});
    QCOMPARE(again.dialogs.proceedQuestions, QStringList());
}

void TestRecovery::livingProgramsCopiesAreLeftAlone()
{
    QTemporaryDir folder;
    auto living = std::make_unique<RecoveryStore>(folder.path());
    int window = 0;
    QVERIFY(living->write(&window, QStringLiteral("another"), QStringLiteral("/a b/$x;\n.txt"), "text"));
    living->waitForWrites();

    RecoveryStore other(folder.path());
    QCOMPARE(other.claimLeftCopies().size(), 0);
    // A program that ends without its normal end leaves its copy to the next.
    living.reset();
    const QList<RecoveryCopy> left = other.claimLeftCopies();
    QCOMPARE(left.size(), 1);
    QCOMPARE(left.constFirst().fileName, QStringLiteral("/a b/$x;\n.txt"));
    QCOMPARE(RecoveryStore::readText(left.constFirst()), std::optional<QByteArray>("text"));
    RecoveryStore third(folder.path());
    QCOMPARE(third.claimLeftCopies().size(), 0);
}

QTEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
