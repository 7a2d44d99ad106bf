#include "core/FrameState.h"
#include "editor/EditorPreferences.h"
#include "explorer/DirectoryListBox.h"
#include "explorer/DriveComboBox.h"
#include "explorer/ExplorerRules.h"
#include "explorer/FileListBox.h"
#include "explorer/FilterComboBox.h"
#include "explorer/MDIExplorer.h"
#include "printing/WindowPrinting.h"
#include "support/ScriptedDialogs.h"
#include "ui/StatusProgress.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_METATYPE(Explorer::TargetWindow)

namespace {

void touch(const QString &path)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
}

QString canonical(const QTemporaryDir &dir)
{
    return QDir(dir.path()).canonicalPath();
}

} // namespace

// The directory explorer: masks, routing by extension, and the lists over real folders.
class TestExplorer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void maskMatching_data();
    void maskMatching();
    void windowRouting_data();
    void windowRouting();

    void firstFilterEntry_data();
    void firstFilterEntry();
    void hiddenAndSpecialEntriesNotListed();
    void directoryListShowsPathThenSubfolders();
    void doubleClickOnFolderEntersIt();
    void awkwardFolderNames_data();
    void awkwardFolderNames();
    void cannotEnterFolder_data();
    void cannotEnterFolder();
    void driveThatCannotBeEnteredIsUndone();
    void folderDeletedWhileShown();
    void followCurrentDirectory();
    void rereadShowsNewFile();
    void doubleClickRoutesByExtension_data();
    void doubleClickRoutesByExtension();
    void doubleClickWithoutSelectionDoesNothing();
    void closingDestroysWindow();

private:
    // What the frame hands a new explorer window.
    WindowServices services(const QString &commandExt = QStringLiteral(".cf"))
    {
        m_settings.CommandFileExtension = commandExt;
        m_settings.OutputFileExtension = QStringLiteral(".out");
        return {m_dialogs, m_printing, m_settings, m_editorPreferences, m_progress};
    }

    QString m_savedCurrent;
    ScriptedDialogs m_dialogs;
    ProgramSettings m_settings;
    PrintContext m_printing{m_dialogs, {}};
    EditorPreferences m_editorPreferences;
    StatusProgress m_progress;
};

void TestExplorer::init()
{
    m_savedCurrent = QDir::currentPath();
    m_dialogs = ScriptedDialogs();
}

void TestExplorer::cleanup()
{
    QDir::setCurrent(m_savedCurrent);
}

void TestExplorer::maskMatching_data()
{
    QTest::addColumn<QString>("masks");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("matches");

    QTest::newRow("same case") << "*.cf"
                               << "run.cf" << true;
    QTest::newRow("upper-case name") << "*.cf"
                                     << "RUN.CF" << true;
    QTest::newRow("upper-case mask") << "*.OUT"
                                     << "run.out" << true;
    QTest::newRow("non-ASCII case") << "*.äb"
                                    << "x.ÄB" << true;
    QTest::newRow("longer extension") << "*.cf"
                                      << "run.cfg" << false;
    QTest::newRow("no dot") << "*.cf"
                            << "runcf" << false;
    QTest::newRow("trailing blank") << "*.cf"
                                    << "run.cf " << false;
    QTest::newRow("second mask") << "*.cf;*.out"
                                 << "RESULT.OUT" << true;
    QTest::newRow("neither mask") << "*.cf;*.out"
                                  << "notes.txt" << false;
    QTest::newRow("all files, no dot") << "*.*"
                                       << "README" << true;
    QTest::newRow("all files among others") << "*.cf;*.*"
                                            << "Makefile" << true;
    QTest::newRow("question mark") << "?.cf"
                                   << "a.cf" << true;
    QTest::newRow("question mark is one letter") << "?.cf"
                                                 << "ab.cf" << false;
    QTest::newRow("brackets are letters") << "*.c[f]"
                                          << "x.c[f]" << true;
    QTest::newRow("brackets are no class") << "*.c[f]"
                                           << "x.cf" << false;
    QTest::newRow("dot is a letter") << "*.cf"
                                     << "runxcf" << false;
    QTest::newRow("newline in name") << "*.cf"
                                     << "a\nb.cf" << true;
    QTest::newRow("newline after extension") << "*.cf"
                                             << "a.cf\n"
                                             << false;
    QTest::newRow("empty mask") << ""
                                << "a.cf" << false;
}

void TestExplorer::maskMatching()
{
    QFETCH(QString, masks);
    QFETCH(QString, name);
    QFETCH(bool, matches);
    QCOMPARE(Explorer::FileMask(masks).matches(name), matches);
}

