#include "FrameFixture.h"
#include "UserInput.h"

#include "app/MDIFrame.h"
#include "documents/FileHistory.h"
#include "documents/MDIAnother.h"
#include "documents/MDICommand.h"
#include "documents/MDIMaster.h"
#include "documents/MDIOutput.h"
#include "editor/TextEditor.h"
#include "explorer/MDIExplorer.h"

#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QToolButton>
#include <QtTest>

using Answer = UserDialogs::Answer;

// The frame's flows that open files into the editor windows, their histories
// and save questions, and the file named on the command line.
class TestDocuments : public QObject
{
    Q_OBJECT

private slots:
    void openDialogRequests_data();
    void openDialogRequests();
    void openCommandFollowsFile();
    void openMovesHistoryEntryOfSameFile();
    void saveQuestion_data();
    void saveQuestion();
    void historyPick_data();
    void historyPick();
    void newCommandFile();
    void firstArgument_data();
    void firstArgument();
    void openAnotherWindows();
    void anotherIndexAfterClosing_data();
    void anotherIndexAfterClosing();
    void unreadableFileClosesNewWindow();
    void openThisWindow();
    void manyOtherWindows();
    void masterWindow();
    void saveAsMovesCurrentFolder_data();
    void saveAsMovesCurrentFolder();
    void historyListShowsItsRows_data();
    void historyListShowsItsRows();
    void scrollBarFollowsNewText();
};

void TestDocuments::openDialogRequests_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("extension");
    QTest::newRow("command") << "command"
                             << "Open Command File"
                             << "Command Files [.cf]|*.cf"
                             << ".cf";
    QTest::newRow("output") << "output"
                            << "Open Output File"
                            << "Output Files [.out]|*.out"
                            << ".out";
    QTest::newRow("another")
        << "another"
        << "Open Another File"
        << "Quelm and Text Files [.cf,.out,.txt]|*.cf;*.out;*.txt|Text Files [.txt]|*.txt|"
           "All Files [*.*]|*.*"
        << ".mst";
    QTest::newRow("master") << "master"
                            << "Open Master File"
                            << "Output Files [.mst]|*.mst"
                            << ".txt";
}

void TestDocuments::openDialogRequests()
{
    QFETCH(QString, command);
    QFETCH(QString, title);
    QFETCH(QString, filter);
    QFETCH(QString, extension);
    FrameFixture f;
    TFrameForm &frame = f.frame();
    if (command == QLatin1String("command"))
        frame.OpenCommandClick();
    else if (command == QLatin1String("output"))
        frame.OpenOutputClick();
    else if (command == QLatin1String("another"))
        frame.OpenAnotherClick();
    else
        frame.OpenMasterClick();
    QCOMPARE(f.dialogs.openRequests.size(), 1);
    const UserDialogs::FileRequest request = f.dialogs.openRequests.first();
    QCOMPARE(request.title, title);
    QCOMPARE(request.filter, filter);
    QCOMPARE(request.defaultExtension, extension);
    QVERIFY(request.initialName.isEmpty());
    // A cancelled dialog changes nothing.
    QCOMPARE(frame.AnotherCount(), 0);
    QVERIFY(!frame.MasterWindowOpen());
    QCOMPARE(frame.CommandWindow()->windowTitle(), QStringLiteral("COMMAND - [Untitled]"));
}

void TestDocuments::openCommandFollowsFile()
{
    FrameFixture f;
    const QString path = f.writeFile(QStringLiteral("sub dir/ünï $;'q'.cf"), "x=2\n");
    f.dialogs.openAnswers.enqueue(path);
    f.frame().OpenCommandClick();
    TCommandEditForm *command = f.frame().CommandWindow();
    QCOMPARE(command->windowTitle(), QStringLiteral("COMMAND - ") + path);
    QCOMPARE(command->FileName, path);
    QCOMPARE(f.frame().CommandFileName, path);
    QCOMPARE(command->editor()->bytes(), QByteArray("x=2\n"));
    QCOMPARE(command->historyEntries(), QStringList{path});
    QCOMPARE(command->fileCombo()->currentIndex(), 0);
    QCOMPARE(QDir::currentPath(), QFileInfo(path).absolutePath());
    QCOMPARE(f.frame().mdiArea()->activeSubWindow()->widget(), command);
}

