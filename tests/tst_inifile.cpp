#include "core/IniFile.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(IniSettings)

// The settings file: its exact bytes, how it reads back, and how the reader
// copes with short, odd and hostile files.
class TestIniFile : public QObject
{
    Q_OBJECT

private slots:
    void writesTheExampleByteForByte();
    void roundTripIsStable_data();
    void roundTripIsStable();
    void readsEdgeCases_data();
    void readsEdgeCases();
    void historyLimits_data();
    void historyLimits();
    void emptyFileGivesNothing();
    void truncatedFileAtEveryByte();
    void unstorableValuesKeepSectionsAligned();
    void hostileFiles();
    void mutatedFilesNeverBreakTheReader();
    void plausibleBounds_data();
    void plausibleBounds();
    void fontFromStoredValues_data();
    void fontFromStoredValues();
    void fileOnDisk();
};

namespace {

const QByteArray Example = QByteArrayLiteral("[Main Window Size]\r\n"
                                             "384 273 599 415\r\n"
                                             "[Command Window Size]\r\n"
                                             "166 4 421 163\r\n"
                                             "[Output Window Size]\r\n"
                                             "166 171 421 163\r\n"
                                             "[Explorer Window Size]\r\n"
                                             "4 4 158 330\r\n"
                                             "[Quelm Files]\r\n"
                                             "c:\\quelm63\\quelm.exe\r\n"
                                             "c:\\quelm63\\quelm.hlp\r\n"
                                             "[Working Directory]\r\n"
                                             "C:\\WORK\r\n"
                                             "[Command File Extension]\r\n"
                                             ".cf\r\n"
                                             "[Ouptut File Extension]\r\n"
                                             ".out\r\n"
                                             "[Screen Font]\r\n"
                                             "10 Courier New\r\n"
                                             "[Print Font]\r\n"
                                             "10 Courier New\r\n"
                                             "[Command History]\r\n"
                                             "C:\\WORK\\RUN2.cf\r\n"
                                             "C:\\WORK\\RUN1.cf\r\n"
                                             "[Output History]\r\n"
                                             "C:\\WORK\\RUN2.out\r\n");

IniSettings exampleSettings()
{
    IniSettings s;
    s.mainWindow = QRect(384, 273, 599, 415);
    s.commandWindow = QRect(166, 4, 421, 163);
    s.outputWindow = QRect(166, 171, 421, 163);
    s.explorerWindow = QRect(4, 4, 158, 330);
    s.enginePath = QStringLiteral("c:\\quelm63\\quelm.exe");
    s.helpFilePath = QStringLiteral("c:\\quelm63\\quelm.hlp");
    s.workingDirectory = QStringLiteral("C:\\WORK");
    s.commandFileExtension = QStringLiteral(".cf");
    s.outputFileExtension = QStringLiteral(".out");
    s.screenFont = {10, QStringLiteral("Courier New")};
    s.printFont = {10, QStringLiteral("Courier New")};
    s.commandHistory = {QStringLiteral("C:\\WORK\\RUN2.cf"), QStringLiteral("C:\\WORK\\RUN1.cf")};
    s.outputHistory = {QStringLiteral("C:\\WORK\\RUN2.out")};
    return s;
}

// The example with one section's value lines replaced.
QByteArray exampleWith(const QByteArray &header, const QByteArray &values)
{
    const qsizetype start = Example.indexOf(header + "\r\n") + header.size() + 2;
    const qsizetype next = Example.indexOf("\r\n[", start - 2);
    const qsizetype end = next < 0 || next < start ? Example.size() : next + 2;
    return Example.left(start) + values + Example.mid(end);
}

QStringList numbered(const QString &pattern, int count)
{
    QStringList entries;
    for (int i = 1; i <= count; ++i)
        entries.append(pattern.arg(i));
    return entries;
}

QByteArray lines(const QStringList &entries)
{
    QByteArray out;
    for (const QString &entry : entries)
        out += entry.toUtf8() + "\r\n";
    return out;
}

bool isPrefixOrZero(int partial, int full)
{
    return partial == 0 || QByteArray::number(full).startsWith(QByteArray::number(partial));
}

bool isPrefixOrZero(const QRect &partial, const QRect &full)
{
    return isPrefixOrZero(partial.left(), full.left()) && isPrefixOrZero(partial.top(), full.top()) &&
           isPrefixOrZero(partial.width(), full.width()) && isPrefixOrZero(partial.height(), full.height());
}

// A cut inside the next header leaves its beginning as the list's last entry.
bool isPrefixList(QStringList partial, const QStringList &full, const QString &nextHeader = QString())
{
    if (!nextHeader.isEmpty() && partial.size() == full.size() + 1 &&
        nextHeader.startsWith(partial.constLast()))
        partial.removeLast();
    if (partial.size() > full.size())
        return false;
    for (qsizetype i = 0; i < partial.size(); ++i) {
        const bool last = i == partial.size() - 1;
        if (last ? !full.at(i).startsWith(partial.at(i)) : partial.at(i) != full.at(i))
            return false;
    }
    return true;
}

QStringList describe(const IniSettings &s)
{
    const auto bounds = [](const QRect &r) {
        return QStringLiteral("%1 %2 %3 %4").arg(r.left()).arg(r.top()).arg(r.width()).arg(r.height());
    };
    const auto font = [](const IniFont &f) {
        return QString::number(f.pointSize) + QLatin1Char('|') + f.face;
    };
    return {QStringLiteral("main ") + bounds(s.mainWindow),
            QStringLiteral("command ") + bounds(s.commandWindow),
            QStringLiteral("output ") + bounds(s.outputWindow),
            QString::fromLatin1(s.explorerOpen ? "explorer open " : "explorer closed ") +
                bounds(s.explorerWindow),
            QStringLiteral("engine ") + s.enginePath,
            QStringLiteral("help ") + s.helpFilePath,
            QStringLiteral("directory ") + s.workingDirectory,
            QStringLiteral("extensions ") + s.commandFileExtension + QLatin1Char('|') + s.outputFileExtension,
            QStringLiteral("screen ") + font(s.screenFont),
            QStringLiteral("print ") + font(s.printFont),
            QStringLiteral("commands ") + s.commandHistory.join(QLatin1Char(',')),
            QStringLiteral("outputs ") + s.outputHistory.join(QLatin1Char(','))};
}

void checkWithinLimits(const IniSettings &s)
{
    QVERIFY(s.commandHistory.size() <= MaxCommandHistoryRead);
    QVERIFY(s.outputHistory.size() <= MaxOutputHistoryRead);
    QVERIFY(s.screenFont.face.size() <= MaxFaceNameLength);
    QVERIFY(s.printFont.face.size() <= MaxFaceNameLength);
    QVERIFY(s.screenFont.pointSize >= 0);
    for (const QString &entry : s.commandHistory + s.outputHistory)
        QVERIFY(!entry.isEmpty());
}

} // namespace

