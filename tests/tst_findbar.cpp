#include "FrameFixture.h"
#include "UserInput.h"

#include "app/MDIFrame.h"
#include "documents/MDICommand.h"
#include "editor/TextEditor.h"
#include "search/GoToLine.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QtTest>

using UserInput::pressKey;
using UserInput::typeText;

namespace {

// The Scintilla position of a character index in text.
long bytePosition(const QString &text, int characters)
{
    return long(text.left(characters).toUtf8().size());
}

long selectionStart(TextEditor *editor)
{
    return editor->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART);
}

QString focusName()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

} // namespace

// Find and replace, go to line, and the keys that must not change the text,
// all through the keyboard and the bars' own widgets.
class TestFindBar : public QObject
{
    Q_OBJECT

private slots:
    void find_data();
    void find();
    void emptyMatchesMoveOn();
    void escapeClosesBarAndFocusesText();
    void findNextWithBarClosed();
    void replaceAll_data();
    void replaceAll();
    void replaceOneAtATime();
    void goToLine_data();
    void goToLine();
    void parseLine_data();
    void parseLine();
    void keysThatMustNotChangeText_data();
    void keysThatMustNotChangeText();

private:
    // Opens text in the command window and puts the focus in it.
    TCommandEditForm *openText(FrameFixture &f, const QString &text);
    // Sets the find bar's options by clicking them, then clicks the find box
    // again.
    void setOptions(TEditForm *window, bool matchCase, bool wholeWord, bool regularExpression, bool wrap);
};

TCommandEditForm *TestFindBar::openText(FrameFixture &f, const QString &text)
{
    f.frame().OpenCommand(f.writeFile(QStringLiteral("text.cf"), text.toUtf8()));
    TCommandEditForm *window = f.frame().CommandWindow();
    if (!UserInput::focusText(f.frame(), window))
        qWarning("the text did not get the focus");
    return window;
}

void TestFindBar::setOptions(TEditForm *window, bool matchCase, bool wholeWord, bool regularExpression,
                             bool wrap)
{
    const QList<QPair<QString, bool>> wanted{{QStringLiteral("MatchCase"), matchCase},
                                             {QStringLiteral("WholeWord"), wholeWord},
                                             {QStringLiteral("RegularExpression"), regularExpression},
                                             {QStringLiteral("WrapAround"), wrap}};
    for (const auto &[name, on] : wanted) {
        auto *box = window->findChild<QAbstractButton *>(name);
        QVERIFY(box);
        if (box->isChecked() != on)
            QTest::mouseClick(box, Qt::LeftButton);
        QCOMPARE(box->isChecked(), on);
    }
    QTest::mouseClick(window->findChild<QLineEdit *>(QStringLiteral("FindText")), Qt::LeftButton);
    QCOMPARE(focusName(), QStringLiteral("FindText"));
}

