#include "core/TextFile.h"
#include "printing/PageLayout.h"
#include "printing/TextPrinter.h"
#include "support/PdfText.h"
#include "support/RecordingCanvas.h"
#include "support/ScriptedDialogs.h"

#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The printer of the worked example: 2380 x 3408 printable pixels on
// 201 x 288 mm, a 2480 x 3508 sheet, 50 pixels offset on both axes.
PrinterMetrics examplePrinter()
{
    return {2380, 3408, 201, 288, 2480, 3508, 50, 50};
}

const QDateTime FixedMoment(QDate(2024, 3, 5), QTime(14, 7, 9));

QDateTime fixedClock()
{
    return FixedMoment;
}

QStringList numberedLines(int count)
{
    return PdfText::numberedLines(count, QStringLiteral("row %1"), 3);
}

// The footer's page texts, in page order.
QStringList pageTexts(const RecordingCanvas &canvas)
{
    QStringList texts;
    for (int page = 1; page <= canvas.pages(); ++page) {
        const QList<RecordingCanvas::Call> onPage = canvas.textsOnPage(page);
        if (!onPage.isEmpty())
            texts.append(onPage.constLast().text);
    }
    return texts;
}

// A canvas whose characters differ in width, as in a proportional font.
class ProportionalCanvas : public RecordingCanvas
{
public:
    int textWidth(const QString &text) const override
    {
        int width = 0;
        for (const QChar c : text)
            width += c == QLatin1Char('i') ? 5 : c == QLatin1Char('W') ? 31 : c == QLatin1Char(' ') ? 0 : 17;
        return width;
    }
};

} // namespace

// The page arithmetic, the drawing of a job and the print command flow.
class TestPrinting : public QObject
{
    Q_OBJECT

private slots:
    void workedExample();
    void layoutValidity_data();
    void layoutValidity();
    void positionsOnAPage();
    void pagination_data();
    void pagination();
    void pageRange_data();
    void pageRange();
    void pageRangeOfPrinter_data();
    void pageRangeOfPrinter();
    void splitLines_data();
    void splitLines();
    void cutting_data();
    void cutting();
    void cuttingMatchesOneCharacterAtATime();
    void longLineCostsFewMeasures();
    void printerFailures_data();
    void printerFailures();
    void footerDate_data();
    void footerDate();
    void printToPdf();
    void cancelledPrintDoesNothing();
    void hugeFontIsRefused();
    void unwritableOutputFails();

private:
    QTemporaryDir m_dir;
};

void TestPrinting::workedExample()
{
    const PageLayout p = ComputePageLayout(examplePrinter(), 42);
    QVERIFY(p.valid);
    QCOMPARE(p.offY, 48);
    QCOMPARE(p.offX, 47);
    QCOMPARE(p.top, 94);
    QCOMPARE(p.bottom, 94);
    QCOMPARE(p.left, 130);
    QCOMPARE(p.right, 130);
    QCOMPARE(p.linesPerPage, 70);
    QCOMPARE(p.inset, 22);
    QCOMPARE(p.usableWidth, 2120);
    QCOMPARE(p.headerRight, 2250);
    QCOMPARE(p.headerBottom, 157);
    QCOMPARE(p.titleX, 152);
    QCOMPARE(p.titleY, 104);
    QCOMPARE(p.bodyLineY(0), 230);
    QCOMPARE(p.bodyLineY(1), 272);
    QCOMPARE(p.bodyLineY(69), 3128);
    QCOMPARE(p.footerTop, 3251);
    QCOMPARE(p.footerBottom, 3314);
    QCOMPARE(p.footerTextY, 3261);
    QCOMPARE(p.footerLeftX, 152);
    QCOMPARE(p.footerCentreX, 1320);
    QCOMPARE(p.footerRightX, 2228);
}

