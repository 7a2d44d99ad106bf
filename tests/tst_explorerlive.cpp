#include "FrameFixture.h"
#include "UserInput.h"

#include "app/MDIFrame.h"
#include "core/FileNames.h"
#include "documents/MDIAnother.h"
#include "documents/MDICommand.h"
#include "editor/TextEditor.h"
#include "explorer/DirectoryListBox.h"
#include "explorer/FileListBox.h"
#include "explorer/MDIExplorer.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QToolTip>
#include <QtTest>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

FileListBox *fileList(TFrameForm &frame)
{
    return frame.ExplorerWindow()->findChild<FileListBox *>(QStringLiteral("FileListBox"));
}

// The explorer on the fixture's home folder, listing every file.
FileListBox *showHome(FrameFixture &f)
{
    QDir::setCurrent(f.home());
    f.frame().showCurrentFolderInExplorer(false);
    FileListBox *files = fileList(f.frame());
    files->setMask(QStringLiteral("*"));
    return files;
}

// Writes a file by its bytes, as a program that knows nothing of UTF-8 does.
bool writeNative(const QByteArray &path, const QByteArray &bytes)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    return ::close(fd) == 0 && written;
}

QByteArray readNative(const QByteArray &path)
{
    QFile file;
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return QByteArray();
    return file.readAll();
}

// The names in a folder as the file system holds them, hidden ones too.
QList<QByteArray> nativeNames(const QString &folder)
{
    QList<QByteArray> names;
    DIR *dir = opendir(QFile::encodeName(folder).constData());
    while (const dirent *entry = dir ? readdir(dir) : nullptr) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names.append(name);
    }
    if (dir)
        closedir(dir);
    return names;
}

QStringList shownNames(const FileListBox *files)
{
    QStringList names;
    for (int row = 0; row < files->count(); ++row)
        names.append(files->item(row)->text());
    return names;
}

} // namespace

// The explorer as a user meets it: files whose names are not UTF-8, a list
// that follows the folder, Enter on a file, and folder names too long for it.
class TestExplorerLive : public QObject
{
    Q_OBJECT

private slots:
    void namesKeepTheirBytes_data();
    void namesKeepTheirBytes();
    void fileWithRawNameOpensAndSaves_data();
    void fileWithRawNameOpensAndSaves();
    void listFollowsFolder();
    void folderListFollowsFolder();
    void selectedFileGoneLeavesNoSelection();
    void enterOpensFile_data();
    void enterOpensFile();
    void cutOffFolderNameShowsInToolTip_data();
    void cutOffFolderNameShowsInToolTip();
};

void TestExplorerLive::namesKeepTheirBytes_data()
{
    QTest::addColumn<QByteArray>("native");
    QTest::addColumn<QString>("shown");
    QTest::newRow("ASCII") << QByteArray("run.cf") << "run.cf";
    QTest::newRow("UTF-8") << QByteArray("gr\xc3\xb6\xc3\x9f"
                                         "e.cf")
                           << QString::fromUtf8("größe.cf");
    QTest::newRow("Latin-1 bytes") << QByteArray("bad\xff\xfe.txt")
                                   << QString::fromUtf8("bad\uFFFD\uFFFD.txt");
    QTest::newRow("cut UTF-8 sequence") << QByteArray("a\xc3") << QString::fromUtf8("a\uFFFD");
    QTest::newRow("encoded surrogate")
        << QByteArray("x\xed\xb0\x80") << QString::fromUtf8("x\uFFFD\uFFFD\uFFFD");
    QTest::newRow("overlong slash") << QByteArray("\xc0\xaf") << QString::fromUtf8("\uFFFD\uFFFD");
    QTest::newRow("emoji") << QByteArray("\xf0\x9f\x90\xa6.cf") << QString::fromUtf8("\U0001F426.cf");
}

