#include "core/TextFile.h"
#include "help/KeyWordIndex.h"
#include "help/KeyWordModel.h"

#include <QRandomGenerator>
#include <QtTest>

#include <optional>

Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

const QString Sample = QStringLiteral("##mean\r\n"
                                      "Arithmetic mean of the listed variables.\r\n"
                                      "Usage: mean(x).\r\n"
                                      "##median\r\n"
                                      "Median of the listed variables.\r\n");

const std::optional<QString> NotFound;
const QString ByteOrderMark(QChar(0xFEFF));

// Plain, slow restatements of the reading rules, used only to check the
// real functions on random texts.
QStringList referenceKeyWords(const QString &text)
{
    QStringList keywords;
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString &line : normalised.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("##")))
            keywords.append(line.mid(2));
    }
    return keywords;
}

std::optional<QString> referenceEntry(const QString &text, const QString &search)
{
    const qsizetype p = text.indexOf(QLatin1String("##") + search, 0, Qt::CaseInsensitive);
    if (p < 0)
        return std::nullopt;
    qsizetype e = p;
    while (e < text.size() && text.at(e) != QLatin1Char('\r') && text.at(e) != QLatin1Char('\n'))
        ++e;
    if (e < text.size())
        e += text.mid(e, 2) == QLatin1String("\r\n") ? 2 : 1;
    const qsizetype q = text.indexOf(QLatin1String("##"), e);
    return text.mid(e, (q < 0 ? text.size() : q) - e);
}

} // namespace

// The keyword list and the entry lookup over the help text.
class TestHelpIndex : public QObject
{
    Q_OBJECT

private slots:
    void sampleSearches_data();
    void sampleSearches();
    void keyWordLists_data();
    void keyWordLists();
    void keyWordModelFinds_data();
    void keyWordModelFinds();
    void entries_data();
    void entries();
    void agreesWithPlainReadingOnRandomTexts();
    void binaryFile();
    void noLineEnds();
    void hugeKeyWordLine();
};

void TestHelpIndex::sampleSearches_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<std::optional<QString>>("entry");

    const std::optional<QString> mean =
        QStringLiteral("Arithmetic mean of the listed variables.\r\nUsage: mean(x).\r\n");
    const std::optional<QString> median = QStringLiteral("Median of the listed variables.\r\n");
    QTest::newRow("mean") << "mean" << mean;
    QTest::newRow("leading part") << "me" << mean;
    QTest::newRow("other case") << "MEDIAN" << median;
    QTest::newRow("leading part of the second") << "med" << median;
    QTest::newRow("text without marker") << "variables" << NotFound;
    QTest::newRow("empty") << "" << mean;
}

void TestHelpIndex::sampleSearches()
{
    QFETCH(QString, search);
    QFETCH(std::optional<QString>, entry);
    QCOMPARE(BuildKeyWordList(Sample.toUtf8()), (QStringList{"mean", "median"}));
    QCOMPARE(FindHelpEntry(Sample.toUtf8(), search), entry);
}

void TestHelpIndex::keyWordLists_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("keywords");

    QTest::newRow("marker alone is the empty keyword") << "intro\r\n##\r\nx\r\n##a\r\n"
                                                       << QStringList{"", "a"};
    QTest::newRow("duplicates kept") << "##x\r\none\r\n##x\r\ntwo\r\n" << QStringList{"x", "x"};
    QTest::newRow("case kept") << "##Sum\r\n##sum\r\n" << QStringList{"Sum", "sum"};
    QTest::newRow("blanks kept") << "##  pi  \r\nPI\r\n" << QStringList{"  pi  "};
    QTest::newRow("blank before marker") << " ##x\r\n##y" << QStringList{"y"};
    QTest::newRow("marker not in first columns") << "a##b\r\n#\r\n# #c\r\n" << QStringList();
    QTest::newRow("third hash belongs to the keyword") << "###x\r\n" << QStringList{"#x"};
    QTest::newRow("lone LF and lone CR end lines") << "##a\nA\n##b\rB\r##c" << QStringList{"a", "b", "c"};
    QTest::newRow("last line without line end") << "##a\r\nA\r\n##z" << QStringList{"a", "z"};
    QTest::newRow("no keyword line") << "just text\r\nmore # text\r\n" << QStringList();
    QTest::newRow("byte-order mark inside the text is kept")
        << ByteOrderMark + "intro\r\n##" + ByteOrderMark + "x\r\n"
        << QStringList{ByteOrderMark + "x"};
    QTest::newRow("empty file") << "" << QStringList();
}

void TestHelpIndex::keyWordLists()
{
    QFETCH(QString, text);
    QFETCH(QStringList, keywords);
    QCOMPARE(BuildKeyWordList(text.toUtf8()), keywords);
}