void TestExplorer::windowRouting_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("commandExt");
    QTest::addColumn<QString>("outputExt");
    QTest::addColumn<Explorer::TargetWindow>("window");

    using T = Explorer::TargetWindow;
    QTest::newRow("output") << "/w/RESULT.OUT"
                            << ".cf"
                            << ".out" << T::Output;
    QTest::newRow("command") << "/w/run.cf"
                             << ".cf"
                             << ".out" << T::Command;
    QTest::newRow("setting in capitals") << "/w/run.cf"
                                         << ".CF"
                                         << ".out" << T::Command;
    QTest::newRow("text") << "/w/NOTES.TXT"
                          << ".cf"
                          << ".out" << T::Another;
    QTest::newRow("master file") << "/w/JOBS.MST"
                                 << ".cf"
                                 << ".out" << T::Another;
    QTest::newRow("no extension") << "/w/README"
                                  << ".cf"
                                  << ".out" << T::Another;
    QTest::newRow("dotted folder") << "/w/proj.cf/run"
                                   << ".cf"
                                   << ".out" << T::Another;
    QTest::newRow("cmd after change") << "/w/a.cmd"
                                      << ".cmd"
                                      << ".out" << T::Command;
    QTest::newRow("cf after change") << "/w/a.cf"
                                     << ".cmd"
                                     << ".out" << T::Another;
    QTest::newRow("setting with blank") << "/w/a.cf"
                                        << ".cf "
                                        << ".out" << T::Another;
    QTest::newRow("only A to Z fold") << "/w/a.Äx"
                                      << ".äx"
                                      << ".out" << T::Another;
    QTest::newRow("same setting twice") << "/w/a.x"
                                        << ".x"
                                        << ".X" << T::Command;
    QTest::newRow("empty setting") << "/w/README"
                                   << ""
                                   << ".out" << T::Another;
}

void TestExplorer::windowRouting()
{
    QFETCH(QString, path);
    QFETCH(QString, commandExt);
    QFETCH(QString, outputExt);
    QFETCH(Explorer::TargetWindow, window);
    QCOMPARE(Explorer::windowForFile(path, commandExt, outputExt), window);
}

void TestExplorer::firstFilterEntry_data()
{
    QTest::addColumn<QString>("commandExt");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("listed");

    QTest::newRow("defaults") << ".cf"
                              << QStringList{"Command Files [.cf]", "Quelm Files [.cf,.out]",
                                             "Output Files [.out]", "All Files [*.*]"}
                              << QStringList{"a.cf", "B.CF"};
    QTest::newRow("reopened after change") << ".cmd"
                                           << QStringList{"Command Files [.cmd]", "Quelm Files [.cmd,.out]",
                                                          "Output Files [.out]", "All Files [*.*]"}
                                           << QStringList{"z.cmd"};
}

void TestExplorer::firstFilterEntry()
{
    QFETCH(QString, commandExt);
    QFETCH(QStringList, entries);
    QFETCH(QStringList, listed);

    QTemporaryDir dir;
    for (const char *name : {"a.cf", "B.CF", "c.out", "d.txt", "z.cmd"})
        touch(dir.filePath(QLatin1String(name)));
    QDir::setCurrent(dir.path());

    TExplorerForm form(services(commandExt));
    auto *filters = form.findChild<FilterComboBox *>(QStringLiteral("FilterComboBox"));
    QVERIFY(filters);
    QStringList offered;
    for (int i = 0; i < filters->count(); ++i)
        offered.append(filters->itemText(i));
    QCOMPARE(offered, entries);
    QCOMPARE(filters->currentIndex(), 0);
    QCOMPARE(form.findChild<FileListBox *>(QStringLiteral("FileListBox"))->names(), listed);
    QVERIFY(m_dialogs.errors.isEmpty());
}

void TestExplorer::hiddenAndSpecialEntriesNotListed()
{
    QTemporaryDir dir;
    const QString root = canonical(dir);
    touch(root + "/shown.cf");
    touch(root + "/.hidden.cf");
    QVERIFY(QDir(root).mkdir("sub"));
    QVERIFY(QDir(root).mkdir("folder.cf"));
    QVERIFY(QDir(root).mkdir(".hiddendir"));
    QVERIFY(QFile::link(root + "/shown.cf", root + "/link.cf"));
    QVERIFY(QFile::link(root + "/missing.cf", root + "/broken.cf"));
    QCOMPARE(mkfifo(QFile::encodeName(root + "/pipe.cf").constData(), 0600), 0);
    QDir::setCurrent(root);

    TExplorerForm form(services());
    QCOMPARE(form.findChild<FileListBox *>(QStringLiteral("FileListBox"))->names(),
             (QStringList{"link.cf", "shown.cf"}));
    const QStringList folders =
        form.findChild<DirectoryListBox *>(QStringLiteral("DirectoryListBox"))->entryPaths();
    QVERIFY(folders.contains(root + "/sub"));
    QVERIFY(!folders.contains(root + "/.hiddendir"));
}

