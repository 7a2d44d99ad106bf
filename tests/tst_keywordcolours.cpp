#include "FrameFixture.h"
#include "UserInput.h"

#include "app/MDIFrame.h"
#include "app/PrefDialog.h"
#include "core/UserSettings.h"
#include "documents/MDIAnother.h"
#include "documents/MDICommand.h"
#include "documents/MDIMaster.h"
#include "documents/MDIOutput.h"
#include "editor/KeyWordColouring.h"
#include "editor/KeyWordCompletion.h"
#include "editor/KeyWords.h"
#include "editor/TextEditor.h"
#include "help/KeyWordHintsBuilder.h"
#include "help/KeyWordIndex.h"

#include <QApplication>
#include <QFile>
#include <QHelpEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QToolTip>
#include <QTreeWidget>
#include <QtTest>

#include <optional>

namespace {

const QByteArray HelpFile = "##scale\r\nDecimal places kept.\r\nDefault 0.\r\n##s\r\nThe sine of x.\r\n"
                            "##sqrt\r\nSquare root.\r\n##math library\r\nSix functions.\r\n";

using Ranges = QList<std::pair<qsizetype, qsizetype>>;

// The words of a text pane that carry the keyword colour.
QStringList colouredWords(TextEditor *editor)
{
    auto *colouring = editor->findChild<KeyWordColouring *>();
    if (!colouring)
        return {};
    const QByteArray bytes = editor->bytes();
    QStringList words;
    for (const auto &[start, end] : colouring->colouredRanges(0, long(bytes.size())))
        words.append(QString::fromUtf8(bytes.mid(start, end - start)));
    return words;
}

// Sets the help file in the Preferences dialog, as the user does.
void chooseHelpFile(FrameFixture &f, const QString &path, bool waitForKeyWords = true)
{
    f.dialogs.onPreferences = [path](TPrefDialogForm &dialog) {
        dialog.findChild<QLineEdit *>(QStringLiteral("HelpFileNameEdit"))->setText(path);
        return true;
    };
    f.frame().PreferencesClick();
    // The keywords are read away from the window.
    if (waitForKeyWords)
        QTRY_VERIFY(!f.frame().findChild<KeyWordHintsBuilder *>()->isBuilding());
}

// The command window's text, with the help file's keywords, focused.
TextEditor *focusCommandText(FrameFixture &f)
{
    chooseHelpFile(f, f.writeFile(QStringLiteral("quelm.hlp"), HelpFile));
    TextEditor *editor = f.frame().CommandWindow()->editor();
    f.frame().CommandWindow()->bringToFront();
    if (!UserInput::activate(&f.frame()))
        return nullptr;
    QTest::mouseClick(editor->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    return editor;
}

bool offering(const TextEditor *editor)
{
    const auto *completion = editor->findChild<KeyWordCompletion *>();
    return completion && completion->isOffering();
}

void showText(TEditForm *window, const QByteArray &text)
{
    window->editor()->setText(QString::fromUtf8(text));
    window->bringToFront();
    window->editor()->repaint();
    QCoreApplication::processEvents();
}

} // namespace

// The help file's keywords in the command and master windows: which words
// are coloured, when the keywords are read, and the hints over them.
class TestKeyWordColours : public QObject
{
    Q_OBJECT

private slots:
    void keyWordEntry_data();
    void keyWordEntry();
    void hints_data();
    void hints();
    void keyWordRanges_data();
    void keyWordRanges();
    void commandWindowColoursKeyWords_data();
    void commandWindowColoursKeyWords();
    void onlyCommandAndMasterWindows();
    void typingColours();
    void scrollingColours();
    void preferencesChangeKeyWords();
    void settingsFileHelpFileAtStartUp();
    void largeFileStaysPlain();
    void hintOverKeyWord_data();
    void hintOverKeyWord();
    void completion_data();
    void completion();
    void completionOnlyWhenAsked();
};

void TestKeyWordColours::keyWordEntry_data()
{
    QTest::addColumn<QString>("keyWord");
    QTest::addColumn<QString>("entry");
    QTest::newRow("shorter keyword after a longer one") << "s"
                                                        << "The sine of x.\r\n";
    QTest::newRow("other case") << "SQRT"
                                << "Square root.\r\n";
    QTest::newRow("with a blank") << "math library"
                                  << "Six functions.\r\n";
    QTest::newRow("leading part is no keyword") << "sq" << QString();
}

void TestKeyWordColours::keyWordEntry()
{
    QFETCH(QString, keyWord);
    QFETCH(QString, entry);
    const std::optional<QString> found = FindKeyWordEntry(HelpFile, keyWord);
    QCOMPARE(found.has_value(), !entry.isNull());
    if (found)
        QCOMPARE(*found, entry);
}

void TestKeyWordColours::hints_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("keyWord");
    QTest::addColumn<QString>("hint");
    QTest::newRow("first lines") << QByteArray("##k\r\n1\r\n2\r\n3\r\n") << "k"
                                 << "1\n2";
    QTest::newRow("long line cut") << QByteArray("##k\r\n") + QByteArray(200, 'x') << "k" << QString(10, 'x');
    QTest::newRow("empty lines at the end") << QByteArray("##k\r\ntext\r\n\r\n  \r\n##l\r\n") << "k"
                                            << "text";
    QTest::newRow("first of two wins") << QByteArray("##K\r\nfirst\r\n##k\r\nsecond\r\n") << "k"
                                       << "first";
    QTest::newRow("folded key") << QByteArray("##Mean\r\nm\r\n") << "mean"
                                << "m";
    QTest::newRow("empty entry") << QByteArray("##k\r\n##l\r\n") << "k"
                                 << "";
}

