#include "FrameFixture.h"
#include "RunHelpers.h"
#include "UserInput.h"

#include "app/MDIFrame.h"
#include "documents/MDIAnother.h"
#include "documents/MDICommand.h"
#include "documents/MDIOutput.h"
#include "editor/TextEditor.h"
#include "engine/LaunchScript.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

using Answer = UserDialogs::Answer;
using UserInput::pressKey;
using UserInput::typeText;

namespace {

QMdiSubWindow *frameOf(TEditForm *window)
{
    return qobject_cast<QMdiSubWindow *>(window->parentWidget());
}

// The Window menu's entry of a window, as the menu shows it when opened.
QString windowListEntry(TFrameForm &frame, const QString &captionPart)
{
    auto *menu = frame.findChild<QMenu *>(QStringLiteral("Window1"));
    emit menu->aboutToShow();
    for (QAction *action : menu->actions()) {
        if (action->isCheckable() && action->objectName().isEmpty() && action->text().contains(captionPart))
            return action->text();
    }
    return QString();
}

QAction *editItem(TEditForm *window, const char *name)
{
    auto *menu = window->findChild<QMenu *>(QStringLiteral("Edit2"));
    // The items are brought up to date as the menu opens.
    emit menu->aboutToShow();
    return menu->findChild<QAction *>(QLatin1String(name));
}

void clickMenuItem(QMenu *menu, QAction *item)
{
    menu->popup(QPoint(0, 0));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
    QTRY_VERIFY(!menu->isVisible());
}

long lineNumberWidth(TextEditor *editor)
{
    return editor->SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, 0L);
}

long widthOf(TextEditor *editor, const char *text)
{
    return editor->SendScintilla(QsciScintillaBase::SCI_TEXTWIDTH,
                                 static_cast<uintptr_t>(QsciScintillaBase::STYLE_LINENUMBER), text);
}

// The key letter of a caption ("&&" is an "&"), or none.
QChar mnemonicOf(const QString &caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) != QLatin1Char('&'))
            continue;
        if (caption.at(i + 1) != QLatin1Char('&'))
            return caption.at(i + 1).toLower();
        ++i;
    }
    return QChar();
}

// Items of one menu that share a key letter, one list a letter.
QList<QStringList> sharedMnemonics(const QList<QAction *> &items)
{
    QMap<QChar, QStringList> byLetter;
    for (QAction *item : items) {
        if (item->isSeparator() || !item->isVisible())
            continue;
        const QChar letter = mnemonicOf(item->text());
        if (!letter.isNull())
            byLetter[letter].append(item->text());
    }
    QList<QStringList> shared;
    for (const QStringList &captions : std::as_const(byLetter)) {
        if (captions.size() > 1)
            shared.append(captions);
    }
    return shared;
}

void dropFiles(QWidget *target, const QStringList &paths, bool accepted = true)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    data.setUrls(urls);
    const QPoint middle = target->rect().center();
    QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QCOMPARE(enter.isAccepted(), accepted);
    if (!accepted)
        return;
    QDropEvent drop(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QVERIFY(drop.isAccepted());
}

} // namespace

// What every editor window does beyond the described commands: undo and redo,
// the unsaved mark, line numbers, the second shortcuts, the menus' key
// letters, and files dropped on the frame.
class TestEditing : public QObject
{
    Q_OBJECT

private slots:
    void undoBackToSavedTextClearsMark();
    void loadingStartsFreshUndoHistory();
    void undoItemsFollowUndoState();
    void lineNumbersForAllWindowsAcrossStarts();
    void secondShortcuts_data();
    void secondShortcuts();
    void noMenuSharesKeyLetters();
    void dropOpensFilesOneAfterAnother();
    void dropOnTextGoesToFrame();
    void dropDuringRunLeavesRunWindows();
};