void TestDocuments::openMovesHistoryEntryOfSameFile()
{
    FrameFixture f;
    const QString lower = f.writeFile(QStringLiteral("run.cf"), "a");
    const QString other = f.writeFile(QStringLiteral("b.cf"), "b");
    const QString upper = f.writeFile(QStringLiteral("RUN.cf"), "A");
    f.frame().OpenCommand(lower);
    f.frame().OpenCommand(other);
    f.frame().OpenCommand(other);
    QCOMPARE(f.frame().CommandWindow()->historyEntries(), (QStringList{other, lower}));
    f.frame().OpenCommand(upper);
    // Where letter case makes no other file, the old entry moves up in its
    // own letter case; here RUN.cf and run.cf are two files, two entries.
    const QStringList expected = FileHistory::platformPathCase() == Qt::CaseInsensitive
                                     ? QStringList{lower, other}
                                     : QStringList{upper, other, lower};
    QCOMPARE(f.frame().CommandWindow()->historyEntries(), expected);
    QCOMPARE(f.frame().CommandFileName, upper);
    QCOMPARE(f.frame().CommandWindow()->windowTitle(), QStringLiteral("COMMAND - ") + upper);
    // The next start reopens the file the window showed.
    QCOMPARE(QFileInfo(f.frame().CommandWindow()->historyEntries().first()).fileName(),
             FileHistory::platformPathCase() == Qt::CaseInsensitive ? QStringLiteral("run.cf")
                                                                    : QStringLiteral("RUN.cf"));
}

void TestDocuments::saveQuestion_data()
{
    QTest::addColumn<bool>("output");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<bool>("saveAsChosen");
    QTest::addColumn<bool>("opened");
    QTest::newRow("command cancel") << false << QList<int>{int(Answer::Cancel)} << false << false;
    QTest::newRow("command no") << false << QList<int>{int(Answer::No)} << false << true;
    QTest::newRow("command yes, save as cancelled")
        << false << QList<int>{int(Answer::Yes)} << false << false;
    QTest::newRow("command yes, saved") << false << QList<int>{int(Answer::Yes)} << true << true;
    QTest::newRow("output cancel") << true << QList<int>{int(Answer::Cancel)} << false << false;
    QTest::newRow("output no") << true << QList<int>{int(Answer::No)} << false << true;
    QTest::newRow("output yes, save as cancelled") << true << QList<int>{int(Answer::Yes)} << false << false;
}

void TestDocuments::saveQuestion()
{
    QFETCH(bool, output);
    QFETCH(QList<int>, answers);
    QFETCH(bool, saveAsChosen);
    QFETCH(bool, opened);
    FrameFixture f;
    TEditForm *window =
        output ? static_cast<TEditForm *>(f.frame().OutputWindow()) : f.frame().CommandWindow();
    const QString file = f.writeFile(output ? QStringLiteral("r.out") : QStringLiteral("r.cf"), "file");
    FrameFixture::type(window, QStringLiteral("typed"));
    for (int answer : answers)
        f.dialogs.answers.enqueue(Answer(answer));
    const QString savedAs = f.home() + QStringLiteral("/saved.txt");
    if (saveAsChosen)
        f.dialogs.saveAnswers.enqueue(savedAs);
    f.dialogs.openAnswers.enqueue(file);
    if (output)
        f.frame().OpenOutputClick();
    else
        f.frame().OpenCommandClick();

    QCOMPARE(f.dialogs.questions.first(), output ? QStringLiteral("Save changes to current output file?")
                                                 : QStringLiteral("Save changes to current command file?"));
    QCOMPARE(f.dialogs.openRequests.size(), opened ? 1 : 0);
    QCOMPARE(window->FileName, opened ? file : (saveAsChosen ? savedAs : QStringLiteral("Untitled")));
    if (!opened)
        QCOMPARE(window->editor()->bytes(), QByteArray("typed"));
    if (saveAsChosen)
        QCOMPARE(f.readFile(savedAs), QByteArray("typed"));
}