void TestFindBar::find_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("search");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<bool>("regularExpression");
    QTest::addColumn<bool>("wrap");
    QTest::addColumn<int>("caret");
    QTest::addColumn<bool>("forward");
    // The character where the selected match starts, -1 for none.
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("message");

    const QString none;
    QTest::newRow("any case") << "ALPHA alpha"
                              << "alpha" << false << false << false << true << 0 << true << 0 << "ALPHA"
                              << none;
    QTest::newRow("match case") << "ALPHA alpha"
                                << "alpha" << true << false << false << true << 0 << true << 6 << "alpha"
                                << none;
    QTest::newRow("inside a word") << "concat cat"
                                   << "cat" << false << false << false << true << 0 << true << 3 << "cat"
                                   << none;
    QTest::newRow("whole word") << "concat cat"
                                << "cat" << false << true << false << true << 0 << true << 7 << "cat" << none;
    QTest::newRow("whole word backwards")
        << "cat concat cat x"
        << "cat" << false << true << false << true << 16 << false << 11 << "cat" << none;
    QTest::newRow("regular expression")
        << "a1 b22 c333"
        << "[0-9][0-9][0-9]" << false << false << true << true << 0 << true << 8 << "333" << none;
    QTest::newRow("groups without backslashes")
        << "a1 b22 c333"
        << "(b2)2" << false << false << true << true << 0 << true << 3 << "b22" << none;
    QTest::newRow("brackets are letters without it")
        << "x[0-9] y"
        << "[0-9]" << false << false << false << true << 0 << true << 1 << "[0-9]" << none;
    QTest::newRow("unreadable expression") << "(a"
                                           << "(a" << false << false << true << true << 0 << true << -1 << ""
                                           << "invalid regular expression";
    QTest::newRow("expression, other letters in any case")
        << "Ärger ärger"
        << "ÄR[g]ER" << false << false << true << true << 1 << true << 6 << "ärger" << none;
    QTest::newRow("wrap around") << "alpha beta"
                                 << "alpha" << false << false << false << true << 10 << true << 0 << "alpha"
                                 << none;
    QTest::newRow("no wrap") << "alpha beta"
                             << "alpha" << false << false << false << false << 10 << true << -1 << ""
                             << "no match";
    QTest::newRow("not found") << "alpha beta"
                               << "gamma" << false << false << false << true << 0 << true << -1 << ""
                               << "no match";
    QTest::newRow("previous") << "cat cat cat"
                              << "cat" << false << false << false << true << 11 << false << 8 << "cat"
                              << none;
    QTest::newRow("previous wraps") << "cat cat dog"
                                    << "dog" << false << false << false << true << 2 << false << 8 << "dog"
                                    << none;
    QTest::newRow("case of other letters")
        << "Ärger ärger"
        << "ÄRGER" << false << false << false << true << 1 << true << 6 << "ärger" << none;
    QTest::newRow("other letters backwards")
        << "ärger Ärger ärgerlich"
        << "ÄRGER" << false << false << false << true << 21 << false << 12 << "ärger" << none;
    QTest::newRow("other letters, whole word")
        << "ärgerlich ärger"
        << "ÄRGER" << false << true << false << true << 0 << true << 10 << "ärger" << none;
    // The text is searched a megabyte at a time where letters fold beyond ASCII.
    // In lines of a thousand characters: longer ones would be shown cut.
    QString acrossPieces =
        (QString(999, QLatin1Char('x')) + QLatin1Char('\n')).repeated(((1 << 20) - 3) / 1000);
    acrossPieces +=
        QString((1 << 20) - 3 - acrossPieces.size(), QLatin1Char('x')) + QStringLiteral("ärger tail");
    QTest::newRow("across pieces") << acrossPieces << "ÄRGER" << false << false << false << true << 0 << true
                                   << (1 << 20) - 3 << "ärger" << none;
    QTest::newRow("across pieces backwards")
        << acrossPieces << "ÄRGER" << false << false << false << true << int(acrossPieces.size()) << false
        << (1 << 20) - 3 << "ärger" << none;
    QTest::newRow("expression, previous")
        << "cat cot cut x"
        << "c.t" << false << false << true << true << 13 << false << 8 << "cut" << none;
    // Found backwards in ever larger stretches from the end.
    const QString farBack =
        QStringLiteral("neeedle\n") + (QString(999, QLatin1Char('x')) + '\n').repeated(100);
    QTest::newRow("expression, previous, far back") << farBack << "ne+dle" << false << false << true << true
                                                    << int(farBack.size()) << false << 0 << "neeedle" << none;
    QTest::newRow("accents stay") << "résumé resume"
                                  << "RESUME" << false << false << false << true << 0 << true << 7 << "resume"
                                  << none;
    QTest::newRow("after a long first line")
        << QString(5000, QLatin1Char('x')) + QStringLiteral("\r\nneedle") << "NEEDLE" << false << false
        << false << true << 0 << true << 5002 << "needle" << none;
}

