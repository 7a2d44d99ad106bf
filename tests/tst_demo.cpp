#include "FrameFixture.h"
#include "RunHelpers.h"

#include "app/MDIFrame.h"
#include "core/IniFile.h"
#include "documents/MDICommand.h"
#include "documents/MDIMaster.h"
#include "documents/MDIOutput.h"
#include "editor/TextEditor.h"
#include "engine/EngineLauncher.h"
#include "engine/LaunchScript.h"
#include "engine/RunLog.h"

#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QProcess>
#include <QtTest>

using namespace RunHelpers;

// The demo engine over GNU bc and its examples, tried as a new user tries
// them: through the frame, with the settings file the run command writes.
class TestDemo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void demoEngineComputes();
    void lastLineWithoutLineEnd();
    void bcErrorsReachTheRunLog();
    void readmesErrorLeadsToItsLine();
    void examplesStayAsTheyAreWhenSaved_data();
    void examplesStayAsTheyAreWhenSaved();
    void demoSettingsFile();

private:
    static QString demoFolder() { return QStringLiteral(OSTREL_SOURCE_DIR "/demo"); }
};

void TestDemo::initTestCase()
{
    if (LaunchScript::platformShell() != LaunchScript::Shell::Posix)
        QSKIP("the demo engine is a script for /bin/sh");
}

void TestDemo::demoEngineComputes()
{
    if (QStandardPaths::findExecutable(QStringLiteral("bc")).isEmpty())
        QSKIP("GNU bc is not installed");
    FrameFixture f;
    TFrameForm &frame = f.frame();
    frame.EnginePath = demoFolder() + QStringLiteral("/quelm");
    openCommand(f, QStringLiteral("sum.cf"), "x = 6\r\nx * 7\r\nscale = 3\r\n1 / 8\r\n");
    frame.ExecQuelm();
    QVERIFY(runEnded(frame));
    QCOMPARE(frame.OutputWindow()->editor()->bytes(), QByteArray("42\n.125\n"));
}

// "6*7" typed into a new command file, saved and run with F7: the last line
// counts even without a line end.
void TestDemo::lastLineWithoutLineEnd()
{
    if (QStandardPaths::findExecutable(QStringLiteral("bc")).isEmpty())
        QSKIP("GNU bc is not installed");
    FrameFixture f;
    TFrameForm &frame = f.frame();
    frame.EnginePath = demoFolder() + QStringLiteral("/quelm");
    frame.NewCommandClick();
    FrameFixture::type(frame.CommandWindow(), QStringLiteral("6*7"));
    const QString command = f.home() + QStringLiteral("/answer.cf");
    f.dialogs.saveAnswers.enqueue(command);
    QVERIFY(frame.CommandWindow()->SaveClick());
    QCOMPARE(f.readFile(command), QByteArray("6*7"));

    QApplication::setActiveWindow(&frame);
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    frame.CommandWindow()->editor()->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F7);
    QVERIFY(runEnded(frame));

    QCOMPARE(frame.OutputWindow()->editor()->bytes(), QByteArray("42\n"));
    QCOMPARE(frame.statusText(), QStringLiteral("Ready."));
}

// bc's complaint about a command file goes to standard error, which the run
// log shows.
void TestDemo::bcErrorsReachTheRunLog()
{
    if (QStandardPaths::findExecutable(QStringLiteral("bc")).isEmpty())
        QSKIP("GNU bc is not installed");
    FrameFixture f;
    TFrameForm &frame = f.frame();
    frame.EnginePath = demoFolder() + QStringLiteral("/quelm");
    openCommand(f, QStringLiteral("broken.cf"), "1+\r\n");
    QVERIFY(frame.runLogDock()->isHidden());

    frame.ExecQuelm();
    QVERIFY(runEnded(frame));

    QCOMPARE(frame.OutputWindow()->editor()->bytes(), QByteArray());
    const QStringList lines = frame.runLog()->lines();
    QVERIFY2(lines.size() > 2 && lines.at(1).contains(QStringLiteral("error")), qPrintable(lines.join('\n')));
    QVERIFY(frame.runLogDock()->isVisible());
}