void TestIniFile::writesTheExampleByteForByte()
{
    QCOMPARE(writeIniFile(exampleSettings()), Example);
    QCOMPARE(writeIniFile(*readIniFile(Example)), Example);
}

void TestIniFile::roundTripIsStable_data()
{
    QTest::addColumn<IniSettings>("settings");

    QTest::newRow("example") << exampleSettings();
    IniSettings closed = exampleSettings();
    closed.explorerOpen = false;
    QTest::newRow("explorer closed") << closed;
    IniSettings odd = exampleSettings();
    odd.mainWindow = QRect(-1920, -8, 1936, 1056);
    odd.commandFileExtension = QStringLiteral(".CMD");
    odd.outputFileExtension = QString();
    odd.screenFont = {12, QStringLiteral("Times New Roman")};
    odd.printFont = {0, QString()};
    odd.commandHistory.clear();
    odd.workingDirectory = QStringLiteral("/home/jürgen/Übungen 2");
    odd.outputHistory = {QStringLiteral("/tmp/ĳ ok.out"), QStringLiteral("/tmp/b.out")};
    QTest::newRow("odd values") << odd;
    IniSettings full = exampleSettings();
    full.commandHistory = numbered(QStringLiteral("/w/run%1.cf"), MaxCommandHistoryRead);
    full.outputHistory = numbered(QStringLiteral("/w/run%1.out"), MaxOutputHistoryRead);
    QTest::newRow("full histories") << full;
}

