#include "app/PrefDialog.h"
#include "documents/FileFilters.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

// The preferences dialog: what OK and Cancel take back, the browse dialogs,
// and the dialog's controls.
class TestPrefDialog : public QObject
{
    Q_OBJECT

private slots:
    void closing_data();
    void closing();
    void browseRequests_data();
    void browseRequests();
    void onlyBrowseChangesThePaths();
    void tabOrder();
    void geometry_data();
    void geometry();
    void keys_data();
    void keys();
    void browseLeavesCurrentFolder();

private:
    static PrefValues startValues()
    {
        return {QStringLiteral("/opt/quelm63/quelm"), QStringLiteral("/opt/quelm63/quelm.hlp"),
                QStringLiteral(".cf"), QStringLiteral(".out"),
                RunSettings{3, QStringLiteral("srun --quiet")}};
    }
};

template <typename T> T *child(TPrefDialogForm &dialog, const char *name)
{
    T *found = dialog.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

void TestPrefDialog::closing_data()
{
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("commandExt");
    QTest::addColumn<QString>("outputExt");
    QTest::addColumn<QString>("browsedEngine");
    QTest::addColumn<QString>("commandFilter");
    QTest::addColumn<QString>("outputFilter");

    const QString engine = QStringLiteral("/new/quelm");
    QTest::newRow("cancel after browse") << false << ".cmd"
                                         << ".lst" << engine << "Command Files [.cf]|*.cf"
                                         << "Output Files [.out]|*.out";
    QTest::newRow("ok with .cmd") << true << ".cmd"
                                  << ".out" << QString() << "Command Files [.cmd]|*.cmd"
                                  << "Output Files [.out]|*.out";
    QTest::newRow("ok with emptied output extension") << true << ".cf"
                                                      << "" << QString() << "Command Files [.cf]|*.cf"
                                                      << "Output Files []|*";
    QTest::newRow("ok after browse, odd texts kept") << true << "CMD "
                                                     << ".OUT" << engine << "Command Files [CMD ]|*CMD "
                                                     << "Output Files [.OUT]|*.OUT";
    QTest::newRow("ok with a very long path")
        << true << ".cf"
        << ".out" << QString(40000, QLatin1Char('p')) << "Command Files [.cf]|*.cf"
        << "Output Files [.out]|*.out";
}

void TestPrefDialog::closing()
{
    QFETCH(bool, ok);
    QFETCH(QString, commandExt);
    QFETCH(QString, outputExt);
    QFETCH(QString, browsedEngine);
    QFETCH(QString, commandFilter);
    QFETCH(QString, outputFilter);

    ScriptedDialogs dialogs;
    if (!browsedEngine.isEmpty())
        dialogs.openAnswers.enqueue(browsedEngine);
    dialogs.onPreferences = [&](TPrefDialogForm &dialog) {
        // The dialog arrives filled with the current values.
        const PrefValues shown = dialog.values();
        if (shown.enginePath != startValues().enginePath ||
            shown.outputFileExtension != QLatin1String(".out"))
            return false;
        if (!browsedEngine.isEmpty())
            child<QPushButton>(dialog, "BrowseQuelmButton")->click();
        child<QLineEdit>(dialog, "CommandFileExtensionEdit")->setText(commandExt);
        child<QLineEdit>(dialog, "OutputFileExtensionEdit")->setText(outputExt);
        return ok;
    };

    PrefValues values = startValues();
    QCOMPARE(runPreferences(nullptr, dialogs, values), ok);
    if (!ok) {
        QCOMPARE(values.enginePath, startValues().enginePath);
        QCOMPARE(values.commandFileExtension, startValues().commandFileExtension);
        QCOMPARE(values.outputFileExtension, startValues().outputFileExtension);
    } else {
        QCOMPARE(values.enginePath, browsedEngine.isEmpty() ? startValues().enginePath : browsedEngine);
        QCOMPARE(values.helpFilePath, startValues().helpFilePath);
        QCOMPARE(values.commandFileExtension, commandExt);
        QCOMPARE(values.outputFileExtension, outputExt);
    }
    QCOMPARE(FileFilters::commandFilter(values.commandFileExtension), commandFilter);
    QCOMPARE(FileFilters::outputFilter(values.outputFileExtension), outputFilter);
}

void TestPrefDialog::browseRequests_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("defaultExtension");
    QTest::addColumn<int>("filters");

#ifdef Q_OS_WIN
    QTest::newRow("engine") << "BrowseQuelmButton"
                            << "QuelmFileNameEdit"
                            << "Browse for Quelm executable file"
                            << "executable Quelm [quelm.exe]|quelm*.exe"
                            << ".exe" << 1;
#else
    QTest::newRow("engine") << "BrowseQuelmButton"
                            << "QuelmFileNameEdit"
                            << "Browse for Quelm executable file"
                            << "executable Quelm [quelm]|quelm*|All Files [*.*]|*.*"
                            << "" << 2;
#endif
    QTest::newRow("help") << "BrowseHelpButton"
                          << "HelpFileNameEdit"
                          << "Browse for Quelm Help File"
                          << "Quelm Help File [quelm.hlp]|quelm.hlp"
                          << ".hlp" << 1;
}

