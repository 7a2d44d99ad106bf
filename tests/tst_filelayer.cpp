#include "FifoTrap.h"
#include "FrameFixture.h"
#include "RunHelpers.h"
#include "SmallDisk.h"

#include "app/MDIFrame.h"
#include "core/IniFile.h"
#include "core/TextFile.h"
#include "documents/MDIAnother.h"
#include "documents/MDICommand.h"
#include "documents/MDIMaster.h"
#include "documents/MDIOutput.h"
#include "editor/TextEditor.h"
#include "help/MDIHelp.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <optional>

#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace RunHelpers;

namespace {

void activate(TFrameForm &frame)
{
    QApplication::setActiveWindow(&frame);
    QVERIFY(QTest::qWaitForWindowActive(&frame));
}

void press(Qt::Key key)
{
    QTest::keyClick(QApplication::focusWidget(), key);
}

// Types into whatever has the focus, as a keyboard does, also characters
// beyond Latin-1, which QTest::keyClicks cannot send.
void typeKeys(const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key(c.toUpper().unicode()),
                            QString(c), Qt::NoModifier);
}

// Opens path in the command window with F2, as the user does.
TEditForm *openWithF2(FrameFixture &f, const QString &path)
{
    f.dialogs.openAnswers.enqueue(path);
    press(Qt::Key_F2);
    f.frame().CommandWindow()->editor()->setFocus();
    return f.frame().CommandWindow();
}

struct OpenedFile
{
    QString path;
    TEditForm *window;
};

// Writes bytes to name in the fixture's home and opens it with F2 in the
// active frame.
OpenedFile openWrittenFile(FrameFixture &f, const QString &name, const QByteArray &bytes)
{
    activate(f.frame());
    const QString path = f.writeFile(name, bytes);
    return {path, openWithF2(f, path)};
}

QString writeTo(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qWarning("cannot write %s", qPrintable(path));
    return path;
}

QByteArray readFrom(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QByteArray settingsFile(const QStringList &commandHistory = {})
{
    IniSettings ini;
    ini.mainWindow = QRect(20, 30, 640, 480);
    ini.commandWindow = QRect(170, 10, 400, 150);
    ini.outputWindow = QRect(170, 170, 400, 160);
    ini.explorerWindow = QRect(4, 4, 158, 330);
    ini.commandFileExtension = QStringLiteral(".cf");
    ini.outputFileExtension = QStringLiteral(".out");
    ini.commandHistory = commandHistory;
    return writeIniFile(ini);
}

QByteArray withMark(const QByteArray &mark, const QString &text, int unitSize, bool bigEndian)
{
    QByteArray bytes = mark;
    for (const char32_t code : text.toUcs4()) {
        QList<char32_t> units{code};
        if (unitSize == 2 && code >= 0x10000)
            units = {0xD800 + ((code - 0x10000) >> 10), 0xDC00 + ((code - 0x10000) & 0x3ff)};
        for (const char32_t unit : units) {
            for (int k = 0; k < unitSize; ++k)
                bytes.append(char(unit >> (8 * (bigEndian ? unitSize - 1 - k : k))));
        }
    }
    return bytes;
}

QByteArray utf16Le(const QString &text)
{
    return withMark("\xff\xfe", text, 2, false);
}

// Text that holds only characters Windows-1252 has, in its bytes.
QByteArray windows1252(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        if (c == QChar(0x20ac))
            bytes.append('\x80');
        else if (c == QChar(0x201c))
            bytes.append('\x93');
        else
            bytes.append(char(c.unicode()));
    }
    return bytes;
}

// Lines of 63 letters and a line end, cut to exactly size characters.
QString letterLines(qsizetype size, const QString &lineEnd = QStringLiteral("\r\n"))
{
    const QString line = QString(63, QLatin1Char('x')) + lineEnd;
    QString text;
    text.reserve(size + line.size());
    while (text.size() < size)
        text += line;
    text.truncate(size);
    return text;
}

} // namespace