void TestEditing::undoBackToSavedTextClearsMark()
{
    FrameFixture f;
    const QString path = f.writeFile(QStringLiteral("run.cf"), "1+1\r\n");
    f.frame().OpenCommand(path);
    TCommandEditForm *window = f.frame().CommandWindow();
    QMdiSubWindow *frame = frameOf(window);
    const QString caption = QStringLiteral("COMMAND - ") + path;
    QVERIFY(UserInput::focusText(f.frame(), window));

    const auto marked = [&] {
        // The caption never changes; the window's frame and its Window menu
        // entry carry the mark.
        if (window->windowTitle() != caption || frame->windowTitle() != caption + QStringLiteral("[*]"))
            return QStringLiteral("caption changed");
        const QString entry = windowListEntry(f.frame(), QStringLiteral("COMMAND"));
        if (entry.endsWith(QLatin1Char('*')) != frame->isWindowModified())
            return QStringLiteral("window list disagrees");
        return frame->isWindowModified() ? QStringLiteral("marked") : QStringLiteral("clean");
    };
    QCOMPARE(marked(), QStringLiteral("clean"));
    typeText(QStringLiteral("a"));
    QCOMPARE(marked(), QStringLiteral("marked"));
    QCOMPARE(windowListEntry(f.frame(), QStringLiteral("COMMAND")), QStringLiteral("&2 ") + caption + '*');
    pressKey(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(marked(), QStringLiteral("clean"));
    pressKey(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(marked(), QStringLiteral("marked"));
    pressKey(Qt::Key_F6);
    QCOMPARE(marked(), QStringLiteral("clean"));
    QCOMPARE(f.readFile(path), QByteArray("a1+1\r\n"));
    // Undone past the save, the text differs from the file again.
    pressKey(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(marked(), QStringLiteral("marked"));
    pressKey(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(marked(), QStringLiteral("clean"));
    QCOMPARE(window->editor()->text(), QStringLiteral("a1+1\r\n"));
}

void TestEditing::loadingStartsFreshUndoHistory()
{
    FrameFixture f;
    TCommandEditForm *window = f.frame().CommandWindow();
    QVERIFY(UserInput::focusText(f.frame(), window));
    typeText(QStringLiteral("typed before"));
    f.dialogs.answers.enqueue(Answer::No);
    f.dialogs.openAnswers.enqueue(f.writeFile(QStringLiteral("run.cf"), "1+1\r\n"));
    pressKey(Qt::Key_F2);
    QCOMPARE(window->editor()->text(), QStringLiteral("1+1\r\n"));
    QVERIFY(!editItem(window, "Undo1")->isEnabled());
    window->editor()->setFocus();
    pressKey(Qt::Key_Z, Qt::ControlModifier);
    // Nothing of the text before the load comes back.
    QCOMPARE(window->editor()->text(), QStringLiteral("1+1\r\n"));
    QVERIFY(!window->isModified());
}

void TestEditing::undoItemsFollowUndoState()
{
    FrameFixture f;
    TOutputEditForm *window = f.frame().OutputWindow();
    QVERIFY(UserInput::focusText(f.frame(), window));
    const auto state = [window] {
        return QStringLiteral("%1 %2")
            .arg(editItem(window, "Undo1")->isEnabled() ? "undo" : "-")
            .arg(editItem(window, "Redo1")->isEnabled() ? "redo" : "-");
    };
    QCOMPARE(state(), QStringLiteral("- -"));
    typeText(QStringLiteral("ab"));
    QCOMPARE(state(), QStringLiteral("undo -"));
    pressKey(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(state(), QStringLiteral("- redo"));
    // The menu's own items do what the keys do.
    editItem(window, "Redo1")->trigger();
    QCOMPARE(window->editor()->text(), QStringLiteral("ab"));
    QCOMPARE(state(), QStringLiteral("undo -"));
}

void TestEditing::lineNumbersForAllWindowsAcrossStarts()
{
    QTemporaryDir home;
    {
        FrameFixture f({}, QByteArray(), home.path());
        f.frame().OpenAnother(f.writeFile(QStringLiteral("notes.txt"), "notes\r\n"));
        const QList<TEditForm *> windows{f.frame().CommandWindow(), f.frame().OutputWindow(),
                                         f.frame().AnotherWindows().constFirst()};
        for (TEditForm *window : windows) {
            QVERIFY(editItem(window, "LineNumbers1")->isChecked());
            // Room for three digits, not for a million.
            QVERIFY(lineNumberWidth(window->editor()) > widthOf(window->editor(), "999"));
            QVERIFY(lineNumberWidth(window->editor()) < widthOf(window->editor(), "1000000"));
        }
        // A million lines: the margin is as wide as the last number needs,
        // and grows when typing adds a digit.
        TEditForm *output = windows.at(1);
        output->LoadFile(f.writeFile(QStringLiteral("million.out"), QByteArray(999999, '\n')));
        QVERIFY(lineNumberWidth(output->editor()) > widthOf(output->editor(), "1000000"));
        QVERIFY(UserInput::focusText(f.frame(), windows.at(2)));
        const long narrow = lineNumberWidth(windows.at(2)->editor());
        for (int line = 0; line < 1000; ++line)
            UserInput::pressKey(Qt::Key_Return);
        QTRY_VERIFY(lineNumberWidth(windows.at(2)->editor()) > widthOf(windows.at(2)->editor(), "1000"));
        QVERIFY(lineNumberWidth(windows.at(2)->editor()) > narrow);
        auto *menu = f.frame().CommandWindow()->findChild<QMenu *>(QStringLiteral("Edit2"));
        clickMenuItem(menu, menu->findChild<QAction *>(QStringLiteral("LineNumbers1")));
        for (TEditForm *window : windows) {
            QVERIFY(!editItem(window, "LineNumbers1")->isChecked());
            QCOMPARE(lineNumberWidth(window->editor()), 0L);
        }
    }
    // The next start keeps the choice; the settings file knows nothing of it.
    FrameFixture f({}, QByteArray(), home.path());
    QVERIFY(!editItem(f.frame().CommandWindow(), "LineNumbers1")->isChecked());
    QCOMPARE(lineNumberWidth(f.frame().CommandWindow()->editor()), 0L);
    QVERIFY(!f.readFile(QDir(home.path()).filePath(QStringLiteral("ostrel.ini"))).contains("Line"));
}

void TestEditing::secondShortcuts_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("effect");
    const auto key = [](Qt::KeyboardModifiers modifiers, Qt::Key pressed) {
        return QKeyCombination(modifiers, pressed).toCombined();
    };
    QTest::newRow("Ctrl+S") << key(Qt::ControlModifier, Qt::Key_S) << "save";
    QTest::newRow("F6") << key({}, Qt::Key_F6) << "save";
    QTest::newRow("Ctrl+O") << key(Qt::ControlModifier, Qt::Key_O) << "open";
    QTest::newRow("F2") << key({}, Qt::Key_F2) << "open";
    QTest::newRow("Ctrl+P") << key(Qt::ControlModifier, Qt::Key_P) << "print";
    QTest::newRow("Ctrl+Q") << key(Qt::ControlModifier, Qt::Key_Q) << "exit";
}

void TestEditing::secondShortcuts()
{
    QFETCH(int, key);
    QFETCH(QString, effect);
    FrameFixture f;
    QVERIFY(UserInput::focusText(f.frame(), f.frame().CommandWindow()));
    const QKeyCombination combination = QKeyCombination::fromCombined(key);
    pressKey(combination.key(), combination.keyboardModifiers());

    QStringList effects;
    if (!f.dialogs.saveRequests.isEmpty())
        effects.append(QStringLiteral("save"));
    if (!f.dialogs.openRequests.isEmpty() &&
        f.dialogs.openRequests.first().title == QStringLiteral("Open Command File"))
        effects.append(QStringLiteral("open"));
    if (f.dialogs.printRequests > 0)
        effects.append(QStringLiteral("print"));
    if (!f.frame().isVisible())
        effects.append(QStringLiteral("exit"));
    QCOMPARE(effects, QStringList{effect});
}

void TestEditing::noMenuSharesKeyLetters()
{
    FrameFixture f;
    // One window of every kind, the Window menu's list past nine entries, and
    // an "&" in a caption.
    f.frame().HelpFilePath = f.writeFile(QStringLiteral("quelm.hlp"), "##sqrt\r\nSquare root.\r\n");
    f.frame().Contents1Click();
    f.dialogs.openAnswers.enqueue(f.writeFile(QStringLiteral("jobs.mst"), "a.cf\r\n"));
    f.frame().OpenMasterClick();
    f.frame().OpenAnother(f.writeFile(QStringLiteral("R&D notes.txt"), "notes\r\n"));
    for (int i = 0; i < 6; ++i)
        f.frame().OpenAnother(f.writeFile(QStringLiteral("other%1.txt").arg(i), "x\r\n"));
    QVERIFY(f.frame().mdiArea()->subWindowList().size() > 9);

    // Letters the fixed captions share already: those of the description
    // (Paste, Print Font) and those the editor's commands were given.
    const QList<QStringList> fixed{{"&Paste", "&Print Font...", "Find &Previous"},
                                   {"&Redo", "&Replace..."},
                                   {"Find &Next", "Line &Numbers"}};
    const auto allowed = [&fixed](const QStringList &captions) {
        return std::any_of(fixed.begin(), fixed.end(), [&captions](const QStringList &group) {
            return std::all_of(captions.begin(), captions.end(),
                               [&group](const QString &caption) { return group.contains(caption); });
        });
    };
    for (QMdiSubWindow *sub : f.frame().mdiArea()->subWindowList()) {
        f.frame().mdiArea()->setActiveSubWindow(sub);
        QList<QMenu *> menus;
        const QList<QAction *> bar = f.frame().menuBar()->actions();
        for (QAction *title : bar)
            menus.append(title->menu());
        for (const QStringList &captions : sharedMnemonics(bar))
            QFAIL(qPrintable(QStringLiteral("menu bar: ") + captions.join(QStringLiteral(", "))));
        while (!menus.isEmpty()) {
            QMenu *menu = menus.takeFirst();
            emit menu->aboutToShow();
            for (QAction *item : menu->actions()) {
                if (item->menu())
                    menus.append(item->menu());
            }
            for (const QStringList &captions : sharedMnemonics(menu->actions())) {
                if (!allowed(captions))
                    QFAIL(qPrintable(sub->widget()->windowTitle() + QStringLiteral(", ") + menu->title() +
                                     QStringLiteral(": ") + captions.join(QStringLiteral(", "))));
            }
        }
    }
}

void TestEditing::dropOpensFilesOneAfterAnother()
{
    FrameFixture f;
    const QString command = f.writeFile(QStringLiteral("drop/a.cf"), "1+1\r\n");
    const QString output = f.writeFile(QStringLiteral("drop/b.out"), "2\r\n");
    const QString text = f.writeFile(QStringLiteral("drop/c.txt"), "c\r\n");
    const QString master = f.writeFile(QStringLiteral("drop/d.mst"), "a.cf\r\n");
    const QString folder = QDir(f.home()).filePath(QStringLiteral("drop/folder.cf"));
    QVERIFY(QDir().mkpath(folder));
    FrameFixture::type(f.frame().CommandWindow(), QStringLiteral("x"));
    f.dialogs.answers.enqueue(Answer::No);

    dropFiles(&f.frame(), {command, folder, output, text, master});
    QTRY_COMPARE(f.frame().AnotherCount(), 2);
    // As a double-click in the explorer: the modified command window asked
    // first; what is neither a command nor an output file opens in a window
    // of its own, a master file too.
    QCOMPARE(f.dialogs.questions, QStringList{"Save changes to current command file?"});
    QCOMPARE(f.frame().CommandWindow()->FileName, command);
    QCOMPARE(f.frame().OutputWindow()->FileName, output);
    QCOMPARE(f.frame().AnotherWindows().at(0)->FileName, text);
    QCOMPARE(f.frame().AnotherWindows().at(1)->FileName, master);
    QVERIFY(!f.frame().MasterWindowOpen());

    // Folders alone are nothing to drop.
    dropFiles(&f.frame(), {folder}, false);
}

void TestEditing::dropOnTextGoesToFrame()
{
    FrameFixture f;
    const QString text = f.writeFile(QStringLiteral("c.txt"), "c\r\n");
    TextEditor *editor = f.frame().CommandWindow()->editor();
    dropFiles(editor->viewport(), {text});
    QTRY_COMPARE(f.frame().AnotherCount(), 1);
    QCOMPARE(f.frame().AnotherWindows().constFirst()->FileName, text);
    // The file's name did not go into the text.
    QCOMPARE(editor->text(), QString());
}

// A run holds the command and output windows, so a drop cannot put other
// files there meanwhile; the rest of the drop opens, and the status line says
// why the held files did not until the run has ended.
void TestEditing::dropDuringRunLeavesRunWindows()
{
    if (LaunchScript::platformShell() != LaunchScript::Shell::Posix)
        QSKIP("the engine here is a shell script for /bin/sh");
    FrameFixture f;
    RunHelpers::makeEngine(f, RunHelpers::WaitForGo + "\necho done\n");
    const QString command = RunHelpers::openCommand(f, QStringLiteral("run.cf"));
    f.frame().ExecQuelm();

    dropFiles(&f.frame(),
              {f.writeFile(QStringLiteral("a.cf"), "1\r\n"), f.writeFile(QStringLiteral("b.out"), "2\r\n"),
               f.writeFile(QStringLiteral("c.txt"), "3\r\n")});
    QTRY_COMPARE(f.frame().AnotherCount(), 1);
    QCOMPARE(f.frame().CommandWindow()->FileName, command);
    QVERIFY(f.frame().OutputWindow()->isUntitled());
    QVERIFY(f.frame().statusNote().endsWith(QStringLiteral("the command and output windows: a.cf, b.out.")));
    RunHelpers::letGo(command);
    QVERIFY(RunHelpers::runEnded(f.frame()));
    QCOMPARE(f.frame().statusNote(), QString());
}

QTEST_MAIN(TestEditing)
#include "tst_editing.moc"