void TestDocuments::historyPick_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<bool>("modified");
    QTest::newRow("existing file") << true << false;
    QTest::newRow("file gone") << false << false;
    QTest::newRow("cancel at the save question") << true << true;
}

void TestDocuments::historyPick()
{
    QFETCH(bool, exists);
    QFETCH(bool, modified);
    FrameFixture f;
    const QString a = f.writeFile(QStringLiteral("a.out"), "A");
    const QString b = f.writeFile(QStringLiteral("b.out"), "B");
    f.frame().OpenOutput(a);
    f.frame().OpenOutput(b);
    if (!exists)
        QFile::remove(a);
    if (modified)
        FrameFixture::type(f.frame().OutputWindow(), QStringLiteral("edit"));
    QComboBox *combo = f.frame().OutputWindow()->fileCombo();
    UserInput::pickComboEntry(combo, 1);
    if (exists && !modified) {
        QCOMPARE(f.frame().OutputFileName, a);
        QCOMPARE(f.frame().OutputWindow()->historyEntries(), (QStringList{a, b}));
        QVERIFY(f.dialogs.errors.isEmpty());
        return;
    }
    if (!exists) {
        QCOMPARE(f.dialogs.errors.size(), 1);
        QCOMPARE(f.dialogs.errors.first().title, QStringLiteral("Open"));
        QCOMPARE(f.dialogs.errors.first().text, QStringLiteral("Cannot read selected file."));
    } else {
        QCOMPARE(f.dialogs.questions, QStringList{QStringLiteral("Save changes to current output file?")});
    }
    // The window still shows b, and so does the list.
    QCOMPARE(f.frame().OutputFileName, b);
    QCOMPARE(f.frame().OutputWindow()->historyEntries(), (QStringList{b, a}));
    QCOMPARE(combo->currentIndex(), 0);
    QCOMPARE(combo->currentText(), b);
}

void TestDocuments::newCommandFile()
{
    FrameFixture f;
    const QString a = f.writeFile(QStringLiteral("a.cf"), "A");
    f.frame().OpenCommand(a);
    f.frame().NewCommandClick();
    TCommandEditForm *command = f.frame().CommandWindow();
    QVERIFY(f.dialogs.questions.isEmpty());
    QCOMPARE(command->windowTitle(), QStringLiteral("COMMAND - [Untitled]"));
    QCOMPARE(command->FileName, QStringLiteral("Untitled"));
    QVERIFY(f.frame().CommandFileName.isEmpty());
    QCOMPARE(command->editor()->bytes(), QByteArray());
    QCOMPARE(command->historyEntries(), QStringList{a});
    QCOMPARE(command->fileCombo()->currentIndex(), -1);
}

void TestDocuments::firstArgument_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("window");
    QTest::newRow("command, upper case") << "RUN1.CF"
                                         << "command";
    QTest::newRow("output") << "result.out"
                            << "output";
    QTest::newRow("text") << "notes.txt"
                          << "another";
    QTest::newRow("no extension, dotted folder") << "data.v2/README"
                                                 << "another";
    QTest::newRow("missing file") << ""
                                  << "none";
}