void TestHelpIndex::keyWordModelFinds_data()
{
    QTest::addColumn<QString>("helpText");
    QTest::addColumn<QString>("text");
    // The row of the first keyword equal to text ignoring case, or -1.
    QTest::addColumn<int>("row");
    QTest::newRow("other case") << "##Mean\r\nx\r\n##mean\r\n"
                                << "MEAN" << 0;
    QTest::newRow("beyond ASCII") << "##x\r\n##Ärger\r\n"
                                  << "äRGER" << 1;
    QTest::newRow("leading part") << "##median\r\n"
                                  << "med" << -1;
    QTest::newRow("longer text") << "##med\r\n"
                                 << "median" << -1;
    QTest::newRow("trailing blanks") << "##mean  \r\n##mean\r\n"
                                     << "mean" << 1;
    QTest::newRow("empty keyword") << "##x\n##\n"
                                   << "" << 1;
    QTest::newRow("listed cut") << "##" + QString(40, QLatin1Char('k')) + "\r\n"
                                << QString(32, QLatin1Char('K')) << 0;
}

void TestHelpIndex::keyWordModelFinds()
{
    QFETCH(QString, helpText);
    QFETCH(QString, text);
    QFETCH(int, row);
    KeyWordModel model(32, nullptr);
    model.setHelpText(helpText.toUtf8());
    QCOMPARE(model.find(text), row);
    QCOMPARE(model.rowCount(), int(BuildKeyWordList(helpText.toUtf8()).size()));
    if (row >= 0)
        QCOMPARE(model.keyWord(row).compare(text, Qt::CaseInsensitive), 0);
}

void TestHelpIndex::entries_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("search");
    QTest::addColumn<std::optional<QString>>("entry");

    QTest::newRow("empty search finds the marker alone") << "intro\r\n##\r\nE\r\n##a\r\nA\r\n"
                                                         << "" << std::optional<QString>("E\r\n");
    QTest::newRow("empty search finds the first marker anywhere")
        << "see ## here\r\nshown\r\n##\r\nE\r\n"
        << "" << std::optional<QString>("shown\r\n");
    QTest::newRow("duplicate: the first wins") << "##x\r\none\r\n##x\r\ntwo\r\n"
                                               << "x" << std::optional<QString>("one\r\n");
    QTest::newRow("case: whichever comes first") << "##Sum\r\nupper\r\n##sum\r\nlower\r\n"
                                                 << "sum" << std::optional<QString>("upper\r\n");
    const QString blanks = QStringLiteral("##pi  \r\nPI\r\n##q\r\nQ\r\n");
    QTest::newRow("trailing blanks searched with them")
        << blanks << "pi  " << std::optional<QString>("PI\r\n");
    QTest::newRow("trailing blanks searched without") << blanks << "pi" << std::optional<QString>("PI\r\n");
    QTest::newRow("marker inside an entry ends it") << "##a\r\nfirst ## rest\r\nhidden\r\n##b\r\nB\r\n"
                                                    << "a" << std::optional<QString>("first ");
    QTest::newRow("cross-reference comes first") << "##a\r\nsee ##b here\r\nafter\r\n##b\r\nB\r\n"
                                                 << "b" << std::optional<QString>("after\r\n");
    QTest::newRow("cross-reference just before") << "##a\r\nsee ##b\r\n##b\r\nB\r\n"
                                                 << "b" << std::optional<QString>("");
    QTest::newRow("last entry runs to the end") << "##a\r\nA\r\n##z\r\nlast\r\nlines"
                                                << "z" << std::optional<QString>("last\r\nlines");
    QTest::newRow("keyword on the last line") << "##a\r\nA\r\n##z"
                                              << "z" << std::optional<QString>("");
    QTest::newRow("keyword line ends the file") << "##a\r\nA\r\n##z\r\n"
                                                << "z" << std::optional<QString>("");
    QTest::newRow("shorter keyword finds a longer one first") << "##median\r\nM\r\n##me\r\nE\r\n"
                                                              << "me" << std::optional<QString>("M\r\n");
    QTest::newRow("lone LF") << "##a\nA\n##b\n"
                             << "a" << std::optional<QString>("A\n");
    QTest::newRow("lone CR") << "##a\rA\r##b\r"
                             << "a" << std::optional<QString>("A\r");
    QTest::newRow("accented letters fold")
        << QString::fromUtf8("##\xC3\x84rger\r\nX\r\n") << QString::fromUtf8("\xC3\xA4RGER")
        << std::optional<QString>("X\r\n");
    QTest::newRow("letter that folds to ASCII") << QString::fromUtf8("##\xE2\x84\xAA"
                                                                     "ey\r\nX\r\n")
                                                << "KEY" << std::optional<QString>("X\r\n");
    const QString longUpper = QString::fromUtf8("\xC3\x84") + QString(30, QLatin1Char('B')) +
                              QString::fromUtf8("\xF0\x90\x90\x80") + QString(40, QLatin1Char('C'));
    const QString longLower = longUpper.toLower();
    QTest::newRow("long search, other case throughout") << "##x\r\n##" + longLower + "\r\nL\r\n"
                                                        << longUpper << std::optional<QString>("L\r\n");
    QTest::newRow("long search differing at its end") << "##" + longLower.chopped(1) + "d\r\nL\r\n"
                                                      << longUpper << NotFound;
    QTest::newRow("search longer than the text") << "##ab"
                                                 << "abc" << NotFound;
    QTest::newRow("empty file") << ""
                                << "" << NotFound;
    QTest::newRow("single hash") << "#"
                                 << "" << NotFound;
}

