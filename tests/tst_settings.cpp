#include "FifoTrap.h"
#include "FrameFixture.h"
#include "UserInput.h"

#include "app/Defaults.h"
#include "app/MDIFrame.h"
#include "app/PrefDialog.h"
#include "core/UserSettings.h"
#include "documents/MDICommand.h"
#include "documents/MDIOutput.h"
#include "editor/TextEditor.h"
#include "explorer/MDIExplorer.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QtTest>

namespace {

QByteArray iniFile(const QString &workDir, const QStringList &commands, const QStringList &outputs,
                   const QByteArray &extensions = "[Command File Extension]\r\n.CMD\r\n"
                                                  "[Ouptut File Extension]\r\n.LST\r\n")
{
    QByteArray bytes = "[Main Window Size]\r\n20 30 640 480\r\n"
                       "[Command Window Size]\r\n170 10 400 150\r\n"
                       "[Output Window Size]\r\n170 170 400 160\r\n"
                       "[Explorer Window Size]\r\n4 4 158 330\r\n"
                       "[Quelm Files]\r\n/opt/q/quelm\r\n/opt/q/quelm.hlp\r\n"
                       "[Working Directory]\r\n";
    bytes += workDir.toUtf8() + "\r\n" + extensions;
    bytes += "[Screen Font]\r\n12 Times New Roman\r\n[Print Font]\r\n9 Courier New\r\n[Command History]\r\n";
    for (const QString &c : commands)
        bytes += c.toUtf8() + "\r\n";
    bytes += "[Output History]\r\n";
    for (const QString &o : outputs)
        bytes += o.toUtf8() + "\r\n";
    return bytes;
}

} // namespace

// The settings file as the frame reads it at start-up and writes it on close,
// and the preferences dialog's effect on the frame.
class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void startupAppliesSettings();
    void missingWorkingDirectoryKeepsCurrent();
    void topEntryMissingOrUnreadable_data();
    void topEntryMissingOrUnreadable();
    void closeWritesSettingsAndStartRestoresThem();
    void argumentWinsOverReopenedFiles();
    void emptyFileChangesNothing();
    void hostileFileStartsUsable_data();
    void hostileFileStartsUsable();
    void preferences_data();
    void preferences();
    void relativeHistoryEntriesStayInWorkingFolder();
    void relativeArgumentNamesStartFolderFile();
    void storedExtensionsRouteExplorerDoubleClicks();
    void boundsLargerThanScreenAreIgnored();
    void userSettingsThatAreNoFileAreLeftAlone();
};

void TestSettings::startupAppliesSettings()
{
    QTemporaryDir work;
    const QString run2 = work.filePath(QStringLiteral("RUN2.CMD"));
    const QString run1 = work.filePath(QStringLiteral("RUN1.CMD"));
    const QString out2 = work.filePath(QStringLiteral("RUN2.LST"));
    for (const QString &path : {run2, run1, out2}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QFileInfo(path).fileName().toLatin1());
    }
    FrameFixture f({}, iniFile(work.path(), {run2, run1}, {out2}));
    TFrameForm &frame = f.frame();
    QCOMPARE(frame.CommandWindow()->windowBounds(), QRect(170, 10, 400, 150));
    QCOMPARE(frame.OutputWindow()->windowBounds(), QRect(170, 170, 400, 160));
    QCOMPARE(frame.EnginePath, QStringLiteral("/opt/q/quelm"));
    QCOMPARE(frame.HelpFilePath, QStringLiteral("/opt/q/quelm.hlp"));
    QCOMPARE(frame.CommandFileExtension, QStringLiteral(".CMD"));
    QCOMPARE(frame.OutputFileExtension, QStringLiteral(".LST"));
    QCOMPARE(frame.CommandWindow()->SaveFileDialog.filter, QStringLiteral("Command Files [.CMD]|*.CMD"));
    QCOMPARE(QDir::currentPath(), QDir(work.path()).canonicalPath());
    QCOMPARE(frame.screenFont().pointSize(), 12);
    QCOMPARE(frame.CommandWindow()->editor()->editorFont().pointSize(), 12);
    QCOMPARE(frame.printFont().pointSize(), 9);
    QCOMPARE(frame.CommandWindow()->historyEntries(), (QStringList{run2, run1}));
    QCOMPARE(frame.CommandFileName, run2);
    QCOMPARE(frame.CommandWindow()->windowTitle(), QStringLiteral("COMMAND - ") + run2);
    QCOMPARE(frame.CommandWindow()->editor()->bytes(), QByteArray("RUN2.CMD"));
    QCOMPARE(frame.OutputFileName, out2);
    QCOMPARE(frame.OutputWindow()->windowTitle(), QStringLiteral("OUTPUT - ") + out2);
    QCOMPARE(frame.OutputWindow()->fileCombo()->currentIndex(), 0);
}

