#include "FrameFixture.h"
#include "RunHelpers.h"

#include "app/MDIFrame.h"
#include "app/RunPreferences.h"
#include "documents/MDIOutput.h"
#include "editor/TextEditor.h"
#include "engine/LaunchScript.h"
#include "engine/RunLog.h"
#include "engine/ShellWords.h"

#include <QClipboard>
#include <QDir>
#include <QLineEdit>
#include <QSettings>
#include <QSpinBox>
#include <QtTest>

using namespace RunHelpers;

// Starting the engine through a launcher command (srun and its kind), and
// the runs' settings in Preferences and in the user's Qt settings.
class TestLauncher : public QObject
{
    Q_OBJECT

private slots:
    void splitLauncher_data();
    void splitLauncher();
    void launcherInScript_data();
    void launcherInScript();
    void runsThroughLauncher_data();
    void runsThroughLauncher();
    void launcherRefusals_data();
    void launcherRefusals();
    void preferencesKeepRuns();
    void storedRunSettings_data();
    void storedRunSettings();
};

void TestLauncher::splitLauncher_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<bool>("ok");

    QTest::newRow("srun") << "srun --quiet --ntasks=1 --job-name=quelm"
                          << QStringList{"srun", "--quiet", "--ntasks=1", "--job-name=quelm"} << true;
    QTest::newRow("blanks around") << "  srun\t-n 1  " << QStringList{"srun", "-n", "1"} << true;
    QTest::newRow("empty") << "   " << QStringList() << true;
    QTest::newRow("single quotes") << "srun --job-name='my job'" << QStringList{"srun", "--job-name=my job"}
                                   << true;
    QTest::newRow("double quotes and escapes")
        << R"(srun "--comment=a \"b\" \x")" << QStringList{"srun", R"(--comment=a "b" \x)"} << true;
    QTest::newRow("escaped blank") << R"(my\ launcher x)" << QStringList{"my launcher", "x"} << true;
    QTest::newRow("quoted dollar") << "srun '$HOME'" << QStringList{"srun", "$HOME"} << true;
    QTest::newRow("hash inside a word") << "srun x#y" << QStringList{"srun", "x#y"} << true;
    QTest::newRow("empty quoted word") << "srun ''" << QStringList{"srun", ""} << true;
    QTest::newRow("pipe") << "srun | tee" << QStringList() << false;
    QTest::newRow("variable") << "srun $HOME" << QStringList() << false;
    QTest::newRow("variable in double quotes") << R"(srun "$HOME")" << QStringList() << false;
    QTest::newRow("comment") << "srun #note" << QStringList() << false;
    QTest::newRow("home folder") << "~/bin/srun" << QStringList() << false;
    QTest::newRow("open quote") << "srun 'x" << QStringList() << false;
    QTest::newRow("open double quote") << "srun \"x" << QStringList() << false;
    QTest::newRow("trailing backslash") << "srun \\" << QStringList() << false;
    QTest::newRow("option first") << "--quiet srun" << QStringList() << false;
    // A line break would run the next line as a command of its own.
    QTest::newRow("line break") << "srun --quiet\ntouch x" << QStringList() << false;
    QTest::newRow("escaped line break") << "srun \\\ntouch x" << QStringList() << false;
    QTest::newRow("line break in quotes") << "srun 'a\nb'" << QStringList() << false;
    QTest::newRow("carriage return") << "srun --quiet\r" << QStringList() << false;
    QTest::newRow("escape character") << "srun \x1b[2J" << QStringList() << false;
}

void TestLauncher::splitLauncher()
{
    QFETCH(QString, line);
    QFETCH(QStringList, words);
    QFETCH(bool, ok);
    const ShellWords::Split split = ShellWords::split(line);
    QCOMPARE(split.ok(), ok);
    QCOMPARE(split.words, words);
}