void TestPrinting::layoutValidity_data()
{
    QTest::addColumn<PrinterMetrics>("metrics");
    QTest::addColumn<int>("h");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("linesPerPage");

    const PrinterMetrics example = examplePrinter();
    PrinterMetrics noPaperHeight = example;
    noPaperHeight.PH = 0;
    PrinterMetrics noPaperWidth = example;
    noPaperWidth.PW = 0;
    PrinterMetrics noMillimetres = example;
    noMillimetres.Hmm = 0;
    PrinterMetrics noWidthMillimetres = example;
    noWidthMillimetres.Wmm = 0;
    PrinterMetrics absurdOffset = example;
    absurdOffset.OY = 2000000000;
    absurdOffset.PH = 1;

    // 3220 pixels lie between top and bottom: 3220 / 460 - 6 = 1, 3220 / 461 - 6 = 0.
    QTest::newRow("one line fits") << example << 460 << true << 1;
    QTest::newRow("no line fits") << example << 461 << false << 0;
    QTest::newRow("huge font") << example << 100000 << false << -6;
    QTest::newRow("zero line height") << example << 0 << false << 0;
    QTest::newRow("no paper height") << noPaperHeight << 42 << false << 0;
    QTest::newRow("no paper width") << noPaperWidth << 42 << false << 0;
    QTest::newRow("no height in mm") << noMillimetres << 42 << false << 0;
    QTest::newRow("no width in mm") << noWidthMillimetres << 42 << false << 0;
    QTest::newRow("absurd offset") << absurdOffset << 42 << false << 0;
}

void TestPrinting::layoutValidity()
{
    QFETCH(PrinterMetrics, metrics);
    QFETCH(int, h);
    QFETCH(bool, valid);
    QFETCH(int, linesPerPage);

    const PageLayout layout = ComputePageLayout(metrics, h);
    QCOMPARE(layout.valid, valid);
    QCOMPARE(layout.linesPerPage, linesPerPage);
}

void TestPrinting::positionsOnAPage()
{
    RecordingCanvas canvas;
    canvas.printerMetrics = examplePrinter();
    const QString title = QStringLiteral("C:\\WORK\\RUN1.CF");
    const QStringList lines{QStringLiteral("first"), QString(), QStringLiteral("third")};

    QCOMPARE(PrintEditorLines(canvas, QFont(), title, lines, fixedClock), PrintOutcome::Printed);

    using Call = RecordingCanvas::Call;
    const QString date = FooterDateText(FixedMoment);
    const int dateX = 1320 - int(date.size()) * 20 / 2;
    const QList<Call> expected{
        {Call::Begin, 1, 0, 0, 0, 0, {}},
        {Call::Rectangle, 1, 130, 94, 2250, 157, {}},
        {Call::Text, 1, 152, 104, 0, 0, title},
        {Call::Text, 1, 130, 230, 0, 0, QStringLiteral("first")},
        // The empty second line draws nothing but takes its height.
        {Call::Text, 1, 130, 314, 0, 0, QStringLiteral("third")},
        {Call::Rectangle, 1, 130, 3251, 2250, 3314, {}},
        {Call::Text, 1, 152, 3261, 0, 0, QStringLiteral("Ostrel")},
        {Call::Text, 1, dateX, 3261, 0, 0, date},
        {Call::Text, 1, 2228 - 3 * 20, 3261, 0, 0, QStringLiteral("1/1")},
        {Call::End, 1, 0, 0, 0, 0, {}},
    };
    QCOMPARE(canvas.calls.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        const Call &got = canvas.calls.at(i);
        const Call &want = expected.at(i);
        QVERIFY2(got.kind == want.kind && got.page == want.page && got.x == want.x && got.y == want.y &&
                     got.right == want.right && got.bottom == want.bottom && got.text == want.text,
                 qPrintable(QStringLiteral("call %1: kind %2 at (%3, %4) \"%5\"")
                                .arg(i)
                                .arg(int(got.kind))
                                .arg(got.x)
                                .arg(got.y)
                                .arg(got.text)));
    }
}