void TestPrefDialog::browseRequests()
{
    QFETCH(QString, button);
    QFETCH(QString, edit);
    QFETCH(QString, title);
    QFETCH(QString, filter);
    QFETCH(QString, defaultExtension);
    QFETCH(int, filters);

    ScriptedDialogs dialogs;
    dialogs.openAnswers.enqueue(QStringLiteral("/picked/one"));
    dialogs.openAnswers.enqueue(std::nullopt);
    TPrefDialogForm dialog(dialogs);
    dialog.setValues(startValues());
    auto *browse = child<QPushButton>(dialog, button.toLatin1());
    auto *target = child<QLineEdit>(dialog, edit.toLatin1());

    browse->click();
    QCOMPARE(target->text(), QStringLiteral("/picked/one"));
    browse->click(); // cancelled: the edit keeps its text
    QCOMPARE(target->text(), QStringLiteral("/picked/one"));

    QCOMPARE(dialogs.openRequests.size(), 2);
    for (const UserDialogs::FileRequest &request : std::as_const(dialogs.openRequests)) {
        QCOMPARE(request.title, title);
        QCOMPARE(request.filter, filter);
        QCOMPARE(request.defaultExtension, defaultExtension);
        QVERIFY(request.initialName.isEmpty());
    }
    QCOMPARE(FileFilters::parse(filter).size(), filters);
}

void TestPrefDialog::onlyBrowseChangesThePaths()
{
    ScriptedDialogs dialogs;
    TPrefDialogForm dialog(dialogs);
    QVERIFY(!child<QLineEdit>(dialog, "QuelmFileNameEdit")->isEnabled());
    QVERIFY(!child<QLineEdit>(dialog, "HelpFileNameEdit")->isEnabled());
    QVERIFY(child<QLineEdit>(dialog, "CommandFileExtensionEdit")->isEnabled());
    QVERIFY(child<QLineEdit>(dialog, "OutputFileExtensionEdit")->isEnabled());
}