void TestDocuments::firstArgument()
{
    QFETCH(QString, name);
    QFETCH(QString, window);
    QTemporaryDir dir;
    const QString path = name.isEmpty() ? dir.filePath(QStringLiteral("missing.cf")) : dir.filePath(name);
    if (!name.isEmpty()) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("text");
    }
    FrameFixture f({path});
    TFrameForm &frame = f.frame();
    QCOMPARE(frame.CommandFileName, window == QLatin1String("command") ? path : QString());
    QCOMPARE(frame.OutputFileName, window == QLatin1String("output") ? path : QString());
    QCOMPARE(frame.AnotherCount(), window == QLatin1String("another") ? 1 : 0);
    if (window == QLatin1String("another"))
        QCOMPARE(frame.AnotherWindows().first()->windowTitle(), QStringLiteral("Other - ") + path);
    QVERIFY(f.dialogs.errors.isEmpty());
}

void TestDocuments::openAnotherWindows()
{
    FrameFixture f;
    const QString jobs = f.writeFile(QStringLiteral("JOBS.MST"), "a\r\n");
    f.dialogs.openAnswers.enqueue(jobs);
    f.frame().OpenAnotherClick();
    f.frame().OpenAnother(jobs);
    QCOMPARE(f.frame().AnotherCount(), 2);
    QVERIFY(!f.frame().MasterWindowOpen());
    TAnotherEditForm *first = f.frame().AnotherWindows().at(0);
    TAnotherEditForm *second = f.frame().AnotherWindows().at(1);
    QCOMPARE(first->windowTitle(), QStringLiteral("Other - ") + jobs);
    QCOMPARE(second->AnotherIndex, 2);
    QCOMPARE(f.frame().mdiArea()->activeSubWindow()->widget(), second);
    // New windows open inside the client area, as large as it allows.
    const QRect area = f.frame().mdiArea()->viewport()->rect();
    QVERIFY(area.contains(second->parentWidget()->geometry()));
    QCOMPARE(second->parentWidget()->size(), QSize(657, 394).boundedTo(area.size()));
    // Each window has its own text.
    FrameFixture::type(first, QStringLiteral("x"));
    QVERIFY(first->isModified());
    QVERIFY(!second->isModified());
    // Save As gives the other-file prefix and the plain-text filter.
    const QString copy = f.home() + QStringLiteral("/copy.txt");
    f.dialogs.saveAnswers.enqueue(copy);
    QVERIFY(first->SaveAsClick());
    QCOMPARE(first->windowTitle(), QStringLiteral("ANOTHER - ") + copy);
    QCOMPARE(f.dialogs.saveRequests.first().filter,
             QStringLiteral("Test Files [.txt]|*.txt|All Files [*.*]|*.*"));
    QCOMPARE(f.dialogs.saveRequests.first().defaultExtension, QStringLiteral(".txt"));
}

void TestDocuments::anotherIndexAfterClosing_data()
{
    QTest::addColumn<QList<int>>("closeOrder");
    QTest::addColumn<QStringList>("remaining");
    QTest::newRow("A then B") << QList<int>{0, 1} << QStringList{"C"};
    QTest::newRow("C then A") << QList<int>{2, 0} << QStringList{"B"};
    QTest::newRow("B only") << QList<int>{1} << QStringList{"A", "C"};
    QTest::newRow("all, last first") << QList<int>{2, 1, 0} << QStringList{};
}

void TestDocuments::anotherIndexAfterClosing()
{
    QFETCH(QList<int>, closeOrder);
    QFETCH(QStringList, remaining);
    FrameFixture f;
    QList<TAnotherEditForm *> windows;
    for (const QString &name : {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}) {
        f.frame().OpenAnother(f.writeFile(name, name.toLatin1()));
        windows.append(f.frame().AnotherWindows().last());
    }
    for (int index : closeOrder)
        windows.at(index)->parentWidget()->close();
    QCOMPARE(f.frame().AnotherCount(), remaining.size());
    for (int i = 0; i < remaining.size(); ++i) {
        QCOMPARE(QFileInfo(f.frame().AnotherWindows().at(i)->FileName).fileName(), remaining.at(i));
        QCOMPARE(f.frame().AnotherWindows().at(i)->AnotherIndex, i + 1);
    }
}