void TestPrinting::pagination_data()
{
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<QStringList>("pages");
    QTest::addColumn<QList<int>>("linesOnPages");

    QTest::newRow("empty text: one blank page") << 0 << QStringList() << QList<int>{0};
    QTest::newRow("one line") << 1 << QStringList{"1/1"} << QList<int>{1};
    QTest::newRow("one full page") << 70 << QStringList{"1/1"} << QList<int>{70};
    QTest::newRow("one line over") << 71 << QStringList{"1/2", "2/2"} << QList<int>{70, 1};
    QTest::newRow("three pages") << 150 << QStringList{"1/3", "2/3", "3/3"} << QList<int>{70, 70, 10};
}

void TestPrinting::pagination()
{
    QFETCH(int, lineCount);
    QFETCH(QStringList, pages);
    QFETCH(QList<int>, linesOnPages);

    RecordingCanvas canvas;
    canvas.printerMetrics = examplePrinter();
    const QStringList lines = numberedLines(lineCount);
    QCOMPARE(PrintEditorLines(canvas, QFont(), QStringLiteral("T"), lines, fixedClock),
             PrintOutcome::Printed);

    QCOMPARE(canvas.pages(), int(linesOnPages.size()));
    QCOMPARE(pageTexts(canvas), pages);
    QCOMPARE(canvas.ofKind(RecordingCanvas::Call::End).size(), 1);

    int next = 0;
    for (int page = 1; page <= canvas.pages(); ++page) {
        QList<RecordingCanvas::Call> body;
        for (const RecordingCanvas::Call &call : canvas.textsOnPage(page)) {
            if (call.x == 130 && call.y >= 230 && call.y <= 3128)
                body.append(call);
        }
        QCOMPARE(int(body.size()), linesOnPages.at(page - 1));
        for (int j = 0; j < body.size(); ++j) {
            QCOMPARE(body.at(j).text, lines.at(next++));
            QCOMPARE(body.at(j).y, 230 + j * 42);
        }
        // The footer stands at the foot of every page, full or not.
        if (lineCount > 0)
            QCOMPARE(canvas.textsOnPage(page).constLast().y, 3261);
    }
    QCOMPARE(next, lineCount);
}

void TestPrinting::pageRange_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<QStringList>("pages");
    QTest::addColumn<QString>("firstLine");
    QTest::newRow("first page") << 1 << 1 << QStringList{"1/3"} << "row 001";
    QTest::newRow("last two") << 2 << 3 << QStringList{"2/3", "3/3"} << "row 071";
    QTest::newRow("past the end") << 3 << 99 << QStringList{"3/3"} << "row 141";
    QTest::newRow("from before the first") << 0 << 1 << QStringList{"1/3"} << "row 001";
    QTest::newRow("no page of the text") << 4 << 5 << QStringList{} << QString();
}

void TestPrinting::pageRange()
{
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(QStringList, pages);
    QFETCH(QString, firstLine);
    RecordingCanvas canvas;
    canvas.printerMetrics = examplePrinter();
    // 150 lines at 70 a page: three pages.
    const PrintOutcome outcome =
        PrintEditorLines(canvas, QFont(), QStringLiteral("T"), numberedLines(150), fixedClock, {first, last});
    QCOMPARE(outcome, pages.isEmpty() ? PrintOutcome::NoPages : PrintOutcome::Printed);
    QCOMPARE(pageTexts(canvas), pages);
    QCOMPARE(canvas.ofKind(RecordingCanvas::Call::Begin).size(), pages.isEmpty() ? 0 : 1);
    if (!pages.isEmpty()) {
        const QList<RecordingCanvas::Call> onFirst = canvas.textsOnPage(1);
        QCOMPARE(onFirst.at(1).text, firstLine);
        QCOMPARE(onFirst.at(1).y, 230);
    }
}

