#include "FrameFixture.h"
#include "RunHelpers.h"
#include "UserInput.h"

#include "app/MDIFrame.h"
#include "core/MessagePlaces.h"
#include "documents/MDIAnother.h"
#include "documents/MDICommand.h"
#include "documents/MDIOutput.h"
#include "editor/MessageMarks.h"
#include "editor/TextEditor.h"
#include "engine/LaunchScript.h"

#include <QDockWidget>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QtTest>

using namespace RunHelpers;

namespace {

// An engine that writes these lines to standard error, as a compiler would.
void makeComplainingEngine(FrameFixture &f, const QByteArray &lines)
{
    makeEngine(f, "printf '" + lines + "' >&2\n");
}

std::vector<int> marksOf(TEditForm *window)
{
    return MessageMarks::of(*window->editor()).markedLines();
}

int caretColumn(TEditForm *window)
{
    int line = 0;
    int index = 0;
    window->editor()->getCursorPosition(&line, &index);
    return index;
}

// Double-clicks the Run Log's line that starts with start, once it is shown.
bool doubleClickLogLine(TFrameForm &frame, const QString &start)
{
    auto *view = frame.runLogDock()->findChild<QPlainTextEdit *>(QStringLiteral("RunLogText"));
    QTextBlock block;
    const auto find = [&] {
        block = view->document()->firstBlock();
        while (block.isValid() && !block.text().startsWith(start))
            block = block.next();
        return view->isVisible() && block.isValid();
    };
    if (!QTest::qWaitFor(find, EndTimeout))
        return false;
    const QTextCursor cursor(block);
    view->setTextCursor(cursor);
    view->ensureCursorVisible();
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->cursorRect(cursor).center());
    return true;
}

} // namespace

// From an engine's message to the line it names: the forms recognised, the
// Run Log's lines as ways to their places, and stepping through a run's
// messages.
class TestMessages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void messageForms_data();
    void messageForms();
    void runLogLineLeadsToItsPlace();
    void outputLineLeadsToItsPlace_data();
    void outputLineLeadsToItsPlace();
    void nextMessageThroughTwoFiles();
    void duringARunOnlyTheShownFiles();
};

void TestMessages::initTestCase()
{
    if (LaunchScript::platformShell() != LaunchScript::Shell::Posix)
        QSKIP("the engines here are scripts for /bin/sh");
}

void TestMessages::messageForms_data()
{
    QTest::addColumn<QString>("userPattern");
    QTest::addColumn<QString>("text");
    // An empty problem: the pattern is taken. A line of 0: nothing found.
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");

    const QString none;
    QTest::newRow("file:line:") << none << "interest.cf:3: syntax error" << none << "interest.cf" << 3 << 0;
    QTest::newRow("file:line:column:")
        << none << "  sub dir/a b.cf:12:7: unexpected ;" << none << "sub dir/a b.cf" << 12 << 7;
    QTest::newRow("file(line):") << none << "model.cf(4): unknown name" << none << "model.cf" << 4 << 0;
    QTest::newRow("file(line,column):")
        << none << "C:\\proj\\m.cf(4, 9): warning" << none << "C:\\proj\\m.cf" << 4 << 9;
    QTest::newRow("line N") << none << "Error near line 5: missing value" << none << "" << 5 << 0;
    QTest::newRow("user's form") << "^ERR (?<file>\\S+) @(?<line>\\d+)/(?<column>\\d+)"
                                 << "ERR deck.cf @8/2 no such card" << none << "deck.cf" << 8 << 2;
    QTest::newRow("user's form without file") << "^\\*\\*\\* (?<line>\\d+)"
                                              << "*** 17 overflow" << none << "" << 17 << 0;
    QTest::newRow("time of day") << none << "12:30:45 started" << none << "" << 0 << 0;
    QTest::newRow("run log header") << none << "2026-12-09 12:45:00  /tmp/a.cf" << none << "" << 0 << 0;
    QTest::newRow("bc's runtime error")
        << none << "Runtime error (func=(main), adr=8): Divide by zero" << none << "" << 0 << 0;
    QTest::newRow("address") << none << "see http://host:8080/x" << none << "" << 0 << 0;
    QTest::newRow("line 0") << none << "a.cf:0: nothing" << none << "" << 0 << 0;
    QTest::newRow("invalid pattern") << "(?<line>\\d+"
                                     << "12 x"
                                     << "Not a regular expression"
                                     << "" << 0 << 0;
    QTest::newRow("pattern without line") << "(?<file>\\w+)"
                                          << "abc"
                                          << "no group named line"
                                          << "" << 0 << 0;
}