// The file layer as the user meets it: saves on a full disk, files that are
// no regular files, and texts in encodings other than plain UTF-8.
class TestFileLayer : public QObject
{
    Q_OBJECT

private slots:
    void fullDiskKeepsOldFile_data();
    void fullDiskKeepsOldFile();
    void saveNeverReplacesSpecialFile_data();
    void saveNeverReplacesSpecialFile();
    void specialFilesAreNoFiles_data();
    void specialFilesAreNoFiles();
    void helpFileBecomesFifoBetweenSearches();
    void unchangedSaveKeepsBytes_data();
    void unchangedSaveKeepsBytes();
    void typedTextKeepsEncoding_data();
    void typedTextKeepsEncoding();
    void characterBeyondWindows1252Asks_data();
    void characterBeyondWindows1252Asks();
    void masterFileInUtf16Runs();
    void loadInPiecesKeepsBytes_data();
    void loadInPiecesKeepsBytes();
};

void TestFileLayer::fullDiskKeepsOldFile_data()
{
    QTest::addColumn<QString>("writer");
    QTest::addColumn<QString>("message");
    // The status line afterwards; empty: as start-up left it.
    QTest::addColumn<QString>("status");
    QTest::newRow("document save (F6)") << "save"
                                        << "Cannot create file %1."
                                        << "";
    QTest::newRow("command file before a run (F7)") << "run"
                                                    << "Cannot create file %1."
                                                    << "Saving Command File";
    QTest::newRow("master file before a master run") << "master"
                                                     << "Cannot create file %1."
                                                     << "Saving Master File";
    QTest::newRow("settings file on close") << "settings" << QString() << "Ready.";
    QTest::newRow("launch script") << "script"
                                   << "Cannot execute Quelm."
                                   << "Error while trying to execute Quelm";
}

void TestFileLayer::fullDiskKeepsOldFile()
{
    QFETCH(QString, writer);
    QFETCH(QString, message);
    QFETCH(QString, status);
    SmallDisk disk;
    SKIP_UNLESS_MOUNTED(disk);
    QTemporaryDir elsewhere;
    // The settings file and the launch script live in the home folder.
    const bool homeOnDisk = writer == QLatin1String("settings") || writer == QLatin1String("script");
    const QByteArray oldSettings = settingsFile();
    FrameFixture f({}, homeOnDisk ? oldSettings : QByteArray(), homeOnDisk ? disk.path() : QString());
    TFrameForm &frame = f.frame();
    makeLoggingEngine(f);
    activate(frame);

    const QString folder = homeOnDisk ? elsewhere.path() : disk.path();
    const QByteArray oldText = "x = 1\r\n";
    const QString command = writeTo(folder + QStringLiteral("/job.cf"), oldText);
    writeTo(folder + QStringLiteral("/job.out"), "yesterday's output\r\n");
    const QString master = writeTo(folder + QStringLiteral("/jobs.mst"), command.toUtf8() + "\r\n");
    TEditForm *window = nullptr;
    if (writer == QLatin1String("master")) {
        f.dialogs.openAnswers.enqueue(master);
        frame.OpenMasterClick();
        window = frame.MasterWindow();
        window->editor()->setFocus();
    } else if (writer != QLatin1String("settings")) {
        window = openWithF2(f, command);
    }
    if (window)
        typeKeys(QStringLiteral("y"));
    const QString startStatus = frame.statusText();
    disk.fill();
    const QStringList filesBefore = QDir(disk.path()).entryList(QDir::Files | QDir::Hidden);

    if (writer == QLatin1String("save"))
        press(Qt::Key_F6);
    else if (writer == QLatin1String("run") || writer == QLatin1String("script"))
        press(Qt::Key_F7);
    else if (writer == QLatin1String("master"))
        QTest::mouseClick(window->findChild<QToolButton *>(QStringLiteral("RunQuelmButton")), Qt::LeftButton);
    else
        frame.close();

    // Nothing on the full disk changed: no file emptied, none half written.
    QCOMPARE(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden), filesBefore);
    if (homeOnDisk)
        QCOMPARE(readFrom(disk.filePath(QStringLiteral("ostrel.ini"))), oldSettings);
    else if (writer == QLatin1String("master"))
        QCOMPARE(readFrom(master), command.toUtf8() + "\r\n");
    else
        QCOMPARE(readFrom(command), oldText);

    QStringList messages;
    for (const ScriptedDialogs::Message &shown : std::as_const(f.dialogs.errors))
        messages.append(shown.text);
    const QString failedFile = writer == QLatin1String("master") ? master : command;
    QCOMPARE(messages, message.isEmpty() ? QStringList() : QStringList{message.arg(failedFile)});
    QCOMPARE(frame.statusText(), status.isEmpty() ? startStatus : status);
    if (!homeOnDisk)
        QVERIFY(window->isModified());
    QVERIFY(!frame.EngineRunning());
    QVERIFY(logOf(f).isEmpty());
    // The output of an earlier run is not shown as this run's.
    QVERIFY(frame.OutputWindow()->isUntitled());
}