void TestPrinting::pageRangeOfPrinter_data()
{
    QTest::addColumn<bool>("rangeChosen");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    const int end = std::numeric_limits<int>::max();
    QTest::newRow("all pages") << false << 2 << 3 << 1 << end;
    QTest::newRow("range") << true << 2 << 3 << 2 << 3;
}

void TestPrinting::pageRangeOfPrinter()
{
    QFETCH(bool, rangeChosen);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, first);
    QFETCH(int, last);
    QPrinter printer;
    printer.setPrintRange(rangeChosen ? QPrinter::PageRange : QPrinter::AllPages);
    printer.setFromTo(from, to);
    const PageRange range = PageRangeOf(printer);
    QCOMPARE(range.first, first);
    QCOMPARE(range.last, last);
}

void TestPrinting::splitLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("empty") << "" << QStringList();
    QTest::newRow("no line break") << "a" << QStringList{"a"};
    QTest::newRow("trailing CR LF adds nothing") << "a\r\nb\r\n" << QStringList{"a", "b"};
    QTest::newRow("trailing LF adds nothing") << "a\n" << QStringList{"a"};
    QTest::newRow("blank last line kept") << "a\r\n\r\n" << QStringList{"a", ""};
    QTest::newRow("only a line break") << "\r\n" << QStringList{""};
    QTest::newRow("mixed breaks") << "a\rb\nc\r\nd" << QStringList{"a", "b", "c", "d"};
    QTest::newRow("tabs kept") << "x\ty" << QStringList{"x\ty"};
}

void TestPrinting::splitLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(TextFile::splitLines(text), lines);
}

void TestPrinting::cutting_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("charWidth");
    QTest::addColumn<QString>("printed");

    // 2120 usable pixels hold 106 characters of 20 pixels.
    const QString exact(106, QLatin1Char('x'));
    QTest::newRow("exactly as wide as the page") << exact << 20 << exact;
    QTest::newRow("one character too wide") << exact + "y" << 20 << exact;
    QTest::newRow("far too wide") << QString(10000, QLatin1Char('z')) << 20 << QString(106, QLatin1Char('z'));
    QTest::newRow("narrow characters")
        << QString(400, QLatin1Char('n')) << 7 << QString(302, QLatin1Char('n'));
    QTest::newRow("short line whole") << "short" << 20 << "short";

    // 105 units fit after the 'a'; the 106th would be half of a pair.
    QString emoji;
    for (int i = 0; i < 60; ++i)
        emoji += QString::fromUtf8("\xF0\x9F\x98\x80");
    QTest::newRow("no half surrogate pair") << "a" + emoji << 20 << ("a" + emoji).left(105);
}

void TestPrinting::cutting()
{
    QFETCH(QString, line);
    QFETCH(int, charWidth);
    QFETCH(QString, printed);

    RecordingCanvas canvas;
    canvas.printerMetrics = examplePrinter();
    canvas.charWidth = charWidth;
    QCOMPARE(PrintEditorLines(canvas, QFont(), QStringLiteral("T"), {line}, fixedClock),
             PrintOutcome::Printed);
    const QList<RecordingCanvas::Call> texts = canvas.textsOnPage(1);
    QCOMPARE(texts.at(1).y, 230);
    QCOMPARE(texts.at(1).text, printed);
}

void TestPrinting::cuttingMatchesOneCharacterAtATime()
{
    ProportionalCanvas canvas;
    const QString alphabet = QStringLiteral("iWx i");
    for (int usable : {0, 1, 4, 5, 17, 100, 2120, 5000}) {
        for (int length : {0, 1, 7, 127, 128, 129, 300, 1000}) {
            QString line;
            for (int i = 0; i < length; ++i)
                line += alphabet.at((i * 7 + length) % alphabet.size());
            QString expected = line;
            while (canvas.textWidth(expected) > usable)
                expected.chop(1);
            QCOMPARE(FittingLength(canvas, line, usable), expected.size());
        }
    }
}

