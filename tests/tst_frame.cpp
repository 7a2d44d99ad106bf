#include "FrameFixture.h"

#include "app/MDIFrame.h"
#include "documents/MDIAnother.h"
#include "documents/MDICommand.h"
#include "documents/MDIMaster.h"
#include "documents/MDIOutput.h"
#include "documents/TextEditor.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using Answer = UserDialogs::Answer;

// The main frame: start-up, menus, closing, fonts, window arrangement, and the
// editor windows' load, save, save as, close question and edit commands.
class TestFrame : public QObject
{
    Q_OBJECT

private slots:
    void startupLayout();
    void menuBarMergesActiveChildMenus();
    void frameMenus_data();
    void frameMenus();
    void editorMenus_data();
    void editorMenus();
    void toolBarHints_data();
    void toolBarHints();
    void shortcutsReachActiveChild();
    void windowListActivatesChosen();
    void saveUntitledCancelled();
    void saveAsWritesCrLfAndUpdatesState();
    void saveAsOverExisting_data();
    void saveAsOverExisting();
    void savedBytesMatchLoadedBytes();
    void awkwardFilesLoad_data();
    void awkwardFilesLoad();
    void failedLoadShowsGeneralError();
    void failedSaveKeepsModified();
    void closeQuestion_data();
    void closeQuestion();
    void frameCloseAsksEveryChildFirst();
    void frameCloseRefusedWhileRunning();
    void yesWithCancelledSaveAsKeepsFrameOpen();
    void editMenuEnabling();
    void tabKeyPerKind();
    void fileComboFollowsWidth();
    void screenFontReachesEditors();
    void tiling();
    void aboutBox();
};

void TestFrame::startupLayout()
{
    FrameFixture f;
    TFrameForm &frame = f.frame();
    QCOMPARE(frame.CommandWindow->windowBounds(), QRect(166, 4, 421, 163));
    QCOMPARE(frame.OutputWindow->windowBounds(), QRect(166, 171, 421, 163));
    QCOMPARE(frame.mdiArea()->activeSubWindow()->widget(), frame.CommandWindow);
    QVERIFY(frame.CommandWindow->windowTitle().endsWith(QStringLiteral("[Untitled]")));
    QCOMPARE(frame.CommandWindow->windowTitle(), QStringLiteral("COMMAND - [Untitled]"));
    QCOMPARE(frame.OutputWindow->windowTitle(), QStringLiteral("OUTPUT - [Untitled]"));
    QCOMPARE(frame.statusText(), QStringLiteral("Ready."));
    QCOMPARE(frame.EnginePath, QStringLiteral("c:\\quelm63\\quelm.exe"));
    QCOMPARE(frame.HelpFilePath, QStringLiteral("c:\\quelm63\\quelm.hlp"));
    QCOMPARE(frame.CommandFileExtension, QStringLiteral(".cf"));
    QCOMPARE(frame.OutputFileExtension, QStringLiteral(".out"));
    QCOMPARE(frame.CommandWindow->SaveFileDialog.filter, QStringLiteral("Command Files [.cf]|*.cf"));
    QCOMPARE(frame.CommandWindow->SaveFileDialog.title, QStringLiteral("Save Command File"));
    QCOMPARE(frame.OutputWindow->SaveFileDialog.filter, QStringLiteral("Output Files [.out]|*.out"));
    QCOMPARE(frame.OutputWindow->SaveFileDialog.defaultExtension, QStringLiteral(".out"));
    QVERIFY(!frame.timer()->isActive());
    QCOMPARE(frame.timer()->interval(), 500);
    QVERIFY(!frame.statusBar()->isSizeGripEnabled());
    QCOMPARE(frame.windowTitle(), QStringLiteral("Ostrel"));
}