void TestExplorerLive::namesKeepTheirBytes()
{
    QFETCH(QByteArray, native);
    QFETCH(QString, shown);
    const QString name = FileNames::fromNative(native);
    QCOMPARE(FileNames::toNative(name), native);
    QCOMPARE(FileNames::forDisplay(name), shown);
    QCOMPARE(FileNames::hasRawBytes(name), shown.contains(QChar(QChar::ReplacementCharacter)));
}

void TestExplorerLive::fileWithRawNameOpensAndSaves_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("commandWindow");
    QTest::newRow("other file") << QByteArray("bad\xff\xfe.txt") << false;
    QTest::newRow("command file") << QByteArray("r\xe9sultat.cf") << true;
}

void TestExplorerLive::fileWithRawNameOpensAndSaves()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, commandWindow);
    FrameFixture f;
    const QByteArray path = QFile::encodeName(f.home()) + '/' + name;
    QVERIFY(writeNative(path, "first line\r\n"));
    FileListBox *files = showHome(f);
    const QString shown = FileNames::forDisplay(FileNames::fromNative(name));
    const qsizetype row = shownNames(files).indexOf(shown);
    QVERIFY2(row >= 0, qPrintable(shownNames(files).join(QLatin1Char(' '))));

    UserInput::doubleClickItem(files, int(row));
    QVERIFY2(f.dialogs.errors.isEmpty(), qPrintable(f.dialogs.lastError()));
    TEditForm *window = commandWindow ? static_cast<TEditForm *>(f.frame().CommandWindow())
                                      : f.frame().AnotherWindows().value(0);
    QVERIFY(window);
    QCOMPARE(window->editor()->text(), QStringLiteral("first line\r\n"));
    QVERIFY2(window->windowTitle().endsWith(shown), qPrintable(window->windowTitle()));

    // Saved where it came from, not under a name made of replacement characters.
    window->editor()->append(QStringLiteral("second line"));
    window->findChild<QAction *>(QStringLiteral("Save1"))->trigger();
    QVERIFY2(f.dialogs.errors.isEmpty(), qPrintable(f.dialogs.lastError()));
    QCOMPARE(readNative(path), QByteArray("first line\r\nsecond line"));
    QCOMPARE(nativeNames(f.home()), QList<QByteArray>{name});
}

void TestExplorerLive::listFollowsFolder()
{
    FrameFixture f;
    f.writeFile(QStringLiteral("b.cf"), "b");
    f.writeFile(QStringLiteral("c.cf"), "c");
    FileListBox *files = showHome(f);
    QCOMPARE(files->names(), (QStringList{"b.cf", "c.cf"}));
    UserInput::clickItem(files, 1);
    QCOMPARE(files->fileName(), QDir(f.home()).filePath(QStringLiteral("c.cf")));

    // A file made by someone else, say a run's output or a shell.
    f.writeFile(QStringLiteral("a.cf"), "a");
    QTRY_COMPARE(files->names(), (QStringList{"a.cf", "b.cf", "c.cf"}));
    QCOMPARE(files->fileName(), QDir(f.home()).filePath(QStringLiteral("c.cf")));
    QCOMPARE(files->currentRow(), 2);

    QVERIFY(QFile::remove(QDir(f.home()).filePath(QStringLiteral("b.cf"))));
    QTRY_COMPARE(files->names(), (QStringList{"a.cf", "c.cf"}));
    QCOMPARE(files->fileName(), QDir(f.home()).filePath(QStringLiteral("c.cf")));
    QCOMPARE(shownNames(files), files->names());

    // Another folder: the old one is no longer followed.
    QVERIFY(QDir(f.home()).mkdir(QStringLiteral("sub")));
    QDir::setCurrent(QDir(f.home()).filePath(QStringLiteral("sub")));
    f.frame().showCurrentFolderInExplorer(false);
    QVERIFY(files->names().isEmpty());
    f.writeFile(QStringLiteral("sub/new.cf"), "n");
    f.writeFile(QStringLiteral("elsewhere.cf"), "e");
    QTRY_COMPARE(files->names(), QStringList{"new.cf"});
}