void TestMessages::messageForms()
{
    QFETCH(QString, userPattern);
    QFETCH(QString, text);
    QFETCH(QString, problem);
    QFETCH(QString, file);
    QFETCH(int, line);
    QFETCH(int, column);

    if (!userPattern.isEmpty())
        QVERIFY(MessagePatterns::problemWith(userPattern).contains(problem));
    const MessagePatterns patterns(userPattern.isEmpty() ? QStringList() : QStringList{userPattern});
    const std::optional<MessagePlace> place = patterns.find(text);
    QCOMPARE(place.has_value(), line > 0);
    if (!place)
        return;
    QCOMPARE(place->file, file);
    QCOMPARE(place->line, line);
    QCOMPARE(place->column, column);
}

// A double-click on a message in the Run Log opens the file it names,
// relative to the run's folder, in a window of its own (it is no command or
// output file), caret on the line and column.
void TestMessages::runLogLineLeadsToItsPlace()
{
    FrameFixture f;
    TFrameForm &frame = f.frame();
    const QString model =
        f.writeFile(QStringLiteral("run/lib/model.inc"), "one\r\ntwo\r\nthree x\r\nfour\r\n");
    makeComplainingEngine(f, "lib/model.inc:3:7: unknown name x\\n");
    openCommand(f, QStringLiteral("run/main.cf"));
    frame.ExecQuelm();
    QVERIFY(runEnded(frame));

    QVERIFY(doubleClickLogLine(frame, QStringLiteral("lib/model.inc")));
    QCOMPARE(frame.AnotherCount(), 1);
    TAnotherEditForm *window = frame.AnotherWindows().first();
    QCOMPARE(window->FileName, model);
    QCOMPARE(window->editor()->caretLine(), 2);
    QCOMPARE(caretColumn(window), 6);
    QCOMPARE(marksOf(window), std::vector<int>{3});
}

void TestMessages::outputLineLeadsToItsPlace_data()
{
    QTest::addColumn<bool>("afterRun");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("caretLine");
    QTest::newRow("Ctrl+Enter") << true << Qt::KeyboardModifiers(Qt::ControlModifier) << 2;
    QTest::newRow("Enter during the run") << false << Qt::KeyboardModifiers() << 2;
    QTest::newRow("Enter after the run stays a line end") << true << Qt::KeyboardModifiers() << 0;
}

void TestMessages::outputLineLeadsToItsPlace()
{
    QFETCH(bool, afterRun);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, caretLine);
    FrameFixture f;
    makeEngine(f, "printf 'result\\nmain.cf:3: here\\n'\n" + WaitForGo);
    const QString main = openCommand(f, QStringLiteral("main.cf"), "a\r\nb\r\nc\r\n");
    f.frame().ExecQuelm();
    TOutputEditForm *output = f.frame().OutputWindow();
    QTRY_VERIFY(output->editor()->text().contains(QStringLiteral("here")));
    if (afterRun) {
        letGo(main);
        QVERIFY(runEnded(f.frame()));
    }
    QVERIFY(UserInput::focusText(f.frame(), output));
    output->editor()->setCursorPosition(1, 4);
    QVERIFY(UserInput::pressKey(Qt::Key_Return, modifiers));
    QCOMPARE(f.frame().CommandWindow()->editor()->caretLine(), caretLine);
    letGo(main);
    QVERIFY(runEnded(f.frame()));
}

