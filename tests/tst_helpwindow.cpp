#include "FrameFixture.h"
#include "HelpTestFiles.h"
#include "PdfText.h"
#include "ScriptedDialogs.h"

#include "app/MDIFrame.h"
#include "documents/MDICommand.h"
#include "editor/TextEditor.h"
#include "help/MDIHelp.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QtTest>

using namespace HelpTestFiles;

namespace {

const QString NotFound = QStringLiteral("Keyword not found.");

void typeAndSearch(THelpEditForm *help, const QString &text)
{
    help->keyWordCombo()->setEditText(text);
    help->KeyWordSearchClick();
}

// Records every text the status line shows, also the ones replaced before
// the test could look.
class StatusRecorder : public QObject
{
public:
    explicit StatusRecorder(TFrameForm &frame)
        : m_label(frame.findChild<QLabel *>(QStringLiteral("StatusText")))
    {
        m_label->installEventFilter(this);
    }
    QStringList texts;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && (texts.isEmpty() || texts.constLast() != m_label->text()))
            texts.append(m_label->text());
        return false;
    }

private:
    QLabel *m_label;
};

} // namespace

// The help browser: opening it from the frame, the search, the history, the
// keyword stepping, printing, and help files that are missing or malformed.
class TestHelpWindow : public QObject
{
    Q_OBJECT

private slots:
    void openingShowsFirstKeyword();
    void helpMenuOfFrame();
    void helpWindowMenus_data();
    void helpWindowMenus();
    void missingHelpFile_data();
    void missingHelpFile();
    void openAgainKeepsListAndCloseForgetsIt();
    void backThroughRevisits();
    void searchText_data();
    void searchText();
    void listChoice_data();
    void listChoice();
    void stepping_data();
    void stepping();
    void enterSearches_data();
    void enterSearches();
    void badHelpFiles_data();
    void badHelpFiles();
    void helpFileVanishesBetweenSearches();
    void helpFileRewrittenInPlace_data();
    void helpFileRewrittenInPlace();
    void printAfterFailedSearch();
    void printTakesWrappedLines();
    void screenFontReachesHelpWindow();
    void editMenuActsOnViewer();
    void editorWindowPrintsFileNameAndLines();
};

void TestHelpWindow::openingShowsFirstKeyword()
{
    FrameFixture f;
    StatusRecorder status(f.frame());
    THelpEditForm *help = openHelp(f, Sample);
    QVERIFY(help);
    QVERIFY(f.frame().HelpWindowOpen());
    QCOMPARE(help->windowTitle(), QStringLiteral("Quelm Help"));
    QVERIFY(status.texts.contains(QStringLiteral("Initializing Key Word List...")));
    QCOMPARE(f.frame().statusText(), QStringLiteral("Ready."));
    QCOMPARE(history(help), QStringList{QStringLiteral("mean")});
    QCOMPARE(help->keyWordCombo()->currentIndex(), 0);
    QCOMPARE(help->keyWordList()->model()->rowCount(), 2);
    QCOMPARE(help->keyWordList()->currentIndex().row(), 0);
    QCOMPARE(viewerText(help), QStringLiteral("Arithmetic mean of the listed variables.\nUsage: mean(x).\n"));
    QCOMPARE(f.frame().mdiArea()->activeSubWindow()->widget(), help);
    QCOMPARE(f.frame().menuBar()->actions().first()->menu(), help->mergedMenus().first());

    // The oldest entry: Back cannot move.
    help->viewer()->setPlainText(QStringLiteral("edited"));
    help->KeyWordBackClick();
    QCOMPARE(viewerText(help), QStringLiteral("edited"));
    QCOMPARE(history(help), QStringList{QStringLiteral("mean")});
}

void TestHelpWindow::helpMenuOfFrame()
{
    FrameFixture f;
    QMenu *menu = f.frame().findChild<QMenu *>(QStringLiteral("Help1"));
    QVERIFY(menu);
    QCOMPARE(menu->actions().size(), 2);
    QCOMPARE(menu->actions().at(0)->objectName(), QStringLiteral("Contents1"));
    QCOMPARE(menu->actions().at(0)->text(), QStringLiteral("&Key Word Search"));
    QCOMPARE(menu->actions().at(0)->shortcut(), QKeySequence(Qt::Key_F1));
    QCOMPARE(menu->actions().at(1)->objectName(), QStringLiteral("About1"));

    f.frame().HelpFilePath = f.writeFile(QStringLiteral("quelm.hlp"), Sample);
    QApplication::setActiveWindow(&f.frame());
    QVERIFY(QTest::qWaitForWindowActive(&f.frame()));
    QTest::keyClick(f.frame().CommandWindow()->editor(), Qt::Key_F1);
    QVERIFY(f.frame().HelpWindowOpen());
}