void TestIniFile::roundTripIsStable()
{
    QFETCH(IniSettings, settings);
    const QByteArray written = writeIniFile(settings);
    const std::optional<IniSettings> read = readIniFile(written);
    QVERIFY(read);
    QCOMPARE(writeIniFile(*read), written);
    QCOMPARE(read->workingDirectory, settings.workingDirectory);
    QCOMPARE(read->commandHistory, settings.commandHistory);
    QCOMPARE(read->outputHistory, settings.outputHistory);
    QCOMPARE(read->explorerOpen, settings.explorerOpen);
    QCOMPARE(read->screenFont.face, settings.screenFont.face);
}

void TestIniFile::readsEdgeCases_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("expected"); // lines of describe()

    const auto row = [](const char *name, const QByteArray &file, const QStringList &expected) {
        QTest::newRow(name) << file << expected;
    };
    const auto cutBefore = [](const char *text) { return Example.left(Example.indexOf(text)); };
    const QString histories = QStringLiteral("commands C:\\WORK\\RUN2.cf,C:\\WORK\\RUN1.cf");

    row("closed explorer", exampleWith("[Explorer Window Size]", "0 0 0 0\r\n"), {"explorer closed 0 0 0 0"});
    row("closed explorer keeps its corner, drops the fourth",
        exampleWith("[Explorer Window Size]", "7 9 0 55\r\n"),
        {"explorer closed 7 9 0 0", "engine c:\\quelm63\\quelm.exe"});
    row("face with spaces", exampleWith("[Screen Font]", "12 Times New Roman\r\n"),
        {"screen 12|Times New Roman"});
    row("font size without face", exampleWith("[Screen Font]", "12\r\n"),
        {"screen 12|", "print 10|Courier New"});
    row("face cut to 255", exampleWith("[Print Font]", "9 " + QByteArray(10000, 'F') + "\r\n"),
        {"print 9|" + QString(MaxFaceNameLength, QLatin1Char('F'))});
    row("integers across lines", exampleWith("[Main Window Size]", "384 273\r\n599 415 rest of line\r\n"),
        {"main 384 273 599 415", "command 166 4 421 163"});
    row("malformed integers", exampleWith("[Command Window Size]", "12x abc -7 99999999999999999999\r\n"),
        {"command 0 0 -7 0", "output 166 171 421 163"});
    row("more than 32 characters",
        exampleWith("[Output Window Size]", "1 2 3 " + QByteArray(40, '4') + "\r\n"),
        {"output 1 2 3 0", "explorer open 4 4 158 330"});
    row("enormous coordinates", exampleWith("[Main Window Size]", "2147483647 -2147483648 5 6\r\n"),
        {"main 0 0 5 6"});
    row("upper-case extensions",
        exampleWith("[Command File Extension]", ".CMD\r\n").replace(".out\r\n", ".LST\r\n"),
        {"extensions .CMD|.LST"});
    row("empty working directory", exampleWith("[Working Directory]", "\r\n"),
        {"directory ", "extensions .cf|.out"});
    row("8-bit path",
        exampleWith("[Working Directory]", "C:\\\xdc"
                                           "bung\r\n"),
        {"directory C:\\Übung"});
    row("UTF-8 path", exampleWith("[Working Directory]", "/home/j\xc3\xbcrgen\r\n"),
        {"directory /home/jürgen"});
    row("empty command history", exampleWith("[Command History]", ""),
        {"commands ", "outputs C:\\WORK\\RUN2.out"});
    row("lone LF line ends", QByteArray(Example).replace("\r\n", "\n"),
        {histories, "outputs C:\\WORK\\RUN2.out"});
    row("lone CR line ends", QByteArray(Example).replace("\r\n", "\r"),
        {histories, "outputs C:\\WORK\\RUN2.out"});
    row("character 26 ends the file", QByteArray(Example).replace("RUN1.cf", "RU\x1aN1.cf"),
        {"commands C:\\WORK\\RUN2.cf,C:\\WORK\\RU", "outputs "});
    // A damaged file's bytes, which no path can be, are passed over.
    const QByteArray longest = "/" + QByteArray(4095, 'a');
    row("history line of 4,096 bytes", exampleWith("[Output History]", longest + "\r\n"),
        {"outputs " + QString::fromLatin1(longest)});
    row("history line of 4,097 bytes",
        exampleWith("[Command History]", longest + "a\r\nC:\\WORK\\RUN1.cf\r\n"),
        {"commands C:\\WORK\\RUN1.cf"});
    row("history line with a NUL", exampleWith("[Output History]", QByteArray("/a\0b\r\n/c\r\n", 10)),
        {"outputs /c"});

    // A short file: what it no longer reaches reads as empty lines and zeros.
    row("cut inside the first bounds", cutBefore("3 599"),
        {"main 384 27 0 0", "command 0 0 0 0", "explorer closed 0 0 0 0", "engine ", "extensions |",
         "screen 0|", "print 0|", "commands ", "outputs "});
    row("cut before the explorer", cutBefore("[Explorer"),
        {"output 166 171 421 163", "explorer closed 0 0 0 0", "help ", "screen 0|"});
    row("cut inside the engine path", cutBefore("3\\quelm.exe"),
        {"explorer open 4 4 158 330", "engine c:\\quelm6", "help ", "directory "});
    row("cut inside the screen face", cutBefore("rier New\r\n[Print"), {"screen 10|Cou", "print 0|"});
    row("cut inside the command history", cutBefore("1.cf\r\n"),
        {"commands C:\\WORK\\RUN2.cf,C:\\WORK\\RUN", "outputs "});
    row("cut before the output history", cutBefore("[Output History]"), {histories, "outputs "});
}

