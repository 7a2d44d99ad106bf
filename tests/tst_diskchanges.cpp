#include "FrameFixture.h"
#include "RunHelpers.h"
#include "UserInput.h"

#include "app/MDIFrame.h"
#include "diskchanges/DiskWatcher.h"
#include "diskchanges/FileSnapshot.h"
#include "documents/MDIAnother.h"
#include "documents/MDICommand.h"
#include "documents/MDIOutput.h"
#include "editor/TextEditor.h"
#include "engine/LaunchScript.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

using UserInput::pressKey;
using UserInput::typeText;

namespace {

DiskWatcher *watcherOf(TEditForm *window)
{
    return window->findChild<DiskWatcher *>();
}

QWidget *barOf(TEditForm *window)
{
    return window->findChild<QWidget *>(QStringLiteral("DiskChangeBar"));
}

QString barText(TEditForm *window)
{
    return window->findChild<QLabel *>(QStringLiteral("DiskChangeMessage"))->text();
}

QToolButton *button(TEditForm *window, const char *name)
{
    return window->findChild<QToolButton *>(QLatin1String(name));
}

// Another program writes the file where it is, and sets its time, seconds
// from the time it had.
void rewrite(const QString &path, const QByteArray &bytes, int seconds)
{
    const QDateTime before = QFileInfo(path).lastModified();
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    if (!bytes.isNull()) {
        QVERIFY(file.resize(0));
        file.write(bytes);
        file.flush();
    }
    QVERIFY(file.setFileTime(before.addSecs(seconds), QFileDevice::FileModificationTime));
}

} // namespace

// Files that change on disk under an open window: the bar that says so, the
// reload of a window without unsaved changes, and the question before a save
// would go over the change.
class TestDiskChanges : public QObject
{
    Q_OBJECT

private slots:
    void changeOnDisk_data();
    void changeOnDisk();
    void unchangedTextReloadsWhereItWas();
    void reloadTakesTheFile();
    void keepThenSaveAsksNothing();
    void deletedFileIsWrittenAgain();
    void notAFileIsNeverWritten();
    void saveAsksBeforeOverwriting_data();
    void saveAsksBeforeOverwriting();
    void runOutputIsNoChangeOnDisk();
    void hashOfFileIsHashOfBytes_data();
    void hashOfFileIsHashOfBytes();

private:
    // An other-file window on a new file, with an unsaved edit when edited.
    TAnotherEditForm *openEdited(FrameFixture &f, const QByteArray &bytes, bool edited);
};

TAnotherEditForm *TestDiskChanges::openEdited(FrameFixture &f, const QByteArray &bytes, bool edited)
{
    f.frame().OpenAnother(f.writeFile(QStringLiteral("doc.txt"), bytes));
    TAnotherEditForm *window = f.frame().AnotherWindows().constLast();
    QSignalSpy looks(watcherOf(window), &DiskWatcher::looked);
    if (!UserInput::focusText(f.frame(), window))
        qWarning("the text did not get the focus");
    if (edited)
        typeText(QStringLiteral("x"));
    // The watcher looks once after the file was read; what follows is new.
    if (looks.isEmpty() && !looks.wait())
        qWarning("the watcher never looked at the file");
    return window;
}

void TestDiskChanges::changeOnDisk_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<bool>("noticed");
    QTest::newRow("same size and time") << QByteArray("omega\r\n") << 0 << true;
    QTest::newRow("older file put back") << QByteArray("omega\r\n") << -3600 << true;
    QTest::newRow("touch") << QByteArray() << 10 << false;
    QTest::newRow("same bytes again") << QByteArray("alpha\r\n") << 0 << false;
}

void TestDiskChanges::changeOnDisk()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, seconds);
    QFETCH(bool, noticed);
    FrameFixture f;
    TAnotherEditForm *window = openEdited(f, "alpha\r\n", true);
    QSignalSpy looks(watcherOf(window), &DiskWatcher::looked);

    rewrite(window->FileName, bytes, seconds);
    QVERIFY(looks.wait());
    QCOMPARE(barOf(window)->isVisible(), noticed);
    if (noticed) {
        QCOMPARE(barText(window), QStringLiteral("This file was changed on disk."));
        QVERIFY(button(window, "ReloadButton")->isVisible());
        QVERIFY(button(window, "KeepButton")->isVisible());
    }
    // The user's text is never touched by what happened on disk.
    QCOMPARE(window->editor()->text(), QStringLiteral("xalpha\r\n"));
}