void TestKeyWordColours::hints()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, keyWord);
    QFETCH(QString, hint);
    const QHash<QString, QString> hints = BuildKeyWordHints(file, 2, 10);
    QVERIFY(hints.contains(keyWord));
    QCOMPARE(hints.value(keyWord), hint);
}

void TestKeyWordColours::keyWordRanges_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("utf8");
    QTest::addColumn<Ranges>("ranges");
    QTest::newRow("words") << QByteArray("x = sqrt(s)") << true << Ranges{{4, 8}, {9, 10}};
    QTest::newRow("case ignored") << QByteArray("SQRT Scale") << true << Ranges{{0, 4}, {5, 10}};
    QTest::newRow("inside longer words") << QByteArray("sqrt2 s_x xs scales") << true << Ranges{};
    QTest::newRow("blank inside keyword") << QByteArray("math library") << true << Ranges{};
    QTest::newRow("UTF-8 keyword") << QByteArray("a gr\xc3\xb6\xc3\x9f"
                                                 "e b")
                                   << true << Ranges{{2, 9}};
    QTest::newRow("8-bit keyword") << QByteArray("a gr\xf6\xdf"
                                                 "e b")
                                   << false << Ranges{{2, 7}};
    QTest::newRow("next to other bytes")
        << QByteArray("(s)\r\ns,s\t") << true << Ranges{{1, 2}, {5, 6}, {7, 8}};
}

void TestKeyWordColours::keyWordRanges()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, utf8);
    QFETCH(Ranges, ranges);
    const KeyWordHints hints(BuildKeyWordHints(HelpFile + "##größe\r\n", 1, 80));
    QCOMPARE(hints.keyWordRanges(text.constData(), text.size(), utf8), ranges);
}

void TestKeyWordColours::commandWindowColoursKeyWords_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("coloured");
    QTest::newRow("calls") << QByteArray("scale = 4\r\nprint sqrt(2), s(1)\r\n")
                           << QStringList{"scale", "sqrt", "s"};
    QTest::newRow("no keywords") << QByteArray("x = y + 1\r\n") << QStringList{};
    QTest::newRow("only whole words") << QByteArray("sqrts = ss\r\n") << QStringList{};
}