void TestIniFile::readsEdgeCases()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, expected);

    const std::optional<IniSettings> read = readIniFile(file);
    QVERIFY(read);
    const QStringList actual = describe(*read);
    for (const QString &line : expected)
        QVERIFY2(actual.contains(line), qPrintable(line + QStringLiteral(" not in:\n") + actual.join('\n')));
}

void TestIniFile::historyLimits_data()
{
    QTest::addColumn<int>("commandCount");
    QTest::addColumn<int>("outputCount");

    QTest::newRow("3 and 1") << 3 << 1;
    QTest::newRow("exactly 20 commands") << 20 << 2;
    QTest::newRow("21 commands") << 21 << 2;
    QTest::newRow("25 commands") << 25 << 3;
    QTest::newRow("16 outputs") << 0 << 16;
    QTest::newRow("10000 of each") << 10000 << 10000;
}

void TestIniFile::historyLimits()
{
    QFETCH(int, commandCount);
    QFETCH(int, outputCount);

    IniSettings settings = exampleSettings();
    settings.commandHistory = numbered(QStringLiteral("/w/c%1.cf"), commandCount);
    settings.outputHistory = numbered(QStringLiteral("/w/o%1.out"), outputCount);
    const QByteArray written = writeIniFile(settings);
    QVERIFY(written.endsWith(lines(settings.outputHistory))); // the writer leaves no entry out

    const std::optional<IniSettings> read = readIniFile(written);
    QVERIFY(read);
    QCOMPARE(read->commandHistory, settings.commandHistory.mid(0, MaxCommandHistoryRead));
    QCOMPARE(read->outputHistory, settings.outputHistory.mid(0, MaxOutputHistoryRead));
}

void TestIniFile::emptyFileGivesNothing()
{
    QVERIFY(!readIniFile(QByteArray()));
    // Anything at all is a file to apply, even one whose first byte ends it.
    const std::optional<IniSettings> eof = readIniFile(QByteArray("\x1a"
                                                                  "384 273 599 415"));
    QVERIFY(eof);
    QCOMPARE(eof->mainWindow, QRect(0, 0, 0, 0));
    QVERIFY(!eof->explorerOpen);
}