void TestFrame::menuBarMergesActiveChildMenus()
{
    FrameFixture f;
    QStringList titles;
    for (QAction *action : f.frame().menuBar()->actions())
        titles.append(action->text());
    QCOMPARE(titles, (QStringList{"&File", "&Edit", "Execute", "&Window", "&Help"}));
    // The command window's own File menu is the one shown.
    QVERIFY(f.frame().menuBar()->actions().first()->menu()->findChild<QAction *>(
        QStringLiteral("OpenMasterFile1")));
    f.frame().mdiArea()->setActiveSubWindow(
        qobject_cast<QMdiSubWindow *>(f.frame().OutputWindow->parentWidget()));
    QVERIFY(!f.frame().menuBar()->actions().first()->menu()->findChild<QAction *>(
        QStringLiteral("OpenMasterFile1")));
}

void TestFrame::frameMenus_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::newRow("run") << "RunQuelm1"
                         << "Execute Command File" << QKeySequence(Qt::Key_F7);
    QTest::newRow("tile v") << "TileVertival1"
                            << "Tile &Vertival" << QKeySequence();
    QTest::newRow("tile h") << "TileHorizontal1"
                            << "Tile &Horizontal" << QKeySequence();
    QTest::newRow("cascade") << "Cascade1"
                             << "&Cascade" << QKeySequence();
    QTest::newRow("arrange") << "Arrangeicons1"
                             << "&Arrange icons" << QKeySequence();
    QTest::newRow("about") << "About1"
                           << "&About..." << QKeySequence();
}

void TestFrame::frameMenus()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    FrameFixture f;
    auto *action = f.frame().findChild<QAction *>(name);
    QVERIFY(action);
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut(), shortcut);
}

void TestFrame::editorMenus_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::newRow("new") << "New1"
                         << "New Command File..." << QKeySequence();
    QTest::newRow("open command") << "OpenCommand1"
                                  << "Open &Command File..." << QKeySequence(Qt::Key_F2);
    QTest::newRow("open output") << "OpenOutput1"
                                 << "Open Output File..." << QKeySequence(Qt::Key_F3);
    QTest::newRow("open another") << "OpenAnotherFile1"
                                  << "Open Another File..." << QKeySequence(Qt::Key_F4);
    QTest::newRow("open master") << "OpenMasterFile1"
                                 << "Open Master File..." << QKeySequence();
    QTest::newRow("save") << "Save1"
                          << "&Save" << QKeySequence(Qt::Key_F6);
    QTest::newRow("save as") << "Saveas1"
                             << "Save &As..." << QKeySequence();
    QTest::newRow("print") << "Print1"
                           << "&Print..." << QKeySequence();
    QTest::newRow("printer setup") << "Printersetup1"
                                   << "Printer setup..." << QKeySequence();
    QTest::newRow("preferences") << "Preferences2"
                                 << "Preferences" << QKeySequence();
    QTest::newRow("exit") << "Exit1"
                          << "E&xit" << QKeySequence();
    QTest::newRow("cut") << "Cut1"
                         << "Cu&t" << QKeySequence(QStringLiteral("Ctrl+X"));
    QTest::newRow("copy") << "Copy1"
                          << "&Copy" << QKeySequence(QStringLiteral("Ctrl+C"));
    QTest::newRow("paste") << "Paste1"
                           << "&Paste" << QKeySequence(QStringLiteral("Ctrl+V"));
    QTest::newRow("select all") << "Selectall1"
                                << "Select &all" << QKeySequence(QStringLiteral("Ctrl+A"));
    QTest::newRow("screen font") << "ScreenFont1"
                                 << "&Screen Font..." << QKeySequence();
    QTest::newRow("print font") << "PrintFont1"
                                << "&Print Font..." << QKeySequence();
}

void TestFrame::editorMenus()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    FrameFixture f;
    auto *action = f.frame().CommandWindow->findChild<QAction *>(name);
    QVERIFY(action);
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut(), shortcut);
}