void TestExplorer::directoryListShowsPathThenSubfolders()
{
    QTemporaryDir dir;
    const QString root = canonical(dir);
    for (const char *name : {"beta", "Alpha", "gamma"})
        QVERIFY(QDir(root).mkdir(QLatin1String(name)));
    QDir::setCurrent(root);

    TExplorerForm form(services());
    auto *folders = form.findChild<DirectoryListBox *>(QStringLiteral("DirectoryListBox"));

    QStringList expected;
    const QString volume = QDir::cleanPath(DriveComboBox::driveOf(root));
    for (QString step = root;; step = QFileInfo(step).path()) {
        expected.prepend(step);
        if (step == volume || QDir(step).isRoot())
            break;
    }
    expected << root + "/Alpha" << root + "/beta" << root + "/gamma";
    QCOMPARE(folders->entryPaths(), expected);

    // Opening a subfolder enters it, and the parent takes the user back.
    folders->openEntry(folders->entryPaths().indexOf(root + "/beta"));
    QCOMPARE(QDir::currentPath(), root + "/beta");
    QCOMPARE(folders->entryPaths().constLast(), root + "/beta");
    folders->openEntry(folders->entryPaths().indexOf(root));
    QCOMPARE(QDir::currentPath(), root);
}

void TestExplorer::doubleClickOnFolderEntersIt()
{
    QTemporaryDir dir;
    const QString root = canonical(dir);
    QVERIFY(QDir(root).mkdir("inner"));
    touch(root + "/inner/deep.cf");
    QDir::setCurrent(root);

    TExplorerForm form(services());
    form.resize(158, 500);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto *folders = form.findChild<DirectoryListBox *>(QStringLiteral("DirectoryListBox"));
    const QList<QTreeWidgetItem *> found = folders->findItems("inner", Qt::MatchExactly | Qt::MatchRecursive);
    QCOMPARE(found.size(), 1);
    folders->scrollToItem(found.at(0));
    const QPoint centre = folders->visualItemRect(found.at(0)).center();
    // A double-click follows a first click, as it does with a real mouse.
    QTest::mouseClick(folders->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(folders->viewport(), Qt::LeftButton, {}, centre);

    QCOMPARE(QDir::currentPath(), root + "/inner");
    QCOMPARE(form.findChild<FileListBox *>(QStringLiteral("FileListBox"))->names(), QStringList("deep.cf"));
}

void TestExplorer::awkwardFolderNames_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("file");

    QTest::newRow("blanks") << "with  blanks "
                            << "run one.cf";
    QTest::newRow("quotes") << "it's \"quoted\""
                            << "a'b\".cf";
    QTest::newRow("dollar") << "$HOME$(ls)"
                            << "$x.cf";
    QTest::newRow("semicolon") << "a;b"
                               << "c;d.cf";
    QTest::newRow("non-ASCII") << "Ünïcödé Ωμέγα"
                               << "Résultat.cf";
    QTest::newRow("newline") << "new\nline"
                             << "two\nlines.cf";
    QTest::newRow("backslash and star") << "back\\slash*"
                                        << "a\\b*.cf";
}

void TestExplorer::awkwardFolderNames()
{
    QFETCH(QString, folder);
    QFETCH(QString, file);

    QTemporaryDir dir;
    const QString root = canonical(dir);
    const QString inside = root + QLatin1Char('/') + folder;
    QVERIFY(QDir(root).mkdir(folder));
    touch(inside + QLatin1Char('/') + file);
    QDir::setCurrent(root);

    TExplorerForm form(services());
    auto *folders = form.findChild<DirectoryListBox *>(QStringLiteral("DirectoryListBox"));
    auto *files = form.findChild<FileListBox *>(QStringLiteral("FileListBox"));
    QSignalSpy command(&form, &TExplorerForm::openCommandRequested);

    const int row = folders->entryPaths().indexOf(inside);
    QVERIFY(row >= 0);
    folders->openEntry(row);
    QCOMPARE(QDir::currentPath(), inside);
    QCOMPARE(files->names(), QStringList(file));
    QVERIFY(!files->item(0)->text().contains(QLatin1Char('\n')));

    files->item(0)->setSelected(true);
    form.FileListDblClick();
    QCOMPARE(command.count(), 1);
    QCOMPARE(command.at(0).at(0).toString(), inside + QLatin1Char('/') + file);
    QVERIFY(m_dialogs.errors.isEmpty());
}