// Whatever the cut, each value is either the full one, a beginning of it, or
// the empty value of a missing line.
void TestIniFile::truncatedFileAtEveryByte()
{
    const IniSettings full = *readIniFile(Example);
    for (qsizetype n = 1; n <= Example.size(); ++n) {
        const std::optional<IniSettings> read = readIniFile(Example.left(n));
        QVERIFY2(read, qPrintable(QString::number(n)));
        const IniSettings &s = *read;
        const QByteArray at = QByteArray::number(n);
        QVERIFY2(isPrefixOrZero(s.mainWindow, full.mainWindow), at);
        QVERIFY2(isPrefixOrZero(s.commandWindow, full.commandWindow), at);
        QVERIFY2(isPrefixOrZero(s.outputWindow, full.outputWindow), at);
        QVERIFY2(s.explorerOpen ? isPrefixOrZero(s.explorerWindow, full.explorerWindow)
                                : s.explorerWindow.width() == 0,
                 at);
        const std::initializer_list<std::pair<QString, QString>> texts = {
            {s.enginePath, full.enginePath},
            {s.helpFilePath, full.helpFilePath},
            {s.workingDirectory, full.workingDirectory},
            {s.commandFileExtension, full.commandFileExtension},
            {s.outputFileExtension, full.outputFileExtension},
            {s.screenFont.face, full.screenFont.face},
            {s.printFont.face, full.printFont.face}};
        for (const auto &[part, whole] : texts)
            QVERIFY2(whole.startsWith(part), at);
        QVERIFY2(isPrefixOrZero(s.screenFont.pointSize, full.screenFont.pointSize), at);
        QVERIFY2(isPrefixOrZero(s.printFont.pointSize, full.printFont.pointSize), at);
        QVERIFY2(isPrefixList(s.commandHistory, full.commandHistory, QStringLiteral("[Output History]")), at);
        QVERIFY2(isPrefixList(s.outputHistory, full.outputHistory), at);
    }
}

void TestIniFile::unstorableValuesKeepSectionsAligned()
{
    IniSettings settings = exampleSettings();
    settings.enginePath = QStringLiteral("/opt/odd\nname/quelm");
    settings.workingDirectory = QStringLiteral("/tmp/a\rb");
    settings.commandHistory = {
        QStringLiteral("/w/line\nbreak.cf"), QString(), QStringLiteral("[Output History]"),
        QStringLiteral("/w/") + QString(5000, QLatin1Char('x')), QStringLiteral("/w/good.cf")};
    const std::optional<IniSettings> read = readIniFile(writeIniFile(settings));
    QVERIFY(read);
    QCOMPARE(read->enginePath, QString());
    QCOMPARE(read->helpFilePath, settings.helpFilePath);
    QCOMPARE(read->workingDirectory, QString());
    QCOMPARE(read->commandFileExtension, settings.commandFileExtension);
    QCOMPARE(read->commandHistory, QStringList{QStringLiteral("/w/good.cf")});
    QCOMPARE(read->outputHistory, settings.outputHistory);
}

void TestIniFile::hostileFiles()
{
    QRandomGenerator random(20240601);
    QByteArray binary(64 * 1024, '\0');
    for (char &c : binary)
        c = static_cast<char>(random.bounded(256));
    const QList<QByteArray> files = {
        binary,
        QByteArray(5 * 1024 * 1024, 'x'),
        QByteArray(100000, '\r'),
        QByteArray(100000, ' '),
        QByteArray(100000, '9'),
        "[Main Window Size]\r\n-5 -6 -7 -8\r\n",
        Example + QByteArray(3 * 1024 * 1024, '\n'),
    };
    for (const QByteArray &file : files) {
        const std::optional<IniSettings> read = readIniFile(file);
        QVERIFY(read);
        checkWithinLimits(*read);
    }
}

// Seeded, so that a failure can be replayed from the printed seed and round.
void TestIniFile::mutatedFilesNeverBreakTheReader()
{
    const quint32 seed = 7031;
    QRandomGenerator random(seed);
    const QByteArray pieces[] = {
        "\r",       "\n",   "\r\n", "\x1a", " ", "-", "0", "99999999999999999999", "[Output History]",
        "\xff\xfe", "\xc3", "\t"};
    for (int round = 0; round < 4000; ++round) {
        QByteArray file = Example;
        const int edits = 1 + random.bounded(6);
        for (int e = 0; e < edits; ++e) {
            const int at = random.bounded(static_cast<int>(file.size()) + 1);
            switch (random.bounded(3)) {
            case 0:
                file.insert(at, pieces[random.bounded(int(std::size(pieces)))]);
                break;
            case 1:
                file.remove(at, random.bounded(20));
                break;
            default:
                if (at < file.size())
                    file[at] = static_cast<char>(random.bounded(256));
            }
        }
        const std::optional<IniSettings> read = readIniFile(file);
        QVERIFY2(read || file.isEmpty(), qPrintable(QStringLiteral("seed %1 round %2").arg(seed).arg(round)));
        if (read)
            checkWithinLimits(*read);
    }
}