void TestFileLayer::saveNeverReplacesSpecialFile_data()
{
    QTest::addColumn<QString>("writer");
    QTest::addColumn<QString>("kind");
    // The status line afterwards; empty: as start-up left it.
    QTest::addColumn<QString>("status");
    QTest::newRow("F6, link to a FIFO") << "save"
                                        << "link to FIFO"
                                        << "";
    QTest::newRow("F6, link to a device") << "save"
                                          << "link to device"
                                          << "";
    QTest::newRow("Ctrl+S, FIFO") << "ctrl+s"
                                  << "FIFO"
                                  << "";
    QTest::newRow("F6, link to nothing") << "save"
                                         << "link to nothing"
                                         << "";
    QTest::newRow("F7, link to a FIFO") << "run"
                                        << "link to FIFO"
                                        << "Saving Command File";
    QTest::newRow("master run, link to a folder") << "master"
                                                  << "link to folder"
                                                  << "Saving Master File";
}

// Another program puts something that is not a file, or a link to one, in
// the place of the file a window shows; every save refuses to write there.
void TestFileLayer::saveNeverReplacesSpecialFile()
{
    QFETCH(QString, writer);
    QFETCH(QString, kind);
    QFETCH(QString, status);
    FrameFixture f;
    TFrameForm &frame = f.frame();
    makeLoggingEngine(f);
    activate(frame);
    const bool master = writer == QLatin1String("master");
    const QString command = f.writeFile(QStringLiteral("job.cf"), "x = 1\r\n");
    const QString path =
        master ? f.writeFile(QStringLiteral("jobs.mst"), command.toUtf8() + "\r\n") : command;
    TEditForm *window = nullptr;
    if (master) {
        f.dialogs.openAnswers.enqueue(path);
        frame.OpenMasterClick();
        window = frame.MasterWindow();
        window->editor()->setFocus();
    } else {
        window = openWithF2(f, path);
    }
    typeKeys(QStringLiteral("y"));

    QTemporaryDir elsewhere;
    const QString target =
        kind == QLatin1String("FIFO") ? path : elsewhere.filePath(QStringLiteral("target"));
    QVERIFY(QFile::remove(path));
    std::optional<FifoTrap> fifo;
    if (kind.endsWith(QLatin1String("FIFO"))) {
        fifo.emplace(target);
        QVERIFY(fifo->created());
    } else if (kind == QLatin1String("link to folder")) {
        QVERIFY(QDir().mkpath(target));
    } else if (kind == QLatin1String("link to device")) {
        // A device of the test's own (as /dev/null is): were it replaced,
        // nothing else would be harmed.
        if (::mknod(QFile::encodeName(target).constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
            QSKIP("making a device needs root");
    }
    if (target != path)
        QVERIFY(QFile::link(target, path));
    struct stat before = {};
    const bool targetThere = ::lstat(QFile::encodeName(target).constData(), &before) == 0;

    if (writer == QLatin1String("save"))
        press(Qt::Key_F6);
    else if (writer == QLatin1String("ctrl+s"))
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
    else if (writer == QLatin1String("run"))
        press(Qt::Key_F7);
    else
        QTest::mouseClick(window->findChild<QToolButton *>(QStringLiteral("RunQuelmButton")), Qt::LeftButton);

    QCOMPARE(f.dialogs.lastError(), QStringLiteral("Cannot create file %1.").arg(path));
    // The link and what it leads to are as they were, and nothing was
    // written beside either.
    QCOMPARE(QFileInfo(path).isSymLink(), target != path);
    struct stat after = {};
    QCOMPARE(::lstat(QFile::encodeName(target).constData(), &after) == 0, targetThere);
    if (targetThere) {
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_mode, before.st_mode);
    }
    QVERIFY(!fifo || !fifo->sprung());
    QCOMPARE(QDir(elsewhere.path())
                 .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
             targetThere && target != path ? QStringList{QStringLiteral("target")} : QStringList());
    if (!status.isEmpty())
        QCOMPARE(frame.statusText(), status);
    QVERIFY(window->isModified());
    QVERIFY(logOf(f).isEmpty());
}

void TestFileLayer::specialFilesAreNoFiles_data()
{
    QTest::addColumn<QString>("place");
    QTest::addColumn<QString>("kind");
    const QStringList places{"settings file",     "history top entry", "first argument",
                             "Open Another File", "master file line",  "help file"};
    for (const QString &place : places)
        QTest::addRow("FIFO as %s", qPrintable(place)) << place << "FIFO";
    for (const QString &place : {places.at(0), places.at(1), places.at(2), places.at(3)}) {
        QTest::addRow("/dev/zero as %s", qPrintable(place)) << place << "/dev/zero";
        QTest::addRow("/dev/urandom as %s", qPrintable(place)) << place << "/dev/urandom";
    }
    QTest::newRow("larger than memory in Open Another File") << "Open Another File"
                                                             << "huge";
}

void TestFileLayer::specialFilesAreNoFiles()
{
    QFETCH(QString, place);
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const bool settings = place == QLatin1String("settings file");
    const QString special =
        dir.filePath(settings ? QStringLiteral("ostrel.ini") : QStringLiteral("special.cf"));
    std::optional<FifoTrap> fifo;
    if (kind == QLatin1String("FIFO")) {
        fifo.emplace(special);
        QVERIFY(fifo->created());
    } else if (kind == QLatin1String("huge")) {
        QFile file(special);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(qMax(Q_INT64_C(1) << 40, TextFile::largestReadableFile() + 1)));
    } else {
        QVERIFY(QFile::link(kind, special));
    }

    const bool history = place == QLatin1String("history top entry");
    FrameFixture f(place == QLatin1String("first argument") ? QStringList{special} : QStringList(),
                   history ? settingsFile({special}) : QByteArray(), settings ? dir.path() : QString());
    TFrameForm &frame = f.frame();
    activate(frame);
    frame.CommandWindow()->editor()->setFocus();
    QString expected;
    if (place == QLatin1String("Open Another File")) {
        f.dialogs.openAnswers.enqueue(special);
        press(Qt::Key_F4);
        expected = QStringLiteral("Cannot open file %1 (%2).")
                       .arg(special, kind == QLatin1String("huge")
                                         ? QStringLiteral("larger than the memory available")
                                         : QStringLiteral("not a regular file"));
    } else if (place == QLatin1String("master file line")) {
        makeLoggingEngine(f);
        openMaster(f, special.toUtf8() + "\r\n");
        QTest::mouseClick(frame.MasterWindow()->findChild<QToolButton *>(QStringLiteral("RunQuelmButton")),
                          Qt::LeftButton);
        expected = QStringLiteral("Cannot find ???");
        QVERIFY(logOf(f).isEmpty());
    } else if (place == QLatin1String("help file")) {
        frame.HelpFilePath = special;
        press(Qt::Key_F1);
        expected = QStringLiteral("Cannot find Quelm Help File");
        QVERIFY(!frame.HelpWindowOpen());
    }

    QVERIFY(!fifo || !fifo->sprung());
    QCOMPARE(f.dialogs.lastError(), expected);
    QCOMPARE(frame.AnotherCount(), 0);
    QCOMPARE(frame.CommandWindow()->windowTitle(), QStringLiteral("COMMAND - [Untitled]"));
    QVERIFY(frame.CommandFileName.isEmpty());
    if (history)
        QCOMPARE(frame.CommandWindow()->historyEntries(), QStringList{special});
    if (settings)
        QCOMPARE(frame.CommandFileExtension, QStringLiteral(".cf"));
}