void TestFrame::toolBarHints_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<int>("x");
    QTest::newRow("command open") << "command"
                                  << "OpenButton"
                                  << "Open Command File|" << 5;
    QTest::newRow("command save") << "command"
                                  << "SaveButton"
                                  << "Save Command File|" << 30;
    QTest::newRow("command print") << "command"
                                   << "PrintButton"
                                   << "Print Command File" << 55;
    QTest::newRow("command cut") << "command"
                                 << "CutButton"
                                 << "Cut|" << 86;
    QTest::newRow("command copy") << "command"
                                  << "CopyButton"
                                  << "Copy|" << 111;
    QTest::newRow("command paste") << "command"
                                   << "PasteButton"
                                   << "Paste|" << 136;
    QTest::newRow("command run") << "command"
                                 << "RunQuelmButton"
                                 << "Run Quelm|" << 167;
    QTest::newRow("output open") << "output"
                                 << "OpenButton"
                                 << "Open Output File|" << 5;
    QTest::newRow("output save") << "output"
                                 << "SaveButton"
                                 << "Save Output File|" << 30;
    QTest::newRow("output print") << "output"
                                  << "PrintButton"
                                  << "Print Output File|" << 55;
    QTest::newRow("output no run") << "output"
                                   << "RunQuelmButton"
                                   << "" << 0;
}

void TestFrame::toolBarHints()
{
    QFETCH(QString, window);
    QFETCH(QString, button);
    QFETCH(QString, hint);
    QFETCH(int, x);
    FrameFixture f;
    TEditForm *form = window == QLatin1String("command") ? static_cast<TEditForm *>(f.frame().CommandWindow)
                                                         : f.frame().OutputWindow;
    auto *tool = form->findChild<QToolButton *>(button);
    if (hint.isEmpty()) {
        QVERIFY(!tool);
        return;
    }
    QVERIFY(tool);
    QCOMPARE(tool->property("hint").toString(), hint);
    QCOMPARE(tool->toolTip(), hint.section(QLatin1Char('|'), 0, 0));
    QCOMPARE(tool->geometry(), QRect(x, 5, 25, 25));
}