void TestLauncher::launcherInScript_data()
{
    QTest::addColumn<int>("shell");
    QTest::addColumn<QStringList>("launcher");
    QTest::addColumn<QString>("line");

    const int posix = int(LaunchScript::Shell::Posix);
    QTest::newRow("none") << posix << QStringList()
                          << "exec '/opt/q/quelm' cf='/d/a.cf' >'/d/a.out' </dev/null";
    QTest::newRow("srun") << posix << QStringList{"srun", "--quiet"}
                          << "exec 'srun' '--quiet' '/opt/q/quelm' cf='/d/a.cf' >'/d/a.out' </dev/null";
    QTest::newRow("quote and dollar kept")
        << posix << QStringList{"srun", "--comment=it's $x"}
        << "exec 'srun' '--comment=it'\\''s $x' '/opt/q/quelm' cf='/d/a.cf' "
           ">'/d/a.out' </dev/null";
    QTest::newRow("cmd.exe") << int(LaunchScript::Shell::WindowsCmd) << QStringList{"launch", "-x"}
                             << "\"launch\" \"-x\" \"/opt/q/quelm\" cf=\"/d/a.cf\" >\"/d/a.out\"";
}

void TestLauncher::launcherInScript()
{
    QFETCH(int, shell);
    QFETCH(QStringList, launcher);
    QFETCH(QString, line);
    const QString engine = QStringLiteral("/opt/q/quelm");
    const QString command = QStringLiteral("/d/a.cf");
    const QString output = QStringLiteral("/d/a.out");
    if (LaunchScript::Shell(shell) == LaunchScript::Shell::Posix)
        QCOMPARE(LaunchScript::posixLine(engine, command, output, launcher), line);
    else
        QCOMPARE(LaunchScript::windowsLine(engine, command, output, launcher), line);
}

void TestLauncher::runsThroughLauncher_data()
{
    QTest::addColumn<bool>("master");
    QTest::addColumn<int>("atOnce");

    QTest::newRow("command-file run") << false << 1;
    QTest::newRow("master run, one at a time") << true << 1;
    QTest::newRow("master run, three at once") << true << 3;
}

