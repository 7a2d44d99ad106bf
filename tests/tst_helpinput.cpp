#include "FrameFixture.h"
#include "HelpTestFiles.h"
#include "UserInput.h"

#include "app/MDIFrame.h"
#include "documents/MDIAnother.h"
#include "documents/MDICommand.h"
#include "documents/MDIMaster.h"
#include "documents/MDIOutput.h"
#include "editor/TextEditor.h"
#include "help/MDIHelp.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace HelpTestFiles;

namespace {

// "s" stands after "scale", which a search for "s" finds first.
const QByteArray Functions = "##scale\r\nscale entry\r\n##s\r\nsine entry\r\n##sqrt\r\nroot entry\r\n";

// A dark desktop palette, as a dark theme gives the program.
QPalette darkPalette()
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(53, 53, 53));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(35, 35, 35));
    dark.setColor(QPalette::AlternateBase, QColor(53, 53, 53));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Button, QColor(53, 53, 53));
    dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    return dark;
}

// Pixels of an image much darker than anything the pale yellow paper has.
int darkPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 90)
                ++count;
        }
    }
    return count;
}

} // namespace

// The help window as a user meets it: the mouse on the keyword list, keys
// where the focus is, the real buttons; F1 on a word of an editor window.
class TestHelpInput : public QObject
{
    Q_OBJECT

private:
    // Clicks into the keyword box and types text over what it holds.
    static void typeIntoBox(THelpEditForm *help, const QString &text)
    {
        QTest::mouseClick(help->keyWordCombo()->lineEdit(), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), help->keyWordCombo());
        QVERIFY(UserInput::pressKey(Qt::Key_A, Qt::ControlModifier));
        QVERIFY(UserInput::typeText(text));
        QCOMPARE(help->keyWordCombo()->currentText(), text);
    }

private slots:
    void clickInListChoosesKeyword_data();
    void clickInListChoosesKeyword();
    void arrowKeysInListChooseKeyword();
    void doubleClickInListChoosesKeyword();
    void enterInBoxSearches_data();
    void enterInBoxSearches();
    void leavingBoxSearchesNothing_data();
    void leavingBoxSearchesNothing();
    void viewerReadableOnDarkPalette();
    void f1OnWord_data();
    void f1OnWord();
    void f1InEveryEditorWindow_data();
    void f1InEveryEditorWindow();
};

void TestHelpInput::clickInListChoosesKeyword_data()
{
    addListChoiceRows();
}

void TestHelpInput::clickInListChoosesKeyword()
{
    QFETCH(QString, typed);
    QFETCH(int, row);
    FrameFixture f;
    THelpEditForm *help = openHelp(f, Letters);
    QVERIFY(UserInput::activate(&f.frame()));
    typeIntoBox(help, typed);
    help->viewer()->clear();

    UserInput::clickItem(help->keyWordList(), row);
    checkListChoice(help);
}

void TestHelpInput::arrowKeysInListChooseKeyword()
{
    FrameFixture f;
    THelpEditForm *help = openHelp(f, Letters);
    QVERIFY(UserInput::activate(&f.frame()));
    UserInput::clickItem(help->keyWordList(), 1);
    QCOMPARE(viewerText(help), QStringLiteral("entry b\n"));
    // The search gave the viewer the focus; the user clicks the list again.
    UserInput::clickItem(help->keyWordList(), 1);
    QVERIFY(UserInput::pressKey(Qt::Key_Down));
    QCOMPARE(viewerText(help), QStringLiteral("entry c\n"));
    QCOMPARE(history(help), (QStringList{"c", "b", "a"}));
}

void TestHelpInput::doubleClickInListChoosesKeyword()
{
    FrameFixture f;
    THelpEditForm *help = openHelp(f, Letters);
    QVERIFY(UserInput::activate(&f.frame()));
    UserInput::doubleClickItem(help->keyWordList(), 2);
    QCOMPARE(viewerText(help), QStringLiteral("entry c\n"));
    QCOMPARE(help->keyWordList()->currentIndex().row(), 2);
    // The keywords are offered, not edited.
    QVERIFY(!help->keyWordList()->findChild<QLineEdit *>());
    QCOMPARE(help->keyWordList()->model()->index(2, 0).data().toString(), QStringLiteral("c"));
}