void TestPrinting::longLineCostsFewMeasures()
{
    RecordingCanvas canvas;
    canvas.printerMetrics = examplePrinter();
    const QStringList lines(10, QString(100000, QLatin1Char('w')));
    QCOMPARE(PrintEditorLines(canvas, QFont(), QStringLiteral("T"), lines, fixedClock),
             PrintOutcome::Printed);
    // Cutting one character at a time would measure each line 99,894 times.
    QVERIFY2(canvas.widthMeasures < 10 * 20, qPrintable(QString::number(canvas.widthMeasures)));
}

void TestPrinting::printerFailures_data()
{
    QTest::addColumn<bool>("failBegin");
    QTest::addColumn<int>("failNewPageAt");
    QTest::addColumn<bool>("failEnd");
    QTest::addColumn<int>("lineHeight");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<int>("begins");

    QTest::newRow("printer refuses the job") << true << 0 << false << 42 << int(PrintOutcome::Failed) << 0;
    QTest::newRow("second page fails") << false << 2 << false << 42 << int(PrintOutcome::Failed) << 1;
    QTest::newRow("job cannot be ended") << false << 0 << true << 42 << int(PrintOutcome::Failed) << 1;
    QTest::newRow("no line fits") << false << 0 << false << 461 << int(PrintOutcome::Refused) << 0;
    QTest::newRow("all well") << false << 0 << false << 42 << int(PrintOutcome::Printed) << 1;
}

void TestPrinting::printerFailures()
{
    QFETCH(bool, failBegin);
    QFETCH(int, failNewPageAt);
    QFETCH(bool, failEnd);
    QFETCH(int, lineHeight);
    QFETCH(int, outcome);
    QFETCH(int, begins);

    RecordingCanvas canvas;
    canvas.printerMetrics = examplePrinter();
    canvas.failBegin = failBegin;
    canvas.failNewPageAt = failNewPageAt;
    canvas.failEnd = failEnd;
    canvas.height = lineHeight;
    const PrintOutcome got =
        PrintEditorLines(canvas, QFont(), QStringLiteral("T"), numberedLines(150), fixedClock);
    QCOMPARE(int(got), outcome);
    QCOMPARE(int(canvas.ofKind(RecordingCanvas::Call::Begin).size()), begins);
    // Whatever happened, no job is left open.
    QVERIFY(!canvas.open);
    QCOMPARE(canvas.ofKind(RecordingCanvas::Call::End).size(),
             canvas.ofKind(RecordingCanvas::Call::Begin).size());
}

void TestPrinting::footerDate_data()
{
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QString>("text");

    const QDate day(2024, 3, 5);
    QTest::newRow("afternoon") << QDateTime(day, QTime(14, 7, 9)) << "05/03/2024 14:07:09";
    QTest::newRow("exactly midnight: no time") << QDateTime(day, QTime(0, 0, 0)) << "05/03/2024";
    QTest::newRow("one second past midnight") << QDateTime(day, QTime(0, 0, 1)) << "05/03/2024 00:00:01";
}

void TestPrinting::footerDate()
{
    QFETCH(QDateTime, moment);
    QFETCH(QString, text);
    QCOMPARE(FooterDateText(moment, QLocale(QLocale::English, QLocale::UnitedKingdom)), text);
}

namespace {

QFont printFont()
{
    QFont font(QStringLiteral("Courier New"), 10);
    font.setStyleHint(QFont::Monospace);
    return font;
}

struct PdfJob
{
    QPrinter printer{QPrinter::HighResolution};
    ScriptedDialogs dialogs;
    QStringList statuses;
    StatusSetter setStatus = [this](const QString &text) { statuses.append(text); };

    explicit PdfJob(const QString &path)
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        dialogs.printAnswers.enqueue(true);
    }
};

} // namespace