// F8 goes through the run's messages in order, opening the file of one that
// no window shows; the marks show where they are; Shift+F8 goes back.
void TestMessages::nextMessageThroughTwoFiles()
{
    FrameFixture f;
    TFrameForm &frame = f.frame();
    const QString notes = f.writeFile(QStringLiteral("notes.txt"), "alpha\nbeta\n");
    makeComplainingEngine(
        f, "main.cf:2: first\\nnotes.txt:2: second\\nmain.cf:4: third\\nmain.cf:99: past the end\\n"
           "gone.txt:1: lost\\n");
    openCommand(f, QStringLiteral("main.cf"), "a\r\nb\r\nc\r\nd\r\n");
    frame.ExecQuelm();
    QVERIFY(runEnded(frame));
    TCommandEditForm *command = frame.CommandWindow();
    QCOMPARE(marksOf(command), (std::vector<int>{2, 4}));

    // A line added above the messages' lines moves them and their marks.
    QVERIFY(UserInput::focusText(frame, command));
    command->editor()->setCursorPosition(0, 0);
    QVERIFY(UserInput::pressKey(Qt::Key_Return));
    QCOMPARE(marksOf(command), (std::vector<int>{3, 5}));
    QVERIFY(UserInput::pressKey(Qt::Key_F8));
    QCOMPARE(command->editor()->caretLine(), 2);
    QVERIFY(frame.statusText().endsWith(QStringLiteral("first")));

    QVERIFY(UserInput::pressKey(Qt::Key_F8));
    QCOMPARE(frame.AnotherCount(), 1);
    TAnotherEditForm *other = frame.AnotherWindows().first();
    QCOMPARE(other->FileName, notes);
    QCOMPARE(other->editor()->caretLine(), 1);
    QCOMPARE(marksOf(other), std::vector<int>{2});

    QVERIFY(UserInput::pressKey(Qt::Key_F8));
    QCOMPARE(command->editor()->caretLine(), 4);
    QVERIFY(UserInput::pressKey(Qt::Key_F8));
    QVERIFY2(frame.statusText().contains(QStringLiteral("line 99")), qPrintable(frame.statusText()));
    QCOMPARE(command->editor()->caretLine(), 4);
    QVERIFY(UserInput::pressKey(Qt::Key_F8));
    QVERIFY2(frame.statusText().contains(QStringLiteral("gone")), qPrintable(frame.statusText()));

    QVERIFY(UserInput::pressKey(Qt::Key_F8, Qt::ShiftModifier));
    QVERIFY(UserInput::pressKey(Qt::Key_F8, Qt::ShiftModifier));
    QCOMPARE(command->editor()->caretLine(), 4);
    QVERIFY(UserInput::pressKey(Qt::Key_F8, Qt::ShiftModifier));
    QCOMPARE(frame.AnotherCount(), 1);
    QCOMPARE(other->editor()->caretLine(), 1);

    // The next run starts afresh.
    makeComplainingEngine(f, "");
    frame.ExecQuelm();
    QVERIFY(runEnded(frame));
    QVERIFY(marksOf(command).empty());
}

// While a run holds the command window, a message on its file moves the
// caret there; one on another command file does not open it, and says why.
void TestMessages::duringARunOnlyTheShownFiles()
{
    FrameFixture f;
    TFrameForm &frame = f.frame();
    f.writeFile(QStringLiteral("other.cf"), "x\r\n");
    makeEngine(f, "printf 'main.cf:3: held\\nother.cf:1: elsewhere\\n' >&2\n" + WaitForGo);
    const QString main = openCommand(f, QStringLiteral("main.cf"), "a\r\nb\r\nc\r\n");
    frame.ExecQuelm();
    QVERIFY(frame.EngineRunning());

    QVERIFY(doubleClickLogLine(frame, QStringLiteral("main.cf:3")));
    QCOMPARE(frame.CommandWindow()->editor()->caretLine(), 2);
    QVERIFY(doubleClickLogLine(frame, QStringLiteral("other.cf:1")));
    QCOMPARE(frame.CommandWindow()->FileName, main);
    QVERIFY2(frame.statusNote().startsWith(QStringLiteral("Not opened while Quelm runs")),
             qPrintable(frame.statusNote()));
    letGo(main);
    QVERIFY(runEnded(frame));
}

QTEST_MAIN(TestMessages)
#include "tst_messages.moc"
