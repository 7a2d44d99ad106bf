#include "FrameFixture.h"
#include "PdfText.h"

#include "app/MDIFrame.h"
#include "documents/MDICommand.h"
#include "editor/TextEditor.h"
#include "explorer/MDIExplorer.h"
#include "help/MDIHelp.h"
#include "printing/PageLayout.h"
#include "printing/PrintCanvas.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTimer>
#include <QtTest>

namespace {

QByteArray numberedLines(int count)
{
    return (PdfText::numberedLines(count).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

// The pages of the print preview that opens next, read before it is closed.
// Closes it after 5 s whatever happens, so that a fault fails instead of hanging.
int previewPages(const std::function<void()> &open)
{
    int pages = -1;
    QTimer poll;
    QElapsedTimer waited;
    waited.start();
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget());
        if (dialog) {
            if (auto *preview = dialog->findChild<QPrintPreviewWidget *>())
                pages = preview->pageCount();
            dialog->reject();
        } else if (waited.elapsed() > 5000) {
            poll.stop();
        }
    });
    poll.start(50);
    open();
    return pages;
}

} // namespace

// Printing as the windows offer it: the pages asked for in the print dialog,
// the print preview, the PDF export, and the names a print to file gets.
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
    void fileMenuItems_data();
    void fileMenuItems();
    void pagesAskedForArePrinted_data();
    void pagesAskedForArePrinted();
    void printToFileIsNamedAfterDocument();
    void previewShowsPrintedPages_data();
    void previewShowsPrintedPages();
    void exportPdf();
    void exportPdfAsksBeforeOverwriting_data();
    void exportPdfAsksBeforeOverwriting();
    void exportPdfToUnwritableFolder();
};

void TestPrintWindows::fileMenuItems_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("items");
    const QStringList printing{"Print1", "Printersetup1", "PrintPreview1", "ExportPdf1",
                               "N8",     "Preferences2"};
    QTest::newRow("command") << "command" << printing;
    QTest::newRow("help") << "help" << printing;
    QTest::newRow("explorer") << "explorer" << QStringList{"Print1", "Printersetup1", "N8", "Preferences2"};
}

void TestPrintWindows::fileMenuItems()
{
    QFETCH(QString, window);
    QFETCH(QStringList, items);
    FrameFixture f;
    QWidget *child = f.frame().CommandWindow();
    if (window == QLatin1String("help")) {
        f.frame().HelpFilePath = f.writeFile(QStringLiteral("quelm.hlp"), "##k\r\nentry\r\n");
        f.frame().Contents1Click();
        child = f.frame().HelpWindow();
    } else if (window == QLatin1String("explorer")) {
        child = f.frame().ExplorerWindow();
    }
    QVERIFY(child);
    QStringList names;
    for (QAction *action : child->findChild<QMenu *>(QStringLiteral("File2"))->actions())
        names.append(action->objectName());
    const qsizetype print = names.indexOf(QStringLiteral("Print1"));
    QCOMPARE(names.mid(print, items.size()), items);
    if (window != QLatin1String("explorer")) {
        QCOMPARE(child->findChild<QAction *>(QStringLiteral("PrintPreview1"))->text(),
                 QStringLiteral("Print Pre&view..."));
        QCOMPARE(child->findChild<QAction *>(QStringLiteral("ExportPdf1"))->text(),
                 QStringLiteral("Export as P&DF..."));
    }
}

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
    const QString text = PdfText::read(pdf);
    QCOMPARE(PdfText::pageCount(pdf), int(pageTexts.size()));
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

void TestPrintWindows::previewShowsPrintedPages_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("lines");
    QTest::newRow("one page") << "command" << 5;
    QTest::newRow("several pages") << "command" << 300;
    QTest::newRow("help") << "help" << 200;
}