void TestDiskChanges::unchangedTextReloadsWhereItWas()
{
    QByteArray lines;
    for (int i = 1; i <= 100; ++i)
        lines += "line " + QByteArray::number(i) + "\r\n";
    FrameFixture f;
    TAnotherEditForm *window = openEdited(f, lines, false);
    const QString caption = window->windowTitle();
    window->editor()->goToLine(50, 1);

    QByteArray changed = lines;
    changed.replace("line 1\r\n", "LINE 1\r\n");
    rewrite(window->FileName, changed, 0);
    QTRY_COMPARE(window->editor()->text(), QString::fromLatin1(changed));
    QVERIFY(!barOf(window)->isVisible());
    QVERIFY(!window->isModified());
    QCOMPARE(window->windowTitle(), caption);
    QCOMPARE(window->editor()->caretLine(), 49);
}

void TestDiskChanges::reloadTakesTheFile()
{
    FrameFixture f;
    TAnotherEditForm *window = openEdited(f, "alpha\r\n", true);
    rewrite(window->FileName, "omega!\r\n", 0);
    QTRY_VERIFY(barOf(window)->isVisible());
    QTest::mouseClick(button(window, "ReloadButton"), Qt::LeftButton);
    QCOMPARE(window->editor()->text(), QStringLiteral("omega!\r\n"));
    QVERIFY(!window->isModified());
    QVERIFY(!window->parentWidget()->isWindowModified());
    QVERIFY(!barOf(window)->isVisible());
}

void TestDiskChanges::keepThenSaveAsksNothing()
{
    FrameFixture f;
    TAnotherEditForm *window = openEdited(f, "alpha\r\n", true);
    rewrite(window->FileName, "omega!\r\n", 0);
    QTRY_VERIFY(barOf(window)->isVisible());
    QTest::mouseClick(button(window, "KeepButton"), Qt::LeftButton);
    QVERIFY(!barOf(window)->isVisible());
    QCOMPARE(window->editor()->text(), QStringLiteral("xalpha\r\n"));

    window->editor()->setFocus();
    pressKey(Qt::Key_F6);
    // The user has seen the change and kept the text: no question.
    QVERIFY(f.dialogs.proceedQuestions.isEmpty());
    QCOMPARE(f.readFile(window->FileName), QByteArray("xalpha\r\n"));
}

void TestDiskChanges::deletedFileIsWrittenAgain()
{
    FrameFixture f;
    TAnotherEditForm *window = openEdited(f, "alpha\r\n", false);
    QVERIFY(QFile::remove(window->FileName));
    QTRY_VERIFY(barOf(window)->isVisible());
    QCOMPARE(barText(window), QStringLiteral("This file was deleted on disk."));
    QVERIFY(!button(window, "ReloadButton")->isVisible());
    QCOMPARE(window->editor()->text(), QStringLiteral("alpha\r\n"));

    pressKey(Qt::Key_F6);
    QVERIFY(f.dialogs.proceedQuestions.isEmpty());
    QCOMPARE(f.readFile(window->FileName), QByteArray("alpha\r\n"));
    QVERIFY(!barOf(window)->isVisible());
}

void TestDiskChanges::notAFileIsNeverWritten()
{
    FrameFixture f;
    TAnotherEditForm *window = openEdited(f, "alpha\r\n", true);
    const QString folder = f.home() + QStringLiteral("/folder");
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(QFile::remove(window->FileName));
    QVERIFY(QFile::link(folder, window->FileName));
    QTRY_COMPARE(barText(window),
                 QStringLiteral("This file was replaced on disk by something that is not a file."));
    QVERIFY(barOf(window)->isVisible());
    QVERIFY(!button(window, "ReloadButton")->isVisible());

    pressKey(Qt::Key_F6);
    QVERIFY(f.dialogs.proceedQuestions.isEmpty());
    QCOMPARE(f.dialogs.lastError(), QStringLiteral("Cannot create file %1.").arg(window->FileName));
    QVERIFY(QFileInfo(window->FileName).isSymLink());
    QVERIFY(QDir(folder).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    QVERIFY(window->isModified());
}

void TestDiskChanges::saveAsksBeforeOverwriting_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("overwrite");
    QTest::addColumn<QByteArray>("onDisk");
    const auto key = [](Qt::KeyboardModifiers modifiers, Qt::Key pressed) {
        return QKeyCombination(modifiers, pressed).toCombined();
    };
    QTest::newRow("save, cancel") << key({}, Qt::Key_F6) << false << QByteArray("2+2+2\r\n");
    QTest::newRow("save, overwrite") << key({}, Qt::Key_F6) << true << QByteArray("x1+1\r\n");
    QTest::newRow("Ctrl+S, cancel") << key(Qt::ControlModifier, Qt::Key_S) << false
                                    << QByteArray("2+2+2\r\n");
    QTest::newRow("run, cancel") << key({}, Qt::Key_F7) << false << QByteArray("2+2+2\r\n");
}