void TestFrame::shortcutsReachActiveChild()
{
    FrameFixture f;
    QApplication::setActiveWindow(&f.frame());
    QVERIFY(QTest::qWaitForWindowActive(&f.frame()));
    TCommandEditForm *command = f.frame().CommandWindow;
    FrameFixture::type(command, QStringLiteral("hello"));
    QTest::keyClick(command->editor(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(command->editor()->selectionLength(), 5);
    QTest::keyClick(command->editor(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("hello"));
    QTest::keyClick(command->editor(), Qt::Key_F6);
    QCOMPARE(f.dialogs.saveRequests.size(), 1);
    QCOMPARE(f.dialogs.saveRequests.first().title, QStringLiteral("Save Command File"));

    // F6 in the output window saves the output window.
    TOutputEditForm *output = f.frame().OutputWindow;
    output->bringToFront();
    output->editor()->setFocus();
    QTest::keyClick(output->editor(), Qt::Key_F6);
    QCOMPARE(f.dialogs.saveRequests.size(), 2);
    QCOMPARE(f.dialogs.saveRequests.last().title, QStringLiteral("Save Output File"));
    f.dialogs.answers.enqueue(UserDialogs::Answer::No); // the command window's text is modified
    QTest::keyClick(output->editor(), Qt::Key_F2);
    QCOMPARE(f.dialogs.questions, QStringList{"Save changes to current command file?"});
    QCOMPARE(f.dialogs.openRequests.size(), 1);
    QCOMPARE(f.dialogs.openRequests.first().title, QStringLiteral("Open Command File"));
}

void TestFrame::windowListActivatesChosen()
{
    FrameFixture f;
    auto *windowMenu = f.frame().findChild<QMenu *>(QStringLiteral("Window1"));
    emit windowMenu->aboutToShow();
    QStringList listed;
    QAction *outputEntry = nullptr;
    for (QAction *action : windowMenu->actions()) {
        if (action->isCheckable() && action->objectName().isEmpty()) {
            listed.append(action->text());
            if (action->text().contains(QStringLiteral("OUTPUT")))
                outputEntry = action;
        }
    }
    QCOMPARE(listed.size(), f.frame().mdiArea()->subWindowList().size());
    QVERIFY(outputEntry);
    outputEntry->trigger();
    QCOMPARE(f.frame().mdiArea()->activeSubWindow()->widget(), f.frame().OutputWindow);
}

void TestFrame::saveUntitledCancelled()
{
    FrameFixture f;
    TCommandEditForm *command = f.frame().CommandWindow;
    FrameFixture::type(command, QStringLiteral("x = 1"));
    QVERIFY(!command->SaveClick());
    QCOMPARE(f.dialogs.saveRequests.size(), 1);
    QCOMPARE(f.dialogs.saveRequests.first().initialName, QStringLiteral("Untitled"));
    QCOMPARE(f.dialogs.saveRequests.first().title, QStringLiteral("Save Command File"));
    QVERIFY(command->isUntitled());
    QVERIFY(command->isModified());
}

void TestFrame::saveAsWritesCrLfAndUpdatesState()
{
    FrameFixture f;
    TCommandEditForm *command = f.frame().CommandWindow;
    FrameFixture::type(command, QStringLiteral("a"));
    QTest::keyClick(command->editor(), Qt::Key_Return);
    FrameFixture::type(command, QStringLiteral("b"));
    const QString path = f.home() + QStringLiteral("/my run $x;.cf");
    f.dialogs.saveAnswers.enqueue(path);
    QVERIFY(command->SaveClick());
    QCOMPARE(f.readFile(path), QByteArray("a\r\nb"));
    QCOMPARE(command->windowTitle(), QStringLiteral("COMMAND - ") + path);
    QCOMPARE(f.frame().CommandFileName, path);
    QCOMPARE(command->fileCombo()->itemText(0), path);
    QCOMPARE(command->fileCombo()->currentIndex(), 0);
    QVERIFY(!command->isModified());

    // Saving again writes without a dialog; Save As to the same path adds a
    // second history entry.
    FrameFixture::type(command, QStringLiteral("c"));
    QVERIFY(command->SaveClick());
    QCOMPARE(f.dialogs.saveRequests.size(), 1);
    f.dialogs.saveAnswers.enqueue(path);
    f.dialogs.answers.enqueue(Answer::Yes);
    QVERIFY(command->SaveAsClick());
    QCOMPARE(command->fileCombo()->count(), 2);
}

void TestFrame::saveAsOverExisting_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("written");
    QTest::newRow("yes") << int(Answer::Yes) << true;
    QTest::newRow("no") << int(Answer::No) << false;
    QTest::newRow("cancel") << int(Answer::Cancel) << false;
}

void TestFrame::saveAsOverExisting()
{
    QFETCH(int, answer);
    QFETCH(bool, written);
    FrameFixture f;
    TOutputEditForm *output = f.frame().OutputWindow;
    const QString path = f.writeFile(QStringLiteral("old.out"), "old");
    FrameFixture::type(output, QStringLiteral("new"));
    f.dialogs.saveAnswers.enqueue(path);
    f.dialogs.answers.enqueue(Answer(answer));
    QCOMPARE(output->SaveAsClick(), written);
    QCOMPARE(f.dialogs.questions, QStringList{"Overwrite existing File?"});
    QCOMPARE(f.readFile(path), written ? QByteArray("new") : QByteArray("old"));
    QCOMPARE(output->FileName, written ? path : QStringLiteral("Untitled"));
    if (written) {
        QCOMPARE(output->windowTitle(), QStringLiteral("Output - ") + path);
        QCOMPARE(f.frame().OutputFileName, path);
    }
}

void TestFrame::savedBytesMatchLoadedBytes()
{
    FrameFixture f;
    // Windows-1252 text with CR LF line ends and a NUL byte survives a load
    // and a save unchanged.
    static const char raw[] = "caf\xe9 \x93quoted\x94\r\nline\x00two\r\n";
    const QByteArray bytes(raw, sizeof raw - 1);
    const QString path = f.writeFile(QStringLiteral("latin.txt"), bytes);
    TOutputEditForm *output = f.frame().OutputWindow;
    output->LoadFile(path);
    QCOMPARE(output->windowTitle(), QStringLiteral("latin.txt"));
    QVERIFY(!output->isModified());
    output->editor()->setModified(true);
    QVERIFY(output->SaveClick());
    QCOMPARE(f.readFile(path), bytes);

    // LF-only files come back with CR LF line ends.
    const QString lf = f.writeFile(QStringLiteral("lf.txt"), "one\ntwo\n");
    output->LoadFile(lf);
    QCOMPARE(output->editor()->lines(), (QStringList{"one", "two"}));
    QVERIFY(output->SaveClick());
    QCOMPARE(f.readFile(lf), QByteArray("one\r\ntwo\r\n"));
}

void TestFrame::awkwardFilesLoad_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray everyByte;
    for (int i = 0; i < 256; ++i)
        everyByte.append(char(i));
    everyByte.replace('\r', "").replace('\n', ""); // line ends are the one thing a save changes
    QTest::newRow("every byte value") << everyByte;
    QTest::newRow("one 5,000,000-character line") << QByteArray(5000000, 'x');
    QTest::newRow("empty") << QByteArray();
}

void TestFrame::awkwardFilesLoad()
{
    QFETCH(QByteArray, bytes);
    FrameFixture f;
    const QString path = f.writeFile(QStringLiteral("odd.bin"), bytes);
    TOutputEditForm *output = f.frame().OutputWindow;
    f.frame().OpenOutput(path);
    QVERIFY(f.dialogs.errors.isEmpty());
    // Every byte is one character on the screen.
    QCOMPARE(QString::fromUtf8(output->editor()->bytes()).size(), bytes.size());
    output->editor()->setModified(true);
    QVERIFY(output->SaveClick());
    QCOMPARE(f.readFile(path), bytes);
}

void TestFrame::failedLoadShowsGeneralError()
{
    FrameFixture f;
    const QString path = f.home() + QStringLiteral("/gone.cf");
    f.frame().OpenCommand(path);
    QCOMPARE(f.dialogs.errors.size(), 1);
    QCOMPARE(f.dialogs.errors.first().title, QStringLiteral("Ostrel"));
    QCOMPARE(f.dialogs.errors.first().text, QStringLiteral("Cannot open file ") + path + QLatin1Char('.'));
}

void TestFrame::failedSaveKeepsModified()
{
    FrameFixture f;
    TCommandEditForm *command = f.frame().CommandWindow;
    FrameFixture::type(command, QStringLiteral("x"));
    // A folder stands where the file would go, so the save cannot succeed.
    const QString path = f.home() + QStringLiteral("/folder.cf");
    QDir().mkpath(path);
    f.dialogs.saveAnswers.enqueue(path);
    f.dialogs.answers.enqueue(Answer::Yes);
    QVERIFY(!command->SaveAsClick());
    QCOMPARE(f.dialogs.lastError(), QStringLiteral("Cannot create file ") + path + QLatin1Char('.'));
    QVERIFY(command->isModified());
    QCOMPARE(command->windowTitle(), QStringLiteral("COMMAND - [Untitled]"));
}

void TestFrame::closeQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<QByteArray>("onDisk");
    QTest::newRow("cancel keeps it") << int(Answer::Cancel) << false << QByteArray("old");
    QTest::newRow("no drops changes") << int(Answer::No) << true << QByteArray("old");
    QTest::newRow("yes saves") << int(Answer::Yes) << true << QByteArray("newold");
}

