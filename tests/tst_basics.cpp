#include "app/WindowLayout.h"
#include "core/FileError.h"
#include "core/LineReader.h"
#include "core/PathHelpers.h"
#include "core/ReadAhead.h"
#include "core/TextCodec.h"
#include "core/TextFile.h"
#include "documents/FileFilters.h"
#include "documents/FileHistory.h"

#include "FifoTrap.h"
#include "SmallDisk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

#include <unistd.h>

Q_DECLARE_METATYPE(TextEncoding)

// Path helpers, the line reader, text files, filters and history rules.
class TestBasics : public QObject
{
    Q_OBJECT

private slots:
    void pathPieces_data();
    void pathPieces();
    void changeExtension_data();
    void changeExtension();
    void lineReader_data();
    void lineReader();
    void readInteger_data();
    void readInteger();
    void crLf_data();
    void crLf();
    void validUtf8_data();
    void validUtf8();
    void encodingRoundTrip_data();
    void encodingRoundTrip();
    void windows1252CannotHold_data();
    void windows1252CannotHold();
    void failedSaveKeepsOldFile();
    void fullDiskKeepsOldFile_data();
    void fullDiskKeepsOldFile();
    void missingFileIsCannotOpen();
    void readAheadHandsOverInOrder_data();
    void readAheadHandsOverInOrder();
    void onlyRegularFilesAreRead_data();
    void onlyRegularFilesAreRead();
    void filters();
    void qtFilter();
    void historyRules();
    void absolutePaths_data();
    void absolutePaths();
    void cascadeKeepsUsefulSize_data();
    void cascadeKeepsUsefulSize();
};

void TestBasics::pathPieces_data()
{
    QTest::addColumn<QString>("separators");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("extension");

    const QString win = Paths::windowsSeparators();
    const QString posix = Paths::posixSeparators();
    QTest::newRow("windows") << win << "C:\\WORK\\RUN1.CF"
                             << "C:\\WORK\\"
                             << "RUN1.CF"
                             << ".CF";
    QTest::newRow("windows dotted folder") << win << "C:\\DATA.V2\\README"
                                           << "C:\\DATA.V2\\"
                                           << "README"
                                           << "";
    QTest::newRow("windows drive only") << win << "C:run.cf"
                                        << "C:"
                                        << "run.cf"
                                        << ".cf";
    QTest::newRow("windows slash") << win << "C:/a.b/c"
                                   << "C:/a.b/"
                                   << "c"
                                   << "";
    QTest::newRow("posix") << posix << "/home/u/run.old.cf"
                           << "/home/u/"
                           << "run.old.cf"
                           << ".cf";
    QTest::newRow("posix backslash is a name") << posix << "/x/a\\b.c"
                                               << "/x/"
                                               << "a\\b.c"
                                               << ".c";
    QTest::newRow("posix dotted folder") << posix << "/proj.2/run"
                                         << "/proj.2/"
                                         << "run"
                                         << "";
    QTest::newRow("no folder") << posix << "run"
                               << ""
                               << "run"
                               << "";
}

void TestBasics::pathPieces()
{
    QFETCH(QString, separators);
    QFETCH(QString, path);
    QFETCH(QString, directory);
    QFETCH(QString, file);
    QFETCH(QString, extension);
    QCOMPARE(Paths::directoryPart(path, separators), directory);
    QCOMPARE(Paths::filePart(path, separators), file);
    QCOMPARE(Paths::extension(path, separators), extension);
}

void TestBasics::changeExtension_data()
{
    QTest::addColumn<QString>("separators");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");

    const QString win = Paths::windowsSeparators();
    const QString posix = Paths::posixSeparators();
    QTest::newRow("win replace") << win << "C:\\data\\run.cf"
                                 << "C:\\data\\run.out";
    QTest::newRow("win append") << win << "C:\\data\\run"
                                << "C:\\data\\run.out";
    QTest::newRow("win dotted folder") << win << "C:\\proj.2\\run"
                                       << "C:\\proj.2\\run.out";
    QTest::newRow("win two dots") << win << "run.old.cf"
                                  << "run.old.out";
    QTest::newRow("posix replace") << posix << "/data/run.cf"
                                   << "/data/run.out";
    QTest::newRow("posix dotted folder") << posix << "/proj.2/run"
                                         << "/proj.2/run.out";
    QTest::newRow("posix trailing dot") << posix << "/d/run."
                                        << "/d/run.out";
}

