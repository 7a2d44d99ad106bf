#include "FrameFixture.h"
#include "RunHelpers.h"
#include "UserInput.h"

#include "app/MDIFrame.h"
#include "documents/MDICommand.h"
#include "documents/MDIOutput.h"
#include "editor/LinePieces.h"
#include "editor/TextEditor.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QtTest>

using UserInput::pressKey;
using UserInput::typeText;

namespace {

constexpr qsizetype Longest = LinePieces::LongestWholeLine;

// Numbers counting up, blank-separated: no two pieces look alike.
QByteArray numbers(qsizetype length)
{
    QByteArray text;
    for (int n = 0; text.size() < length; ++n)
        text += QByteArray::number(n) + ' ';
    return text.left(length);
}

QByteArray withCuts(const QByteArray &text, const std::vector<qsizetype> &cuts)
{
    QByteArray shown = text;
    for (auto at = cuts.rbegin(); at != cuts.rend(); ++at)
        shown.insert(*at, LinePieces::Cut);
    return shown;
}

QWidget *piecesBar(TEditForm *window)
{
    return window->findChild<QWidget *>(QStringLiteral("LongLinesBar"));
}

QByteArray marginText(TextEditor *editor, long line)
{
    QByteArray text(
        editor->SendScintilla(QsciScintillaBase::SCI_MARGINGETTEXT, line, static_cast<char *>(nullptr)),
        '\0');
    editor->SendScintilla(QsciScintillaBase::SCI_MARGINGETTEXT, line, text.data());
    return text;
}

} // namespace

class TestLongLines : public QObject
{
    Q_OBJECT

private slots:
    void cuts_data();
    void cuts();
    void shownInPiecesReadsAsTheFile();
    void savedAsItWasRead_data();
    void savedAsItWasRead();
    void runEndShowsPiecesReadOnly();
    void findsOverCuts_data();
    void findsOverCuts();
};

void TestLongLines::cuts_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("cutCount");
    const QByteArray row(80, 'x');
    QTest::newRow("short lines") << (row + "\r\n").repeated(2000) << 0;
    QTest::newRow("longest whole line") << QByteArray(Longest, 'x') + "\r\nend" << 0;
    QTest::newRow("one over, no blanks")
        << "a\r\n" + QByteArray(Longest + 1, 'x') + "\r\nb" << int(Longest / LinePieces::PieceLength);
    QTest::newRow("numbers, last line, no line end") << "a\n" + numbers(Longest * 3) << -1;
    QTest::newRow("two-byte letters") << "x" + QByteArray("\xc3\xa9").repeated(Longest) << -1;
    QTest::newRow("lone carriage returns end lines") << (row + '\r').repeated(2000) << 0;
    QTest::newRow("long line between lone returns") << "a\r" + numbers(Longest * 2) + "\rb" << -1;
}

void TestLongLines::cuts()
{
    QFETCH(QByteArray, text);
    QFETCH(int, cutCount);
    const std::vector<qsizetype> cuts = LinePieces::cutsIn(text);
    if (cutCount >= 0)
        QCOMPARE(int(cuts.size()), cutCount);
    else
        QVERIFY(!cuts.empty());
    const QByteArray shown = withCuts(text, cuts);
    for (const QByteArray &line : shown.split('\n')) {
        for (const QByteArray &piece : line.split('\r')) {
            QVERIFY2(piece.size() <= Longest, qPrintable(QString::number(piece.size())));
            QVERIFY(QString::fromUtf8(piece).toUtf8() == piece);
        }
    }
    for (const qsizetype cut : cuts) {
        // A piece ends after a blank when one lies near its end.
        if (text.contains(' '))
            QCOMPARE(text.at(cut - 1), ' ');
    }
    // The file's text comes back whole, and so does any range of it, as a
    // copy takes it.
    std::vector<qsizetype> cutsShown;
    for (size_t i = 0; i < cuts.size(); ++i)
        cutsShown.push_back(cuts[i] + qsizetype(i));
    const LinePieces pieces(cutsShown, {});
    QCOMPARE(pieces.joined(shown), text);
    if (!cuts.empty()) {
        const qsizetype start = cutsShown.front() - 10;
        const qsizetype end = cutsShown.back() + 10;
        QCOMPARE(pieces.joined(shown.mid(start, end - start), start),
                 text.mid(start, end - start - qsizetype(cuts.size())));
    }
}