void TestFileLayer::helpFileBecomesFifoBetweenSearches()
{
    FrameFixture f;
    activate(f.frame());
    f.frame().HelpFilePath = f.writeFile(QStringLiteral("quelm.hlp"), "##mean\r\nArithmetic mean.\r\n");
    press(Qt::Key_F1);
    QVERIFY(f.frame().HelpWindow());
    // Checked when the window opened, then swapped for a FIFO.
    QVERIFY(QFile::remove(f.frame().HelpFilePath));
    const FifoTrap fifo(f.frame().HelpFilePath);
    QVERIFY(fifo.created());
    QTest::mouseClick(f.frame().HelpWindow()->findChild<QPushButton *>(QStringLiteral("SearchKeyWordButton")),
                      Qt::LeftButton);
    QVERIFY(!fifo.sprung());
    QCOMPARE(f.dialogs.errors.size(), 1);
    QCOMPARE(f.dialogs.errors.first().title, QStringLiteral("Quelm Help"));
    QVERIFY(f.frame().HelpWindowOpen());
}

void TestFileLayer::unchangedSaveKeepsBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("saved");

    const QString text = QStringLiteral("\u20ac 5 \u2192 caf\u00e9\r\n\U0001F600 line two\r\n");
    QTest::newRow("UTF-16LE") << utf16Le(text) << text << utf16Le(text);
    const QByteArray utf16Be = withMark("\xfe\xff", text, 2, true);
    QTest::newRow("UTF-16BE") << utf16Be << text << utf16Be;
    const QByteArray utf32Le = withMark(QByteArray("\xff\xfe\0\0", 4), text, 4, false);
    QTest::newRow("UTF-32LE") << utf32Le << text << utf32Le;
    const QByteArray utf32Be = withMark(QByteArray("\0\0\xfe\xff", 4), text, 4, true);
    QTest::newRow("UTF-32BE") << utf32Be << text << utf32Be;
    QTest::newRow("UTF-8 with mark") << "\xef\xbb\xbf" + text.toUtf8() << text
                                     << "\xef\xbb\xbf" + text.toUtf8();
    QTest::newRow("UTF-16LE, LF line ends") << utf16Le(QStringLiteral("a\nb\n")) << "a\nb\n"
                                            << utf16Le(QStringLiteral("a\r\nb\r\n"));

    QByteArray everyByte;
    for (int i = 0; i < 256; ++i) {
        if (i != '\r' && i != '\n')
            everyByte.append(char(i));
        if (i % 64 == 63)
            everyByte.append("\r\n");
    }
    QString everyCharacter = QString::fromLatin1(everyByte);
    const QString high = QStringLiteral(
        "\u20ac\u0081\u201a\u0192\u201e\u2026\u2020\u2021\u02c6\u2030\u0160\u2039\u0152\u008d\u017d\u008f"
        "\u0090\u2018\u2019\u201c\u201d\u2022\u2013\u2014\u02dc\u2122\u0161\u203a\u0153\u009d\u017e\u0178");
    for (QChar &c : everyCharacter) {
        if (c.unicode() >= 0x80 && c.unicode() < 0xa0)
            c = high.at(c.unicode() - 0x80);
    }
    QTest::newRow("Windows-1252, every byte") << everyByte << everyCharacter << everyByte;
}