void TestHelpWindow::helpWindowMenus_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("new") << "New1"
                         << "New..." << QKeySequence() << true;
    QTest::newRow("open command") << "OpenCommand1"
                                  << "Open &Command File..." << QKeySequence(Qt::Key_F2) << true;
    QTest::newRow("open output") << "OpenOutput1"
                                 << "Open Output File..." << QKeySequence(Qt::Key_F3) << true;
    QTest::newRow("open another") << "OpenAnotherFile1"
                                  << "Open Another File..." << QKeySequence(Qt::Key_F4) << true;
    QTest::newRow("save") << "Save1"
                          << "&Save" << QKeySequence(Qt::Key_F5) << false;
    QTest::newRow("save as") << "Saveas1"
                             << "Save &As..." << QKeySequence(Qt::Key_F6) << false;
    QTest::newRow("print") << "Print1"
                           << "&Print..." << QKeySequence(QStringLiteral("Ctrl+P")) << true;
    QTest::newRow("printer setup") << "Printersetup1"
                                   << "Printer setup..." << QKeySequence() << true;
    QTest::newRow("preferences") << "Preferences2"
                                 << "Preferences" << QKeySequence() << true;
    QTest::newRow("exit") << "Exit1"
                          << "E&xit" << QKeySequence(QStringLiteral("Ctrl+Q")) << true;
    QTest::newRow("select all") << "Selectall1"
                                << "Select &all" << QKeySequence(QStringLiteral("Ctrl+A")) << true;
    QTest::newRow("screen font") << "ScreenFont1"
                                 << "&Screen Font..." << QKeySequence() << true;
    QTest::newRow("print font") << "PrintFont1"
                                << "&Print Font..." << QKeySequence() << true;
}

void TestHelpWindow::helpWindowMenus()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    QFETCH(bool, enabled);
    FrameFixture f;
    THelpEditForm *help = openHelp(f, Sample);
    auto *action = help->findChild<QAction *>(name);
    QVERIFY(action);
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut(), shortcut);
    QCOMPARE(action->isEnabled(), enabled);
}

void TestHelpWindow::missingHelpFile_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("no file") << "absent.hlp";
    QTest::newRow("a folder") << ".";
}

void TestHelpWindow::missingHelpFile()
{
    QFETCH(QString, path);
    FrameFixture f;
    f.frame().HelpFilePath = QDir(f.home()).filePath(path);
    f.frame().Contents1Click();
    QCOMPARE(f.dialogs.errors.size(), 1);
    QCOMPARE(f.dialogs.errors.first().title, QStringLiteral("Quelm Help"));
    QCOMPARE(f.dialogs.errors.first().text, QStringLiteral("Cannot find Quelm Help File"));
    QVERIFY(!f.frame().HelpWindowOpen());
    QVERIFY(!f.frame().HelpWindow());
    QVERIFY(!f.frame().findChild<THelpEditForm *>());
}

void TestHelpWindow::openAgainKeepsListAndCloseForgetsIt()
{
    FrameFixture f;
    THelpEditForm *help = openHelp(f, Sample);
    f.frame().mdiArea()->setActiveSubWindow(
        qobject_cast<QMdiSubWindow *>(f.frame().CommandWindow()->parentWidget()));
    f.writeFile(QStringLiteral("quelm.hlp"), "##other\r\nnew text\r\n##mean\r\nnew mean\r\n");
    f.frame().Contents1Click();
    QCOMPARE(f.frame().HelpWindow(), help);
    QCOMPARE(f.frame().mdiArea()->activeSubWindow()->widget(), help);
    QCOMPARE(help->keyWordList()->model()->rowCount(), 2);
    QCOMPARE(help->keyWordList()->model()->index(1, 0).data().toString(), QStringLiteral("median"));
    // A search reads the file as it is now.
    typeAndSearch(help, QStringLiteral("mean"));
    QCOMPARE(viewerText(help), QStringLiteral("new mean\n"));

    help->parentWidget()->close();
    QVERIFY(!f.frame().HelpWindowOpen());
    QVERIFY(!f.frame().HelpWindow());
    QTest::qWait(0);
    THelpEditForm *again = openHelp(f, "##other\r\nnew text\r\n");
    QVERIFY(again);
    QCOMPARE(again->keyWordList()->model()->rowCount(), 1);
    QCOMPARE(viewerText(again), QStringLiteral("new text\n"));
}

