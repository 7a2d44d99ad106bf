#include "FrameFixture.h"

#include "app/MDIFrame.h"
#include "app/PrefDialog.h"
#include "documents/MDICommand.h"
#include "documents/MDIOutput.h"
#include "editor/TextEditor.h"
#include "explorer/DirectoryListBox.h"
#include "explorer/FileListBox.h"
#include "explorer/MDIExplorer.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QtTest>

using Answer = UserDialogs::Answer;

namespace {

QString shownFolder(TFrameForm &frame)
{
    return frame.ExplorerWindow()
        ->findChild<DirectoryListBox *>(QStringLiteral("DirectoryListBox"))
        ->directory();
}

// Selects a file in the explorer's file list and double-clicks it.
void doubleClick(TFrameForm &frame, const QString &name)
{
    auto *files = frame.ExplorerWindow()->findChild<FileListBox *>(QStringLiteral("FileListBox"));
    files->reread();
    const QList<QListWidgetItem *> found = files->findItems(name, Qt::MatchExactly);
    QVERIFY(!found.isEmpty());
    files->setCurrentItem(found.first());
    frame.ExplorerWindow()->FileListDblClick();
}

} // namespace

// The explorer as part of the frame: start-up, the View Current Directory
// toggle, the settings file, following the current folder, double-clicks.
class TestFrameExplorer : public QObject
{
    Q_OBJECT

private slots:
    void startupPlacesExplorer();
    void viewCurrentDirectoryToggles();
    void settingsCloseExplorer();
    void openElsewhereMovesExplorer();
    void doubleClickRoutesByExtension_data();
    void doubleClickRoutesByExtension();
    void doubleClickAsksBeforeReplacing_data();
    void doubleClickAsksBeforeReplacing();
    void changedExtensionRoutesNewFiles();
};

void TestFrameExplorer::startupPlacesExplorer()
{
    FrameFixture f;
    QVERIFY(f.frame().ExplorerWindowOpen());
    QCOMPARE(f.frame().ExplorerWindow()->parentWidget()->geometry(), QRect(4, 4, 158, 330));
    QVERIFY(f.frame().findChild<QAction *>(QStringLiteral("ViewCurrentDir1"))->isChecked());
    QCOMPARE(shownFolder(f.frame()), QDir::currentPath());
}

void TestFrameExplorer::viewCurrentDirectoryToggles()
{
    FrameFixture f;
    auto *toggle = f.frame().findChild<QAction *>(QStringLiteral("ViewCurrentDir1"));
    f.frame().ViewCurrentDir1Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!f.frame().ExplorerWindowOpen());
    QVERIFY(!toggle->isChecked());
    QCOMPARE(f.frame().mdiArea()->subWindowList().size(), 2);

    f.frame().ViewCurrentDir1Click();
    QVERIFY(f.frame().ExplorerWindowOpen());
    QVERIFY(toggle->isChecked());
    QCOMPARE(f.frame().ExplorerWindow()->parentWidget()->geometry(), QRect(4, 4, 158, 330));
}

void TestFrameExplorer::settingsCloseExplorer()
{
    QByteArray written;
    {
        FrameFixture f;
        f.frame().ViewCurrentDir1Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(f.frame().close());
        written = f.readFile(f.home() + QStringLiteral("/ostrel.ini"));
    }
    QVERIFY(written.contains("[Explorer Window Size]\r\n0 0 0 0\r\n[Quelm Files]"));
    FrameFixture again({}, written);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!again.frame().ExplorerWindowOpen());
    QVERIFY(!again.frame().findChild<QAction *>(QStringLiteral("ViewCurrentDir1"))->isChecked());
}

void TestFrameExplorer::openElsewhereMovesExplorer()
{
    FrameFixture f;
    const QString path = f.writeFile(QStringLiteral("elsewhere/run.cf"), "1");
    f.frame().OpenCommand(path);
    QCOMPARE(shownFolder(f.frame()), QFileInfo(path).absolutePath());

    // Save As into another folder re-reads the file list there.
    const QString saved = f.home() + QStringLiteral("/other place/new.out");
    QDir().mkpath(QFileInfo(saved).absolutePath());
    f.dialogs.saveAnswers.enqueue(saved);
    QDir::setCurrent(QFileInfo(saved).absolutePath());
    QVERIFY(f.frame().OutputWindow()->SaveAsClick());
    QCOMPARE(shownFolder(f.frame()), QFileInfo(saved).absolutePath());
    auto *files = f.frame().ExplorerWindow()->findChild<FileListBox *>(QStringLiteral("FileListBox"));
    QVERIFY(files->names().isEmpty()); // the filter shows command files only
}