// The README's example: a stray bracket on line 15 of interest.cf, a run,
// and the message in the Run Log names the file and the line; F8 goes there.
void TestDemo::readmesErrorLeadsToItsLine()
{
    if (QStandardPaths::findExecutable(QStringLiteral("bc")).isEmpty())
        QSKIP("GNU bc is not installed");
    QFile original(demoFolder() + QStringLiteral("/interest.cf"));
    QVERIFY(original.open(QIODevice::ReadOnly));
    QByteArray text = original.readAll();
    const QByteArray line15 = "r = 4.5 / 100\r\n";
    QVERIFY(text.contains(line15));
    text.replace(line15, "r = 4.5 / 100)\r\n");

    FrameFixture f;
    TFrameForm &frame = f.frame();
    frame.EnginePath = demoFolder() + QStringLiteral("/quelm");
    openCommand(f, QStringLiteral("interest.cf"), text);
    frame.ExecQuelm();
    QVERIFY(runEnded(frame));
    QVERIFY2(frame.runLog()->lines().contains(QStringLiteral("interest.cf:15: syntax error")),
             qPrintable(frame.runLog()->text()));

    QApplication::setActiveWindow(&frame);
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    frame.CommandWindow()->editor()->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F8);
    QCOMPARE(frame.CommandWindow()->editor()->caretLine(), 14);
}

void TestDemo::examplesStayAsTheyAreWhenSaved_data()
{
    QTest::addColumn<QString>("name");
    const QStringList examples =
        QDir(demoFolder()).entryList({QStringLiteral("*.cf"), QStringLiteral("*.mst")});
    QVERIFY(examples.size() >= 4);
    for (const QString &name : examples)
        QTest::newRow(qPrintable(name)) << name;
}

// A run saves the command file (and a master run the master file) with CR LF
// line ends: the examples as checked out are already so, and trying them
// leaves the checkout clean.
void TestDemo::examplesStayAsTheyAreWhenSaved()
{
    QFETCH(QString, name);
    QFile original(demoFolder() + QLatin1Char('/') + name);
    QVERIFY(original.open(QIODevice::ReadOnly));
    const QByteArray bytes = original.readAll();
    QVERIFY(bytes.contains("\r\n"));

    FrameFixture f;
    TFrameForm &frame = f.frame();
    const QString copy = f.writeFile(name, bytes);
    TEditForm *window = nullptr;
    if (name.endsWith(QStringLiteral(".mst"))) {
        f.dialogs.openAnswers.enqueue(copy);
        frame.OpenMasterClick();
        window = frame.MasterWindow();
    } else {
        frame.OpenCommand(copy);
        window = frame.CommandWindow();
    }
    QVERIFY(window);
    window->writeFile();
    QCOMPARE(f.readFile(copy), bytes);
}

// The settings file that the run command writes on a first start points the
// program at the demo engine and opens an example.
void TestDemo::demoSettingsFile()
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("ostrel.ini"));
    QCOMPARE(QProcess::execute(QStringLiteral(OSTREL_SOURCE_DIR "/scripts/demo-settings"), {ini}), 0);
    const QString demo = QDir(QStringLiteral(OSTREL_SOURCE_DIR "/demo")).canonicalPath();

    QFile file(ini);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.count("\r\n"), bytes.count('\n'));
    QVERIFY(bytes.startsWith("[Main Window Size]\r\n"));
    const std::optional<IniSettings> settings = readIniFile(bytes);
    QVERIFY(settings);
    QCOMPARE(QFileInfo(settings->enginePath).canonicalFilePath(), demo + QStringLiteral("/quelm"));
    QVERIFY(isExecutableFile(settings->enginePath, QDir::currentPath()));
    QCOMPARE(QFileInfo(settings->helpFilePath).canonicalFilePath(), demo + QStringLiteral("/quelm.hlp"));
    QCOMPARE(QFileInfo(settings->workingDirectory).canonicalFilePath(), demo);
    QCOMPARE(settings->commandFileExtension, QStringLiteral(".cf"));
    QCOMPARE(settings->outputFileExtension, QStringLiteral(".out"));
    QVERIFY(settings->explorerOpen);
    QVERIFY(!settings->commandHistory.isEmpty());
    QVERIFY(QFileInfo::exists(settings->commandHistory.first()));
    QVERIFY(settings->outputHistory.isEmpty());

    FrameFixture f({}, bytes);
    QCOMPARE(f.frame().EnginePath, settings->enginePath);
    QCOMPARE(f.frame().CommandWindow()->FileName, settings->commandHistory.first());
}

QTEST_MAIN(TestDemo)
#include "tst_demo.moc"