void TestBasics::changeExtension()
{
    QFETCH(QString, separators);
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(Paths::changeExtension(path, QStringLiteral(".out"), separators), expected);
}

void TestBasics::lineReader_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("lone cr") << QByteArray("a\rb") << QStringList{"a", "b"};
    QTest::newRow("lone lf") << QByteArray("a\nb\n") << QStringList{"a", "b"};
    QTest::newRow("empty line kept") << QByteArray("a\r\n\r\nb") << QStringList{"a", "", "b"};
    QTest::newRow("ctrl-z ends the file") << QByteArray("a\r\nb\x1a"
                                                        "c\r\n")
                                          << QStringList{"a", "b"};
    QTest::newRow("no line end") << QByteArray("last") << QStringList{"last"};
    QTest::newRow("long line") << QByteArray(100000, 'x') << QStringList{QString(100000, QLatin1Char('x'))};
}

void TestBasics::lineReader()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    LineReader reader(bytes);
    QStringList read;
    while (!reader.atEnd())
        read.append(QString::fromLatin1(reader.readLine()));
    QCOMPARE(read, lines);
    QCOMPARE(reader.readLine(), QByteArray());
}

void TestBasics::readInteger_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<long long>>("values");

    QTest::newRow("one line") << QByteArray("384 273 599 415\r\n") << QList<long long>{384, 273, 599, 415};
    QTest::newRow("across lines") << QByteArray("384 273\r\n599 415") << QList<long long>{384, 273, 599, 415};
    QTest::newRow("negative") << QByteArray("-8 -1") << QList<long long>{-8, -1};
    QTest::newRow("malformed") << QByteArray("12x abc 7") << QList<long long>{0, 0, 7};
    QTest::newRow("too many digits") << QByteArray("99999999999999999999999 5") << QList<long long>{0, 5};
    QTest::newRow("end of file") << QByteArray("5") << QList<long long>{5, 0, 0};
}

void TestBasics::readInteger()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<long long>, values);
    LineReader reader(bytes);
    for (long long expected : values)
        QCOMPARE(reader.readInteger(), expected);
}

void TestBasics::crLf_data()
{
    QTest::addColumn<QByteArray>("in");
    QTest::addColumn<QByteArray>("out");
    QTest::newRow("lf") << QByteArray("a\nb\n") << QByteArray("a\r\nb\r\n");
    QTest::newRow("cr") << QByteArray("a\rb") << QByteArray("a\r\nb");
    QTest::newRow("crlf kept") << QByteArray("a\r\nb") << QByteArray("a\r\nb");
    QTest::newRow("mixed") << QByteArray("a\r\r\nb\n\r") << QByteArray("a\r\n\r\nb\r\n\r\n");
    QTest::newRow("binary bytes kept") << QByteArray("\x00\xff\x93", 3) << QByteArray("\x00\xff\x93", 3);
    QTest::newRow("lf first") << QByteArray("\nab\r\n") << QByteArray("\r\nab\r\n");
    QTest::newRow("cr last") << QByteArray("a\r\nb\r") << QByteArray("a\r\nb\r\n");
    QTest::newRow("cr lf cr") << QByteArray("\r\n\r") << QByteArray("\r\n\r\n");
    QTest::newRow("lf cr lf") << QByteArray("\n\r\n") << QByteArray("\r\n\r\n");
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TestBasics::crLf()
{
    QFETCH(QByteArray, in);
    QFETCH(QByteArray, out);
    const QByteArray converted = TextFile::withCrLf(in);
    QCOMPARE(converted, out);
    // A text that needs nothing is not copied: saving a large file costs no
    // more than writing it.
    if (in == out && !in.isEmpty())
        QVERIFY(converted.isSharedWith(in));
}

void TestBasics::validUtf8_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");
    QTest::newRow("ascii") << QByteArray("plain text, longer than eight bytes") << true;
    QTest::newRow("two-byte") << QByteArray("gr\xc3\xbc\xc3\x9f") << true;
    QTest::newRow("four-byte") << QByteArray("\xf0\x9f\x98\x80") << true;
    QTest::newRow("cut short") << QByteArray("abcdefgh\xc3") << false;
    QTest::newRow("overlong") << QByteArray("\xc0\xaf") << false;
    QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80") << false;
    QTest::newRow("beyond U+10FFFF") << QByteArray("\xf4\x90\x80\x80") << false;
    QTest::newRow("Windows-1252 quotes") << QByteArray("\x93hi\x94") << false;
    QTest::newRow("three-byte among ASCII") << QByteArray("price: 12 \xe2\x82\xac, paid") << true;
    QTest::newRow("four-byte cut short") << QByteArray("abc\xf0\x9f\x98") << false;
    QTest::newRow("lead before ASCII") << QByteArray("caf\xc3"
                                                     "e au lait")
                                       << false;
    QTest::newRow("lone continuation") << QByteArray("x\x80yz") << false;
    QTest::newRow("three-byte lead, then a new lead") << QByteArray("\xe2\x82\xc3\xa9") << false;
}