// Tab passes over the disabled path edits.
void TestPrefDialog::tabOrder()
{
    ScriptedDialogs dialogs;
    TPrefDialogForm dialog(dialogs);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    child<QPushButton>(dialog, "OK")->setFocus();

    QStringList visited;
    for (int i = 0; i < 9; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(visited, QStringList({"BrowseQuelmButton", "BrowseHelpButton", "CommandFileExtensionEdit",
                                   "OutputFileExtensionEdit", "AtOnceEdit", "LauncherEdit",
                                   "BatchOptionsEdit", "Cancel", "OK"}));
    dialog.reject();
}

void TestPrefDialog::geometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("bounds");

    QTest::newRow("GroupBox1") << "GroupBox1" << QRect(8, 8, 449, 89);
    QTest::newRow("QuelmFileNameEdit") << "QuelmFileNameEdit" << QRect(112, 24, 273, 21);
    QTest::newRow("BrowseHelpButton") << "BrowseHelpButton" << QRect(392, 56, 49, 22);
    QTest::newRow("GroupBox2") << "GroupBox2" << QRect(8, 112, 449, 81);
    QTest::newRow("OutputFileExtensionEdit") << "OutputFileExtensionEdit" << QRect(152, 48, 33, 21);
    QTest::newRow("RunsBox") << "RunsBox" << QRect(8, 200, 449, 107);
    QTest::newRow("LauncherEdit") << "LauncherEdit" << QRect(152, 48, 289, 21);
    QTest::newRow("OK") << "OK" << QRect(8, 314, 65, 25);
    QTest::newRow("Cancel") << "Cancel" << QRect(80, 314, 65, 25);
}

void TestPrefDialog::geometry()
{
    QFETCH(QString, name);
    QFETCH(QRect, bounds);
    ScriptedDialogs dialogs;
    TPrefDialogForm dialog(dialogs);
    QCOMPARE(dialog.size(), QSize(462, 343));
    QCOMPARE(child<QWidget>(dialog, name.toLatin1())->geometry(), bounds);
    QCOMPARE(child<QWidget>(dialog, "Label5")->pos(), QPoint(192, 26));
    QVERIFY(!(dialog.windowFlags() & Qt::WindowCloseButtonHint));
}

void TestPrefDialog::keys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");

    QTest::newRow("Enter") << int(Qt::Key_Return) << int(QDialog::Accepted);
    QTest::newRow("Esc") << int(Qt::Key_Escape) << int(QDialog::Rejected);
}

void TestPrefDialog::keys()
{
    QFETCH(int, key);
    QFETCH(int, result);
    ScriptedDialogs dialogs;
    TPrefDialogForm dialog(dialogs);
    dialog.open();
    QLineEdit *edit = child<QLineEdit>(dialog, "CommandFileExtensionEdit");
    edit->setFocus();
    dialog.setResult(-1);
    QTest::keyClick(edit, Qt::Key(key));
    QCOMPARE(dialog.result(), result);
    QVERIFY(!dialog.isVisible());
    QVERIFY(dialogs.openRequests.isEmpty());
}

// Browsing with the real file dialog into another folder, then Cancel: the
// engine path and the current folder are as they were.
void TestPrefDialog::browseLeavesCurrentFolder()
{
    QTemporaryDir other;
    const QString engine = QDir(other.path()).filePath(QStringLiteral("quelm"));
    QFile file(engine);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const QString before = QDir::currentPath();

    QtUserDialogs dialogs;
    TPrefDialogForm dialog(dialogs);
    dialog.setValues(startValues());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    bool picked = false;
    QTimer::singleShot(0, [&] {
        auto *fileDialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(fileDialog);
        // The user moves to the other folder and picks the engine there.
        fileDialog->setDirectory(other.path());
        fileDialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("quelm"));
        static_cast<QDialog *>(fileDialog)->accept();
        picked = true;
    });
    QTimer failSafe;
    failSafe.setSingleShot(true);
    connect(&failSafe, &QTimer::timeout, [] {
        if (auto *fileDialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget()))
            fileDialog->reject();
    });
    failSafe.start(2000);
    QTest::mouseClick(child<QPushButton>(dialog, "BrowseQuelmButton"), Qt::LeftButton);
    QVERIFY(picked);
    QCOMPARE(child<QLineEdit>(dialog, "QuelmFileNameEdit")->text(), engine);
    QCOMPARE(QDir::currentPath(), before);
    QTest::mouseClick(child<QPushButton>(dialog, "Cancel"), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(QDir::currentPath(), before);
}

QTEST_MAIN(TestPrefDialog)
#include "tst_prefdialog.moc"