void TestFileLayer::unchangedSaveKeepsBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(QByteArray, saved);
    FrameFixture f;
    const auto [path, window] = openWrittenFile(f, QStringLiteral("text.cf"), bytes);
    QVERIFY(f.dialogs.errors.isEmpty());
    // The screen and printing show the same characters.
    QCOMPARE(QString::fromUtf8(window->editor()->bytes()), text);
    QCOMPARE(window->editor()->lines(),
             text.split(QRegularExpression(QStringLiteral("\r\n|\n")), Qt::SkipEmptyParts));
    press(Qt::Key_F6);
    QCOMPARE(f.readFile(path), saved);
}

void TestFileLayer::typedTextKeepsEncoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("Windows-1252") << QByteArray("caf\xe9\r\n")
                                  << QStringLiteral("\u20ac \u201cq\u201d \u2026")
                                  << QByteArray("\x80 \x93q\x94 \x85"
                                                "caf\xe9\r\n");
    QTest::newRow("UTF-16LE") << utf16Le(QStringLiteral("a\r\n")) << QStringLiteral("\u20ac\u03a9")
                              << utf16Le(QStringLiteral("\u20ac\u03a9a\r\n"));
    QTest::newRow("UTF-8") << QByteArray("a\r\n") << QStringLiteral("\u20ac\u03a9")
                           << QStringLiteral("\u20ac\u03a9a\r\n").toUtf8();
}