void TestDiskChanges::saveAsksBeforeOverwriting()
{
    QFETCH(int, key);
    QFETCH(bool, overwrite);
    QFETCH(QByteArray, onDisk);
    FrameFixture f;
    RunHelpers::makeLoggingEngine(f);
    const QString path = RunHelpers::openCommand(f, QStringLiteral("run.cf"));
    TCommandEditForm *window = f.frame().CommandWindow();
    QVERIFY(UserInput::focusText(f.frame(), window));
    typeText(QStringLiteral("x"));

    // Written by another program just now: the watcher may not have looked yet.
    QFile other(path);
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.write("2+2+2\r\n");
    other.close();
    f.dialogs.proceedAnswers.enqueue(overwrite);
    const QKeyCombination combination = QKeyCombination::fromCombined(key);
    pressKey(combination.key(), combination.keyboardModifiers());

    QCOMPARE(f.dialogs.proceedQuestions.size(), 1);
    QCOMPARE(f.dialogs.proceedQuestions.first(),
             path + QStringLiteral(" was changed on disk since it was loaded or saved.\nOverwrite it?"));
    QCOMPARE(f.readFile(path), onDisk);
    QVERIFY(!f.frame().EngineRunning());
    QVERIFY(RunHelpers::logOf(f).isEmpty());
}

void TestDiskChanges::runOutputIsNoChangeOnDisk()
{
    if (LaunchScript::platformShell() != LaunchScript::Shell::Posix)
        QSKIP("the engine here is a shell script for /bin/sh");
    FrameFixture f;
    // Writes its output, then holds until the test lets it go.
    RunHelpers::makeEngine(f, "echo result\n" + RunHelpers::WaitForGo);
    const QString command = RunHelpers::openCommand(f, QStringLiteral("run.cf"));
    const QString output = f.writeFile(QStringLiteral("run.out"), "old output\r\n");
    f.frame().OpenOutput(output);
    TOutputEditForm *window = f.frame().OutputWindow();
    QVERIFY(UserInput::focusText(f.frame(), window));
    typeText(QStringLiteral("x"));
    QSignalSpy changes(watcherOf(window), &DiskWatcher::stateChanged);

    // The edit is given up when the run asks, so the window would reload by
    // itself were the run's output a change on disk.
    f.dialogs.answers.enqueue(UserDialogs::Answer::No);
    f.frame().ExecQuelm();
    QVERIFY(f.frame().EngineRunning());
    QTRY_COMPARE(f.readFile(output), QByteArray("result\n"));
    // Time enough for the watcher to have said something, were it listening.
    QVERIFY(!changes.wait(1000));
    RunHelpers::letGo(command);
    QVERIFY(RunHelpers::runEnded(f.frame()));

    QCOMPARE(window->editor()->text(), QStringLiteral("result\n"));
    QVERIFY(changes.isEmpty());
    QVERIFY(!barOf(window)->isVisible());
    QVERIFY(f.dialogs.proceedQuestions.isEmpty());
    QCOMPARE(f.dialogs.questions, QStringList{QStringLiteral("Save changes to current output file?")});
}

void TestDiskChanges::hashOfFileIsHashOfBytes_data()
{
    QTest::addColumn<int>("size");
    const int piece = 1 << 20;
    QTest::newRow("empty") << 0;
    QTest::newRow("one byte") << 1;
    QTest::newRow("a byte short of a piece") << piece - 1;
    QTest::newRow("a piece") << piece;
    QTest::newRow("a byte over") << piece + 1;
    QTest::newRow("several pieces") << 3 * piece + 5;
}

void TestDiskChanges::hashOfFileIsHashOfBytes()
{
    QFETCH(int, size);
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char('a' + i % 23);
    FrameFixture f;
    const QString path = f.writeFile(QStringLiteral("hashed.bin"), bytes);
    QCOMPARE(ContentHash::ofFile(path), std::optional<quint64>(ContentHash::of(bytes)));
    const int piece = 1 << 20;
    // The same in pieces of any size, as a file is hashed while it is read.
    for (const int pieceSize : {1000, piece - 3, piece + 7}) {
        ContentHash::Stream stream;
        for (int at = 0; at < size; at += pieceSize)
            stream.add(QByteArrayView(bytes).sliced(at, qMin(pieceSize, size - at)));
        QCOMPARE(stream.value(), ContentHash::of(bytes));
    }
    if (size > 0) {
        // The last byte counts too.
        bytes[size - 1] = 'Z';
        QVERIFY(ContentHash::of(bytes) != *ContentHash::ofFile(path));
    }
}

QTEST_MAIN(TestDiskChanges)
#include "tst_diskchanges.moc"