void TestKeyWordColours::commandWindowColoursKeyWords()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, coloured);
    FrameFixture f;
    chooseHelpFile(f, f.writeFile(QStringLiteral("quelm.hlp"), HelpFile));
    const QString file = f.writeFile(QStringLiteral("run.cf"), text);
    f.frame().OpenCommand(file);
    QCoreApplication::processEvents();
    QTRY_COMPARE(colouredWords(f.frame().CommandWindow()->editor()), coloured);
}

void TestKeyWordColours::onlyCommandAndMasterWindows()
{
    FrameFixture f;
    chooseHelpFile(f, f.writeFile(QStringLiteral("quelm.hlp"), HelpFile));
    const QByteArray text = "s = sqrt(2)\r\n";
    f.dialogs.openAnswers.enqueue(QString());
    f.frame().OpenMasterClick();
    f.frame().OpenAnother(f.writeFile(QStringLiteral("notes.txt"), text));
    const QList<TEditForm *> windows{f.frame().CommandWindow(), f.frame().MasterWindow(),
                                     f.frame().OutputWindow(), f.frame().AnotherWindows().value(0)};
    for (TEditForm *window : windows) {
        QVERIFY(window);
        showText(window, text);
    }
    QTRY_COMPARE(colouredWords(windows.at(0)->editor()), (QStringList{"s", "sqrt"}));
    QTRY_COMPARE(colouredWords(windows.at(1)->editor()), (QStringList{"s", "sqrt"}));
    QVERIFY(!windows.at(2)->editor()->findChild<KeyWordColouring *>());
    QVERIFY(!windows.at(3)->editor()->findChild<KeyWordColouring *>());
}