// A folder made or removed in the shown folder, by someone else, shows in the
// folder list as it does in the file list.
void TestExplorerLive::folderListFollowsFolder()
{
    FrameFixture f;
    showHome(f);
    auto *folders =
        f.frame().ExplorerWindow()->findChild<DirectoryListBox *>(QStringLiteral("DirectoryListBox"));
    const QStringList before = folders->entryPaths();
    QVERIFY(QDir(f.home()).mkdir(QStringLiteral("made")));
    QTRY_COMPARE(folders->entryPaths(),
                 before + QStringList{QDir(f.home()).filePath(QStringLiteral("made"))});
    QVERIFY(QDir(f.home()).rmdir(QStringLiteral("made")));
    QTRY_COMPARE(folders->entryPaths(), before);
}

void TestExplorerLive::selectedFileGoneLeavesNoSelection()
{
    FrameFixture f;
    f.writeFile(QStringLiteral("a.cf"), "a");
    f.writeFile(QStringLiteral("b.cf"), "b");
    FileListBox *files = showHome(f);
    UserInput::clickItem(files, 0);
    QVERIFY(QFile::remove(QDir(f.home()).filePath(QStringLiteral("a.cf"))));
    QTRY_COMPARE(files->names(), QStringList{"b.cf"});
    QVERIFY(files->fileName().isEmpty());
    QVERIFY(f.dialogs.errors.isEmpty());
}

void TestExplorerLive::enterOpensFile_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("return") << int(Qt::Key_Return);
    QTest::newRow("keypad enter") << int(Qt::Key_Enter);
}

void TestExplorerLive::enterOpensFile()
{
    QFETCH(int, key);
    FrameFixture f;
    const QString path = f.writeFile(QStringLiteral("job.cf"), "x = 1\r\n");
    f.writeFile(QStringLiteral("notes.txt"), "notes");
    FileListBox *files = showHome(f);
    QVERIFY(UserInput::activate(&f.frame()));
    UserInput::clickItem(files, 1);
    QCOMPARE(QApplication::focusWidget(), files);
    QVERIFY(UserInput::pressKey(Qt::Key_Up));
    QVERIFY(UserInput::pressKey(Qt::Key(key)));
    QCOMPARE(f.frame().CommandFileName, path);
    QCOMPARE(f.frame().CommandWindow()->editor()->text(), QStringLiteral("x = 1\r\n"));
    QCOMPARE(f.frame().AnotherCount(), 0);
}

void TestExplorerLive::cutOffFolderNameShowsInToolTip_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("tip");
    QTest::newRow("cut off") << "a folder name far too long for the narrow explorer window" << true;
    QTest::newRow("whole") << "short" << false;
}

void TestExplorerLive::cutOffFolderNameShowsInToolTip()
{
    QFETCH(QString, folder);
    QFETCH(bool, tip);
    FrameFixture f;
    QVERIFY(QDir(f.home()).mkdir(folder));
    showHome(f);
    QVERIFY(UserInput::activate(&f.frame()));
    auto *folders =
        f.frame().ExplorerWindow()->findChild<DirectoryListBox *>(QStringLiteral("DirectoryListBox"));
    const QModelIndexList found = folders->model()->match(folders->model()->index(0, 0), Qt::DisplayRole,
                                                          folder, 1, Qt::MatchExactly | Qt::MatchRecursive);
    QCOMPARE(found.size(), 1);
    const QPoint at = folders->visualRect(found.first()).center();
    QHelpEvent hover(QEvent::ToolTip, at, folders->viewport()->mapToGlobal(at));
    QApplication::sendEvent(folders->viewport(), &hover);
    QCOMPARE(QToolTip::isVisible(), tip);
    if (tip)
        QCOMPARE(QToolTip::text(), folder);
    QToolTip::hideText();
}

QTEST_MAIN(TestExplorerLive)
#include "tst_explorerlive.moc"
