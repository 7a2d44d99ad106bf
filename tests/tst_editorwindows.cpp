#include "FrameFixture.h"
#include "UserInput.h"

#include "app/MDIFrame.h"
#include "documents/MDIAnother.h"
#include "documents/MDICommand.h"
#include "documents/MDIMaster.h"
#include "documents/MDIOutput.h"
#include "editor/TextEditor.h"
#include "ui/StatusProgress.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using Answer = UserDialogs::Answer;

namespace {

// Types into the editor with the focus, as a keyboard does.
void typeInto(TEditForm *window, const QString &text)
{
    QApplication::setActiveWindow(window->window());
    window->editor()->setFocus();
    QTest::keyClicks(QApplication::focusWidget(), text);
}

void pressIn(TEditForm *window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QApplication::setActiveWindow(window->window());
    window->editor()->setFocus();
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

} // namespace

// The editor windows: their menus and tool bars, load, save, save as, the
// close question and the edit commands.
class TestEditorWindows : public QObject
{
    Q_OBJECT

private slots:
    void editorMenus_data();
    void editorMenus();
    void toolBarHints_data();
    void toolBarHints();
    void saveUntitledCancelled();
    void saveAsWritesCrLfAndUpdatesState();
    void saveAsOverExisting_data();
    void saveAsOverExisting();
    void savedBytesMatchLoadedBytes();
    void awkwardFilesLoad_data();
    void awkwardFilesLoad();
    void failedLoadShowsGeneralError();
    void longOpenShowsProgress_data();
    void longOpenShowsProgress();
    void failedSaveKeepsModified();
    void failedSaveAsKeepsTheWindowsFile_data();
    void failedSaveAsKeepsTheWindowsFile();
    void closeQuestion_data();
    void closeQuestion();
    void editMenuEnabling();
    void tabKeyPerKind();
    void fileComboFollowsWidth();
    void undoBackToSavedTextIsUnmodified_data();
    void undoBackToSavedTextIsUnmodified();
    void screenReaderHearsEdits_data();
    void screenReaderHearsEdits();
};

void TestEditorWindows::editorMenus_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    // Every key of the item, the described one first.
    QTest::addColumn<QString>("shortcuts");
    QTest::newRow("new") << "New1"
                         << "New Command File..."
                         << "";
    QTest::newRow("open command") << "OpenCommand1"
                                  << "Open &Command File..."
                                  << "F2; Ctrl+O";
    QTest::newRow("open output") << "OpenOutput1"
                                 << "Open Output File..."
                                 << "F3";
    QTest::newRow("open another") << "OpenAnotherFile1"
                                  << "Open Another File..."
                                  << "F4";
    QTest::newRow("open master") << "OpenMasterFile1"
                                 << "Open Master File..."
                                 << "";
    QTest::newRow("save") << "Save1"
                          << "&Save"
                          << "F6; Ctrl+S";
    QTest::newRow("save as") << "Saveas1"
                             << "Save &As..."
                             << "";
    QTest::newRow("print") << "Print1"
                           << "&Print..."
                           << "Ctrl+P";
    QTest::newRow("printer setup") << "Printersetup1"
                                   << "Printer setup..."
                                   << "";
    QTest::newRow("preferences") << "Preferences2"
                                 << "Preferences"
                                 << "";
    QTest::newRow("exit") << "Exit1"
                          << "E&xit"
                          << "Ctrl+Q";
    QTest::newRow("cut") << "Cut1"
                         << "Cu&t"
                         << "Ctrl+X";
    QTest::newRow("copy") << "Copy1"
                          << "&Copy"
                          << "Ctrl+C";
    QTest::newRow("paste") << "Paste1"
                           << "&Paste"
                           << "Ctrl+V";
    QTest::newRow("select all") << "Selectall1"
                                << "Select &all"
                                << "Ctrl+A";
    QTest::newRow("screen font") << "ScreenFont1"
                                 << "&Screen Font..."
                                 << "";
    QTest::newRow("print font") << "PrintFont1"
                                << "&Print Font..."
                                << "";
    QTest::newRow("undo") << "Undo1"
                          << "&Undo"
                          << "Ctrl+Z";
    QTest::newRow("redo") << "Redo1"
                          << "&Redo"
                          << "Ctrl+Y; Ctrl+Shift+Z";
    QTest::newRow("find") << "Find1"
                          << "&Find..."
                          << "Ctrl+F";
    QTest::newRow("find next") << "FindNext1"
                               << "Find &Next"
                               << "Ctrl+G";
    QTest::newRow("find previous") << "FindPrevious1"
                                   << "Find &Previous"
                                   << "Ctrl+Shift+G";
    QTest::newRow("replace") << "Replace1"
                             << "&Replace..."
                             << "Ctrl+H";
    QTest::newRow("go to line") << "GoToLine1"
                                << "&Go to Line..."
                                << "Ctrl+L";
    QTest::newRow("line numbers") << "LineNumbers1"
                                  << "Line &Numbers"
                                  << "";
}