void TestBasics::validUtf8()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    QCOMPARE(TextCodec::isValidUtf8(bytes), valid);
    // Read in pieces, a character may be cut anywhere: in two at every byte,
    // and a byte at a time.
    for (qsizetype cut = 0; cut <= bytes.size(); ++cut) {
        TextCodec::Utf8Check check;
        check.add(QByteArrayView(bytes).first(cut));
        check.add(QByteArrayView(bytes).sliced(cut));
        QVERIFY2(check.valid() == valid, qPrintable(QStringLiteral("cut at %1").arg(cut)));
    }
    TextCodec::Utf8Check byBytes;
    for (const char byte : bytes)
        byBytes.add(QByteArrayView(&byte, 1));
    QCOMPARE(byBytes.valid(), valid);
}

void TestBasics::encodingRoundTrip_data()
{
    // The plain encodings go through the editor windows' tests; these are
    // the marks that need a second look.
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<TextEncoding>("encoding");
    QTest::addColumn<QString>("text");
    QTest::newRow("UTF-16LE, a second mark is text")
        << QByteArray("\xff\xfe\xff\xfex\0", 6) << TextEncoding::Utf16Le << QStringLiteral("\ufeffx");
    QTest::newRow("UTF-32LE's mark, then UTF-16LE")
        << QByteArray("\xff\xfe\0\0A\0", 6) << TextEncoding::Utf16Le << QString(QChar(0)) + "A";
    QTest::newRow("UTF-16BE surrogate pair")
        << QByteArray("\xfe\xff\xd8\x3d\xde\x00", 6) << TextEncoding::Utf16Be << QStringLiteral("\U0001F600");
    // A mark followed by what the marked encoding cannot be is 8-bit text.
    QTest::newRow("UTF-8 mark, then invalid")
        << QByteArray("\xef\xbb\xbf\x93q\x94") << TextEncoding::Windows1252
        << QStringLiteral("\u00ef\u00bb\u00bf\u201cq\u201d");
    QTest::newRow("UTF-16 mark, odd length")
        << QByteArray("\xff\xfe\x41") << TextEncoding::Windows1252 << QStringLiteral("\u00ff\u00feA");
    QTest::newRow("UTF-16 mark, lone surrogate")
        << QByteArray("\xfe\xff\xd8\x00\x00\x41", 6) << TextEncoding::Windows1252
        << QStringLiteral("\u00fe\u00ff\u00d8") + QChar(0) + QChar(0) + "A";
    QTest::newRow("UTF-32 mark, beyond U+10FFFF")
        << QByteArray("\0\0\xfe\xff\0\x11\0\0", 8) << TextEncoding::Windows1252
        << QString(QChar(0)) + QChar(0) + QStringLiteral("\u00fe\u00ff") + QChar(0) + QChar(0x11) + QChar(0) +
               QChar(0);
}

