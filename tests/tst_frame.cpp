#include "FrameFixture.h"
#include "RunHelpers.h"

#include "app/MDIFrame.h"
#include "app/Version.h"
#include "documents/MDIAnother.h"
#include "documents/MDICommand.h"
#include "documents/MDIMaster.h"
#include "documents/MDIOutput.h"
#include "editor/TextEditor.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using Answer = UserDialogs::Answer;

// The main frame: start-up, menus, closing, fonts and window arrangement.
class TestFrame : public QObject
{
    Q_OBJECT

private slots:
    void startupLayout();
    void menuBarMergesActiveChildMenus();
    void frameMenus_data();
    void frameMenus();
    void shortcutsReachActiveChild();
    void windowListActivatesChosen();
    void frameCloseAsksEveryChildFirst();
    void frameCloseRefusedWhileRunning();
    void yesWithCancelledSaveAsKeepsFrameOpen();
    void screenFontReachesEditors();
    void tiling();
    void cascadeKeepsWindowsUsable();
    void aboutBox();
    void fontDialogStartsOnFaceInUse_data();
    void fontDialogStartsOnFaceInUse();
    void fontDialogOffersNoEffects();
};

void TestFrame::startupLayout()
{
    FrameFixture f;
    TFrameForm &frame = f.frame();
    QCOMPARE(frame.CommandWindow()->windowBounds(), QRect(166, 4, 421, 163));
    QCOMPARE(frame.OutputWindow()->windowBounds(), QRect(166, 171, 421, 163));
    QCOMPARE(frame.mdiArea()->activeSubWindow()->widget(), frame.CommandWindow());
    QVERIFY(frame.CommandWindow()->windowTitle().endsWith(QStringLiteral("[Untitled]")));
    QCOMPARE(frame.CommandWindow()->windowTitle(), QStringLiteral("COMMAND - [Untitled]"));
    QCOMPARE(frame.OutputWindow()->windowTitle(), QStringLiteral("OUTPUT - [Untitled]"));
#ifdef Q_OS_WIN
    // Elsewhere the engine comes from PATH (tst_desktop).
    QCOMPARE(frame.EnginePath, QStringLiteral("c:\\quelm63\\quelm.exe"));
    QCOMPARE(frame.HelpFilePath, QStringLiteral("c:\\quelm63\\quelm.hlp"));
#endif
    QCOMPARE(frame.CommandFileExtension, QStringLiteral(".cf"));
    QCOMPARE(frame.OutputFileExtension, QStringLiteral(".out"));
    QCOMPARE(frame.CommandWindow()->SaveFileDialog.filter, QStringLiteral("Command Files [.cf]|*.cf"));
    QCOMPARE(frame.CommandWindow()->SaveFileDialog.title, QStringLiteral("Save Command File"));
    QCOMPARE(frame.OutputWindow()->SaveFileDialog.filter, QStringLiteral("Output Files [.out]|*.out"));
    QCOMPARE(frame.OutputWindow()->SaveFileDialog.defaultExtension, QStringLiteral(".out"));
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
    QCOMPARE(titles, (QStringList{"&File", "&Edit", "E&xecute", "&Window", "&Help"}));
    // The command window's own File menu is the one shown.
    QVERIFY(f.frame().menuBar()->actions().first()->menu()->findChild<QAction *>(
        QStringLiteral("OpenMasterFile1")));
    f.frame().mdiArea()->setActiveSubWindow(
        qobject_cast<QMdiSubWindow *>(f.frame().OutputWindow()->parentWidget()));
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
    QTest::newRow("stop") << "StopQuelm1"
                          << "Stop Quelm" << QKeySequence(Qt::CTRL | Qt::Key_F7);
    QTest::newRow("run log") << "RunLog1"
                             << "Run &Log" << QKeySequence();
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

void TestFrame::shortcutsReachActiveChild()
{
    FrameFixture f;
    QApplication::setActiveWindow(&f.frame());
    QVERIFY(QTest::qWaitForWindowActive(&f.frame()));
    TCommandEditForm *command = f.frame().CommandWindow();
    FrameFixture::type(command, QStringLiteral("hello"));
    QTest::keyClick(command->editor(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(command->editor()->selectionLength(), 5);
    QTest::keyClick(command->editor(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("hello"));
    QTest::keyClick(command->editor(), Qt::Key_F6);
    QCOMPARE(f.dialogs.saveRequests.size(), 1);
    QCOMPARE(f.dialogs.saveRequests.first().title, QStringLiteral("Save Command File"));

    // F6 in the output window saves the output window.
    TOutputEditForm *output = f.frame().OutputWindow();
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
    QCOMPARE(f.frame().mdiArea()->activeSubWindow()->widget(), f.frame().OutputWindow());
}

void TestFrame::frameCloseAsksEveryChildFirst()
{
    FrameFixture f;
    FrameFixture::type(f.frame().CommandWindow(), QStringLiteral("x"));
    FrameFixture::type(f.frame().OutputWindow(), QStringLiteral("y"));
    f.dialogs.answers << Answer::No << Answer::Cancel;
    QVERIFY(!f.frame().close());
    QCOMPARE(f.dialogs.questions.size(), 2);
    QVERIFY(f.frame().isVisible());
}

void TestFrame::frameCloseRefusedWhileRunning()
{
    FrameFixture f;
    // An engine that runs until the test lets it go.
    RunHelpers::makeEngine(f, RunHelpers::WaitForGo);
    const QString commandFile = RunHelpers::openCommand(f, QStringLiteral("held.cf"));
    f.frame().ExecQuelm();
    QVERIFY(f.frame().EngineRunning());
    FrameFixture::type(f.frame().CommandWindow(), QStringLiteral("x"));
    f.dialogs.answers.enqueue(Answer::No);
    QVERIFY(!f.frame().close());
    QCOMPARE(f.dialogs.questions.size(), 1);
    QCOMPARE(f.dialogs.errors.size(), 1);
    QCOMPARE(f.dialogs.errors.first().title, QStringLiteral("Close Ostrel"));
    QCOMPARE(f.dialogs.errors.first().text, QStringLiteral("Quelm is still executing"));
    QVERIFY(!QFile::exists(f.home() + QStringLiteral("/ostrel.ini")));
    RunHelpers::letGo(commandFile);
    QVERIFY(RunHelpers::runEnded(f.frame()));
}

void TestFrame::yesWithCancelledSaveAsKeepsFrameOpen()
{
    FrameFixture f;
    FrameFixture::type(f.frame().CommandWindow(), QStringLiteral("precious"));
    f.dialogs.answers.enqueue(Answer::Yes); // Save changes to Untitled? -> Save As, cancelled
    QVERIFY(!f.frame().close());
    QCOMPARE(f.dialogs.saveRequests.size(), 1);
    QVERIFY(f.frame().CommandWindow()->isModified());
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
    QVERIFY(f.frame().MasterWindowOpen());
    QCOMPARE(f.frame().MasterWindow()->windowTitle(), QStringLiteral("MASTER - ") + jobs);

    // Close A, then B: C moves to position 1.
    f.frame().AnotherWindows().at(0)->parentWidget()->close();
    f.frame().AnotherWindows().at(0)->parentWidget()->close();
    QCOMPARE(f.frame().AnotherCount(), 1);
    QCOMPARE(f.frame().AnotherWindows().at(0)->AnotherIndex, 1);
    QCOMPARE(f.frame().AnotherWindows().at(0)->FileName, c);

    QFont font(QStringLiteral("Times New Roman"), 17);
    f.dialogs.fontAnswers.enqueue(font);
    f.frame().ScreenFontClick();
    QCOMPARE(f.frame().CommandWindow()->editor()->editorFont().pointSize(), 17);
    QCOMPARE(f.frame().OutputWindow()->editor()->editorFont().pointSize(), 17);
    QCOMPARE(f.frame().AnotherWindows().at(0)->editor()->editorFont().pointSize(), 17);
    QCOMPARE(f.frame().MasterWindow()->editor()->editorFont().pointSize(), 10);
}

void TestFrame::tiling()
{
    FrameFixture f;
    const QRect area = f.frame().mdiArea()->viewport()->rect();
    f.frame().TileVertical1Click();
    const QRect command = f.frame().CommandWindow()->windowBounds();
    const QRect output = f.frame().OutputWindow()->windowBounds();
    QCOMPARE(command.top(), output.top());
    QCOMPARE(command.height(), area.height());
    QVERIFY(command.right() < output.left());
    f.frame().TileHorizontal1Click();
    QCOMPARE(f.frame().CommandWindow()->windowBounds().width(), area.width());
    QVERIFY(f.frame().CommandWindow()->windowBounds().bottom() <
            f.frame().OutputWindow()->windowBounds().top());

    // Minimised windows line up along the bottom, side by side.
    QWidget *commandSub = f.frame().CommandWindow()->parentWidget();
    QWidget *outputSub = f.frame().OutputWindow()->parentWidget();
    commandSub->showMinimized();
    outputSub->showMinimized();
    commandSub->move(300, 10);
    f.frame().Arrangeicons1Click();
    QCOMPARE(commandSub->geometry().bottom(), area.bottom());
    QCOMPARE(outputSub->geometry().bottom(), area.bottom());
    QCOMPARE(qMin(commandSub->x(), outputSub->x()), 0);
    QCOMPARE(qAbs(commandSub->x() - outputSub->x()), commandSub->width());
}

void TestFrame::cascadeKeepsWindowsUsable()
{
    FrameFixture f;
    f.resizeOuter(QSize(900, 700));
    const QRect area = f.frame().mdiArea()->viewport()->rect();
    f.frame().Cascade1Click();
    QList<QRect> places;
    for (QMdiSubWindow *sub : f.frame().mdiArea()->subWindowList(QMdiArea::StackingOrder))
        places.append(sub->geometry());
    QCOMPARE(places.size(), 3);
    for (int i = 0; i < places.size(); ++i) {
        QVERIFY2(places.at(i).width() >= area.width() * 2 / 3, qPrintable(QString::number(i)));
        QVERIFY(places.at(i).height() >= area.height() * 2 / 3);
        QVERIFY(area.contains(places.at(i)));
    }
    // One step apart, the active window on top and in front.
    QVERIFY(places.at(1).topLeft().x() > places.at(0).topLeft().x());
    QCOMPARE(places.at(2).topLeft() - places.at(1).topLeft(),
             places.at(1).topLeft() - places.at(0).topLeft());
    QCOMPARE(f.frame().mdiArea()->subWindowList(QMdiArea::StackingOrder).constLast(),
             f.frame().mdiArea()->activeSubWindow());
}

void TestFrame::aboutBox()
{
    FrameFixture f;
    // Off the middle of the screen, so that a box centred on the frame shows.
    f.frame().move(0, 0);
    QTimer::singleShot(0, [] {
        QWidget *box = QApplication::activeModalWidget();
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), QStringLiteral("About Ostrel"));
        QCOMPARE(box->size(), QSize(255, 139));
        const QPoint offCentre = box->frameGeometry().center() - box->screen()->availableGeometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 2,
                 qPrintable(QStringLiteral("%1 %2").arg(offCentre.x()).arg(offCentre.y())));
        // Name, version and licence each on a line of their own, whole, inside the box.
        QStringList lines;
        QRect previous;
        for (const char *name : {"ProductName", "Version", "Copyright"}) {
            auto *label = box->findChild<QLabel *>(QLatin1String(name));
            QVERIFY(label);
            QVERIFY(box->rect().contains(label->geometry()));
            QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
            QVERIFY(label->geometry().top() >= previous.bottom());
            previous = label->geometry();
            lines << label->text();
        }
        QCOMPARE(lines, (QStringList{"Ostrel", "Version " OSTREL_VERSION, "Licence: GNU GPL 3 or later"}));
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

void TestFrame::fontDialogStartsOnFaceInUse_data()
{
    QTest::addColumn<bool>("screen");
    QTest::addColumn<bool>("otherFace");
    QTest::newRow("screen font, only the size changed") << true << false;
    QTest::newRow("print font, only the size changed") << false << false;
    QTest::newRow("screen font, another face") << true << true;
}

void TestFrame::fontDialogStartsOnFaceInUse()
{
    QFETCH(bool, screen);
    QFETCH(bool, otherFace);
    FrameFixture f;
    TFrameForm &frame = f.frame();
    const QFont before = screen ? frame.screenFont() : frame.printFont();
    // The user keeps the face the dialog shows and picks 14 points, or picks
    // another face; the underline box is not offered, so none comes back.
    f.dialogs.fontAnswers.enqueue(std::nullopt);
    screen ? frame.ScreenFontClick() : frame.PrintFontClick();
    QCOMPARE(f.dialogs.fontRequests.size(), 1);
    const QFont shown = f.dialogs.fontRequests.first();
    QCOMPARE(shown.family(), QFontInfo(before).family());
    QCOMPARE(shown.pointSize(), before.pointSize());

    QFont chosen = shown;
    chosen.setPointSize(14);
    if (otherFace)
        chosen.setFamily(QStringLiteral("Another Face"));
    f.dialogs.fontAnswers.enqueue(chosen);
    screen ? frame.ScreenFontClick() : frame.PrintFontClick();
    const QFont after = screen ? frame.screenFont() : frame.printFont();
    QCOMPARE(after.pointSize(), 14);
    QCOMPARE(after.family(), otherFace ? QStringLiteral("Another Face") : QStringLiteral("Courier New"));
    if (screen)
        QCOMPARE(frame.CommandWindow()->editor()->editorFont().family(), after.family());
    // What the settings file keeps.
    frame.close();
    const QByteArray ini = f.readFile(f.home() + QStringLiteral("/ostrel.ini"));
    const QByteArray line = "14 " + after.family().toUtf8() + "\r\n";
    QVERIFY2(ini.contains((screen ? "[Screen Font]\r\n" : "[Print Font]\r\n") + line), ini.constData());
}

void TestFrame::fontDialogOffersNoEffects()
{
    QtUserDialogs dialogs;
    bool checked = false;
    QTimer::singleShot(0, [&checked] {
        QWidget *dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        for (const QCheckBox *box : dialog->findChildren<QCheckBox *>())
            QVERIFY2(!box->isVisible(), qPrintable(box->text()));
        checked = true;
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    QTimer failSafe;
    failSafe.setSingleShot(true);
    connect(&failSafe, &QTimer::timeout, [] {
        if (QWidget *dialog = QApplication::activeModalWidget())
            dialog->close();
    });
    failSafe.start(2000);
    QVERIFY(!dialogs.chooseFont(nullptr, QFont()));
    QVERIFY(checked);
}

QTEST_MAIN(TestFrame)
#include "tst_frame.moc"
