#include "app/PrefDialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <limits>

namespace {

template <typename T> T *makeControl(QWidget *parent, const char *name)
{
    auto *control = new T(parent);
    control->setObjectName(QLatin1String(name));
    return control;
}

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, int left, int top)
{
    auto *label = makeControl<QLabel>(parent, name);
    label->setText(text);
    label->adjustSize();
    label->move(left, top);
    return label;
}

// The paths are shown but only "Browse" changes them; a path longer than a line
// edit's usual limit must still come back whole.
QLineEdit *makePathEdit(QWidget *parent, const char *name)
{
    auto *edit = makeControl<QLineEdit>(parent, name);
    edit->setMaxLength(std::numeric_limits<int>::max());
    edit->setEnabled(false);
    return edit;
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &text)
{
    auto *button = makeControl<QPushButton>(parent, name);
    button->setText(text);
    return button;
}

} // namespace

TPrefDialogForm::TPrefDialogForm(UserDialogs &dialogs, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_dialogs(dialogs)
{
    setWindowTitle(QStringLiteral("Preferences"));
    // The layout is laid out in pixels for a narrow 8-point face; where MS
    // Sans Serif is missing, Liberation Sans (Arial's widths) keeps the labels
    // clear of the edits.
    QFont face(QStringLiteral("MS Sans Serif"), 8);
    face.setFamilies(
        {QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    setFont(face);
    createControls();
    layOutControls();
    setUpTabOrder();
    setFixedSize(462, 229);
    move(366, 129);

    connect(BrowseQuelmButton, &QPushButton::clicked, this, &TPrefDialogForm::BrowseQuelmDir);
    connect(BrowseHelpButton, &QPushButton::clicked, this, &TPrefDialogForm::BrowseHelpDir);
    connect(OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TPrefDialogForm::createControls()
{
    GroupBox1 = makeControl<QGroupBox>(this, "GroupBox1");
    GroupBox1->setTitle(QStringLiteral("Directories"));
    Label1 = makeLabel(GroupBox1, "Label1", QStringLiteral("Executable Quelm"), 16, 28);
    QuelmFileNameEdit = makePathEdit(GroupBox1, "QuelmFileNameEdit");
    BrowseQuelmButton = makeButton(GroupBox1, "BrowseQuelmButton", QStringLiteral("Browse"));
    Label4 = makeLabel(GroupBox1, "Label4", QStringLiteral("Quelm Help File"), 16, 60);
    HelpFileNameEdit = makePathEdit(GroupBox1, "HelpFileNameEdit");
    BrowseHelpButton = makeButton(GroupBox1, "BrowseHelpButton", QStringLiteral("Browse"));

    GroupBox2 = makeControl<QGroupBox>(this, "GroupBox2");
    GroupBox2->setTitle(QStringLiteral("File Extensions"));
    Label2 = makeLabel(GroupBox2, "Label2", QStringLiteral("Command File Extension"), 16, 26);
    CommandFileExtensionEdit = makeControl<QLineEdit>(GroupBox2, "CommandFileExtensionEdit");
    Label5 = makeLabel(GroupBox2, "Label5", QStringLiteral("(e.g.: .cf)"), 192, 26);
    Label3 = makeLabel(GroupBox2, "Label3", QStringLiteral("Output File Extension"), 16, 50);
    OutputFileExtensionEdit = makeControl<QLineEdit>(GroupBox2, "OutputFileExtensionEdit");
    Label6 = makeLabel(GroupBox2, "Label6", QStringLiteral("(e.g.: .out)"), 192, 50);

    OK = makeButton(this, "OK", QStringLiteral("OK"));
    Cancel = makeButton(this, "Cancel", QStringLiteral("Cancel"));
    // Enter confirms; only a focused Cancel takes Enter for itself. A focused
    // "Browse" does not, so Enter never opens a file dialog by surprise.
    OK->setDefault(true);
    BrowseQuelmButton->setAutoDefault(false);
    BrowseHelpButton->setAutoDefault(false);
}

void TPrefDialogForm::layOutControls()
{
    GroupBox1->setGeometry(8, 8, 449, 89);
    QuelmFileNameEdit->setGeometry(112, 24, 273, 21);
    HelpFileNameEdit->setGeometry(112, 56, 273, 21);
    BrowseQuelmButton->setGeometry(392, 24, 49, 22);
    BrowseHelpButton->setGeometry(392, 56, 49, 22);

    GroupBox2->setGeometry(8, 112, 449, 81);
    CommandFileExtensionEdit->setGeometry(152, 24, 33, 21);
    OutputFileExtensionEdit->setGeometry(152, 48, 33, 21);

    OK->setGeometry(8, 200, 65, 25);
    Cancel->setGeometry(80, 200, 65, 25);
}

void TPrefDialogForm::setUpTabOrder()
{
    const QList<QWidget *> order = {
        QuelmFileNameEdit,        BrowseQuelmButton,       BrowseHelpButton, HelpFileNameEdit,
        CommandFileExtensionEdit, OutputFileExtensionEdit, Cancel,           OK};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
}

void TPrefDialogForm::setValues(const PrefValues &values)
{
    QuelmFileNameEdit->setText(values.enginePath);
    HelpFileNameEdit->setText(values.helpFilePath);
    CommandFileExtensionEdit->setText(values.commandFileExtension);
    OutputFileExtensionEdit->setText(values.outputFileExtension);
}

PrefValues TPrefDialogForm::values() const
{
    return PrefValues{QuelmFileNameEdit->text(), HelpFileNameEdit->text(), CommandFileExtensionEdit->text(),
                      OutputFileExtensionEdit->text()};
}

UserDialogs::FileRequest TPrefDialogForm::quelmBrowseRequest()
{
#ifdef Q_OS_WIN
    return {QStringLiteral("Browse for Quelm executable file"),
            QStringLiteral("executable Quelm [quelm.exe]|quelm*.exe"), QStringLiteral(".exe"), QString()};
#else
    // Executables carry no extension here: a "quelm*.exe" mask would hide the
    // engine and a default ".exe" would turn a typed "quelm" into a missing file.
    // An engine under another name (a wrapper script, a versioned build) needs
    // "All Files".
    return {QStringLiteral("Browse for Quelm executable file"),
            QStringLiteral("executable Quelm [quelm]|quelm*|All Files [*.*]|*.*"), QString(), QString()};
#endif
}

UserDialogs::FileRequest TPrefDialogForm::helpBrowseRequest()
{
    return {QStringLiteral("Browse for Quelm Help File"),
            QStringLiteral("Quelm Help File [quelm.hlp]|quelm.hlp"), QStringLiteral(".hlp"), QString()};
}

void TPrefDialogForm::browse(const UserDialogs::FileRequest &request, QLineEdit *edit)
{
    if (const std::optional<QString> chosen = m_dialogs.openFile(this, request))
        edit->setText(*chosen);
}

void TPrefDialogForm::BrowseQuelmDir()
{
    browse(quelmBrowseRequest(), QuelmFileNameEdit);
}

void TPrefDialogForm::BrowseHelpDir()
{
    browse(helpBrowseRequest(), HelpFileNameEdit);
}

bool runPreferences(QWidget *parent, UserDialogs &dialogs, PrefValues &values)
{
    TPrefDialogForm dialog(dialogs, parent);
    dialog.setValues(values);
    if (!dialogs.preferences(dialog))
        return false;
    values = dialog.values();
    return true;
}