void TestBasics::encodingRoundTrip()
{
    QFETCH(QByteArray, bytes);
    QFETCH(TextEncoding, encoding);
    QFETCH(QString, text);
    const TextCodec::Decoded decoded = TextCodec::decode(bytes);
    QCOMPARE(decoded.encoding, encoding);
    QCOMPARE(decoded.utf8, text.toUtf8());
    QCOMPARE(TextCodec::fromUtf8(decoded.utf8, decoded.encoding), std::optional<QByteArray>(bytes));
}

void TestBasics::windows1252CannotHold_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("Greek") << QStringLiteral("a \u03a9 b");
    QTest::newRow("arrow") << QStringLiteral("\u2192");
    QTest::newRow("emoji") << QStringLiteral("\U0001F600");
    // 0x80 is the euro sign, so U+0080 has no byte of its own.
    QTest::newRow("U+0080") << QStringLiteral("\u0080");
}

void TestBasics::windows1252CannotHold()
{
    QFETCH(QString, text);
    QCOMPARE(TextCodec::fromUtf8(text.toUtf8(), TextEncoding::Windows1252), std::nullopt);
    QCOMPARE(TextCodec::fromUtf8(text.toUtf8(), TextEncoding::Utf8),
             std::optional<QByteArray>(text.toUtf8()));
}

void TestBasics::failedSaveKeepsOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keep.txt"));
    TextFile::writeBytes(path, "old");
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    bool failed = false;
    try {
        TextFile::writeBytes(path, "new");
    } catch (const FileError &e) {
        failed = e.message() == QStringLiteral("Cannot create file ") + path;
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (geteuid() != 0)
        QVERIFY(failed);
    QCOMPARE(TextFile::readBytes(path), failed ? QByteArray("old") : QByteArray("new"));
}

void TestBasics::fullDiskKeepsOldFile_data()
{
    QTest::addColumn<int>("size");
    // Smaller than QSaveFile's buffer, where only commit() writes; one
    // buffer's worth; more than the whole disk.
    QTest::newRow("34 bytes") << 34;
    QTest::newRow("16 KB") << 16 * 1024;
    QTest::newRow("1 MB") << 1024 * 1024;
}

void TestBasics::fullDiskKeepsOldFile()
{
    QFETCH(int, size);
    SmallDisk disk;
    SKIP_UNLESS_MOUNTED(disk);
    const QString path = disk.writeFile(QStringLiteral("job.cf"), "x = 1\r\n");
    disk.fill();
    QVERIFY_THROWS_EXCEPTION(FileError, TextFile::writeBytes(path, QByteArray(size, 'n')));
    QCOMPARE(TextFile::readBytes(path), QByteArray("x = 1\r\n"));
    // No temporary file is left behind.
    QCOMPARE(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{".filler", "job.cf"}));
}

void TestBasics::missingFileIsCannotOpen()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gone.cf"));
    try {
        TextFile::readBytes(path);
        QFAIL("no exception");
    } catch (const FileError &e) {
        QCOMPARE(e.message(), QStringLiteral("Cannot open file ") + path);
    }
}

namespace {

// Keeps what a read hands it, and fails where it is told to.
class RecordingSink : public TextFile::ByteSink, public TextFile::PieceWatcher
{
public:
    explicit RecordingSink(int failAt) : m_failAt(failAt) {}
    void expectSize(qint64 size) override
    {
        if (m_failAt == 0)
            throw std::bad_alloc();
        events.append(QStringLiteral("size %1").arg(size));
    }
    char *space(qsizetype size) override
    {
        m_room.resize(size);
        return m_room.data();
    }
    void commit(qsizetype length) override { take(m_room.constData(), length); }
    void take(const char *data, qsizetype size) override
    {
        if (size > 0 && ++m_pieces == m_failAt)
            throw std::bad_alloc();
        taken.append(data, size);
    }
    void see(QByteArrayView piece) override { seen.append(piece); }

    QStringList events;
    QByteArray taken;
    QByteArray seen;

private:
    int m_failAt;
    int m_pieces = 0;
    QByteArray m_room;
};

} // namespace