void TestHelpWindow::backThroughRevisits()
{
    FrameFixture f;
    THelpEditForm *help = openHelp(f, Letters);
    typeAndSearch(help, QStringLiteral("b"));
    typeAndSearch(help, QStringLiteral("c"));
    QCOMPARE(history(help), (QStringList{"c", "b", "a"}));
    help->keyWordCombo()->setCurrentIndex(0);
    help->KeyWordSearchClick();

    help->KeyWordBackClick();
    QCOMPARE(viewerText(help), QStringLiteral("entry b\n"));
    QCOMPARE(history(help), (QStringList{"b", "c", "b", "a"}));
    QCOMPARE(help->keyWordCombo()->currentIndex(), 2);
    QCOMPARE(help->keyWordList()->currentIndex().row(), 1);

    help->KeyWordBackClick();
    QCOMPARE(viewerText(help), QStringLiteral("entry a\n"));
    QCOMPARE(history(help), (QStringList{"a", "b", "c", "b", "a"}));
    QCOMPARE(help->keyWordCombo()->currentIndex(), 4);

    help->viewer()->setPlainText(QStringLiteral("edited"));
    help->KeyWordBackClick();
    QCOMPARE(viewerText(help), QStringLiteral("edited"));
    QCOMPARE(history(help).size(), 5);
    QCOMPARE(help->keyWordCombo()->currentIndex(), 4);
}

void TestHelpWindow::searchText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("expectedHistory");
    QTest::addColumn<int>("listRow");
    QTest::newRow("leading part") << "me"
                                  << "Arithmetic mean of the listed variables.\nUsage: mean(x).\n"
                                  << QStringList{"me", "mean"} << -1;
    QTest::newRow("other case") << "MEDIAN"
                                << "Median of the listed variables.\n"
                                << QStringList{"MEDIAN", "mean"} << 1;
    QTest::newRow("same as newest") << "mean"
                                    << "Arithmetic mean of the listed variables.\nUsage: mean(x).\n"
                                    << QStringList{"mean"} << 0;
    QTest::newRow("not found keeps all") << "variables" << NotFound << QStringList{"mean"} << 0;
}

void TestHelpWindow::searchText()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QFETCH(QStringList, expectedHistory);
    QFETCH(int, listRow);
    FrameFixture f;
    THelpEditForm *help = openHelp(f, Sample);
    typeAndSearch(help, text);
    QCOMPARE(viewerText(help), shown);
    QCOMPARE(history(help), expectedHistory);
    QCOMPARE(help->keyWordList()->currentIndex().row(), listRow);
    QCOMPARE(help->keyWordCombo()->currentText(), text);
    QCOMPARE(help->viewer()->textCursor().position(), 0);
    QVERIFY(help->viewer()->isVisible());
}

void TestHelpWindow::listChoice_data()
{
    addListChoiceRows();
}

void TestHelpWindow::listChoice()
{
    QFETCH(QString, typed);
    QFETCH(int, row);
    FrameFixture f;
    THelpEditForm *help = openHelp(f, Letters);
    help->keyWordCombo()->setEditText(typed);
    help->keyWordList()->setCurrentIndex(help->keyWordList()->model()->index(row, 0));
    checkListChoice(help);
}