void TestHelpIndex::entries()
{
    QFETCH(QString, text);
    QFETCH(QString, search);
    QFETCH(std::optional<QString>, entry);
    QCOMPARE(FindHelpEntry(text.toUtf8(), search), entry);
}

void TestHelpIndex::agreesWithPlainReadingOnRandomTexts()
{
    // Few, marker-heavy characters, so that every rule meets every other, and
    // letters of two, three and four bytes in both cases, one that folds to
    // an ASCII letter, and the byte-order mark.
    const QStringList alphabet{"#",
                               "#",
                               "a",
                               "A",
                               "\r",
                               "\n",
                               " ",
                               "b",
                               QString::fromUtf8("\xC3\xA4"),
                               QString::fromUtf8("\xC3\x84"),
                               QString::fromUtf8("\xE2\x84\xAA"),
                               "k",
                               ByteOrderMark,
                               QString::fromUtf8("\xF0\x90\x90\x80"),
                               QString::fromUtf8("\xF0\x90\x90\xA8")};
    QRandomGenerator random(20240305);
    const auto randomText = [&](int maxLength) {
        QString text;
        const int length = int(random.bounded(maxLength));
        for (int i = 0; i < length; ++i)
            text += alphabet.at(random.bounded(int(alphabet.size())));
        return text;
    };
    for (int round = 0; round < 3000; ++round) {
        const QString text = randomText(round % 2 ? 40 : 100);
        QString search = randomText(4);
        // Half of the searches are taken from behind a marker, of any length
        // (a surrogate pair may be cut), in the other case.
        const qsizetype marker = text.indexOf(QLatin1String("##"), random.bounded(int(text.size()) + 1));
        if (round % 2 == 0 && marker >= 0) {
            search = text.mid(marker + 2, random.bounded(70));
            search = random.bounded(2) ? search.toUpper() : search.toLower();
        }

        QCOMPARE(BuildKeyWordList(text.toUtf8()), referenceKeyWords(text));
        QCOMPARE(FindHelpEntry(text.toUtf8(), search), referenceEntry(text, search));
    }
}

void TestHelpIndex::binaryFile()
{
    QRandomGenerator random(7);
    QByteArray bytes(1 << 20, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    bytes.replace(1000, 10, "\n##binary\n");
    const QString text = QString::fromUtf8(TextCodec::decode(bytes).utf8);

    const QStringList keywords = BuildKeyWordList(text.toUtf8());
    QVERIFY(keywords.contains(QStringLiteral("binary")));
    for (const QString &keyword : keywords)
        QVERIFY(!keyword.contains(QLatin1Char('\r')) && !keyword.contains(QLatin1Char('\n')));
    QVERIFY(FindHelpEntry(text.toUtf8(), QStringLiteral("binary")).has_value());
    QCOMPARE(FindHelpEntry(text.toUtf8(), QStringLiteral("binary")),
             referenceEntry(text, QStringLiteral("binary")));
}

void TestHelpIndex::noLineEnds()
{
    const QString text = QStringLiteral("##") + QString(5'000'000, QLatin1Char('k'));
    const QStringList keywords = BuildKeyWordList(text.toUtf8());
    QCOMPARE(keywords.size(), 1);
    QCOMPARE(keywords.constFirst().size(), 5'000'000);
    QCOMPARE(FindHelpEntry(text.toUtf8(), QStringLiteral("kk")), std::optional<QString>(""));

    const QString hashes(1'000'001, QLatin1Char('#'));
    QCOMPARE(BuildKeyWordList(hashes.toUtf8()), QStringList{QString(999'999, QLatin1Char('#'))});
    QCOMPARE(FindHelpEntry(hashes.toUtf8(), QStringLiteral("x")), NotFound);
}

void TestHelpIndex::hugeKeyWordLine()
{
    const QString keyword(100'000, QLatin1Char('w'));
    const QString text = "##a\r\nA\r\n##" + keyword + "\r\nwide entry\r\n##b\r\nB\r\n";
    QCOMPARE(BuildKeyWordList(text.toUtf8()), (QStringList{"a", keyword, "b"}));
    QCOMPARE(FindHelpEntry(text.toUtf8(), keyword), std::optional<QString>("wide entry\r\n"));
    QCOMPARE(FindHelpEntry(text.toUtf8(), keyword + "w"), NotFound);
}

QTEST_GUILESS_MAIN(TestHelpIndex)
#include "tst_helpindex.moc"