void TestFileLayer::typedTextKeepsEncoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, typed);
    QFETCH(QByteArray, saved);
    FrameFixture f;
    const QString path = openWrittenFile(f, QStringLiteral("text.cf"), bytes).path;
    typeKeys(typed);
    press(Qt::Key_F6);
    QCOMPARE(f.readFile(path), saved);
    QVERIFY(f.dialogs.proceedQuestions.isEmpty());
    QVERIFY(!f.frame().CommandWindow()->isModified());
}

void TestFileLayer::characterBeyondWindows1252Asks_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("asUtf8");
    QTest::newRow("F6, save as UTF-8") << int(Qt::Key_F6) << true;
    QTest::newRow("F6, cancel") << int(Qt::Key_F6) << false;
    QTest::newRow("F7, save as UTF-8") << int(Qt::Key_F7) << true;
    QTest::newRow("F7, cancel") << int(Qt::Key_F7) << false;
}

void TestFileLayer::characterBeyondWindows1252Asks()
{
    QFETCH(int, key);
    QFETCH(bool, asUtf8);
    FrameFixture f;
    makeLoggingEngine(f);
    const QByteArray old = "caf\xe9\r\n";
    const auto [path, window] = openWrittenFile(f, QStringLiteral("text.cf"), old);
    typeKeys(QStringLiteral("\u03a9"));
    f.dialogs.proceedAnswers.enqueue(asUtf8);
    press(Qt::Key(key));

    QCOMPARE(f.dialogs.proceedQuestions.size(), 1);
    QVERIFY(f.dialogs.proceedQuestions.first().contains(path));
    QVERIFY(f.dialogs.errors.isEmpty());
    QCOMPARE(f.readFile(path), asUtf8 ? QStringLiteral("\u03a9caf\u00e9\r\n").toUtf8() : old);
    QCOMPARE(window->isModified(), !asUtf8);
    if (key == Qt::Key_F7) {
        QVERIFY(asUtf8 ? runEnded(f.frame()) : !f.frame().EngineRunning());
        QCOMPARE(logOf(f).size(), asUtf8 ? 2 : 0);
    }
    if (!asUtf8)
        return;
    // Once saved as UTF-8 the file stays UTF-8 and nothing is asked again.
    window->editor()->setFocus();
    typeKeys(QStringLiteral("\u2192"));
    press(Qt::Key_F6);
    QCOMPARE(f.dialogs.proceedQuestions.size(), 1);
    QCOMPARE(f.readFile(path), QStringLiteral("\u03a9\u2192caf\u00e9\r\n").toUtf8());
}

void TestFileLayer::masterFileInUtf16Runs()
{
    FrameFixture f;
    makeLoggingEngine(f);
    activate(f.frame());
    const QString command = f.writeFile(QStringLiteral("a.cf"), "1+1\r\n");
    const QByteArray master = utf16Le(command + QStringLiteral("\r\n"));
    openMaster(f, master);
    QTest::mouseClick(f.frame().MasterWindow()->findChild<QToolButton *>(QStringLiteral("RunQuelmButton")),
                      Qt::LeftButton);
    QVERIFY(f.dialogs.errors.isEmpty());
    QCOMPARE(logOf(f), (QStringList{"start cf=" + command, "end cf=" + command}));
    QCOMPARE(f.readFile(f.frame().MasterWindow()->FileName), master);
}