void TestHelpWindow::stepping_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("selectedRow");
    QTest::addColumn<bool>("next");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("listRow");
    QTest::newRow(">> with nothing selected") << "zz" << -1 << true << "entry a\n" << 0;
    QTest::newRow("<< with nothing selected") << "zz" << -1 << false << NotFound << -1;
    QTest::newRow(">> from the box text") << "B" << 0 << true << "entry c\n" << 2;
    QTest::newRow("<< from the box text") << "c" << 0 << false << "entry b\n" << 1;
    QTest::newRow("<< at the first") << "a" << 0 << false << "entry a\n" << 0;
    QTest::newRow(">> at the last") << "unknown" << 4 << true << NotFound << 4;
    QTest::newRow(">> after a failed search") << "unknown" << 1 << true << "entry c\n" << 2;
    QTest::newRow(">> from the second duplicate") << "dup" << 4 << true << "first dup\n" << 3;
}

void TestHelpWindow::stepping()
{
    QFETCH(QString, typed);
    QFETCH(int, selectedRow);
    QFETCH(bool, next);
    QFETCH(QString, shown);
    QFETCH(int, listRow);
    FrameFixture f;
    THelpEditForm *help = openHelp(f, Letters);
    {
        const QSignalBlocker blocker(help->keyWordList());
        help->keyWordList()->setCurrentIndex(help->keyWordList()->model()->index(selectedRow, 0));
    }
    help->keyWordCombo()->setEditText(typed);
    help->viewer()->clear();
    if (next)
        help->findChild<QPushButton *>(QStringLiteral("Button2"))->click();
    else
        help->findChild<QPushButton *>(QStringLiteral("Button1"))->click();
    QCOMPARE(viewerText(help), shown);
    QCOMPARE(help->keyWordList()->currentIndex().row(), listRow);
}

void TestHelpWindow::enterSearches_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("return") << int(Qt::Key_Return) << int(Qt::NoModifier);
    QTest::newRow("keypad enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
    QTest::newRow("shift return") << int(Qt::Key_Return) << int(Qt::ShiftModifier);
    QTest::newRow("ctrl return") << int(Qt::Key_Return) << int(Qt::ControlModifier);
}

void TestHelpWindow::enterSearches()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    FrameFixture f;
    THelpEditForm *help = openHelp(f, Sample);
    QLineEdit *box = help->keyWordCombo()->lineEdit();
    box->clear();
    QTest::keyClicks(box, QStringLiteral("medi"));
    QCOMPARE(help->keyWordCombo()->currentText(), QStringLiteral("medi"));
    QTest::keyClick(box, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(viewerText(help), QStringLiteral("Median of the listed variables.\n"));
    QCOMPARE(history(help), (QStringList{"medi", "mean"}));
}

void TestHelpWindow::badHelpFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("keyWords");
    QTest::addColumn<int>("firstLength");
    QTest::addColumn<QString>("shown");
    QByteArray binary(200000, '\0');
    QRandomGenerator random(6);
    for (char &c : binary)
        c = static_cast<char>(random.bounded(256));
    binary.replace("##", "#_");
    QTest::newRow("binary") << binary << 0 << 0 << NotFound;
    QTest::newRow("empty") << QByteArray() << 0 << 0 << NotFound;
    QTest::newRow("stray marker only") << QByteArray("text ## more\r\nnext\r\n") << 0 << 0 << NotFound;
    QTest::newRow("no line ends") << QByteArray("##") + QByteArray(100000, 'k') << 1
                                  << int(THelpEditForm::MaxKeyWordLength) << QString();
    QTest::newRow("long keyword line") << QByteArray("##") + QByteArray(100000, 'k') + "\r\nits entry\r\n"
                                       << 1 << int(THelpEditForm::MaxKeyWordLength) << "its entry\n";
    // Shown in pieces: Qt needs minutes to wrap a paragraph of a million characters.
    QTest::newRow("huge entry line") << QByteArray("##k\r\n") + QByteArray(3000, 'x') << 1 << 1
                                     << QString(1024, 'x') + '\n' + QString(1024, 'x') + '\n' +
                                            QString(952, 'x');
    QTest::newRow("lone LF lines") << QByteArray("##x\nfirst\nsecond") << 1 << 1 << "first\nsecond";
    QByteArray utf16("\xff\xfe");
    for (const QChar c : QString::fromLatin1(Sample))
        utf16.append(char(c.unicode())).append('\0');
    QTest::newRow("UTF-16LE with mark")
        << utf16 << 2 << 4 << "Arithmetic mean of the listed variables.\nUsage: mean(x).\n";
}