// The launcher starts the engine, with its arguments as written, in both runs.
void TestLauncher::runsThroughLauncher()
{
    QFETCH(bool, master);
    QFETCH(int, atOnce);
    if (LaunchScript::platformShell() != LaunchScript::Shell::Posix)
        QSKIP("the launcher here is a shell script for /bin/sh");
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeEngine(f, "printf 'engine %s via %s\\n' \"$1\" \"$LAUNCHED_WITH\"\n");
    const QString launcher =
        f.writeFile(QStringLiteral("launch dir/launch"),
                    "#!/bin/sh\nLAUNCHED_WITH=$1\nexport LAUNCHED_WITH\nshift\nexec \"$@\"\n");
    QFile::setPermissions(launcher, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    frame.setRunSettings(RunSettings{atOnce, QStringLiteral("'%1' \"a b's\"").arg(launcher)});

    const QStringList commands = {openCommand(f, QStringLiteral("a.cf")), f.writeFile("b.cf", "2\r\n"),
                                  f.writeFile("c.cf", "3\r\n")};
    if (master) {
        openMaster(f, (commands.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
        frame.ExecMaster();
    } else {
        frame.ExecQuelm();
        QVERIFY(runEnded(frame));
    }
    QVERIFY(f.dialogs.errors.isEmpty());
    for (qsizetype i = 0; i < (master ? commands.size() : 1); ++i) {
        const QString output = QDir(f.home()).filePath(QFileInfo(commands.at(i)).completeBaseName() + ".out");
        QCOMPARE(QString::fromUtf8(f.readFile(output)),
                 QStringLiteral("engine cf=%1 via a b's\n").arg(commands.at(i)));
    }
}

void TestLauncher::launcherRefusals_data()
{
    QTest::addColumn<bool>("master");
    QTest::addColumn<QString>("launcher");
    QTest::addColumn<QString>("message");

    const QString change = QStringLiteral(" Please change the Preferences.");
    for (const bool master : {false, true}) {
        const char *run = master ? "master run, " : "command-file run, ";
        QTest::newRow(QByteArray(run).append("not found").constData())
            << master << "no-such-launcher-here --x"
            << "Cannot find the launcher no-such-launcher-here." + change;
        QTest::newRow(QByteArray(run).append("open quote").constData())
            << master << "srun 'x"
            << "The launcher has a ' without the ' that closes it." + change;
    }
}

// A launcher that cannot work is named before anything runs, once.
void TestLauncher::launcherRefusals()
{
    QFETCH(bool, master);
    QFETCH(QString, launcher);
    QFETCH(QString, message);
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeLoggingEngine(f);
    frame.setRunSettings(RunSettings{2, launcher});
    const QString a = openCommand(f, QStringLiteral("a.cf"));
    if (master) {
        openMaster(f, (a + "\r\n" + a + "\r\n").toUtf8());
        frame.ExecMaster();
    } else {
        frame.ExecQuelm();
    }
    QCOMPARE(f.dialogs.errors.size(), 1);
    QCOMPARE(f.dialogs.errors.constFirst().title, QStringLiteral("Execute"));
    QCOMPARE(f.dialogs.errors.constFirst().text, message);
    QVERIFY(!frame.EngineRunning());
    QVERIFY(logOf(f).isEmpty());
    QVERIFY(frame.runLog()->text().contains(message));
}

// Preferences sets both through its controls; they are kept in the user's
// Qt settings, for the next start, and never in ostrel.ini.
void TestLauncher::preferencesKeepRuns()
{
    QTemporaryDir home;
    const QString launcher = QStringLiteral("srun --quiet --ntasks=1 --job-name=quelm");
    {
        FrameFixture f({}, QByteArray(), home.path());
        QCOMPARE(f.frame().runSettings().atOnce, 1);
        QVERIFY(f.frame().runSettings().launcher.isEmpty());
        f.dialogs.onPreferences = [&](TPrefDialogForm &dialog) {
            dialog.show();
            QApplication::setActiveWindow(&dialog);
            if (!QTest::qWaitForWindowActive(&dialog))
                return false;
            auto *atOnce = dialog.findChild<QSpinBox *>(QStringLiteral("AtOnceEdit"));
            atOnce->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("12"));
            dialog.findChild<QLineEdit *>(QStringLiteral("LauncherEdit"))->setFocus();
            QTest::keyClicks(QApplication::focusWidget(), launcher);
            // The box takes one line: of a paste, what stands before its first line break.
            QApplication::clipboard()->setText(QStringLiteral("\nrm -rf x\n"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
            return true;
        };
        f.frame().PreferencesClick();
        QCOMPARE(f.frame().runSettings().atOnce, 12);
        QCOMPARE(f.frame().runSettings().launcher, launcher);
        QVERIFY(f.frame().close());
    }
    QFile ini(QDir(home.path()).filePath(QStringLiteral("ostrel.ini")));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    QVERIFY(!ini.readAll().contains("srun"));
    FrameFixture again({}, QByteArray(), home.path());
    QCOMPARE(again.frame().runSettings().atOnce, 12);
    QCOMPARE(again.frame().runSettings().launcher, launcher);
}

void TestLauncher::storedRunSettings_data()
{
    QTest::addColumn<QVariant>("atOnce");
    QTest::addColumn<int>("expected");

    QTest::newRow("missing") << QVariant() << 1;
    QTest::newRow("in range") << QVariant(8) << 8;
    QTest::newRow("too many") << QVariant(999) << 256;
    QTest::newRow("none") << QVariant(0) << 1;
    QTest::newRow("not a number") << QVariant(QStringLiteral("many")) << 1;
}

void TestLauncher::storedRunSettings()
{
    QFETCH(QVariant, atOnce);
    QFETCH(int, expected);
    QTemporaryDir dir;
    QSettings settings(QDir(dir.path()).filePath(QStringLiteral("runs.conf")), QSettings::IniFormat);
    if (atOnce.isValid())
        settings.setValue(QStringLiteral("Runs/AtOnce"), atOnce);
    QCOMPARE(RunPreferences::read(settings).atOnce, expected);
}

QTEST_MAIN(TestLauncher)
#include "tst_launcher.moc"