void TestFileLayer::loadInPiecesKeepsBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("saved");
    // A file is read in pieces of this size; characters and marks that
    // straddle the pieces' borders, files a byte either side of one, and
    // files in several pieces. Those above a piece are large enough to go
    // into a document without style bytes too.
    const qsizetype piece = TextFile::ReadPieceSize;
    for (const qsizetype size : {qsizetype(10), piece - 1, piece, piece + 1, 3 * piece + 5}) {
        const QString text = letterLines(size);
        QTest::addRow("UTF-8, %lld bytes", static_cast<long long>(size))
            << text.toUtf8() << text << text.toUtf8();
    }
    const QString euroAcross = letterLines(piece - 1) + QStringLiteral("\u20ac\r\n") + letterLines(1000);
    QTest::newRow("UTF-8, a character across two pieces")
        << euroAcross.toUtf8() << euroAcross << euroAcross.toUtf8();
    const QString marked = letterLines(piece) + QStringLiteral("\u00e9\u20ac\r\n");
    QTest::newRow("UTF-8 with mark, two pieces")
        << "\xef\xbb\xbf" + marked.toUtf8() << marked << "\xef\xbb\xbf" + marked.toUtf8();
    // (é € “ in this order would be valid UTF-8.)
    const QString highAcross =
        letterLines(piece - 1) + QStringLiteral("\u20ac\u00e9\u201c") + letterLines(100);
    QTest::newRow("Windows-1252, high bytes across two pieces")
        << windows1252(highAcross) << highAcross << windows1252(highAcross);
    const QString lateHigh = letterLines(3 * piece) + QStringLiteral("caf\u00e9\r\n");
    QTest::newRow("Windows-1252, first high byte in the fourth piece")
        << windows1252(lateHigh) << lateHigh << windows1252(lateHigh);
    const QString wide = letterLines(piece / 2) + QStringLiteral("\u20ac \U0001F600\r\n") + letterLines(300);
    QTest::newRow("UTF-16LE, two pieces") << utf16Le(wide) << wide << utf16Le(wide);
    const QByteArray utf16Be = withMark("\xfe\xff", wide, 2, true);
    QTest::newRow("UTF-16BE, two pieces") << utf16Be << wide << utf16Be;
    const QByteArray utf32Le = withMark(QByteArray("\xff\xfe\0\0", 4), wide, 4, false);
    QTest::newRow("UTF-32LE, three pieces") << utf32Le << wide << utf32Le;
    const QByteArray utf32Be = withMark(QByteArray("\0\0\xfe\xff", 4), wide, 4, true);
    QTest::newRow("UTF-32BE, three pieces") << utf32Be << wide << utf32Be;
    const QString lf = letterLines(2 * piece + 7, QStringLiteral("\n"));
    QTest::newRow("LF line ends, three pieces")
        << lf.toUtf8() << lf << QString(lf).replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toUtf8();
    const QString mixed = letterLines(piece + 20, QStringLiteral("\r")) + QStringLiteral("\n\r\n\n");
    QTest::newRow("CR and mixed line ends, two pieces")
        << mixed.toUtf8() << mixed
        << QString(mixed)
               .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
               .replace(QLatin1Char('\r'), QLatin1Char('\n'))
               .replace(QLatin1Char('\n'), QStringLiteral("\r\n"))
               .toUtf8();
    const QString longLine = QString(3000000, QLatin1Char('7')) + QStringLiteral("\r\n");
    QTest::newRow("one line of 3,000,000 characters") << longLine.toUtf8() << longLine << longLine.toUtf8();
}

void TestFileLayer::loadInPiecesKeepsBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(QByteArray, saved);
    FrameFixture f;
    const auto [path, window] = openWrittenFile(f, QStringLiteral("pieces.cf"), bytes);
    QVERIFY(f.dialogs.errors.isEmpty());
    const QString shown = QString::fromUtf8(window->editor()->bytes());
    if (shown != text) {
        qsizetype at = 0;
        while (at < qMin(shown.size(), text.size()) && shown.at(at) == text.at(at))
            ++at;
        QFAIL(qPrintable(QStringLiteral("the text differs at %1 of %2: \"%3\" for \"%4\"")
                             .arg(at)
                             .arg(text.size())
                             .arg(shown.mid(at, 10), text.mid(at, 10))));
    }
    // Scintilla's own line index, less the pieces of lines shown cut: one
    // line more than line ends.
    const long lineEnds = long(text.count(QLatin1Char('\n')) + text.count(QLatin1Char('\r')) -
                               text.count(QStringLiteral("\r\n")));
    QCOMPARE(window->editor()->fileLineCount(), lineEnds + 1);
    QVERIFY(!window->isModified());
    // A save with nothing changed writes only the line ends anew.
    window->editor()->setModified(true);
    press(Qt::Key_F6);
    QVERIFY(f.dialogs.errors.isEmpty());
    QCOMPARE(f.readFile(path), saved);
}

QTEST_MAIN(TestFileLayer)
#include "tst_filelayer.moc"