void TestExplorer::cannotEnterFolder_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("reason");

    QTest::newRow("gone") << "remove"
                          << "it does not exist";
    QTest::newRow("now a file") << "file"
                                << "it is not a directory";
    // Permissions bind nobody when the tests run as root.
    if (geteuid() != 0)
        QTest::newRow("no permission") << "chmod"
                                       << "permission denied";
}

void TestExplorer::cannotEnterFolder()
{
    QFETCH(QString, how);
    QFETCH(QString, reason);

    QTemporaryDir dir;
    const QString root = canonical(dir);
    const QString target = root + "/target";
    QVERIFY(QDir(root).mkdir("target"));
    touch(root + "/here.cf");
    QDir::setCurrent(root);

    TExplorerForm form(services());
    auto *folders = form.findChild<DirectoryListBox *>(QStringLiteral("DirectoryListBox"));
    auto *files = form.findChild<FileListBox *>(QStringLiteral("FileListBox"));
    const QStringList entriesBefore = folders->entryPaths();

    if (how == "remove") {
        QVERIFY(QDir(target).removeRecursively());
    } else if (how == "file") {
        QVERIFY(QDir(target).removeRecursively());
        touch(target);
    } else {
        QVERIFY(QFile::setPermissions(target, QFileDevice::Permissions()));
    }

    folders->openEntry(entriesBefore.indexOf(target));
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    QCOMPARE(m_dialogs.errors.size(), 1);
    QCOMPARE(m_dialogs.errors.at(0).title, QStringLiteral("Directory"));
    QCOMPARE(m_dialogs.lastError(), QStringLiteral("Cannot open directory %1: %2.").arg(target, reason));
    QCOMPARE(QDir::currentPath(), root);
    QCOMPARE(folders->directory(), root);
    QCOMPARE(folders->entryPaths(), entriesBefore);
    QCOMPARE(files->names(), QStringList("here.cf"));
}

void TestExplorer::driveThatCannotBeEnteredIsUndone()
{
    QTemporaryDir dir;
    const QString root = canonical(dir);
    QDir::setCurrent(root);

    TExplorerForm form(services());
    auto *drives = form.findChild<DriveComboBox *>(QStringLiteral("DriveComboBox"));
    const QString before = drives->drive();
    QCOMPARE(before, DriveComboBox::driveOf(root));
    QCOMPARE(DriveComboBox::mountedDrives().constFirst(), QDir::rootPath());

    // A volume unmounted since the list was read.
    const QString gone = root + "/unmounted";
    drives->setDrive(gone); // what the user picked is already shown
    emit drives->driveChosen(gone);
    QCOMPARE(m_dialogs.errors.size(), 1);
    QCOMPARE(drives->drive(), before);
    QCOMPARE(QDir::currentPath(), root);
    QCOMPARE(form.findChild<DirectoryListBox *>(QStringLiteral("DirectoryListBox"))->directory(), root);
}

void TestExplorer::folderDeletedWhileShown()
{
    QTemporaryDir dir;
    const QString root = canonical(dir);
    const QString shown = root + "/shown";
    QVERIFY(QDir(root).mkdir("shown"));
    touch(shown + "/a.cf");
    QDir::setCurrent(shown);

    TExplorerForm form(services());
    auto *folders = form.findChild<DirectoryListBox *>(QStringLiteral("DirectoryListBox"));
    auto *files = form.findChild<FileListBox *>(QStringLiteral("FileListBox"));
    QVERIFY(QDir(shown).removeRecursively());

    form.RereadFileList();
    QCOMPARE(m_dialogs.lastError(),
             QStringLiteral("Cannot open directory %1: it does not exist.").arg(shown));
    QVERIFY(files->names().isEmpty());

    // The current folder is gone; following it must keep the lists usable.
    form.FollowCurrentDirectory();
    QCOMPARE(folders->directory(), shown);

    folders->openEntry(folders->entryPaths().indexOf(root));
    QCOMPARE(QDir::currentPath(), root);
    QCOMPARE(folders->directory(), root);
}

