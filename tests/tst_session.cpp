#include "FrameFixture.h"
#include "UserInput.h"

#include "app/MDIFrame.h"
#include "core/RecentFiles.h"
#include "documents/MDIAnother.h"
#include "documents/MDICommand.h"
#include "documents/MDIMaster.h"
#include "documents/MDIOutput.h"
#include "editor/TextEditor.h"
#include "explorer/MDIExplorer.h"
#include "help/MDIHelp.h"

#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QtTest>

namespace {

QByteArray numberedLines(int count)
{
    QByteArray text;
    for (int i = 1; i <= count; ++i)
        text += "line " + QByteArray::number(i) + "\r\n";
    return text;
}

// Ctrl+L, the line, Enter: where the user leaves the caret.
void goToLine(TFrameForm &frame, TEditForm *window, int line)
{
    QVERIFY(UserInput::focusText(frame, window));
    QVERIFY(UserInput::pressKey(Qt::Key_L, Qt::ControlModifier));
    QVERIFY(UserInput::typeText(QString::number(line)));
    QVERIFY(UserInput::pressKey(Qt::Key_Return));
}

QWidget *activeChild(TFrameForm &frame)
{
    QMdiSubWindow *active = frame.mdiArea()->activeSubWindow();
    return active ? active->widget() : nullptr;
}

// The Recent Files menu of a window's File menu, as it shows when opened.
QMenu *recentMenu(QWidget *window)
{
    auto *menu = window->findChild<QMenu *>(QStringLiteral("RecentFiles1"));
    emit menu->aboutToShow();
    return menu;
}

QStringList itemTexts(const QMenu *menu, bool enabledOnly = false)
{
    QStringList texts;
    for (const QAction *item : menu->actions()) {
        if (!item->isSeparator() && (item->isEnabled() || !enabledOnly))
            texts.append(item->text());
    }
    return texts;
}

} // namespace

// What the program remembers beside ostrel.ini: the windows of the last
// session and the files last opened.
class TestSession : public QObject
{
    Q_OBJECT

private slots:
    void windowsComeBack();
    void recentFiles();
};

// A day's work ends; the next start brings it back, without the file that
// went in between, and --no-session starts without it.
void TestSession::windowsComeBack()
{
    QTemporaryDir home;
    QString notes;
    QString gone;
    QString master;
    {
        FrameFixture f({}, QByteArray(), home.path(), {}, true);
        TFrameForm &frame = f.frame();
        frame.HelpFilePath =
            f.writeFile(QStringLiteral("quelm.hlp"), "##alpha\r\nfirst\r\n##beta\r\nsecond\r\n");
        frame.OpenCommand(f.writeFile(QStringLiteral("run.cf"), numberedLines(300)));
        goToLine(frame, frame.CommandWindow(), 150);
        master = f.writeFile(QStringLiteral("study.mst"), "run.cf\r\n");
        f.dialogs.openAnswers.enqueue(master);
        frame.OpenMasterClick();
        gone = f.writeFile(QStringLiteral("gone.txt"), "soon gone\r\n");
        frame.OpenAnother(gone);
        notes = f.writeFile(QStringLiteral("notes.txt"), numberedLines(500));
        frame.OpenAnother(notes);
        goToLine(frame, frame.AnotherWindows().constLast(), 400);
        frame.KeyWordHelpClick(QStringLiteral("beta"));
        UserInput::pickComboEntry(
            frame.ExplorerWindow()->findChild<QComboBox *>(QStringLiteral("FilterComboBox")), 2);
        frame.findChild<QAction *>(QStringLiteral("RunLog1"))->trigger();
        frame.showMaximized();
        frame.AnotherWindows().constLast()->bringToFront();
        QVERIFY(frame.close());
    }
    QVERIFY(QFile::remove(gone));

    {
        FrameFixture f({}, QByteArray(), home.path(), {}, true);
        TFrameForm &frame = f.frame();
        QVERIFY(frame.isMaximized());
        QCOMPARE(frame.CommandWindow()->editor()->caretLine(), 149);
        QVERIFY(frame.MasterWindow());
        QCOMPARE(frame.MasterWindow()->FileName, master);
        QCOMPARE(frame.AnotherWindows().size(), 1);
        TAnotherEditForm *other = frame.AnotherWindows().constFirst();
        QCOMPARE(other->FileName, notes);
        QCOMPARE(other->editor()->caretLine(), 399);
        // The same lines in view as at the end.
        QVERIFY(other->editor()->firstVisibleLine() > 300);
        QCOMPARE(activeChild(frame), other);
        QVERIFY(frame.HelpWindowOpen());
        QCOMPARE(frame.HelpWindow()->keyWordCombo()->currentText(), QStringLiteral("beta"));
        QCOMPARE(frame.ExplorerWindow()->filterIndex(), 2);
        QVERIFY(frame.runLogDock()->isVisible());
        QVERIFY2(frame.statusNote().contains(QStringLiteral("gone.txt")), qPrintable(frame.statusNote()));
        QVERIFY(!frame.statusNote().contains(QStringLiteral("notes.txt")));
    }

    // A file named on the command line wins where it routes: its own place,
    // one window, in front.
    {
        FrameFixture named({notes + QStringLiteral(":20")}, QByteArray(), home.path(), {}, true);
        QCOMPARE(named.frame().AnotherWindows().size(), 1);
        QCOMPARE(named.frame().AnotherWindows().constFirst()->editor()->caretLine(), 19);
        QCOMPARE(activeChild(named.frame()), named.frame().AnotherWindows().constFirst());
    }
    FrameFixture bare({}, QByteArray(), home.path(), {}, false);
    QVERIFY(!bare.frame().MasterWindowOpen());
    QVERIFY(bare.frame().AnotherWindows().isEmpty());
    QVERIFY(!bare.frame().HelpWindowOpen());
    QCOMPARE(bare.frame().CommandWindow()->editor()->caretLine(), 0);
}