void TestSettings::missingWorkingDirectoryKeepsCurrent()
{
    const QString before = QDir::currentPath();
    FrameFixture f({}, iniFile(QStringLiteral("/no/such/folder"), {}, {}));
    QCOMPARE(QDir::currentPath(), before);
    QCOMPARE(f.frame().CommandWindow()->windowTitle(), QStringLiteral("COMMAND - [Untitled]"));
}

void TestSettings::topEntryMissingOrUnreadable_data()
{
    QTest::addColumn<bool>("unreadable");
    QTest::newRow("missing") << false;
    QTest::newRow("exists, cannot be read") << true;
}

void TestSettings::topEntryMissingOrUnreadable()
{
    QFETCH(bool, unreadable);
    QTemporaryDir work;
    // /proc/self/mem is a file that opens but cannot be read from the start,
    // even by root.
    const QString top =
        unreadable ? QStringLiteral("/proc/self/mem") : work.filePath(QStringLiteral("top.cf"));
    const QString second = work.filePath(QStringLiteral("second.cf"));
    QFile file(second);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const QString out = work.filePath(QStringLiteral("r.out"));
    QFile outFile(out);
    QVERIFY(outFile.open(QIODevice::WriteOnly));
    outFile.close();
    FrameFixture f({}, iniFile(work.path(), {top, second}, {out},
                               "[Command File Extension]\r\n.cf\r\n"
                               "[Ouptut File Extension]\r\n.out\r\n"));
    QCOMPARE(f.frame().CommandWindow()->historyEntries(), (QStringList{top, second}));
    QCOMPARE(f.frame().CommandWindow()->windowTitle(), QStringLiteral("COMMAND - [Untitled]"));
    QVERIFY(f.frame().CommandWindow()->isUntitled());
    // The rest of the file is still read.
    QCOMPARE(f.frame().OutputFileName, out);
    if (unreadable)
        QCOMPARE(f.dialogs.lastError(), QStringLiteral("Cannot open file ") + top + QLatin1Char('.'));
}

void TestSettings::closeWritesSettingsAndStartRestoresThem()
{
    QByteArray written;
    QTemporaryDir work;
    const QString cf = work.filePath(QStringLiteral("a b.cf"));
    {
        FrameFixture f;
        f.writeFile(QStringLiteral("dummy"), "");
        QFile file(cf);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("1+1");
        file.close();
        f.frame().OpenCommand(cf);
        f.frame().CommandFileExtension = QStringLiteral(".cf");
        QVERIFY(f.frame().close());
        written = f.readFile(f.home() + QStringLiteral("/ostrel.ini"));
    }
    QVERIFY(written.startsWith("[Main Window Size]\r\n"));
    QVERIFY(written.contains("[Working Directory]\r\n" + QDir::toNativeSeparators(work.path()).toUtf8() +
                             "\r\n"));
    QVERIFY(written.contains("[Command History]\r\n" + cf.toUtf8() + "\r\n[Output History]\r\n"));

    FrameFixture again({}, written);
    QCOMPARE(again.frame().CommandFileName, cf);
    QCOMPARE(again.frame().CommandWindow()->editor()->bytes(), QByteArray("1+1"));
}

void TestSettings::argumentWinsOverReopenedFiles()
{
    QTemporaryDir work;
    const QString out = work.filePath(QStringLiteral("old.out"));
    const QString cf = work.filePath(QStringLiteral("RUN1.CF"));
    for (const QString &path : {out, cf}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    FrameFixture f({cf}, iniFile(work.path(), {}, {out},
                                 "[Command File Extension]\r\n.cf\r\n"
                                 "[Ouptut File Extension]\r\n.out\r\n"));
    QCOMPARE(f.frame().CommandFileName, cf);
    QVERIFY(f.frame().OutputFileName.isEmpty());
    QCOMPARE(f.frame().OutputWindow()->windowTitle(), QStringLiteral("OUTPUT - [Untitled]"));
    QCOMPARE(f.frame().OutputWindow()->historyEntries(), QStringList{out});
}

void TestSettings::emptyFileChangesNothing()
{
    FrameFixture f({}, QByteArray(""));
    QCOMPARE(f.frame().EnginePath, Defaults::engineDefaults().enginePath);
    QCOMPARE(f.frame().CommandWindow()->windowBounds(), QRect(166, 4, 421, 163));
}

void TestSettings::hostileFileStartsUsable_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray history = "[Main Window Size]\r\n-99999999 99999999999 -5 0\r\n";
    history += QByteArray("[x]\r\n0 0 0 0\r\n").repeated(3);
    history += "[Quelm Files]\r\n\r\n\r\n[Working Directory]\r\n\r\n[c]\r\n.cf\r\n[o]\r\n.out\r\n";
    history +=
        "[Screen Font]\r\n10 " + QByteArray(10000, 'F') + "\r\n[Print Font]\r\n0\r\n[Command History]\r\n";
    for (int i = 0; i < 10000; ++i)
        history += "/nowhere/" + QByteArray::number(i) + ".cf\r\n";
    history += "[Output History]\r\n";
    for (int i = 0; i < 10000; ++i)
        history += "/nowhere/" + QByteArray::number(i) + ".out\r\n";
    QTest::newRow("10,000 entries, huge numbers, long face") << history;
    QByteArray binary(300000, '\0');
    for (int i = 0; i < binary.size(); ++i)
        binary[i] = char((qint64(i) * 7919) % 251);
    QTest::newRow("binary") << binary;
    QTest::newRow("no CR anywhere") << QByteArray(200000, '7');
    QTest::newRow("20 MB of lines") << QByteArray("[Main Window Size]\n").repeated(1000000);
}