void TestFindBar::find()
{
    QFETCH(QString, text);
    QFETCH(QString, search);
    QFETCH(bool, matchCase);
    QFETCH(bool, wholeWord);
    QFETCH(bool, regularExpression);
    QFETCH(bool, wrap);
    QFETCH(int, caret);
    QFETCH(bool, forward);
    QFETCH(int, start);
    QFETCH(QString, selected);
    QFETCH(QString, message);

    FrameFixture f;
    TCommandEditForm *window = openText(f, text);
    TextEditor *editor = window->editor();
    editor->setCaretPosition(bytePosition(text, caret));

    pressKey(Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(focusName(), QStringLiteral("FindText"));
    typeText(search);
    setOptions(window, matchCase, wholeWord, regularExpression, wrap);
    pressKey(Qt::Key_Return, forward ? Qt::NoModifier : Qt::ShiftModifier);

    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("FindMessage"))->text(), message);
    if (start < 0) {
        // Nothing found: the caret stays where it was.
        QCOMPARE(editor->selectionLength(), 0);
        QCOMPARE(selectionStart(editor), bytePosition(text, caret));
    } else {
        QCOMPARE(editor->selectedText(), selected);
        QCOMPARE(selectionStart(editor), bytePosition(text, start));
    }
    // The bar keeps the focus, so that Enter finds the next one.
    QCOMPARE(focusName(), QStringLiteral("FindText"));
}

void TestFindBar::emptyMatchesMoveOn()
{
    FrameFixture f;
    TCommandEditForm *window = openText(f, QStringLiteral("a\r\nb\r\nc"));
    pressKey(Qt::Key_F, Qt::ControlModifier);
    typeText(QStringLiteral("^"));
    setOptions(window, false, false, true, true);
    QList<long> caretPositions;
    for (int i = 0; i < 4; ++i) {
        pressKey(Qt::Key_Return);
        caretPositions.append(selectionStart(window->editor()));
    }
    // Each line start in turn, then round again; never the same one twice.
    QCOMPARE(caretPositions, (QList<long>{3, 6, 0, 3}));
}

void TestFindBar::escapeClosesBarAndFocusesText()
{
    FrameFixture f;
    TCommandEditForm *window = openText(f, QStringLiteral("alpha"));
    pressKey(Qt::Key_F, Qt::ControlModifier);
    auto *bar = window->findChild<QWidget *>(QStringLiteral("FindBar"));
    QVERIFY(bar->isVisible());
    typeText(QStringLiteral("alp"));
    pressKey(Qt::Key_Escape);
    QVERIFY(!bar->isVisible());
    QCOMPARE(QApplication::focusWidget(), window->editor());
    // The text is as it was: Esc typed nothing into it.
    QCOMPARE(window->editor()->text(), QStringLiteral("alpha"));
}