// Files opened in any editor window are listed newest first, in every
// window's File menu; a gone one cannot be picked; Clear List empties it.
void TestSession::recentFiles()
{
    FrameFixture f;
    TFrameForm &frame = f.frame();
    const QString first = f.writeFile(QStringLiteral("a/run.cf"), "1\r\n");
    const QString output = f.writeFile(QStringLiteral("a/run.out"), "2\r\n");
    const QString notes = f.writeFile(QStringLiteral("notes & more.txt"), "n\r\n");
    const QString master = f.writeFile(QStringLiteral("study.mst"), "run.cf\r\n");
    const QString second = f.writeFile(QStringLiteral("b/RUN.cf"), "3\r\n");
    frame.OpenCommand(first);
    frame.OpenOutput(output);
    frame.OpenAnother(notes);
    f.dialogs.openAnswers.enqueue(master);
    frame.OpenMasterClick();
    frame.OpenCommand(second);

    const QString folderA = QDir::toNativeSeparators(QFileInfo(first).absolutePath());
    const QString folderB = QDir::toNativeSeparators(QFileInfo(second).absolutePath());
    const QStringList listed{QStringLiteral("&1 RUN.cf \u2014 ") + folderB, QStringLiteral("&2 study.mst"),
                             QStringLiteral("&3 notes && more.txt"),        QStringLiteral("&4 run.out"),
                             QStringLiteral("&5 run.cf \u2014 ") + folderA, QStringLiteral("Clear List")};
    const QList<QWidget *> windows{frame.CommandWindow(), frame.ExplorerWindow(), frame.MasterWindow()};
    for (QWidget *window : windows)
        QCOMPARE(itemTexts(recentMenu(window)), listed);

    QVERIFY(QFile::remove(notes));
    QVERIFY(!itemTexts(recentMenu(frame.OutputWindow()), true).contains(listed.at(2)));

    // The master file goes back into the master window.
    frame.MasterWindow()->parentWidget()->close();
    QVERIFY(!frame.MasterWindowOpen());
    recentMenu(frame.ExplorerWindow())->actions().at(1)->trigger();
    QVERIFY(frame.MasterWindowOpen());
    QCOMPARE(frame.MasterWindow()->FileName, master);
    // The others where a double-click in the explorer opens them.
    recentMenu(frame.CommandWindow())->actions().at(4)->trigger();
    QCOMPARE(frame.CommandWindow()->FileName, first);
    QCOMPARE(itemTexts(recentMenu(frame.CommandWindow())).constFirst(),
             QStringLiteral("&1 run.cf \u2014 ") + folderA);

    recentMenu(frame.CommandWindow())->findChild<QAction *>(QStringLiteral("ClearRecentFiles1"))->trigger();
    QCOMPARE(itemTexts(recentMenu(frame.CommandWindow()), true), QStringList());

    // Twenty are kept, newest first.
    QList<RecentFiles::Entry> entries;
    for (int i = 0; i < 25; ++i)
        entries = RecentFiles::afterOpen(entries, {QStringLiteral("/f%1").arg(i)});
    QCOMPARE(entries.size(), RecentFiles::MaxEntries);
    QCOMPARE(entries.constFirst().path, QStringLiteral("/f24"));
    QCOMPARE(entries.constLast().path, QStringLiteral("/f5"));
}

QTEST_MAIN(TestSession)
#include "tst_session.moc"