void TestExplorer::followCurrentDirectory()
{
    QTemporaryDir first;
    QTemporaryDir second;
    touch(second.filePath("there.cf"));
    QDir::setCurrent(first.path());

    TExplorerForm form(services());
    QVERIFY(form.findChild<FileListBox *>(QStringLiteral("FileListBox"))->names().isEmpty());

    QDir::setCurrent(second.path());
    form.FollowCurrentDirectory();
    QCOMPARE(form.findChild<DirectoryListBox *>(QStringLiteral("DirectoryListBox"))->directory(),
             canonical(second));
    QCOMPARE(form.findChild<FileListBox *>(QStringLiteral("FileListBox"))->names(), QStringList("there.cf"));
    QCOMPARE(form.findChild<DriveComboBox *>(QStringLiteral("DriveComboBox"))->drive(),
             DriveComboBox::driveOf(canonical(second)));
}

void TestExplorer::rereadShowsNewFile()
{
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    TExplorerForm form(services());
    auto *files = form.findChild<FileListBox *>(QStringLiteral("FileListBox"));
    QVERIFY(files->names().isEmpty());

    touch(dir.filePath("saved.cf"));
    form.FollowCurrentDirectory();
    form.RereadFileList();
    QCOMPARE(files->names(), QStringList("saved.cf"));
}

void TestExplorer::doubleClickRoutesByExtension_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("commandExtAtClick");
    QTest::addColumn<QByteArray>("signal");

    QTest::newRow("output file") << "RESULT.OUT"
                                 << ".cf" << QByteArray(SIGNAL(openOutputRequested(QString)));
    QTest::newRow("text file") << "NOTES.TXT"
                               << ".cf" << QByteArray(SIGNAL(openAnotherRequested(QString)));
    QTest::newRow("master file") << "JOBS.MST"
                                 << ".cf" << QByteArray(SIGNAL(openAnotherRequested(QString)));
    QTest::newRow("cmd after change") << "a.cmd"
                                      << ".cmd" << QByteArray(SIGNAL(openCommandRequested(QString)));
}

void TestExplorer::doubleClickRoutesByExtension()
{
    QFETCH(QString, file);
    QFETCH(QString, commandExtAtClick);
    QFETCH(QByteArray, signal);

    QTemporaryDir dir;
    const QString root = canonical(dir);
    touch(root + QLatin1Char('/') + file);
    QDir::setCurrent(root);

    TExplorerForm form(services());
    // The preferences change the extension after the window was made.
    m_settings.CommandFileExtension = commandExtAtClick;
    auto *filters = form.findChild<FilterComboBox *>(QStringLiteral("FilterComboBox"));
    filters->setCurrentIndex(filters->count() - 1);
    auto *files = form.findChild<FileListBox *>(QStringLiteral("FileListBox"));
    QCOMPARE(files->count(), 1);

    QSignalSpy chosen(&form, signal.constData());
    QSignalSpy command(&form, &TExplorerForm::openCommandRequested);
    QSignalSpy output(&form, &TExplorerForm::openOutputRequested);
    QSignalSpy another(&form, &TExplorerForm::openAnotherRequested);
    files->item(0)->setSelected(true);
    emit files->itemDoubleClicked(files->item(0));

    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen.at(0).at(0).toString(), root + QLatin1Char('/') + file);
    QCOMPARE(command.count() + output.count() + another.count(), 1);
    // The filter list keeps the extension it was made with.
    QCOMPARE(filters->itemText(0), QStringLiteral("Command Files [.cf]"));
}

void TestExplorer::doubleClickWithoutSelectionDoesNothing()
{
    QTemporaryDir dir;
    touch(dir.filePath("run.cf"));
    QDir::setCurrent(dir.path());

    TExplorerForm form(services());
    auto *files = form.findChild<FileListBox *>(QStringLiteral("FileListBox"));
    QSignalSpy command(&form, &TExplorerForm::openCommandRequested);
    QSignalSpy output(&form, &TExplorerForm::openOutputRequested);
    QSignalSpy another(&form, &TExplorerForm::openAnotherRequested);

    form.FileListDblClick();
    files->item(0)->setSelected(true);
    files->clearSelection();
    form.FileListDblClick();

    QCOMPARE(command.count() + output.count() + another.count(), 0);
    QVERIFY(m_dialogs.errors.isEmpty());
}

void TestExplorer::closingDestroysWindow()
{
    QPointer<TExplorerForm> form = new TExplorerForm(services());
    QSignalSpy destroyed(form.data(), &QObject::destroyed);
    form->show();
    QVERIFY(form->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(form.isNull());
    QCOMPARE(destroyed.count(), 1);
}

QTEST_MAIN(TestExplorer)
#include "tst_explorer.moc"