void TestDocuments::unreadableFileClosesNewWindow()
{
    FrameFixture f;
    f.frame().OpenAnother(f.writeFile(QStringLiteral("keep.txt"), "k"));
    const QString gone = f.home() + QStringLiteral("/gone.txt");
    const qsizetype windows = f.frame().mdiArea()->subWindowList().size();
    f.frame().OpenAnother(gone);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(f.dialogs.lastError(), QStringLiteral("Cannot open file ") + gone + QLatin1Char('.'));
    QCOMPARE(f.frame().AnotherCount(), 1);
    QCOMPARE(f.frame().mdiArea()->subWindowList().size(), windows);
}

void TestDocuments::openThisWindow()
{
    FrameFixture f;
    const QString a = f.writeFile(QStringLiteral("a.txt"), "A");
    const QString b = f.writeFile(QStringLiteral("b.txt"), "B");
    f.frame().OpenAnother(a);
    TAnotherEditForm *window = f.frame().AnotherWindows().first();
    FrameFixture::type(window, QStringLiteral("edit "));
    f.dialogs.answers.enqueue(Answer::Cancel);
    window->OpenThisClick();
    QCOMPARE(f.dialogs.questions, QStringList{"Save changes to current file?"});
    QVERIFY(f.dialogs.openRequests.isEmpty());

    f.dialogs.answers.enqueue(Answer::Yes);
    f.dialogs.openAnswers.enqueue(b);
    window->OpenThisClick();
    QCOMPARE(f.readFile(a), QByteArray("edit A"));
    QCOMPARE(f.dialogs.openRequests.first().defaultExtension, QStringLiteral(".txt"));
    QCOMPARE(window->windowTitle(), QStringLiteral("Other - ") + b);
    QCOMPARE(window->AnotherIndex, 1);
}

void TestDocuments::manyOtherWindows()
{
    FrameFixture f;
    const QString path = f.writeFile(QStringLiteral("n.txt"), "n");
    for (int i = 0; i < 200; ++i)
        f.frame().OpenAnother(path);
    QCOMPARE(f.frame().AnotherCount(), 200);
    QCOMPARE(f.frame().AnotherWindows().last()->AnotherIndex, 200);
    QCOMPARE(f.frame().AnotherWindows().at(127)->windowTitle(), QStringLiteral("Other - ") + path);
}

void TestDocuments::masterWindow()
{
    FrameFixture f;
    f.frame().OpenMasterClick(); // cancelled
    QVERIFY(!f.frame().MasterWindowOpen());
    const QString jobs = f.writeFile(QStringLiteral("jobs.mst"), "a.cf\r\n");
    f.dialogs.openAnswers.enqueue(jobs);
    f.frame().OpenMasterClick();
    QVERIFY(f.frame().MasterWindowOpen());
    TMasterEditForm *master = f.frame().MasterWindow();
    QCOMPARE(master->windowTitle(), QStringLiteral("MASTER - ") + jobs);

    f.frame().OpenMasterClick();
    QCOMPARE(f.dialogs.openRequests.size(), 2);

    const QString saved = f.home() + QStringLiteral("/other.mst");
    f.dialogs.saveAnswers.enqueue(saved);
    QVERIFY(master->SaveAsClick());
    QCOMPARE(master->windowTitle(), QStringLiteral("MASTER - ") + saved);

    // The tool bar's Save button saves, as F6 does.
    FrameFixture::type(master, QStringLiteral("b.cf\r"));
    QVERIFY(master->isModified());
    QTest::mouseClick(master->findChild<QToolButton *>(QStringLiteral("SaveButton")), Qt::LeftButton);
    QVERIFY(!master->isModified());
    QVERIFY(f.readFile(saved).startsWith("b.cf\r\n"));

    master->parentWidget()->close();
    QVERIFY(!f.frame().MasterWindowOpen());
    f.dialogs.openAnswers.enqueue(jobs);
    f.frame().OpenMasterClick();
    QVERIFY(f.frame().MasterWindowOpen());
}