void TestFrame::closeQuestion()
{
    QFETCH(int, answer);
    QFETCH(bool, closed);
    QFETCH(QByteArray, onDisk);
    FrameFixture f;
    const QString path = f.writeFile(QStringLiteral("notes.txt"), "old");
    f.frame().OpenAnother(path);
    QCOMPARE(f.frame().AnotherCount(), 1);
    QPointer<TAnotherEditForm> other = f.frame().AnotherWindows.first();
    FrameFixture::type(other, QStringLiteral("new"));
    f.dialogs.answers.enqueue(Answer(answer));
    other->parentWidget()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(f.dialogs.questions, QStringList{QStringLiteral("Save changes to %1?").arg(path)});
    QCOMPARE(other.isNull(), closed);
    QCOMPARE(f.frame().AnotherCount(), closed ? 0 : 1);
    QCOMPARE(f.readFile(path), onDisk);

    // The command window stays whatever the answer.
    FrameFixture::type(f.frame().CommandWindow, QStringLiteral("x"));
    f.dialogs.answers.enqueue(Answer::No);
    f.frame().CommandWindow->parentWidget()->close();
    QVERIFY(f.frame().CommandWindow->isVisible());
    QCOMPARE(f.dialogs.questions.last(), QStringLiteral("Save changes to Untitled?"));
}