void TestKeyWordColours::typingColours()
{
    FrameFixture f;
    chooseHelpFile(f, f.writeFile(QStringLiteral("quelm.hlp"), HelpFile));
    TextEditor *editor = f.frame().CommandWindow()->editor();
    f.frame().CommandWindow()->bringToFront();
    QVERIFY(UserInput::activate(&f.frame()));
    QTest::mouseClick(editor->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(UserInput::typeText(QStringLiteral("x = sqr")));
    QTRY_COMPARE(colouredWords(editor), QStringList{});
    QVERIFY(UserInput::typeText(QStringLiteral("t")));
    QTRY_COMPARE(colouredWords(editor), QStringList{"sqrt"});
    QVERIFY(UserInput::typeText(QStringLiteral("2")));
    QTRY_COMPARE(colouredWords(editor), QStringList{});
    QVERIFY(UserInput::pressKey(Qt::Key_Backspace));
    QTRY_COMPARE(colouredWords(editor), QStringList{"sqrt"});
}

void TestKeyWordColours::scrollingColours()
{
    FrameFixture f;
    chooseHelpFile(f, f.writeFile(QStringLiteral("quelm.hlp"), HelpFile));
    QByteArray text;
    for (int i = 0; i < 2000; ++i)
        text += "x = 1\r\n";
    text += "y = sqrt(x)\r\n";
    f.frame().OpenCommand(f.writeFile(QStringLiteral("long.cf"), text));
    TextEditor *editor = f.frame().CommandWindow()->editor();
    QCoreApplication::processEvents();
    // Only what is on the screen is coloured.
    QVERIFY(colouredWords(editor).isEmpty());
    editor->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    QTRY_COMPARE(colouredWords(editor), QStringList{"sqrt"});
}

void TestKeyWordColours::preferencesChangeKeyWords()
{
    FrameFixture f;
    chooseHelpFile(f, f.writeFile(QStringLiteral("quelm.hlp"), HelpFile));
    f.frame().OpenCommand(f.writeFile(QStringLiteral("run.cf"), "scale = 2\r\nmean(x)\r\n"));
    TextEditor *editor = f.frame().CommandWindow()->editor();
    QTRY_COMPARE(colouredWords(editor), QStringList{"scale"});

    // The file is read when it is set, not at every change on disk.
    f.writeFile(QStringLiteral("quelm.hlp"), "##mean\r\nm\r\n");
    f.frame().OpenCommand(f.frame().CommandFileName);
    QTRY_COMPARE(colouredWords(editor), QStringList{"scale"});

    chooseHelpFile(f, f.writeFile(QStringLiteral("other.hlp"), "##mean\r\nm\r\n"));
    QTRY_COMPARE(colouredWords(editor), QStringList{"mean"});

    chooseHelpFile(f, QDir(f.home()).filePath(QStringLiteral("gone.hlp")));
    QTRY_COMPARE(colouredWords(editor), QStringList{});

    // A large help file still read when the user picks another: the last pick colours.
    chooseHelpFile(f, f.writeFile(QStringLiteral("large.hlp"), QByteArray("##w\r\n").repeated(200000)),
                   false);
    chooseHelpFile(f, f.writeFile(QStringLiteral("small.hlp"), "##scale\r\ns\r\n"));
    QTRY_COMPARE(colouredWords(editor), QStringList{"scale"});
}

void TestKeyWordColours::settingsFileHelpFileAtStartUp()
{
    QTemporaryDir work;
    const QString help = work.filePath(QStringLiteral("quelm.hlp"));
    const QString command = work.filePath(QStringLiteral("run.cf"));
    for (const auto &[path, bytes] :
         {std::pair{help, HelpFile}, std::pair{command, QByteArray("x = sqrt(2)\r\n")}}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    const QByteArray ini =
        "[Main Window Size]\r\n20 30 640 480\r\n[Command Window Size]\r\n170 10 400 150\r\n"
        "[Output Window Size]\r\n170 170 400 160\r\n[Explorer Window Size]\r\n4 4 158 330\r\n"
        "[Quelm Files]\r\n/opt/q/quelm\r\n" +
        help.toUtf8() + "\r\n[Working Directory]\r\n" + work.path().toUtf8() +
        "\r\n[Command File Extension]\r\n.cf\r\n[Ouptut File Extension]\r\n.out\r\n"
        "[Screen Font]\r\n10 Courier New\r\n[Print Font]\r\n10 Courier New\r\n"
        "[Command History]\r\n" +
        command.toUtf8() + "\r\n[Output History]\r\n";
    FrameFixture f({}, ini);
    QCOMPARE(f.frame().CommandWindow()->FileName, command);
    QTRY_COMPARE(colouredWords(f.frame().CommandWindow()->editor()), QStringList{"sqrt"});
}

void TestKeyWordColours::largeFileStaysPlain()
{
    FrameFixture f;
    chooseHelpFile(f, f.writeFile(QStringLiteral("quelm.hlp"), HelpFile));
    QByteArray text = "sqrt(2)\r\n";
    while (text.size() <= KeyWordColouring::MaxColouredLength)
        text += QByteArray(1000, 'x') + "\r\n";
    f.frame().OpenCommand(f.writeFile(QStringLiteral("big.cf"), text));
    f.frame().CommandWindow()->editor()->repaint();
    QCoreApplication::processEvents();
    QVERIFY(colouredWords(f.frame().CommandWindow()->editor()).isEmpty());
}

void TestKeyWordColours::hintOverKeyWord_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("hint");
    QTest::newRow("keyword") << 6 << "Decimal places kept.\nDefault 0.";
    QTest::newRow("other case") << 15 << "Square root.";
    QTest::newRow("no keyword") << 0 << QString();
    QTest::newRow("blank") << 3 << QString();
}

void TestKeyWordColours::hintOverKeyWord()
{
    QFETCH(int, column);
    QFETCH(QString, hint);
    FrameFixture f;
    chooseHelpFile(f, f.writeFile(QStringLiteral("quelm.hlp"), HelpFile));
    f.frame().OpenCommand(f.writeFile(QStringLiteral("run.cf"), "x = scale + SQRT(2)\r\n"));
    TextEditor *editor = f.frame().CommandWindow()->editor();
    QVERIFY(UserInput::activate(&f.frame()));
    const long x = editor->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, long(column));
    const long y = editor->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, long(column));
    const QPoint at(int(x) + 2, int(y) + editor->SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, 0UL) / 2);
    QHelpEvent hover(QEvent::ToolTip, at, editor->viewport()->mapToGlobal(at));
    QApplication::sendEvent(editor->viewport(), &hover);
    QCOMPARE(QToolTip::isVisible(), !hint.isEmpty());
    if (!hint.isEmpty()) {
        QTextDocument shown;
        shown.setHtml(QToolTip::text());
        QCOMPARE(shown.toPlainText(), hint);
    }
    QToolTip::hideText();
}