void TestFindBar::findNextWithBarClosed()
{
    FrameFixture f;
    TCommandEditForm *window = openText(f, QStringLiteral("cat dog cat dog"));
    pressKey(Qt::Key_F, Qt::ControlModifier);
    typeText(QStringLiteral("dog"));
    pressKey(Qt::Key_Return);
    QCOMPARE(selectionStart(window->editor()), 4L);
    pressKey(Qt::Key_Escape);
    pressKey(Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(selectionStart(window->editor()), 12L);
    pressKey(Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(selectionStart(window->editor()), 4L);
    // The keys worked from the text, which keeps the focus.
    QCOMPARE(QApplication::focusWidget(), window->editor());
}

void TestFindBar::replaceAll_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<bool>("regularExpression");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("message");

    QTest::newRow("every one") << "cat concat Cat"
                               << "cat"
                               << "dog" << false << false << "dog condog dog"
                               << "3 replaced";
    QTest::newRow("whole words") << "cat concat cat"
                                 << "cat"
                                 << "dog" << true << false << "dog concat dog"
                                 << "2 replaced";
    QTest::newRow("groups") << "a1 b22 c333"
                            << "([0-9]+)"
                            << "<\\1>" << false << true << "a<1> b<22> c<333>"
                            << "3 replaced";
    QTest::newRow("whole match and escapes") << "a1 b2"
                                             << "[a-z]([0-9])"
                                             << "\\1\\t\\0\\\\" << false << true << "1\ta1\\ 2\tb2\\"
                                             << "2 replaced";
    QTest::newRow("line starts") << "one\r\ntwo\r\nthree"
                                 << "^"
                                 << "> " << false << true << "> one\r\n> two\r\n> three"
                                 << "3 replaced";
    QTest::newRow("replacement holds the text") << "aa"
                                                << "a"
                                                << "aa" << false << false << "aaaa"
                                                << "2 replaced";
    QTest::newRow("none") << "abc"
                          << "x"
                          << "y" << false << false << "abc"
                          << "no match";
}

void TestFindBar::replaceAll()
{
    QFETCH(QString, text);
    QFETCH(QString, search);
    QFETCH(QString, replacement);
    QFETCH(bool, wholeWord);
    QFETCH(bool, regularExpression);
    QFETCH(QString, result);
    QFETCH(QString, message);

    FrameFixture f;
    TCommandEditForm *window = openText(f, text);
    pressKey(Qt::Key_H, Qt::ControlModifier);
    QCOMPARE(focusName(), QStringLiteral("FindText"));
    typeText(search);
    pressKey(Qt::Key_Tab);
    QCOMPARE(focusName(), QStringLiteral("ReplaceText"));
    typeText(replacement);
    setOptions(window, false, wholeWord, regularExpression, true);
    QTest::mouseClick(window->findChild<QToolButton *>(QStringLiteral("ReplaceAllButton")), Qt::LeftButton);

    QCOMPARE(window->editor()->text(), result);
    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("FindMessage"))->text(), message);
    // All of it goes back with one undo.
    window->editor()->setFocus();
    pressKey(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(window->editor()->text(), text);
    QVERIFY(!window->isModified());
}

void TestFindBar::replaceOneAtATime()
{
    FrameFixture f;
    TCommandEditForm *window = openText(f, QStringLiteral("cat cat"));
    pressKey(Qt::Key_H, Qt::ControlModifier);
    typeText(QStringLiteral("cat"));
    pressKey(Qt::Key_Tab);
    typeText(QStringLiteral("dog"));
    QStringList texts;
    for (int i = 0; i < 3; ++i) {
        pressKey(Qt::Key_Return);
        texts.append(window->editor()->text());
    }
    // The first Enter finds, each one after replaces and finds the next.
    QCOMPARE(texts, (QStringList{"cat cat", "dog cat", "dog dog"}));
    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("FindMessage"))->text(), QStringLiteral("no match"));
}

void TestFindBar::goToLine_data()
{
    QTest::addColumn<QString>("typed");
    // Counting from 0; -1: not a line, nothing moves.
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("centered");

    QTest::newRow("line") << "120" << 119 << 0 << true;
    QTest::newRow("line and column") << "120:5" << 119 << 4 << true;
    QTest::newRow("spaces") << " 100 : 2 " << 99 << 1 << true;
    QTest::newRow("past the end") << "999" << 199 << 0 << false;
    QTest::newRow("column past the end") << "3:99" << 2 << 6 << false;
    QTest::newRow("zero") << "0" << -1 << 0 << false;
    QTest::newRow("word") << "abc" << -1 << 0 << false;
    QTest::newRow("negative") << "-5" << -1 << 0 << false;
    QTest::newRow("two colons") << "1:2:3" << -1 << 0 << false;
}