void TestBasics::readAheadHandsOverInOrder_data()
{
    QTest::addColumn<qsizetype>("size");
    QTest::addColumn<int>("failAt"); // -1 never, 0 on the size, n on the nth piece
    const qsizetype piece = TextFile::ReadPieceSize;
    QTest::newRow("empty") << qsizetype(0) << -1;
    QTest::newRow("a piece and a byte") << piece + 1 << -1;
    // More pieces than are read ahead: the reading waits for the taker.
    QTest::newRow("eleven pieces") << 10 * piece + 333 << -1;
    QTest::newRow("no room for the file") << 10 * piece << 0;
    QTest::newRow("no room for the second piece") << 10 * piece << 2;
    QTest::newRow("no room for the last piece") << 3 * piece + 5 << 4;
}

void TestBasics::readAheadHandsOverInOrder()
{
    QFETCH(qsizetype, size);
    QFETCH(int, failAt);
    QByteArray bytes(size, '\0');
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char(i * 7 % 251);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pieces.out"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == size);
    file.close();

    RecordingSink sink(failAt);
    bool failed = false;
    try {
        TextFile::readAhead(path, sink, sink);
    } catch (const std::bad_alloc &) {
        failed = true;
    }
    // An error of the taker comes out as it was, and ends the reading too.
    QCOMPARE(failed, failAt >= 0);
    if (failed)
        return;
    QCOMPARE(sink.events, QStringList{QStringLiteral("size %1").arg(size)});
    QCOMPARE(sink.taken.size(), size);
    QVERIFY(sink.taken == bytes);
    QVERIFY(sink.seen == bytes);
}

void TestBasics::onlyRegularFilesAreRead_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    const QString special = QStringLiteral(" (not a regular file)");
    QTest::newRow("FIFO") << "fifo" << special;
    QTest::newRow("/dev/zero") << "/dev/zero" << special;
    QTest::newRow("/dev/urandom") << "/dev/urandom" << special;
    QTest::newRow("link to /dev/zero") << "link to /dev/zero" << special;
    QTest::newRow("folder") << "folder" << special;
    QTest::newRow("larger than memory") << "huge" << QStringLiteral(" (larger than the memory available)");
    QTest::newRow("link to a file") << "link to a file" << QString();
}

void TestBasics::onlyRegularFilesAreRead()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("special"));
    std::optional<FifoTrap> fifo;
    if (kind == QLatin1String("fifo")) {
        fifo.emplace(path);
        QVERIFY(fifo->created());
    } else if (kind.startsWith(QLatin1Char('/'))) {
        path = kind;
    } else if (kind == QLatin1String("link to /dev/zero")) {
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(path));
    } else if (kind == QLatin1String("huge")) {
        // Sparse: it takes no room on the disk.
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(qMax(Q_INT64_C(1) << 40, TextFile::largestReadableFile() + 1)));
    } else if (kind == QLatin1String("link to a file")) {
        TextFile::writeBytes(dir.filePath(QStringLiteral("real")), "text");
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("real")), path));
    }

    if (reason.isEmpty()) {
        QCOMPARE(TextFile::readBytes(path), QByteArray("text"));
        QVERIFY(Paths::fileExists(path));
        return;
    }
    QVERIFY(Paths::fileExists(path) == (kind == QLatin1String("huge")));
    try {
        TextFile::readBytes(path);
        QFAIL("no exception");
    } catch (const FileError &e) {
        QCOMPARE(e.message(), QStringLiteral("Cannot open file ") + path + reason);
    }
    // Read on a thread of its own, the refusal comes back to the caller, and
    // the taker has heard nothing.
    RecordingSink sink(-1);
    try {
        TextFile::readAhead(path, sink, sink);
        QFAIL("no exception");
    } catch (const FileError &e) {
        QCOMPARE(e.message(), QStringLiteral("Cannot open file ") + path + reason);
    }
    QVERIFY(sink.events.isEmpty() && sink.seen.isEmpty());
    QVERIFY(!fifo || !fifo->sprung());
}