void TestHelpInput::enterInBoxSearches_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("return") << int(Qt::Key_Return) << int(Qt::NoModifier);
    QTest::newRow("keypad enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
    QTest::newRow("shift return") << int(Qt::Key_Return) << int(Qt::ShiftModifier);
    QTest::newRow("ctrl return") << int(Qt::Key_Return) << int(Qt::ControlModifier);
    QTest::newRow("alt keypad enter") << int(Qt::Key_Enter) << int(Qt::AltModifier | Qt::KeypadModifier);
}

void TestHelpInput::enterInBoxSearches()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    FrameFixture f;
    THelpEditForm *help = openHelp(f, Sample);
    QVERIFY(UserInput::activate(&f.frame()));
    typeIntoBox(help, QStringLiteral("medi"));
    QVERIFY(UserInput::pressKey(Qt::Key(key), Qt::KeyboardModifiers(modifiers)));
    QCOMPARE(viewerText(help), QStringLiteral("Median of the listed variables.\n"));
    QCOMPARE(history(help), (QStringList{"medi", "mean"}));
    QCOMPARE(help->keyWordList()->currentIndex().row(), -1);
}

void TestHelpInput::leavingBoxSearchesNothing_data()
{
    QTest::addColumn<QString>("clicked");
    QTest::newRow("Back") << "BackKeyWord";
    QTest::newRow(">>") << "Button2";
    QTest::newRow("the list") << "KeyWordList";
}

void TestHelpInput::leavingBoxSearchesNothing()
{
    QFETCH(QString, clicked);
    FrameFixture f;
    THelpEditForm *help = openHelp(f, Letters);
    QVERIFY(UserInput::activate(&f.frame()));
    // History c, b, a with c shown and chosen in the drop-down list.
    for (const QString &text : {QStringLiteral("b"), QStringLiteral("c")}) {
        typeIntoBox(help, text);
        QVERIFY(UserInput::pressKey(Qt::Key_Return));
    }
    UserInput::pickComboEntry(help->keyWordCombo(), 0);
    QCOMPARE(history(help), (QStringList{"c", "b", "a"}));
    QCOMPARE(help->keyWordCombo()->currentIndex(), 0);
    QCOMPARE(viewerText(help), QStringLiteral("entry c\n"));

    // The typed text equals an older entry; leaving the box must not search it.
    typeIntoBox(help, QStringLiteral("a"));
    if (clicked == QLatin1String("KeyWordList"))
        UserInput::clickItem(help->keyWordList(), 1);
    else
        UserInput::clickButton(help->findChild<QPushButton *>(clicked));
    QVERIFY(QApplication::focusWidget() != help->keyWordCombo());
    QCOMPARE(viewerText(help), QStringLiteral("entry b\n"));
    QCOMPARE(history(help), (QStringList{"b", "c", "b", "a"}));
}

void TestHelpInput::viewerReadableOnDarkPalette()
{
    const QPalette light = QApplication::palette();
    QApplication::setPalette(darkPalette());
    {
        FrameFixture f;
        THelpEditForm *help = openHelp(f, Sample);
        help->parentWidget()->showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(help));
        const QImage shown = help->viewer()->viewport()->grab().toImage();
        // The text of the entry is drawn dark on the pale yellow.
        QVERIFY2(darkPixels(shown) > 50, qPrintable(QString::number(darkPixels(shown))));
        QCOMPARE(QColor(shown.pixel(shown.width() - 2, shown.height() - 2)), QColor(255, 255, 215));
    }
    QApplication::setPalette(light);
}