void TestLongLines::shownInPiecesReadsAsTheFile()
{
    FrameFixture f;
    const QByteArray longLine = numbers(Longest * 3);
    const QByteArray text = "first\r\n" + longLine + "\r\nthird\r\n";
    const QString path = f.writeFile(QStringLiteral("long.cf"), text);
    f.frame().OpenCommand(path);
    TCommandEditForm *window = f.frame().CommandWindow();
    TextEditor *editor = window->editor();
    QVERIFY(piecesBar(window)->isVisible());
    QVERIFY(editor->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT) > 20);
    QVERIFY(UserInput::focusText(f.frame(), window));
    typeText(QStringLiteral("typed"));
    QVERIFY(!window->isModified());

    pressKey(Qt::Key_A, Qt::ControlModifier);
    pressKey(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text().toUtf8(), text);
    QCOMPARE(editor->lines().size(), 3);

    // Line 2, column 1500: through the first piece into the second.
    pressKey(Qt::Key_L, Qt::ControlModifier);
    typeText(QStringLiteral("2:1500"));
    pressKey(Qt::Key_Return);
    const long caret = editor->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    QCOMPARE(char(editor->SendScintilla(QsciScintillaBase::SCI_GETCHARAT, caret)), longLine.at(1499));
    QCOMPARE(editor->caretLine(), 1);
    pressKey(Qt::Key_L, Qt::ControlModifier);
    typeText(QStringLiteral("3"));
    pressKey(Qt::Key_Return);
    QCOMPARE(editor->caretLine(), 2);
    const long third = editor->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION,
                                             editor->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
    QTRY_COMPARE(marginText(editor, third), QByteArray("3"));
    QCOMPARE(marginText(editor, third - 1), QByteArray());
    pressKey(Qt::Key_End, Qt::ControlModifier);
    const long last = editor->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT) - 1;
    QTRY_COMPARE(marginText(editor, last), QByteArray("4"));

    pressKey(Qt::Key_F6);
    QCOMPARE(f.readFile(path), text);

    UserInput::clickButton(window->findChild<QToolButton *>(QStringLiteral("WholeLinesButton")));
    QVERIFY(!piecesBar(window)->isVisible());
    QCOMPARE(editor->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT), 4L);
    QVERIFY(!editor->isReadOnly());
}

void TestLongLines::savedAsItWasRead_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray longLine = numbers(Longest + 5000);
    QTest::newRow("UTF-8") << "\xc3\xa9\r\n" + longLine + "\xe2\x82\xac\r\n";
    QTest::newRow("Windows-1252") << "\xe9\r\n" + longLine + "\x80\x81\r\n";
    QByteArray utf16("\xff\xfe");
    for (const char c : "\r\n" + longLine + "\r\n")
        utf16 += QByteArray(1, c) + '\0';
    QTest::newRow("UTF-16") << utf16;
}

void TestLongLines::savedAsItWasRead()
{
    QFETCH(QByteArray, bytes);
    FrameFixture f;
    const QString path = f.writeFile(QStringLiteral("long.out"), bytes);
    f.frame().OpenOutput(path);
    TOutputEditForm *window = f.frame().OutputWindow();
    QVERIFY(piecesBar(window)->isVisible());
    QVERIFY(UserInput::focusText(f.frame(), window));
    pressKey(Qt::Key_F6);
    QCOMPARE(f.readFile(path), bytes);
}

void TestLongLines::runEndShowsPiecesReadOnly()
{
    FrameFixture f;
    RunHelpers::makeEngine(f, "head -c 30000 /dev/zero | tr '\\0' 7; echo; echo end");
    RunHelpers::openCommand(f, QStringLiteral("run.cf"));
    QVERIFY(UserInput::focusText(f.frame(), f.frame().CommandWindow()));
    pressKey(Qt::Key_F7);
    QVERIFY(RunHelpers::runEnded(f.frame()));
    TOutputEditForm *window = f.frame().OutputWindow();
    // The end of a run lets the output be edited, unless it is in pieces.
    QTRY_VERIFY(piecesBar(window)->isVisible());
    QVERIFY(window->editor()->isReadOnly());
    QCOMPARE(window->editor()->bytes(), QByteArray(30000, '7') + "\nend\n");
}