void TestBasics::filters()
{
    QCOMPARE(FileFilters::commandFilter(".cf"), QStringLiteral("Command Files [.cf]|*.cf"));
    QCOMPARE(FileFilters::outputFilter(""), QStringLiteral("Output Files []|*"));
    QCOMPARE(FileFilters::anotherFilter(".cf", ".out"),
             QStringLiteral("Quelm and Text Files [.cf,.out,.txt]|*.cf;*.out;*.txt|Text Files [.txt]|*.txt|"
                            "All Files [*.*]|*.*"));
    QCOMPARE(
        FileFilters::explorerFilter(".cf", ".out"),
        QStringLiteral("Command Files [.cf]|*.cf|Quelm Files [.cf,.out]|*.cf;*.out|Output Files [.out]|*.out|"
                       "All Files [*.*]|*.*"));
    const auto choices = FileFilters::parse(FileFilters::explorerFilter(".cf", ".out"));
    QCOMPARE(choices.size(), 4);
    QCOMPARE(choices.at(1).masks, (QStringList{"*.cf", "*.out"}));
}

void TestBasics::qtFilter()
{
    QCOMPARE(FileFilters::toQtFilter(FileFilters::plainTextFilter()),
             QStringLiteral("Test Files [.txt] (*.txt);;All Files [*.*] (*)"));
}

void TestBasics::historyRules()
{
    const QStringList start{"/w/B.cf", "/w/a.cf"};
    // Where the file system tells no case, an open moves the entry in its own
    // letter case; elsewhere A.CF is another file with an entry of its own.
    QCOMPARE(FileHistory::afterOpen(start, "/w/A.CF", Qt::CaseInsensitive),
             (QStringList{"/w/a.cf", "/w/B.cf"}));
    QCOMPARE(FileHistory::afterOpen(start, "/w/A.CF", Qt::CaseSensitive),
             (QStringList{"/w/A.CF", "/w/B.cf", "/w/a.cf"}));
    QCOMPARE(FileHistory::afterOpen(start, "/w/B.cf"), start);
    QCOMPARE(FileHistory::afterOpen(start, "/w/c.cf"), (QStringList{"/w/c.cf", "/w/B.cf", "/w/a.cf"}));
    QCOMPARE(FileHistory::afterInsert(start, "/w/B.cf"), (QStringList{"/w/B.cf", "/w/B.cf", "/w/a.cf"}));
}

void TestBasics::absolutePaths_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("absolute");
    QTest::newRow("bare name") << "job.cf"
                               << "/work/proj/job.cf";
    QTest::newRow("subfolder") << "sub/x.cf"
                               << "/work/proj/sub/x.cf";
    QTest::newRow("parent folder") << "../x.cf"
                                   << "/work/x.cf";
    QTest::newRow("absolute stays") << "/elsewhere/../y.cf"
                                    << "/elsewhere/../y.cf";
    QTest::newRow("empty stays empty") << ""
                                       << "";
}

void TestBasics::absolutePaths()
{
    QFETCH(QString, path);
    QFETCH(QString, absolute);
    QCOMPARE(Paths::absolutePath(path, QStringLiteral("/work/proj")), absolute);
}

void TestBasics::cascadeKeepsUsefulSize_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QList<int>>("offsets");
    // An area of 600 x 400 and steps of 30 pixels.
    QTest::newRow("one window fills the area") << 1 << QSize(600, 400) << QList<int>{0};
    QTest::newRow("three, a step apart") << 3 << QSize(540, 340) << QList<int>{0, 30, 60};
    QTest::newRow("many keep two thirds and wrap")
        << 8 << QSize(400, 266) << QList<int>{0, 30, 60, 90, 120, 0, 30, 60};
}

void TestBasics::cascadeKeepsUsefulSize()
{
    QFETCH(int, count);
    QFETCH(QSize, size);
    QFETCH(QList<int>, offsets);
    const QRect area(10, 20, 600, 400);
    const QList<QRect> places = WindowLayout::cascaded(area, count, 30);
    QCOMPARE(places.size(), count);
    for (int i = 0; i < count; ++i) {
        QCOMPARE(places.at(i).size(), size);
        QCOMPARE(places.at(i).topLeft(), area.topLeft() + QPoint(offsets.at(i), offsets.at(i)));
        QVERIFY(area.contains(places.at(i)));
    }
}

QTEST_GUILESS_MAIN(TestBasics)
#include "tst_basics.moc"