void TestFrame::frameCloseAsksEveryChildFirst()
{
    FrameFixture f;
    FrameFixture::type(f.frame().CommandWindow, QStringLiteral("x"));
    FrameFixture::type(f.frame().OutputWindow, QStringLiteral("y"));
    f.dialogs.answers << Answer::No << Answer::Cancel;
    QVERIFY(!f.frame().close());
    QCOMPARE(f.dialogs.questions.size(), 2);
    QVERIFY(f.frame().isVisible());
}

void TestFrame::frameCloseRefusedWhileRunning()
{
    FrameFixture f;
    f.frame().EngineRunning = true;
    FrameFixture::type(f.frame().CommandWindow, QStringLiteral("x"));
    f.dialogs.answers.enqueue(Answer::No);
    QVERIFY(!f.frame().close());
    QCOMPARE(f.dialogs.questions.size(), 1);
    QCOMPARE(f.dialogs.errors.size(), 1);
    QCOMPARE(f.dialogs.errors.first().title, QStringLiteral("Close Ostrel"));
    QCOMPARE(f.dialogs.errors.first().text, QStringLiteral("Quelm is still executing"));
    QVERIFY(!QFile::exists(f.home() + QStringLiteral("/ostrel.ini")));
    f.frame().EngineRunning = false;
}

void TestFrame::yesWithCancelledSaveAsKeepsFrameOpen()
{
    FrameFixture f;
    FrameFixture::type(f.frame().CommandWindow, QStringLiteral("precious"));
    f.dialogs.answers.enqueue(Answer::Yes); // Save changes to Untitled? -> Save As, cancelled
    QVERIFY(!f.frame().close());
    QCOMPARE(f.dialogs.saveRequests.size(), 1);
    QVERIFY(f.frame().CommandWindow->isModified());
}

void TestFrame::editMenuEnabling()
{
    FrameFixture f;
    TCommandEditForm *command = f.frame().CommandWindow;
    auto *cut = command->findChild<QAction *>(QStringLiteral("Cut1"));
    auto *copy = command->findChild<QAction *>(QStringLiteral("Copy1"));
    auto *paste = command->findChild<QAction *>(QStringLiteral("Paste1"));
    FrameFixture::type(command, QStringLiteral("hello"));
    QApplication::clipboard()->clear();
    command->EditClick();
    QVERIFY(!cut->isEnabled());
    QVERIFY(!copy->isEnabled());
    command->SelectallClick();
    command->EditClick();
    QVERIFY(cut->isEnabled());
    QVERIFY(copy->isEnabled());
    command->CopyClick();
    command->EditClick();
    QVERIFY(paste->isEnabled());
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("hello"));
}

void TestFrame::tabKeyPerKind()
{
    FrameFixture f;
    TCommandEditForm *command = f.frame().CommandWindow;
    QApplication::setActiveWindow(&f.frame());
    command->editor()->setFocus();
    QTest::keyClick(command->editor(), Qt::Key_Tab);
    QCOMPARE(command->editor()->bytes(), QByteArray("\t"));

    TOutputEditForm *output = f.frame().OutputWindow;
    output->bringToFront();
    output->editor()->setFocus();
    QTest::keyClick(output->editor(), Qt::Key_Tab);
    QCOMPARE(output->editor()->bytes(), QByteArray());
}

void TestFrame::fileComboFollowsWidth()
{
    FrameFixture f;
    f.resizeOuter(QSize(700, 415));
    QCOMPARE(f.frame().OutputWindow->fileCombo()->width(), 500);
    f.frame().CommandWindow->setWindowBounds(QRect(166, 4, 600, 163));
    QCOMPARE(f.frame().CommandWindow->fileCombo()->width(), 600 - 209);
}