void TestPrintWindows::previewShowsPrintedPages()
{
    QFETCH(QString, window);
    QFETCH(int, lines);
    FrameFixture f;
    QWidget *child = nullptr;
    if (window == QLatin1String("help")) {
        f.frame().HelpFilePath = f.writeFile(QStringLiteral("quelm.hlp"), "##k\r\n" + numberedLines(lines));
        f.frame().Contents1Click();
        child = f.frame().HelpWindow();
    } else {
        child = commandWithLines(f, lines);
    }
    QVERIFY(child);
    f.dialogs.realPreview = true;
    const int shown =
        previewPages([&] { child->findChild<QAction *>(QStringLiteral("PrintPreview1"))->trigger(); });
    QCOMPARE(f.dialogs.previewRequests, 1);
    const int printed = PdfText::pageCount(printToPdf(f, child, QStringLiteral("printed.pdf")));
    QVERIFY(printed >= (lines > 100 ? 2 : 1));
    QCOMPARE(shown, printed);
}

void TestPrintWindows::exportPdf()
{
    FrameFixture f;
    TCommandEditForm *window = commandWithLines(f, 3);
    const QString pdf = QDir(f.home()).filePath(QStringLiteral("exported.pdf"));
    f.dialogs.saveAnswers.enqueue(pdf);
    window->findChild<QAction *>(QStringLiteral("ExportPdf1"))->trigger();

    QCOMPARE(f.dialogs.saveRequests.size(), 1);
    const UserDialogs::FileRequest request = f.dialogs.saveRequests.first();
    QCOMPARE(request.title, QStringLiteral("Export as PDF"));
    QCOMPARE(request.initialName, QDir(f.home()).filePath(QStringLiteral("run1.pdf")));
    QCOMPARE(request.defaultExtension, QStringLiteral(".pdf"));
    QVERIFY(request.filter.startsWith(QStringLiteral("PDF Files [.pdf]|*.pdf")));
    const QString text = PdfText::read(pdf);
    for (const QString &expected : {window->FileName, QStringLiteral("line 1"), QStringLiteral("line 3"),
                                    QStringLiteral("Ostrel"), QStringLiteral("1/1")})
        QVERIFY2(text.contains(expected), qPrintable(text));
    QVERIFY(f.dialogs.errors.isEmpty());
    // The program's printer is left as it was.
    QVERIFY(f.frame().printer().outputFileName().isEmpty());

    // Cancelled: nothing is written.
    QFile::remove(pdf);
    window->findChild<QAction *>(QStringLiteral("ExportPdf1"))->trigger();
    QVERIFY(!QFile::exists(pdf));
}

void TestPrintWindows::exportPdfAsksBeforeOverwriting_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("written");
    QTest::newRow("yes") << int(UserDialogs::Answer::Yes) << true;
    QTest::newRow("no") << int(UserDialogs::Answer::No) << false;
}

void TestPrintWindows::exportPdfAsksBeforeOverwriting()
{
    QFETCH(int, answer);
    QFETCH(bool, written);
    FrameFixture f;
    TCommandEditForm *window = commandWithLines(f, 3);
    const QString pdf = f.writeFile(QStringLiteral("old.pdf"), "old");
    f.dialogs.saveAnswers.enqueue(pdf);
    f.dialogs.answers.enqueue(UserDialogs::Answer(answer));
    window->findChild<QAction *>(QStringLiteral("ExportPdf1"))->trigger();
    QCOMPARE(f.dialogs.questions, QStringList{"Overwrite existing File?"});
    QCOMPARE(f.readFile(pdf) != "old", written);
}

void TestPrintWindows::exportPdfToUnwritableFolder()
{
    FrameFixture f;
    TCommandEditForm *window = commandWithLines(f, 3);
    const QString pdf = QDir(f.home()).filePath(QStringLiteral("no/such/folder/out.pdf"));
    f.dialogs.saveAnswers.enqueue(pdf);
    window->findChild<QAction *>(QStringLiteral("ExportPdf1"))->trigger();
    QCOMPARE(f.dialogs.errors.size(), 1);
    QCOMPARE(f.dialogs.errors.first().title, QStringLiteral("Ostrel"));
    QCOMPARE(f.dialogs.errors.first().text, QStringLiteral("Cannot create file %1.").arg(pdf));
    QCOMPARE(f.frame().statusText(), QStringLiteral("Ready."));
}

QTEST_MAIN(TestPrintWindows)
#include "tst_printwindows.moc"