void TestDocuments::saveAsMovesCurrentFolder_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("moves");
    QTest::newRow("command") << "command" << true;
    QTest::newRow("output") << "output" << true;
    QTest::newRow("other file") << "another" << false;
}

void TestDocuments::saveAsMovesCurrentFolder()
{
    QFETCH(QString, kind);
    QFETCH(bool, moves);
    FrameFixture f;
    TEditForm *window = nullptr;
    if (kind == QLatin1String("command")) {
        window = f.frame().CommandWindow();
    } else if (kind == QLatin1String("output")) {
        window = f.frame().OutputWindow();
    } else {
        f.frame().OpenAnother(f.writeFile(QStringLiteral("notes.txt"), "n"));
        window = f.frame().AnotherWindows().constFirst();
    }
    const QString before = QDir::currentPath();
    const QString folder = f.home() + QStringLiteral("/elsewhere");
    QVERIFY(QDir().mkpath(folder));
    FrameFixture::type(window, QStringLiteral("x"));
    f.dialogs.saveAnswers.enqueue(folder + QStringLiteral("/saved.cf"));
    QVERIFY(window->SaveAsClick());
    QCOMPARE(QDir::currentPath(), moves ? QDir(folder).canonicalPath() : before);
    auto *explorerFiles = f.frame().ExplorerWindow()->findChild<QListWidget *>(QStringLiteral("FileListBox"));
    QCOMPARE(explorerFiles->findItems(QStringLiteral("saved.cf"), Qt::MatchExactly).size(), moves ? 1 : 0);
}

void TestDocuments::historyListShowsItsRows_data()
{
    QTest::addColumn<bool>("output");
    QTest::addColumn<int>("rows");
    QTest::newRow("command history") << false << 20;
    QTest::newRow("output history") << true << 15;
}

void TestDocuments::historyListShowsItsRows()
{
    QFETCH(bool, output);
    QFETCH(int, rows);
    FrameFixture f;
    TEditForm *window =
        output ? static_cast<TEditForm *>(f.frame().OutputWindow()) : f.frame().CommandWindow();
    for (int i = 0; i < 40; ++i) {
        const QString path = f.writeFile(QStringLiteral("f%1.%2").arg(i).arg(output ? "out" : "cf"), "x");
        output ? f.frame().OpenOutput(path) : f.frame().OpenCommand(path);
    }
    QCOMPARE(UserInput::visibleComboRows(window->fileCombo()), rows);
}

void TestDocuments::scrollBarFollowsNewText()
{
    FrameFixture f;
    TCommandEditForm *command = f.frame().CommandWindow();
    QScrollBar *bar = command->editor()->horizontalScrollBar();
    f.frame().OpenCommand(f.writeFile(QStringLiteral("wide.cf"), QByteArray(3000, 'w') + "\r\n"));
    QVERIFY(QTest::qWaitFor([bar] { return bar->isVisible(); }));
    f.frame().OpenCommand(f.writeFile(QStringLiteral("narrow.cf"), "n\r\n"));
    QVERIFY(QTest::qWaitFor([bar] { return !bar->isVisible(); }));
    f.frame().OpenCommand(f.writeFile(QStringLiteral("wide2.cf"), QByteArray(3000, 'w') + "\r\n"));
    QVERIFY(QTest::qWaitFor([bar] { return bar->isVisible(); }));
    f.frame().NewCommandClick();
    QVERIFY(QTest::qWaitFor([bar] { return !bar->isVisible(); }));
}

QTEST_MAIN(TestDocuments)
#include "tst_documents.moc"