void TestHelpWindow::badHelpFiles()
{
    QFETCH(QByteArray, file);
    QFETCH(int, keyWords);
    QFETCH(int, firstLength);
    QFETCH(QString, shown);
    FrameFixture f;
    THelpEditForm *help = openHelp(f, file);
    QVERIFY(help);
    QVERIFY(f.frame().HelpWindowOpen());
    QVERIFY(f.dialogs.errors.isEmpty());
    QCOMPARE(help->keyWordList()->model()->rowCount(), keyWords);
    if (keyWords > 0)
        QCOMPARE(help->keyWordList()->model()->index(0, 0).data().toString().size(), firstLength);
    QCOMPARE(viewerText(help), shown);
    // Every control still works.
    typeAndSearch(help, QStringLiteral("nothing like it"));
    QCOMPARE(viewerText(help), NotFound);
    help->NextClick();
    help->BeforeClick();
    help->KeyWordBackClick();
}

void TestHelpWindow::helpFileVanishesBetweenSearches()
{
    FrameFixture f;
    THelpEditForm *help = openHelp(f, Sample);
    QVERIFY(QFile::remove(f.frame().HelpFilePath));
    typeAndSearch(help, QStringLiteral("median"));
    QCOMPARE(f.dialogs.errors.size(), 1);
    QCOMPARE(f.dialogs.errors.first().title, QStringLiteral("Quelm Help"));
    QVERIFY(f.dialogs.lastError().contains(f.frame().HelpFilePath));
    QVERIFY(viewerText(help).startsWith(QStringLiteral("Arithmetic mean")));
    QCOMPARE(history(help), QStringList{QStringLiteral("mean")});
    QVERIFY(f.frame().HelpWindowOpen());

    f.writeFile(QStringLiteral("quelm.hlp"), Sample);
    help->KeyWordSearchClick();
    QCOMPARE(viewerText(help), QStringLiteral("Median of the listed variables.\n"));
    QCOMPARE(f.dialogs.errors.size(), 1);
}

void TestHelpWindow::helpFileRewrittenInPlace_data()
{
    QTest::addColumn<bool>("oldFile");
    QTest::newRow("file written just before") << false;
    QTest::newRow("file written a while before") << true;
}

// Another program writes the help file again, to the same size, and gives it
// back its time: the next search still reads what it holds now.
void TestHelpWindow::helpFileRewrittenInPlace()
{
    QFETCH(bool, oldFile);
    FrameFixture f;
    const QString path = f.writeFile(QStringLiteral("quelm.hlp"), Sample);
    // Older than the coarsest clock of a file system keeps its times by.
    while (oldFile && QFileInfo(path).metadataChangeTime().msecsTo(QDateTime::currentDateTime()) < 2500)
        QTest::qWait(100);
    f.frame().HelpFilePath = path;
    f.frame().Contents1Click();
    THelpEditForm *help = f.frame().HelpWindow();
    QVERIFY(viewerText(help).startsWith(QStringLiteral("Arithmetic mean")));

    const QDateTime written = QFileInfo(path).lastModified();
    QByteArray changed = Sample;
    changed.replace("Arithmetic mean", "ARITHMETIC MEAN");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QCOMPARE(file.write(changed), Sample.size());
    QVERIFY(file.setFileTime(written, QFileDevice::FileModificationTime));
    file.close();
    typeAndSearch(help, QStringLiteral("mean"));
    QVERIFY(viewerText(help).startsWith(QStringLiteral("ARITHMETIC MEAN")));
}

void TestHelpWindow::printAfterFailedSearch()
{
    FrameFixture f;
    THelpEditForm *help = openHelp(f, Sample);
    typeAndSearch(help, QStringLiteral("variables"));
    const QString pdf = QDir(f.home()).filePath(QStringLiteral("help.pdf"));
    f.frame().printer().setOutputFormat(QPrinter::PdfFormat);
    f.frame().printer().setOutputFileName(pdf);

    // Cancelled: nothing is printed.
    help->findChild<QPushButton *>(QStringLiteral("PrintKeyWord"))->click();
    QCOMPARE(f.dialogs.printRequests, 1);
    QVERIFY(!QFile::exists(pdf));

    StatusRecorder status(f.frame());
    f.dialogs.printAnswers.enqueue(true);
    help->PrintClick();
    QCOMPARE(status.texts, (QStringList{"Printing in Progress ...", "Ready."}));
    const QString text = PdfText::read(pdf);
    QVERIFY2(text.contains(QStringLiteral("Quelm Help")), qPrintable(text));
    QVERIFY2(text.contains(NotFound), qPrintable(text));
    QVERIFY2(!text.contains(QStringLiteral("Arithmetic")), qPrintable(text));

    help->PrintersetupClick();
    QCOMPARE(f.dialogs.printerSetupRequests, 1);
}