void TestLongLines::findsOverCuts_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("search");
    QTest::addColumn<bool>("regularExpression");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<bool>("forward");
    // The selected match, -1 for none.
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");

    const QByteArray numbered = "first\r\n" + numbers(Longest * 3) + "\r\n";
    // The first cut has nothing shown cut before it: its place is the file's.
    const qsizetype cut = LinePieces::cutsIn(numbered).front();
    const QString phrase = QString::fromLatin1(numbered.mid(cut - 4, 8));
    const int before = int(cut - 4);
    const int after = int(cut + 5);
    QTest::newRow("text, forward") << numbered << phrase << false << false << true << before << after;
    QTest::newRow("text, backward") << numbered << phrase << false << false << false << before << after;
    QTest::newRow("expression, forward") << numbered << phrase << true << false << true << before << after;
    QTest::newRow("expression, backward") << numbered << phrase << true << false << false << before << after;
    QTest::newRow("line start at a piece")
        << numbered << "^" + QString::fromLatin1(numbered.mid(cut, 6)) << true << false << true << -1 << -1;

    // A word of letters so long that the cut goes between two of them.
    const QByteArray lettered =
        "first\r\n" + QByteArray("ab ").repeated(144) + QByteArray(200, 'q') + ' ' + numbers(Longest * 2);
    const qsizetype letterCut = LinePieces::cutsIn(lettered).front();
    const qsizetype wordStart = lettered.indexOf('q');
    const QString wordPart = QString::fromLatin1(lettered.mid(wordStart, letterCut - wordStart));
    QTest::newRow("word end at a cut") << lettered << wordPart << false << true << true << -1 << -1;
    QTest::newRow("word end at a cut, backward")
        << lettered << wordPart << false << true << false << -1 << -1;
    QTest::newRow("whole word over a cut") << lettered << QString(200, QLatin1Char('q')) << false << true
                                           << true << int(wordStart) << int(wordStart + 201);
}

void TestLongLines::findsOverCuts()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, search);
    QFETCH(bool, regularExpression);
    QFETCH(bool, wholeWord);
    QFETCH(bool, forward);
    QFETCH(int, start);
    QFETCH(int, end);
    FrameFixture f;
    f.frame().OpenCommand(f.writeFile(QStringLiteral("long.cf"), text));
    TCommandEditForm *window = f.frame().CommandWindow();
    TextEditor *editor = window->editor();
    QVERIFY(piecesBar(window)->isVisible());
    QVERIFY(UserInput::focusText(f.frame(), window));
    if (!forward)
        pressKey(Qt::Key_End, Qt::ControlModifier);
    pressKey(Qt::Key_F, Qt::ControlModifier);
    typeText(search);
    const std::pair<const char *, bool> options[] = {{"RegularExpression", regularExpression},
                                                     {"WholeWord", wholeWord}};
    for (const auto &[name, on] : options) {
        auto *option = window->findChild<QToolButton *>(QLatin1String(name));
        if (option->isChecked() != on)
            QTest::mouseClick(option, Qt::LeftButton);
    }
    QTest::mouseClick(window->findChild<QLineEdit *>(QStringLiteral("FindText")), Qt::LeftButton);
    pressKey(Qt::Key_Return, forward ? Qt::NoModifier : Qt::ShiftModifier);
    const QString message = window->findChild<QLabel *>(QStringLiteral("FindMessage"))->text();
    if (start < 0) {
        QCOMPARE(message, QStringLiteral("no match"));
        return;
    }
    QCOMPARE(message, QString());
    QCOMPARE(editor->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART), long(start));
    QCOMPARE(editor->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND), long(end));
    // What is selected is the file's text.
    editor->setFocus();
    pressKey(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), search);
}

QTEST_MAIN(TestLongLines)
#include "tst_longlines.moc"