void TestHelpInput::f1OnWord_data()
{
    QTest::addColumn<QString>("text");
    // Keys pressed after typing the text, to place the caret or select.
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<bool>("helpOpenBefore");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("expectedHistory");
    QTest::addColumn<int>("listRow");

    const QList<int> none;
    const int left = Qt::Key_Left;
    const int shiftLeft = int(Qt::Key_Left) | int(Qt::ShiftModifier);
    QTest::newRow("caret inside a keyword")
        << "x = sqrt(2)" << QList<int>{left, left, left, left, left} << false << "root entry\n"
        << QStringList{"sqrt", "scale"} << 2;
    QTest::newRow("caret just after a keyword") << "y = s" << none << false << "sine entry\n"
                                                << QStringList{"s", "scale"} << 1;
    QTest::newRow("selected keyword, other case")
        << "print SQRT" << QList<int>{shiftLeft, shiftLeft, shiftLeft, shiftLeft} << false << "root entry\n"
        << QStringList{"sqrt", "scale"} << 2;
    QTest::newRow("help open on another entry") << "y = s" << none << true << "sine entry\n"
                                                << QStringList{"s", "scale"} << 1;
    QTest::newRow("no keyword: help as ever") << "total" << none << false << "scale entry\n"
                                              << QStringList{"scale"} << 0;
    QTest::newRow("no word: help as ever") << "x  " << none << false << "scale entry\n"
                                           << QStringList{"scale"} << 0;
    QTest::newRow("selection over two lines")
        << "sqrt" << QList<int>{int(Qt::Key_Return), int(Qt::Key_Up) | int(Qt::ShiftModifier)} << false
        << "scale entry\n"
        << QStringList{"scale"} << 0;
}

void TestHelpInput::f1OnWord()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, keys);
    QFETCH(bool, helpOpenBefore);
    QFETCH(QString, shown);
    QFETCH(QStringList, expectedHistory);
    QFETCH(int, listRow);
    FrameFixture f;
    f.frame().HelpFilePath = f.writeFile(QStringLiteral("quelm.hlp"), Functions);
    if (helpOpenBefore)
        f.frame().Contents1Click();
    TCommandEditForm *command = f.frame().CommandWindow();
    command->bringToFront();
    QVERIFY(UserInput::activate(&f.frame()));
    QTest::mouseClick(command->editor()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(QApplication::focusWidget(), command->editor());
    QVERIFY(UserInput::typeText(text));
    for (const int key : keys)
        QVERIFY(UserInput::pressKey(Qt::Key(key & ~Qt::KeyboardModifierMask),
                                    Qt::KeyboardModifiers(key & Qt::KeyboardModifierMask)));

    const QString typed = command->editor()->text();
    QVERIFY(UserInput::pressKey(Qt::Key_F1));
    THelpEditForm *help = f.frame().HelpWindow();
    QVERIFY(help);
    QCOMPARE(f.frame().mdiArea()->activeSubWindow()->widget(), help);
    QCOMPARE(viewerText(help), shown);
    QCOMPARE(history(help), expectedHistory);
    QCOMPARE(help->keyWordCombo()->currentIndex(), 0);
    QCOMPARE(help->keyWordList()->currentIndex().row(), listRow);
    // F1 asked for help and typed nothing.
    QCOMPARE(command->editor()->text(), typed);
}

void TestHelpInput::f1InEveryEditorWindow_data()
{
    QTest::addColumn<QString>("window");
    QTest::newRow("command") << "command";
    QTest::newRow("output") << "output";
    QTest::newRow("master") << "master";
    QTest::newRow("other file") << "another";
}

void TestHelpInput::f1InEveryEditorWindow()
{
    QFETCH(QString, window);
    FrameFixture f;
    f.frame().HelpFilePath = f.writeFile(QStringLiteral("quelm.hlp"), Functions);
    TEditForm *editor = nullptr;
    if (window == QLatin1String("command")) {
        editor = f.frame().CommandWindow();
    } else if (window == QLatin1String("output")) {
        editor = f.frame().OutputWindow();
    } else if (window == QLatin1String("master")) {
        f.dialogs.openAnswers.enqueue(QString());
        f.frame().OpenMasterClick();
        editor = f.frame().MasterWindow();
    } else {
        f.frame().OpenAnother(f.writeFile(QStringLiteral("notes.txt"), QByteArray()));
        editor = f.frame().AnotherWindows().value(0);
    }
    QVERIFY(editor);
    editor->bringToFront();
    QVERIFY(UserInput::activate(&f.frame()));
    QTest::mouseClick(editor->editor()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(UserInput::typeText(QStringLiteral("sqrt")));
    QVERIFY(UserInput::pressKey(Qt::Key_F1));
    QVERIFY(f.frame().HelpWindow());
    QCOMPARE(viewerText(f.frame().HelpWindow()), QStringLiteral("root entry\n"));
}

QTEST_MAIN(TestHelpInput)
#include "tst_helpinput.moc"