void TestFrameExplorer::doubleClickRoutesByExtension_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("window");
    QTest::newRow("command") << "RUN.CF"
                             << "command";
    QTest::newRow("output") << "RESULT.OUT"
                            << "output";
    QTest::newRow("text") << "NOTES.TXT"
                          << "another";
    QTest::newRow("master file") << "JOBS.MST"
                                 << "another";
}

void TestFrameExplorer::doubleClickRoutesByExtension()
{
    QFETCH(QString, name);
    QFETCH(QString, window);
    FrameFixture f;
    const QString path = f.writeFile(name, "data");
    QDir::setCurrent(f.home());
    f.frame().showCurrentFolderInExplorer(false);
    f.frame()
        .ExplorerWindow()
        ->findChild<FileListBox *>(QStringLiteral("FileListBox"))
        ->setMask(QStringLiteral("*"));
    doubleClick(f.frame(), name);
    QCOMPARE(f.frame().CommandFileName, window == QLatin1String("command") ? path : QString());
    QCOMPARE(f.frame().OutputFileName, window == QLatin1String("output") ? path : QString());
    QCOMPARE(f.frame().AnotherCount(), window == QLatin1String("another") ? 1 : 0);
    QVERIFY(f.dialogs.questions.isEmpty());
}

void TestFrameExplorer::doubleClickAsksBeforeReplacing_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("cancel") << int(Answer::Cancel) << false;
    QTest::newRow("no") << int(Answer::No) << true;
}

void TestFrameExplorer::doubleClickAsksBeforeReplacing()
{
    QFETCH(int, answer);
    QFETCH(bool, replaced);
    FrameFixture f;
    const QString path = f.writeFile(QStringLiteral("RESULT.OUT"), "result");
    QDir::setCurrent(f.home());
    f.frame().showCurrentFolderInExplorer(false);
    f.frame()
        .ExplorerWindow()
        ->findChild<FileListBox *>(QStringLiteral("FileListBox"))
        ->setMask(QStringLiteral("*"));
    FrameFixture::type(f.frame().OutputWindow(), QStringLiteral("unsaved"));
    f.dialogs.answers.enqueue(Answer(answer));
    doubleClick(f.frame(), QStringLiteral("RESULT.OUT"));
    QCOMPARE(f.dialogs.questions, QStringList{"Save changes to current output file?"});
    QCOMPARE(f.frame().OutputWindow()->editor()->bytes(),
             replaced ? QByteArray("result") : QByteArray("unsaved"));
}

void TestFrameExplorer::changedExtensionRoutesNewFiles()
{
    FrameFixture f;
    const QString path = f.writeFile(QStringLiteral("job.cmd"), "2");
    f.dialogs.onPreferences = [](TPrefDialogForm &dialog) {
        PrefValues values = dialog.values();
        values.commandFileExtension = QStringLiteral(".cmd");
        dialog.setValues(values);
        return true;
    };
    f.frame().PreferencesClick();
    QDir::setCurrent(f.home());
    f.frame().showCurrentFolderInExplorer(false);
    auto *filters = f.frame().ExplorerWindow()->findChild<QComboBox *>(QStringLiteral("FilterComboBox"));
    QCOMPARE(filters->itemText(0), QStringLiteral("Command Files [.cf]"));
    f.frame()
        .ExplorerWindow()
        ->findChild<FileListBox *>(QStringLiteral("FileListBox"))
        ->setMask(QStringLiteral("*"));
    doubleClick(f.frame(), QStringLiteral("job.cmd"));
    QCOMPARE(f.frame().CommandFileName, path);

    // A new explorer offers the new extension.
    f.frame().ViewCurrentDir1Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    f.frame().ViewCurrentDir1Click();
    filters = f.frame().ExplorerWindow()->findChild<QComboBox *>(QStringLiteral("FilterComboBox"));
    QCOMPARE(filters->itemText(0), QStringLiteral("Command Files [.cmd]"));
}

QTEST_MAIN(TestFrameExplorer)
#include "tst_frameexplorer.moc"