void TestIniFile::plausibleBounds_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<bool>("plausible");

    QTest::newRow("example") << QRect(384, 273, 599, 415) << true;
    QTest::newRow("on the second screen") << QRect(2000, 100, 800, 600) << true;
    QTest::newRow("partly off the left edge") << QRect(-500, 100, 800, 600) << true;
    QTest::newRow("wholly left of every screen") << QRect(-900, 100, 800, 600) << false;
    QTest::newRow("in the gap below the small screen") << QRect(1920, 900, 400, 300) << false;
    QTest::newRow("below every screen") << QRect(100, 1080, 800, 600) << false;
    QTest::newRow("99 wide") << QRect(10, 10, 99, 400) << false;
    QTest::newRow("100 by 100") << QRect(10, 10, 100, 100) << true;
    QTest::newRow("zero size") << QRect(0, 0, 0, 0) << false;
    QTest::newRow("negative size") << QRect(500, 500, -300, 300) << false;
    QTest::newRow("larger than a window can be") << QRect(0, 0, 40000, 600) << false;
    QTest::newRow("as large as the largest screen") << QRect(0, 0, 1920, 1080) << true;
    QTest::newRow("wider than every screen") << QRect(0, 0, 1921, 600) << false;
    QTest::newRow("taller than every screen") << QRect(0, 0, 800, 1081) << false;
    QTest::newRow("largest a window can be") << QRect(0, 0, 32767, 32767) << false;
}

void TestIniFile::plausibleBounds()
{
    QFETCH(QRect, frame);
    QFETCH(bool, plausible);
    const QList<QRect> screens = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 800)};
    QCOMPARE(plausibleFrameBounds(frame, screens), plausible);
    QVERIFY(!plausibleFrameBounds(frame, {}));
    // A child window may lie anywhere in the client area, but not be larger
    // than a screen.
    if (frame.width() > 1920 || frame.height() > 1080)
        QVERIFY(!plausibleChildBounds(frame.translated(-frame.topLeft()), screens));
}

void TestIniFile::fontFromStoredValues_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("face");
    QTest::addColumn<int>("expectedSize");
    QTest::addColumn<QString>("expectedFace");

    QTest::newRow("stored") << 12 << "Times New Roman" << 12 << "Times New Roman";
    QTest::newRow("missing section") << 0 << "" << 10 << "Fallback Face";
    QTest::newRow("enormous size") << 100000 << "Mono" << 10 << "Mono";
    QTest::newRow("largest size offered") << 512 << "Mono" << 512 << "Mono";
}

void TestIniFile::fontFromStoredValues()
{
    QFETCH(int, size);
    QFETCH(QString, face);
    QFETCH(int, expectedSize);
    QFETCH(QString, expectedFace);
    const QFont font = fontFromIni(IniFont{size, face}, QFont(QStringLiteral("Fallback Face"), 10));
    QCOMPARE(font.pointSize(), expectedSize);
    QCOMPARE(font.family(), expectedFace);
    QCOMPARE(iniFontOf(font).pointSize, expectedSize);
}

void TestIniFile::fileOnDisk()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = iniFilePath(dir.path());
    QCOMPARE(QFileInfo(path).absolutePath(), QFileInfo(dir.path()).absoluteFilePath());
    QVERIFY(!readIniFileAt(path));

    QVERIFY(writeIniFileAt(path, exampleSettings()));
    QCOMPARE(writeIniFile(*readIniFileAt(path)), Example);

    QFile empty(dir.filePath(QStringLiteral("empty.ini")));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    QVERIFY(!readIniFileAt(empty.fileName()));

    // A place that cannot be written to is reported, not thrown.
    QFile blocker(dir.filePath(QStringLiteral("file")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(!writeIniFileAt(dir.filePath(QStringLiteral("file/ostrel.ini")), exampleSettings()));
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
