#include "FrameFixture.h"

#include "app/MDIFrame.h"
#include "documents/MDICommand.h"
#include "documents/PageLayout.h"
#include "documents/PrintCanvas.h"
#include "documents/TextEditor.h"
#include "help/MDIHelp.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QtTest>

namespace {

QString pdfText(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QStringLiteral("<pdftotext failed>");
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pdfPageCount(const QString &pdf)
{
    // pdftotext ends every page with a form feed.
    return int(pdfText(pdf).count(QLatin1Char('\f')));
}

QByteArray numberedLines(int count)
{
    QByteArray text;
    for (int i = 1; i <= count; ++i)
        text += QByteArrayLiteral("line ") + QByteArray::number(i) + "\r\n";
    return text;
}

} // namespace

// Printing as the windows offer it: the pages asked for in the print dialog
// and the name a print to file gets.
class TestPrintWindows : public QObject
{
    Q_OBJECT

private:
    TCommandEditForm *commandWithLines(FrameFixture &f, int lines)
    {
        f.frame().OpenCommand(f.writeFile(QStringLiteral("run1.cf"), numberedLines(lines)));
        return f.frame().CommandWindow();
    }

    // Body lines on a page of the frame's printer in its print font.
    static int linesPerPage(TFrameForm &frame)
    {
        frame.printer().setOutputFormat(QPrinter::PdfFormat);
        PrinterCanvas probe(frame.printer());
        probe.setFont(frame.printFont());
        return ComputePageLayout(probe.metrics(), probe.lineHeight()).linesPerPage;
    }

    static QString printToPdf(FrameFixture &f, QWidget *window, const QString &name)
    {
        const QString pdf = QDir(f.home()).filePath(name);
        f.frame().printer().setOutputFormat(QPrinter::PdfFormat);
        f.frame().printer().setOutputFileName(pdf);
        f.dialogs.printAnswers.enqueue(true);
        window->findChild<QAction *>(QStringLiteral("Print1"))->trigger();
        return pdf;
    }

private slots:
    void pagesAskedForArePrinted_data();
    void pagesAskedForArePrinted();
    void printToFileIsNamedAfterDocument();
};

void TestPrintWindows::pagesAskedForArePrinted_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QStringList>("pageTexts");
    QTest::newRow("first page") << 1 << 1 << QStringList{"1/4"};
    QTest::newRow("middle pages") << 2 << 3 << QStringList{"2/4", "3/4"};
    QTest::newRow("beyond the last page") << 3 << 9 << QStringList{"3/4", "4/4"};
    QTest::newRow("every page") << 0 << 0 << QStringList{"1/4", "2/4", "3/4", "4/4"};
}

void TestPrintWindows::pagesAskedForArePrinted()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QStringList, pageTexts);
    FrameFixture f;
    // Four pages: three full ones and one line.
    const int perPage = linesPerPage(f.frame());
    QVERIFY(perPage > 0);
    TCommandEditForm *window = commandWithLines(f, 3 * perPage + 1);

    f.dialogs.printPages = std::make_pair(from, to);
    const QString pdf = printToPdf(f, window, QStringLiteral("range.pdf"));
    const QString text = pdfText(pdf);
    QCOMPARE(pdfPageCount(pdf), int(pageTexts.size()));
    for (const char *page : {"1/4", "2/4", "3/4", "4/4"})
        QCOMPARE(text.contains(page), pageTexts.contains(page));
    // A page holds the lines it holds in the whole printout.
    const int firstPage = pageTexts.first().section(QLatin1Char('/'), 0, 0).toInt();
    const QString firstLine = QStringLiteral("line %1\n").arg((firstPage - 1) * perPage + 1);
    QVERIFY2(text.contains(firstLine), qPrintable(text));
    QVERIFY(f.dialogs.errors.isEmpty());

    // Pages the text does not have print nothing, and the user is told.
    f.dialogs.printPages = std::make_pair(7, 8);
    QVERIFY(QFile::remove(pdf));
    printToPdf(f, window, QStringLiteral("range.pdf"));
    QVERIFY(!QFile::exists(pdf));
    QCOMPARE(f.dialogs.errors.size(), 1);
    QCOMPARE(f.dialogs.errors.first().title, QStringLiteral("Print"));
}

void TestPrintWindows::printToFileIsNamedAfterDocument()
{
    FrameFixture f;
    TCommandEditForm *window = commandWithLines(f, 3);
    f.dialogs.printAnswers.enqueue(false);
    window->findChild<QAction *>(QStringLiteral("Print1"))->trigger();
    f.frame().HelpFilePath = f.writeFile(QStringLiteral("quelm.hlp"), "##k\r\nentry\r\n");
    f.frame().Contents1Click();
    f.dialogs.printAnswers.enqueue(false);
    f.frame().HelpWindow()->PrintClick();
    QCOMPARE(f.dialogs.printDocNames, (QStringList{"run1.cf", "Quelm Help"}));
}

QTEST_MAIN(TestPrintWindows)
#include "tst_printwindows.moc"