void TestEditorWindows::editorMenus()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, shortcuts);
    FrameFixture f;
    auto *action = f.frame().CommandWindow()->findChild<QAction *>(name);
    QVERIFY(action);
    QCOMPARE(action->text(), caption);
    QCOMPARE(QKeySequence::listToString(action->shortcuts()), shortcuts);
}

void TestEditorWindows::toolBarHints_data()
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
    QTest::newRow("command stop") << "command"
                                  << "StopQuelmButton"
                                  << "Stop Quelm|" << 192;
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
    QTest::newRow("output no stop") << "output"
                                    << "StopQuelmButton"
                                    << "" << 0;
}

void TestEditorWindows::toolBarHints()
{
    QFETCH(QString, window);
    QFETCH(QString, button);
    QFETCH(QString, hint);
    QFETCH(int, x);
    FrameFixture f;
    TEditForm *form = window == QLatin1String("command") ? static_cast<TEditForm *>(f.frame().CommandWindow())
                                                         : f.frame().OutputWindow();
    auto *tool = form->findChild<QToolButton *>(button);
    if (hint.isEmpty()) {
        QVERIFY(!tool);
        return;
    }
    QVERIFY(tool);
    QCOMPARE(UserInput::hintOf(tool), hint);
    QCOMPARE(tool->toolTip(), hint.section(QLatin1Char('|'), 0, 0));
    QCOMPARE(tool->geometry(), QRect(x, 5, 25, 25));
}

void TestEditorWindows::saveUntitledCancelled()
{
    FrameFixture f;
    TCommandEditForm *command = f.frame().CommandWindow();
    FrameFixture::type(command, QStringLiteral("x = 1"));
    QVERIFY(!command->SaveClick());
    QCOMPARE(f.dialogs.saveRequests.size(), 1);
    QCOMPARE(f.dialogs.saveRequests.first().initialName, QStringLiteral("Untitled"));
    QCOMPARE(f.dialogs.saveRequests.first().title, QStringLiteral("Save Command File"));
    QVERIFY(command->isUntitled());
    QVERIFY(command->isModified());
}

void TestEditorWindows::saveAsWritesCrLfAndUpdatesState()
{
    FrameFixture f;
    TCommandEditForm *command = f.frame().CommandWindow();
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

void TestEditorWindows::saveAsOverExisting_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("written");
    QTest::newRow("yes") << int(Answer::Yes) << true;
    QTest::newRow("no") << int(Answer::No) << false;
    QTest::newRow("cancel") << int(Answer::Cancel) << false;
}