void TestFrame::screenFontReachesEditors()
{
    FrameFixture f;
    const QString a = f.writeFile(QStringLiteral("a.txt"), "a");
    const QString b = f.writeFile(QStringLiteral("b.txt"), "b");
    const QString c = f.writeFile(QStringLiteral("c.txt"), "c");
    f.frame().OpenAnother(a);
    f.frame().OpenAnother(b);
    f.frame().OpenAnother(c);
    const QString jobs = f.writeFile(QStringLiteral("jobs.mst"), "a.cf\r\n");
    f.dialogs.openAnswers.enqueue(jobs);
    f.frame().OpenMasterClick();
    QVERIFY(f.frame().MasterWindowOpen);
    QCOMPARE(f.frame().MasterWindow->windowTitle(), QStringLiteral("MASTER - ") + jobs);

    // Close A, then B: C moves to position 1.
    f.frame().AnotherWindows.at(0)->parentWidget()->close();
    f.frame().AnotherWindows.at(0)->parentWidget()->close();
    QCOMPARE(f.frame().AnotherCount(), 1);
    QCOMPARE(f.frame().AnotherWindows.at(0)->AnotherIndex, 1);
    QCOMPARE(f.frame().AnotherWindows.at(0)->FileName, c);

    QFont font(QStringLiteral("Times New Roman"), 17);
    f.dialogs.fontAnswers.enqueue(font);
    f.frame().ScreenFontClick();
    QCOMPARE(f.frame().CommandWindow->editor()->editorFont().pointSize(), 17);
    QCOMPARE(f.frame().OutputWindow->editor()->editorFont().pointSize(), 17);
    QCOMPARE(f.frame().AnotherWindows.at(0)->editor()->editorFont().pointSize(), 17);
    QCOMPARE(f.frame().MasterWindow->editor()->editorFont().pointSize(), 10);
}

void TestFrame::tiling()
{
    FrameFixture f;
    const QRect area = f.frame().mdiArea()->viewport()->rect();
    f.frame().TileVertical1Click();
    const QRect command = f.frame().CommandWindow->windowBounds();
    const QRect output = f.frame().OutputWindow->windowBounds();
    QCOMPARE(command.top(), output.top());
    QCOMPARE(command.height(), area.height());
    QVERIFY(command.right() < output.left());
    f.frame().TileHorizontal1Click();
    QCOMPARE(f.frame().CommandWindow->windowBounds().width(), area.width());
    QVERIFY(f.frame().CommandWindow->windowBounds().bottom() < f.frame().OutputWindow->windowBounds().top());

    // Minimised windows line up along the bottom, side by side.
    QWidget *commandSub = f.frame().CommandWindow->parentWidget();
    QWidget *outputSub = f.frame().OutputWindow->parentWidget();
    commandSub->showMinimized();
    outputSub->showMinimized();
    commandSub->move(300, 10);
    f.frame().Arrangeicons1Click();
    QCOMPARE(commandSub->geometry().bottom(), area.bottom());
    QCOMPARE(outputSub->geometry().bottom(), area.bottom());
    QCOMPARE(qMin(commandSub->x(), outputSub->x()), 0);
    QCOMPARE(qAbs(commandSub->x() - outputSub->x()), commandSub->width());
}

void TestFrame::aboutBox()
{
    FrameFixture f;
    QTimer::singleShot(0, [] {
        QWidget *box = QApplication::activeModalWidget();
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), QStringLiteral("About Ostrel"));
        QCOMPARE(box->size(), QSize(255, 139));
        QTest::keyClick(box, Qt::Key_Escape);
    });
    QTimer failSafe;
    failSafe.setSingleShot(true);
    connect(&failSafe, &QTimer::timeout, [] {
        if (QWidget *box = QApplication::activeModalWidget())
            box->close();
    });
    failSafe.start(2000);
    f.frame().AboutClick();
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(TestFrame)
#include "tst_frame.moc"