void TestHelpWindow::printTakesWrappedLines()
{
    FrameFixture f;
    THelpEditForm *help = openHelp(f, Sample);
    QString longLine;
    for (int i = 0; i < 60; ++i)
        longLine += QStringLiteral("word%1 ").arg(i);
    help->viewer()->setPlainText(longLine + QStringLiteral("\n\nlast\n"));
    const QStringList lines = help->viewerLines();
    QVERIFY(lines.size() > 4);
    QCOMPARE(lines.mid(0, lines.size() - 2).join(QString()), longLine);
    QCOMPARE(lines.mid(lines.size() - 2), (QStringList{QString(), "last"}));
}

void TestHelpWindow::screenFontReachesHelpWindow()
{
    FrameFixture f;
    f.dialogs.fontAnswers.enqueue(QFont(QStringLiteral("Courier New"), 15));
    f.frame().ScreenFontClick();
    THelpEditForm *help = openHelp(f, Sample);
    QCOMPARE(help->viewer()->font().pointSize(), 15);
    f.dialogs.fontAnswers.enqueue(QFont(QStringLiteral("Courier New"), 19));
    help->findChild<QAction *>(QStringLiteral("ScreenFont1"))->trigger();
    QCOMPARE(help->viewer()->font().pointSize(), 19);
    QCOMPARE(f.frame().CommandWindow()->editor()->editorFont().pointSize(), 19);
}

void TestHelpWindow::editMenuActsOnViewer()
{
    FrameFixture f;
    THelpEditForm *help = openHelp(f, Sample);
    auto *edit = help->findChild<QMenu *>(QStringLiteral("Edit2"));
    auto *cut = help->findChild<QAction *>(QStringLiteral("Cut1"));
    auto *copy = help->findChild<QAction *>(QStringLiteral("Copy1"));
    auto *paste = help->findChild<QAction *>(QStringLiteral("Paste1"));
    QApplication::clipboard()->clear();
    emit edit->aboutToShow();
    QVERIFY(!cut->isEnabled());
    QVERIFY(!copy->isEnabled());
    QVERIFY(!paste->isEnabled());

    help->findChild<QAction *>(QStringLiteral("Selectall1"))->trigger();
    emit edit->aboutToShow();
    QVERIFY(cut->isEnabled());
    copy->trigger();
    QCOMPARE(QApplication::clipboard()->text(), viewerText(help));
    emit edit->aboutToShow();
    QVERIFY(paste->isEnabled());
}

void TestHelpWindow::editorWindowPrintsFileNameAndLines()
{
    FrameFixture f;
    const QString file = f.writeFile(QStringLiteral("run1.cf"), "x = 1\r\nprint x\r\n");
    f.frame().OpenCommand(file);
    TCommandEditForm *window = f.frame().CommandWindow();
    QCOMPARE(window->FileName, file);
    const QString pdf = QDir(f.home()).filePath(QStringLiteral("command.pdf"));
    f.frame().printer().setOutputFormat(QPrinter::PdfFormat);
    f.frame().printer().setOutputFileName(pdf);
    StatusRecorder status(f.frame());
    f.dialogs.printAnswers.enqueue(true);
    window->findChild<QAction *>(QStringLiteral("Print1"))->trigger();
    QCOMPARE(status.texts, (QStringList{"Printing in Progress ...", "Ready."}));
    const QString text = PdfText::read(pdf);
    QVERIFY2(text.contains(file), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("x = 1")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("print x")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("1/1")), qPrintable(text));

    window->findChild<QAction *>(QStringLiteral("Printersetup1"))->trigger();
    QCOMPARE(f.dialogs.printerSetupRequests, 1);
}

QTEST_MAIN(TestHelpWindow)
#include "tst_helpwindow.moc"