void TestSettings::hostileFileStartsUsable()
{
    QFETCH(QByteArray, bytes);
    FrameFixture f({}, bytes);
    TFrameForm &frame = f.frame();
    QVERIFY(frame.isVisible());
    QVERIFY(frame.CommandWindow()->windowBounds().width() >= 100);
    QVERIFY(frame.width() >= 100);
    QVERIFY(frame.CommandWindow()->fileCombo()->count() <= 20);
    QVERIFY(frame.OutputWindow()->fileCombo()->count() <= 15);
    // Still usable: a command file opens.
    const QString path = f.writeFile(QStringLiteral("after.cf"), "ok");
    frame.OpenCommand(path);
    QCOMPARE(frame.CommandFileName, path);
}

void TestSettings::preferences_data()
{
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("commandExt");
    QTest::addColumn<QString>("outputExt");
    QTest::addColumn<QString>("commandFilter");
    QTest::addColumn<QString>("outputFilter");
    QTest::newRow("ok with .cmd") << true << ".cmd"
                                  << ".out"
                                  << "Command Files [.cmd]|*.cmd"
                                  << "Output Files [.out]|*.out";
    QTest::newRow("ok, output emptied") << true << ".cf"
                                        << ""
                                        << "Command Files [.cf]|*.cf"
                                        << "Output Files []|*";
    QTest::newRow("cancel") << false << ".cmd"
                            << ".lst"
                            << "Command Files [.cf]|*.cf"
                            << "Output Files [.out]|*.out";
}

void TestSettings::preferences()
{
    QFETCH(bool, ok);
    QFETCH(QString, commandExt);
    QFETCH(QString, outputExt);
    QFETCH(QString, commandFilter);
    QFETCH(QString, outputFilter);
    FrameFixture f;
    f.dialogs.onPreferences = [&](TPrefDialogForm &dialog) {
        PrefValues values = dialog.values();
        values.enginePath = QStringLiteral("/picked/quelm");
        values.commandFileExtension = commandExt;
        values.outputFileExtension = outputExt;
        dialog.setValues(values);
        return ok;
    };
    f.frame().PreferencesClick();
    QCOMPARE(f.frame().EnginePath,
             ok ? QStringLiteral("/picked/quelm") : Defaults::engineDefaults().enginePath);
    QCOMPARE(f.frame().CommandWindow()->SaveFileDialog.filter, commandFilter);
    QCOMPARE(f.frame().OutputWindow()->SaveFileDialog.filter, outputFilter);
    QCOMPARE(f.frame().CommandWindow()->SaveFileDialog.defaultExtension,
             ok ? commandExt : QStringLiteral(".cf"));
    QCOMPARE(f.frame().CommandWindow()->SaveFileDialog.title, QStringLiteral("Save Command File"));
}