void TestFindBar::goToLine()
{
    QFETCH(QString, typed);
    QFETCH(int, line);
    QFETCH(int, index);
    QFETCH(bool, centered);

    QStringList lines;
    for (int i = 1; i <= 200; ++i)
        lines.append(QStringLiteral("line %1").arg(i));
    FrameFixture f;
    TCommandEditForm *window = openText(f, lines.join(QStringLiteral("\r\n")));
    TextEditor *editor = window->editor();
    auto *bar = window->findChild<QWidget *>(QStringLiteral("GoToLineBar"));

    pressKey(Qt::Key_L, Qt::ControlModifier);
    QVERIFY(bar->isVisible());
    QCOMPARE(focusName(), QStringLiteral("GoToLineText"));
    // The box shows the caret's line, selected, so that typing replaces it.
    QCOMPARE(window->findChild<QLineEdit *>(QStringLiteral("GoToLineText"))->selectedText(),
             QStringLiteral("1"));
    typeText(typed);
    pressKey(Qt::Key_Return);

    int caretLine = -1;
    int caretIndex = -1;
    editor->getCursorPosition(&caretLine, &caretIndex);
    if (line < 0) {
        QVERIFY(bar->isVisible());
        QCOMPARE(window->findChild<QLabel *>(QStringLiteral("GoToLineMessage"))->text(),
                 QStringLiteral("not a line number"));
        QCOMPARE(caretLine, 0);
        return;
    }
    QVERIFY(!bar->isVisible());
    QCOMPARE(QApplication::focusWidget(), editor);
    QCOMPARE(caretLine, line);
    QCOMPARE(caretIndex, index);
    const long first = editor->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
    const long shown = editor->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN);
    QVERIFY(line >= first && line < first + shown);
    if (centered)
        QVERIFY2(qAbs(first + shown / 2 - line) <= 1,
                 qPrintable(QStringLiteral("first %1 of %2").arg(first).arg(shown)));
}

void TestFindBar::parseLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::newRow("line") << "12" << true << 12 << 0;
    QTest::newRow("line and column") << "12:7" << true << 12 << 7;
    QTest::newRow("spaces") << "  3 :  4 " << true << 3 << 4;
    QTest::newRow("largest") << "2147483647" << true << 2147483647 << 0;
    QTest::newRow("too large") << "2147483648" << false << 0 << 0;
    QTest::newRow("empty") << "" << false << 0 << 0;
    QTest::newRow("zero line") << "0" << false << 0 << 0;
    QTest::newRow("zero column") << "4:0" << false << 0 << 0;
    QTest::newRow("no column") << "4:" << false << 0 << 0;
    QTest::newRow("no line") << ":4" << false << 0 << 0;
    QTest::newRow("plus") << "+4" << false << 0 << 0;
    QTest::newRow("other digits") << "١٢" << false << 0 << 0;
    QTest::newRow("comma") << "4,5" << false << 0 << 0;
}

void TestFindBar::parseLine()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, line);
    QFETCH(int, column);
    const std::optional<GoToLine::Target> target = GoToLine::parse(text);
    QCOMPARE(target.has_value(), valid);
    if (valid) {
        QCOMPARE(target->line, line);
        QCOMPARE(target->column, column);
    }
}

void TestFindBar::keysThatMustNotChangeText_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    const int ctrl = Qt::ControlModifier;
    const int ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    QTest::newRow("Ctrl+L") << int(Qt::Key_L) << ctrl;
    QTest::newRow("Ctrl+Shift+L") << int(Qt::Key_L) << ctrlShift;
    QTest::newRow("Ctrl+T") << int(Qt::Key_T) << ctrl;
    QTest::newRow("Ctrl+D") << int(Qt::Key_D) << ctrl;
    QTest::newRow("Ctrl+U") << int(Qt::Key_U) << ctrl;
    QTest::newRow("Ctrl+Shift+U") << int(Qt::Key_U) << ctrlShift;
    QTest::newRow("Ctrl+Shift+Backspace") << int(Qt::Key_Backspace) << ctrlShift;
    QTest::newRow("Ctrl+Shift+Delete") << int(Qt::Key_Delete) << ctrlShift;
}

void TestFindBar::keysThatMustNotChangeText()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    const QString text = QStringLiteral("first line\r\nSeCoNd line");
    FrameFixture f;
    TCommandEditForm *window = openText(f, text);
    QApplication::clipboard()->setText(QStringLiteral("clip"));
    // Letters of both cases selected in the middle of the second line.
    window->editor()->SendScintilla(QsciScintillaBase::SCI_SETSEL, 14L, 17L);
    pressKey(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(window->editor()->text(), text);
    QVERIFY(!window->isModified());
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("clip"));
}

QTEST_MAIN(TestFindBar)
#include "tst_findbar.moc"