void TestKeyWordColours::completion_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("offered");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("firstOffered");
    QTest::addColumn<QByteArray>("text");
    const int ctrlSpace = (Qt::CTRL | Qt::Key_Space).toCombined();
    QTest::newRow("three letters, Enter")
        << "x = sqr" << true << QList<int>{Qt::Key_Return} << "sqrt\tSquare root." << QByteArray("x = sqrt");
    QTest::newRow("other case, Tab in the command window")
        << "SCA" << true << QList<int>{Qt::Key_Tab} << "scale\tDecimal places kept." << QByteArray("scale");
    QTest::newRow("Escape, typing goes on") << "sca" << true << QList<int>{Qt::Key_Escape, Qt::Key_X}
                                            << "scale\tDecimal places kept." << QByteArray("scax");
    QTest::newRow("Ctrl+Space on one letter, Down")
        << "s" << false << QList<int>{ctrlSpace, Qt::Key_Down, Qt::Key_Return} << "s\tThe sine of x."
        << QByteArray("scale");
    QTest::newRow("inside a word takes the whole word")
        << "sqrx" << false << QList<int>{Qt::Key_Left, ctrlSpace, Qt::Key_Return} << "sqrt\tSquare root."
        << QByteArray("sqrt");
}

void TestKeyWordColours::completion()
{
    QFETCH(QString, typed);
    QFETCH(bool, offered);
    QFETCH(QList<int>, keys);
    QFETCH(QString, firstOffered);
    QFETCH(QByteArray, text);
    FrameFixture f;
    TextEditor *editor = focusCommandText(f);
    QVERIFY(editor);
    QVERIFY(UserInput::typeText(typed));
    QTRY_COMPARE(offering(editor), offered);
    for (const int key : keys) {
        QVERIFY(UserInput::pressKey(Qt::Key(key & ~int(Qt::KeyboardModifierMask)),
                                    Qt::KeyboardModifiers(key & int(Qt::KeyboardModifierMask))));
        if (offering(editor)) {
            const QTreeWidgetItem *first = editor->findChild<KeyWordCompletion *>()->list()->topLevelItem(0);
            QCOMPARE(first->text(0) + QLatin1Char('\t') + first->text(1), firstOffered);
        }
    }
    QCOMPARE(editor->bytes(), text);
    QVERIFY(!offering(editor));
}

void TestKeyWordColours::completionOnlyWhenAsked()
{
    FrameFixture f;
    TextEditor *editor = focusCommandText(f);
    QVERIFY(editor);
    auto *item = f.frame().CommandWindow()->findChild<QAction *>(QStringLiteral("CompleteKeyWords1"));
    QVERIFY(item && item->isChecked());
    item->trigger();
    QVERIFY(UserInput::typeText(QStringLiteral("sqr")));
    QCoreApplication::processEvents();
    QVERIFY(!offering(editor));
    QVERIFY(UserInput::pressKey(Qt::Key_Space, Qt::ControlModifier));
    QTRY_VERIFY(offering(editor));
    // Kept for the next start, in the user's own settings.
    QCOMPARE(userSettings().value(QStringLiteral("Editor/CompleteKeyWords")), QVariant(false));
}

QTEST_MAIN(TestKeyWordColours)
#include "tst_keywordcolours.moc"