void TestSettings::relativeHistoryEntriesStayInWorkingFolder()
{
    QTemporaryDir work;
    QTemporaryDir elsewhere;
    for (const QString &folder : {work.path(), elsewhere.path()}) {
        for (const char *name : {"job.cf", "job.out"}) {
            QFile file(QDir(folder).filePath(QLatin1String(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(folder == work.path() ? "mine" : "theirs");
        }
    }
    FrameFixture f({}, iniFile(work.path(), {QStringLiteral("job.cf")}, {QStringLiteral("job.out")},
                               "[Command File Extension]\r\n.cf\r\n[Ouptut File Extension]\r\n.out\r\n"));
    TFrameForm &frame = f.frame();
    const QString job = QDir(work.path()).filePath(QStringLiteral("job.cf"));
    QCOMPARE(frame.CommandFileName, job);
    QCOMPARE(frame.CommandWindow()->FileName, job);
    QCOMPARE(frame.CommandWindow()->historyEntries(), QStringList{job});
    QCOMPARE(frame.OutputWindow()->FileName, QDir(work.path()).filePath(QStringLiteral("job.out")));

    // The user moves to another folder that holds a job.cf of its own; a save
    // still writes the file the window came from.
    QDir::setCurrent(elsewhere.path());
    FrameFixture::type(frame.CommandWindow(), QStringLiteral("edited "));
    QVERIFY(frame.CommandWindow()->SaveClick());
    QCOMPARE(f.readFile(job), QByteArray("edited mine"));
    QCOMPARE(f.readFile(QDir(elsewhere.path()).filePath(QStringLiteral("job.cf"))), QByteArray("theirs"));
}

void TestSettings::relativeArgumentNamesStartFolderFile()
{
    const QString before = QDir::currentPath();
    QTemporaryDir start;
    QTemporaryDir work;
    for (const QString &folder : {start.path(), work.path()}) {
        QFile file(QDir(folder).filePath(QStringLiteral("rel.cf")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(folder == start.path() ? "started here" : "working folder");
    }
    QDir::setCurrent(start.path());
    {
        FrameFixture f({QStringLiteral("rel.cf")},
                       iniFile(work.path(), {}, {},
                               "[Command File Extension]\r\n.cf\r\n[Ouptut File Extension]\r\n.out\r\n"));
        QCOMPARE(f.frame().CommandFileName, QDir(start.path()).filePath(QStringLiteral("rel.cf")));
        QCOMPARE(f.frame().CommandWindow()->editor()->bytes(), QByteArray("started here"));
    }
    QDir::setCurrent(before);
}

void TestSettings::storedExtensionsRouteExplorerDoubleClicks()
{
    QTemporaryDir work;
    for (const char *name : {"job.CMD", "result.lst", "notes.cf"}) {
        QFile file(QDir(work.path()).filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(name);
    }
    // The settings file names .CMD and .LST; the explorer's filter list was
    // made with the defaults before it was read.
    FrameFixture f({}, iniFile(work.path(), {}, {}));
    TFrameForm &frame = f.frame();
    auto *filters = frame.ExplorerWindow()->findChild<QComboBox *>(QStringLiteral("FilterComboBox"));
    auto *files = frame.ExplorerWindow()->findChild<QListWidget *>(QStringLiteral("FileListBox"));
    QCOMPARE(filters->itemText(0), QStringLiteral("Command Files [.cf]"));
    UserInput::pickComboEntry(filters, filters->count() - 1);
    QCOMPARE(files->count(), 3);

    UserInput::doubleClickItem(
        files, files->row(files->findItems(QStringLiteral("job.CMD"), Qt::MatchExactly).first()));
    QCOMPARE(frame.CommandFileName, QDir(work.path()).filePath(QStringLiteral("job.CMD")));
    UserInput::doubleClickItem(
        files, files->row(files->findItems(QStringLiteral("result.lst"), Qt::MatchExactly).first()));
    QCOMPARE(frame.OutputFileName, QDir(work.path()).filePath(QStringLiteral("result.lst")));
    UserInput::doubleClickItem(
        files, files->row(files->findItems(QStringLiteral("notes.cf"), Qt::MatchExactly).first()));
    QCOMPARE(frame.AnotherCount(), 1);
}

void TestSettings::boundsLargerThanScreenAreIgnored()
{
    QByteArray bytes = iniFile(QDir::currentPath(), {}, {});
    bytes.replace("20 30 640 480", "0 0 32767 32767");
    bytes.replace("170 10 400 150", "166 4 32767 32767");
    FrameFixture f({}, bytes);
    const QRect screen = f.frame().screen()->geometry();
    QVERIFY(f.frame().width() <= screen.width());
    QVERIFY(f.frame().height() <= screen.height());
    QCOMPARE(f.frame().CommandWindow()->windowBounds(), QRect(166, 4, 421, 163));
    // The other stored bounds still apply.
    QCOMPARE(f.frame().OutputWindow()->windowBounds(), QRect(170, 170, 400, 160));
}

// The user's Qt settings file replaced by a FIFO: the program starts without
// waiting on it, with its defaults, says so, and writes nothing there.
void TestSettings::userSettingsThatAreNoFileAreLeftAlone()
{
    QTemporaryDir home;
    const QString file = home.filePath(QStringLiteral("user/Ostrel/Ostrel.conf"));
    QVERIFY(QDir().mkpath(QFileInfo(file).path()));
    const FifoTrap trap(file);
    {
        FrameFixture f({}, QByteArray(), home.path());
        QVERIFY(!trap.sprung());
        QCOMPARE(f.frame().statusText(), userSettingsLeftAloneText());
        QVERIFY(f.frame().CommandWindow()->editor()->lineNumbersShown());
        f.frame().CommandWindow()->findChild<QAction *>(QStringLiteral("LineNumbers1"))->trigger();
        f.frame().close();
    }
    QVERIFY(QFileInfo(file).exists() && !QFileInfo(file).isFile());
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
