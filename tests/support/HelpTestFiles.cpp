#include "HelpTestFiles.h"

#include "FrameFixture.h"

#include "help/MDIHelp.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QtTest>

namespace HelpTestFiles {

const QByteArray Sample = "##mean\r\nArithmetic mean of the listed variables.\r\nUsage: mean(x).\r\n"
                          "##median\r\nMedian of the listed variables.\r\n";
const QByteArray Letters = "##a\r\nentry a\r\n##b\r\nentry b\r\n##c\r\nentry c\r\n##dup\r\nfirst dup\r\n"
                           "##dup\r\nsecond dup\r\n";

THelpEditForm *openHelp(FrameFixture &f, const QByteArray &helpFile)
{
    f.frame().HelpFilePath = f.writeFile(QStringLiteral("quelm.hlp"), helpFile);
    f.frame().Contents1Click();
    return f.frame().HelpWindow();
}

QStringList history(const THelpEditForm *help)
{
    QStringList items;
    for (int i = 0; i < help->keyWordCombo()->count(); ++i)
        items.append(help->keyWordCombo()->itemText(i));
    return items;
}

QString viewerText(const THelpEditForm *help)
{
    return help->viewer()->toPlainText();
}

void addListChoiceRows()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("expectedHistory");
    QTest::addColumn<int>("listRow");
    QTest::newRow("other keyword") << "a" << 2 << "entry c\n" << QStringList{"c", "a"} << 2;
    QTest::newRow("equal to the box") << "b" << 1 << "entry a\n" << QStringList{"a"} << 0;
    QTest::newRow("second duplicate") << "a" << 4 << "first dup\n" << QStringList{"dup", "a"} << 3;
}

void checkListChoice(const THelpEditForm *help)
{
    QFETCH(QString, shown);
    QFETCH(QStringList, expectedHistory);
    QFETCH(int, listRow);
    QCOMPARE(viewerText(help), shown);
    QCOMPARE(history(help), expectedHistory);
    QCOMPARE(help->keyWordCombo()->currentIndex(), 0);
    QCOMPARE(help->keyWordCombo()->currentText(), expectedHistory.first());
    QCOMPARE(help->keyWordList()->currentIndex().row(), listRow);
}

} // namespace HelpTestFiles