void TestPrinting::printToPdf()
{
    QVERIFY(m_dir.isValid());
    const QString pdf = m_dir.filePath(QStringLiteral("two-pages.pdf"));
    PdfJob job(pdf);
    const QString title = QStringLiteral("/home/user/run1.cf");
    const PrinterMetrics metrics = PrinterCanvas(job.printer).metrics();
    QFont font = printFont();
    {
        // Exactly one line over a page, whatever the paper and the font.
        PrinterCanvas probe(job.printer);
        probe.setFont(font);
        const int perPage = ComputePageLayout(metrics, probe.lineHeight()).linesPerPage;
        QVERIFY(perPage > 0);
        const QStringList lines = numberedLines(perPage + 1);
        QCOMPARE(RunPrintJob(nullptr, job.dialogs, job.printer, font, title, lines, job.setStatus),
                 PrintOutcome::Printed);

        QCOMPARE(job.statuses, (QStringList{"Printing in Progress ...", "Ready."}));
        QVERIFY(job.dialogs.errors.isEmpty());
        QCOMPARE(PdfText::pageCount(pdf), 2);
        const QString first = PdfText::read(pdf, 1);
        const QString second = PdfText::read(pdf, 2);
        for (const QString &page : {first, second}) {
            QVERIFY2(page.contains(title), qPrintable(page));
            QVERIFY2(page.contains(QLatin1String("Ostrel")), qPrintable(page));
        }
        QVERIFY(first.contains(lines.constFirst()));
        QVERIFY(first.contains(lines.at(perPage - 1)));
        QVERIFY(!first.contains(lines.constLast()));
        QVERIFY(first.contains(QLatin1String("1/2")));
        QVERIFY(second.contains(lines.constLast()));
        QVERIFY(!second.contains(lines.constFirst()));
        QVERIFY(second.contains(QLatin1String("2/2")));
    }
}

void TestPrinting::cancelledPrintDoesNothing()
{
    const QString pdf = m_dir.filePath(QStringLiteral("cancelled.pdf"));
    PdfJob job(pdf);
    job.dialogs.printAnswers.clear();
    job.dialogs.printAnswers.enqueue(false);
    QCOMPARE(RunPrintJob(nullptr, job.dialogs, job.printer, printFont(), "T", {"a"}, job.setStatus),
             PrintOutcome::Cancelled);
    QCOMPARE(job.dialogs.printRequests, 1);
    QVERIFY(job.statuses.isEmpty());
    QVERIFY(job.dialogs.errors.isEmpty());
    QVERIFY(!QFile::exists(pdf));
}

void TestPrinting::hugeFontIsRefused()
{
    const QString pdf = m_dir.filePath(QStringLiteral("refused.pdf"));
    PdfJob job(pdf);
    QFont font = printFont();
    font.setPointSize(1500);
    QCOMPARE(RunPrintJob(nullptr, job.dialogs, job.printer, font, "T", {"a"}, job.setStatus),
             PrintOutcome::Refused);
    QCOMPARE(job.statuses.constLast(), QStringLiteral("Ready."));
    QCOMPARE(job.dialogs.errors.size(), 1);
    QCOMPARE(job.dialogs.errors.constFirst().title, QStringLiteral("Print"));
    QVERIFY(!QFile::exists(pdf));
}

void TestPrinting::unwritableOutputFails()
{
    const QString pdf = m_dir.filePath(QStringLiteral("no/such/folder/out.pdf"));
    PdfJob job(pdf);
    QCOMPARE(RunPrintJob(nullptr, job.dialogs, job.printer, printFont(), "T", {"a", "b"}, job.setStatus),
             PrintOutcome::Failed);
    QCOMPARE(job.statuses, (QStringList{"Printing in Progress ...", "Ready."}));
    QCOMPARE(job.dialogs.errors.size(), 1);
    QVERIFY(job.dialogs.errors.constFirst().text.contains(QLatin1String("print job was ended")));
}

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