void TestEditorWindows::saveAsOverExisting()
{
    QFETCH(int, answer);
    QFETCH(bool, written);
    FrameFixture f;
    TOutputEditForm *output = f.frame().OutputWindow();
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

void TestEditorWindows::savedBytesMatchLoadedBytes()
{
    FrameFixture f;
    // Windows-1252 text with CR LF line ends and a NUL byte survives a load
    // and a save unchanged.
    static const char raw[] = "caf\xe9 \x93quoted\x94\r\nline\x00two\r\n";
    const QByteArray bytes(raw, sizeof raw - 1);
    const QString path = f.writeFile(QStringLiteral("latin.txt"), bytes);
    TOutputEditForm *output = f.frame().OutputWindow();
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

void TestEditorWindows::awkwardFilesLoad_data()
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

void TestEditorWindows::awkwardFilesLoad()
{
    QFETCH(QByteArray, bytes);
    FrameFixture f;
    const QString path = f.writeFile(QStringLiteral("odd.bin"), bytes);
    TOutputEditForm *output = f.frame().OutputWindow();
    f.frame().OpenOutput(path);
    QVERIFY(f.dialogs.errors.isEmpty());
    // Every byte is one character on the screen.
    QCOMPARE(QString::fromUtf8(output->editor()->bytes()).size(), bytes.size());
    output->editor()->setModified(true);
    QVERIFY(output->SaveClick());
    QCOMPARE(f.readFile(path), bytes);
}

void TestEditorWindows::failedLoadShowsGeneralError()
{
    FrameFixture f;
    const QString path = f.home() + QStringLiteral("/gone.cf");
    f.frame().OpenCommand(path);
    QCOMPARE(f.dialogs.errors.size(), 1);
    QCOMPARE(f.dialogs.errors.first().title, QStringLiteral("Ostrel"));
    QCOMPARE(f.dialogs.errors.first().text, QStringLiteral("Cannot open file ") + path + QLatin1Char('.'));
}

void TestEditorWindows::longOpenShowsProgress_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("cancel") << "cancel";
    QTest::newRow("escape") << "escape";
    QTest::newRow("wait") << "wait";
}

void TestEditorWindows::longOpenShowsProgress()
{
    QFETCH(QString, action);
    FrameFixture f;
    TCommandEditForm *window = f.frame().CommandWindow();
    const QString old = f.writeFile(QStringLiteral("old.cf"), "old text\r\n");
    f.frame().OpenCommand(old);
    const QString caption = window->windowTitle();
    const QByteArray bigText = QByteArray(78, 'x').append("\r\n").repeated(50000);
    const QString big = f.writeFile(QStringLiteral("big.cf"), bigText);
    // Every open takes long enough here.
    auto *progress = f.frame().findChild<StatusProgress *>();
    QVERIFY(progress);
    progress->setShowAfter(0);

    // The user acts while the file is read: the bar has shown by then.
    bool shown = false;
    QTimer user;
    user.setInterval(0);
    connect(&user, &QTimer::timeout, this, [&] {
        if (!progress->isVisible())
            return;
        shown = true;
        user.stop();
        // Meanwhile the program takes no other command.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F3);
        if (action == QLatin1String("cancel"))
            QTest::mouseClick(progress->findChild<QPushButton *>(QStringLiteral("CancelButton")),
                              Qt::LeftButton);
        else if (action == QLatin1String("escape"))
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
    user.start();
    f.dialogs.openAnswers.enqueue(big);
    pressIn(window, Qt::Key_F2);

    QVERIFY(shown);
    QVERIFY(!progress->isVisible());
    QVERIFY(f.dialogs.errors.isEmpty());
    QCOMPARE(f.dialogs.openRequests.size(), 1);
    if (action == QLatin1String("wait")) {
        QCOMPARE(window->FileName, big);
        QCOMPARE(window->editor()->bytes(), bigText);
        return;
    }
    // Called off: the window shows its file as before.
    QCOMPARE(window->editor()->text(), QStringLiteral("old text\r\n"));
    QCOMPARE(window->FileName, old);
    QCOMPARE(window->windowTitle(), caption);
    QCOMPARE(f.frame().CommandFileName, old);
}

void TestEditorWindows::failedSaveKeepsModified()
{
    FrameFixture f;
    TCommandEditForm *command = f.frame().CommandWindow();
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

void TestEditorWindows::failedSaveAsKeepsTheWindowsFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("command") << "command";
    QTest::newRow("output") << "output";
    QTest::newRow("other") << "other";
}

// A Save As that could not write leaves the window on its own file: name,
// caption, history and the frame's file name; the next Save (F6) writes
// there.
void TestEditorWindows::failedSaveAsKeepsTheWindowsFile()
{
    QFETCH(QString, kind);
    FrameFixture f;
    TFrameForm &frame = f.frame();
    const QString path = f.writeFile(QStringLiteral("kept.") + kind, "old\r\n");
    TEditForm *window = nullptr;
    if (kind == QLatin1String("command")) {
        frame.OpenCommand(path);
        window = frame.CommandWindow();
    } else if (kind == QLatin1String("output")) {
        frame.OpenOutput(path);
        window = frame.OutputWindow();
    } else {
        frame.OpenAnother(path);
        window = frame.AnotherWindows().constLast();
    }
    const QString caption = window->windowTitle();
    const QStringList history = window->historyEntries();
    const QString commandFile = frame.CommandFileName;
    const QString outputFile = frame.OutputFileName;
    FrameFixture::type(window, QStringLiteral("new "));
    const QString target = f.home() + QStringLiteral("/missing folder/renamed.txt");
    f.dialogs.saveAnswers.enqueue(target);

    QVERIFY(!window->SaveAsClick());

    QCOMPARE(f.dialogs.lastError(), QStringLiteral("Cannot create file ") + target + QLatin1Char('.'));
    QCOMPARE(window->FileName, path);
    QCOMPARE(window->windowTitle(), caption);
    QCOMPARE(window->historyEntries(), history);
    QCOMPARE(frame.CommandFileName, commandFile);
    QCOMPARE(frame.OutputFileName, outputFile);
    QVERIFY(window->isModified());

    QApplication::setActiveWindow(&frame);
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    window->editor()->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
    QCOMPARE(f.readFile(path), QByteArray("new old\r\n"));
    QVERIFY(!QFile::exists(target));
}

void TestEditorWindows::closeQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<QByteArray>("onDisk");
    QTest::newRow("cancel keeps it") << int(Answer::Cancel) << false << QByteArray("old");
    QTest::newRow("no drops changes") << int(Answer::No) << true << QByteArray("old");
    QTest::newRow("yes saves") << int(Answer::Yes) << true << QByteArray("newold");
}

void TestEditorWindows::closeQuestion()
{
    QFETCH(int, answer);
    QFETCH(bool, closed);
    QFETCH(QByteArray, onDisk);
    FrameFixture f;
    const QString path = f.writeFile(QStringLiteral("notes.txt"), "old");
    f.frame().OpenAnother(path);
    QCOMPARE(f.frame().AnotherCount(), 1);
    QPointer<TAnotherEditForm> other = f.frame().AnotherWindows().first();
    FrameFixture::type(other, QStringLiteral("new"));
    f.dialogs.answers.enqueue(Answer(answer));
    other->parentWidget()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(f.dialogs.questions, QStringList{QStringLiteral("Save changes to %1?").arg(path)});
    QCOMPARE(other.isNull(), closed);
    QCOMPARE(f.frame().AnotherCount(), closed ? 0 : 1);
    QCOMPARE(f.readFile(path), onDisk);

    // The command window stays whatever the answer.
    FrameFixture::type(f.frame().CommandWindow(), QStringLiteral("x"));
    f.dialogs.answers.enqueue(Answer::No);
    f.frame().CommandWindow()->parentWidget()->close();
    QVERIFY(f.frame().CommandWindow()->isVisible());
    QCOMPARE(f.dialogs.questions.last(), QStringLiteral("Save changes to Untitled?"));
}

void TestEditorWindows::editMenuEnabling()
{
    FrameFixture f;
    TCommandEditForm *command = f.frame().CommandWindow();
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

void TestEditorWindows::tabKeyPerKind()
{
    FrameFixture f;
    TCommandEditForm *command = f.frame().CommandWindow();
    QApplication::setActiveWindow(&f.frame());
    command->editor()->setFocus();
    QTest::keyClick(command->editor(), Qt::Key_Tab);
    QCOMPARE(command->editor()->bytes(), QByteArray("\t"));

    TOutputEditForm *output = f.frame().OutputWindow();
    output->bringToFront();
    output->editor()->setFocus();
    QTest::keyClick(output->editor(), Qt::Key_Tab);
    QCOMPARE(output->editor()->bytes(), QByteArray());
}

void TestEditorWindows::fileComboFollowsWidth()
{
    FrameFixture f;
    f.resizeOuter(QSize(700, 415));
    QCOMPARE(f.frame().OutputWindow()->fileCombo()->width(), 500);
    // The command window's history stands right of the Stop button.
    TCommandEditForm *command = f.frame().CommandWindow();
    command->setWindowBounds(QRect(166, 4, 600, 163));
    QCOMPARE(command->fileCombo()->x(), 225);
    QCOMPARE(command->fileCombo()->width(), 600 - 234);
    QCOMPARE(f.frame().OutputWindow()->fileCombo()->x(), 200);
}

void TestEditorWindows::undoBackToSavedTextIsUnmodified_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("small file") << QByteArray("x = 1\r\ny = 2\r\n");
    QByteArray large;
    while (large.size() < 3 * 1024 * 1024)
        large += "a line of output, long enough to fill three megabytes soon\r\n";
    QTest::newRow("3 MB file, no style bytes") << large;
}

void TestEditorWindows::undoBackToSavedTextIsUnmodified()
{
    QFETCH(QByteArray, bytes);
    FrameFixture f;
    const QString path = f.writeFile(QStringLiteral("undo.cf"), bytes);
    f.frame().OpenCommand(path);
    TCommandEditForm *command = f.frame().CommandWindow();
    // The loaded text is no edit: undo leaves it whole.
    pressIn(command, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(command->editor()->bytes(), bytes);
    QVERIFY(!command->isModified());

    pressIn(command, Qt::Key_End, Qt::ControlModifier);
    typeInto(command, QStringLiteral("ab"));
    QVERIFY(command->isModified());
    // Typing is undone as one step.
    pressIn(command, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(!command->isModified());
    QCOMPARE(command->editor()->bytes(), bytes);

    // A save makes a new point to come back to.
    pressIn(command, Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(command->isModified());
    QVERIFY(command->SaveClick());
    QVERIFY(!command->isModified());
    typeInto(command, QStringLiteral("c"));
    QVERIFY(command->isModified());
    pressIn(command, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(!command->isModified());
    QCOMPARE(f.readFile(path), bytes + "ab");
}

void TestEditorWindows::screenReaderHearsEdits_data()
{
    QTest::addColumn<QString>("screenReader");
    QTest::newRow("started before the file is opened") << "before";
    QTest::newRow("started with the file open") << "later";
    QTest::newRow("none") << "none";
}

void TestEditorWindows::screenReaderHearsEdits()
{
    QFETCH(QString, screenReader);
    const bool listening = screenReader != QLatin1String("none");
    const auto restore = qScopeGuard([] { QAccessible::setActive(false); });
    FrameFixture f;
    if (screenReader == QLatin1String("before"))
        QAccessible::setActive(true);
    // Characters of two and three bytes: a screen reader counts characters.
    const QString text = QStringLiteral("caf\u00e9 \u20ac\r\nline two\r\n");
    f.frame().OpenOutput(f.writeFile(QStringLiteral("heard.out"), text.toUtf8()));
    TOutputEditForm *output = f.frame().OutputWindow();
    if (screenReader == QLatin1String("later"))
        QAccessible::setActive(true);
    pressIn(output, Qt::Key_End, Qt::ControlModifier);
    // QScintilla tells a screen reader of an edit from the modification
    // events, which give textChanged() too.
    QSignalSpy edits(output->editor(), &QsciScintilla::textChanged);
    typeInto(output, QStringLiteral("x"));

    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(output->editor());
    QVERIFY(accessible);
    QCOMPARE(accessible->textInterface() != nullptr, listening);
    QCOMPARE(!edits.isEmpty(), listening);
    if (!listening)
        return;
    QCOMPARE(accessible->textInterface()->characterCount(), int(text.size()) + 1);
    QCOMPARE(accessible->textInterface()->text(0, 6), QStringLiteral("caf\u00e9 \u20ac"));
}

QTEST_MAIN(TestEditorWindows)
#include "tst_editorwindows.moc"
