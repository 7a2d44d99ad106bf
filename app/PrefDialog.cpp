#include "app/PrefDialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QValidator>

#include <algorithm>
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

// The launcher is one command line, and a line break in it would start a
// second command. Of a text pasted with line breaks only what comes before
// the first stays; other control characters are dropped. A tab stays: the
// launcher's words take it for a blank.
class OneLineValidator : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString &input, int &pos) const override
    {
        const auto isLineBreak = [](QChar c) { return c == QLatin1Char('\n') || c == QLatin1Char('\r'); };
        const qsizetype lineBreak = std::find_if(input.cbegin(), input.cend(), isLineBreak) - input.cbegin();
        if (lineBreak < pos) {
            // What was pasted stands before the cursor: its first line goes in.
            input.remove(lineBreak, pos - lineBreak);
            pos = int(lineBreak);
        }
        input.truncate(std::find_if(input.cbegin(), input.cend(), isLineBreak) - input.cbegin());
        for (qsizetype i = input.size() - 1; i >= 0; --i) {
            if (input.at(i).category() == QChar::Other_Control && input.at(i) != QLatin1Char('\t')) {
                input.remove(i, 1);
                if (i < pos)
                    --pos;
            }
        }
        pos = qMin(pos, int(input.size()));
        return Acceptable;
    }
};

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
    setFixedSize(462, 343);
    move(366, 129);

    connect(m_browseEngineButton, &QPushButton::clicked, this, &TPrefDialogForm::BrowseQuelmDir);
    connect(m_browseHelpButton, &QPushButton::clicked, this, &TPrefDialogForm::BrowseHelpDir);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TPrefDialogForm::createControls()
{
    m_directoriesBox = makeControl<QGroupBox>(this, "GroupBox1");
    m_directoriesBox->setTitle(QStringLiteral("Directories"));
    m_engineLabel = makeLabel(m_directoriesBox, "Label1", QStringLiteral("Executable Quelm"), 16, 28);
    m_engineEdit = makePathEdit(m_directoriesBox, "QuelmFileNameEdit");
    m_browseEngineButton = makeButton(m_directoriesBox, "BrowseQuelmButton", QStringLiteral("Browse"));
    m_helpLabel = makeLabel(m_directoriesBox, "Label4", QStringLiteral("Quelm Help File"), 16, 60);
    m_helpEdit = makePathEdit(m_directoriesBox, "HelpFileNameEdit");
    m_browseHelpButton = makeButton(m_directoriesBox, "BrowseHelpButton", QStringLiteral("Browse"));

    m_extensionsBox = makeControl<QGroupBox>(this, "GroupBox2");
    m_extensionsBox->setTitle(QStringLiteral("File Extensions"));
    m_commandExtLabel =
        makeLabel(m_extensionsBox, "Label2", QStringLiteral("Command File Extension"), 16, 26);
    m_commandExtEdit = makeControl<QLineEdit>(m_extensionsBox, "CommandFileExtensionEdit");
    m_commandExtExample = makeLabel(m_extensionsBox, "Label5", QStringLiteral("(e.g.: .cf)"), 192, 26);
    m_outputExtLabel = makeLabel(m_extensionsBox, "Label3", QStringLiteral("Output File Extension"), 16, 50);
    m_outputExtEdit = makeControl<QLineEdit>(m_extensionsBox, "OutputFileExtensionEdit");
    m_outputExtExample = makeLabel(m_extensionsBox, "Label6", QStringLiteral("(e.g.: .out)"), 192, 50);

    createRunControls();

    m_okButton = makeButton(this, "OK", QStringLiteral("OK"));
    m_cancelButton = makeButton(this, "Cancel", QStringLiteral("Cancel"));
    // Enter confirms; only a focused m_cancelButton takes Enter for itself. A focused
    // "Browse" does not, so Enter never opens a file dialog by surprise.
    m_okButton->setDefault(true);
    m_browseEngineButton->setAutoDefault(false);
    m_browseHelpButton->setAutoDefault(false);
}

void TPrefDialogForm::createRunControls()
{
    m_runsBox = makeControl<QGroupBox>(this, "RunsBox");
    m_runsBox->setTitle(QStringLiteral("Runs"));
    m_atOnceLabel = makeLabel(m_runsBox, "AtOnceLabel", QStringLiteral("Run at most"), 16, 26);
    m_atOnceEdit = makeControl<QSpinBox>(m_runsBox, "AtOnceEdit");
    m_atOnceEdit->setRange(RunSettings::MinAtOnce, RunSettings::MaxAtOnce);
    m_atOnceUnitLabel =
        makeLabel(m_runsBox, "AtOnceUnitLabel", QStringLiteral("command files at once"), 136, 26);
    m_launcherLabel =
        makeLabel(m_runsBox, "LauncherLabel", QStringLiteral("Start the engine through:"), 16, 52);
    m_launcherEdit = makeControl<QLineEdit>(m_runsBox, "LauncherEdit");
    m_launcherEdit->setMaxLength(std::numeric_limits<int>::max());
    m_launcherEdit->setValidator(new OneLineValidator(m_launcherEdit));
    const QString launcherTip = QStringLiteral(
        "A command line that starts the engine, for example srun --quiet --ntasks=1 --job-name=quelm "
        "to run each command file as a job step on a Slurm cluster; empty to start the engine directly. "
        "Its words are split as a shell splits them (quotes respected) and passed on as they are. "
        "On a cluster the command files and the output files must lie on a file system that every "
        "node shares.");
    m_launcherLabel->setToolTip(launcherTip);
    m_launcherEdit->setToolTip(launcherTip);
    m_batchOptionsLabel =
        makeLabel(m_runsBox, "BatchOptionsLabel", QStringLiteral("Batch job options:"), 16, 78);
    m_batchOptionsEdit = makeControl<QLineEdit>(m_runsBox, "BatchOptionsEdit");
    m_batchOptionsEdit->setMaxLength(std::numeric_limits<int>::max());
    m_batchOptionsEdit->setValidator(new OneLineValidator(m_batchOptionsEdit));
    const QString batchTip = QStringLiteral(
        "sbatch's options for Submit Master File to Cluster, for example --partition=short --time=2:00:00 "
        "--mem=4G. Split as the launcher line is; nothing in them is expanded.");
    m_batchOptionsLabel->setToolTip(batchTip);
    m_batchOptionsEdit->setToolTip(batchTip);
    m_atOnceEdit->setToolTip(QStringLiteral(
        "How many command files of a master file run at the same time; 1 runs them one after another."));
}

void TPrefDialogForm::layOutControls()
{
    m_directoriesBox->setGeometry(8, 8, 449, 89);
    m_engineEdit->setGeometry(112, 24, 273, 21);
    m_helpEdit->setGeometry(112, 56, 273, 21);
    m_browseEngineButton->setGeometry(392, 24, 49, 22);
    m_browseHelpButton->setGeometry(392, 56, 49, 22);

    m_extensionsBox->setGeometry(8, 112, 449, 81);
    m_commandExtEdit->setGeometry(152, 24, 33, 21);
    m_outputExtEdit->setGeometry(152, 48, 33, 21);

    m_runsBox->setGeometry(8, 200, 449, 107);
    m_atOnceEdit->setGeometry(80, 22, 49, 21);
    m_launcherEdit->setGeometry(152, 48, 289, 21);
    m_batchOptionsEdit->setGeometry(152, 74, 289, 21);

    m_okButton->setGeometry(8, 314, 65, 25);
    m_cancelButton->setGeometry(80, 314, 65, 25);
}

void TPrefDialogForm::setUpTabOrder()
{
    const QList<QWidget *> order = {
        m_engineEdit,       m_browseEngineButton, m_browseHelpButton, m_helpEdit,
        m_commandExtEdit,   m_outputExtEdit,      m_atOnceEdit,       m_launcherEdit,
        m_batchOptionsEdit, m_cancelButton,       m_okButton};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
}

void TPrefDialogForm::setValues(const PrefValues &values)
{
    m_engineEdit->setText(values.enginePath);
    m_helpEdit->setText(values.helpFilePath);
    m_commandExtEdit->setText(values.commandFileExtension);
    m_outputExtEdit->setText(values.outputFileExtension);
    m_atOnceEdit->setValue(values.runs.atOnce);
    m_launcherEdit->setText(values.runs.launcher);
    m_batchOptionsEdit->setText(values.runs.batchOptions);
}

PrefValues TPrefDialogForm::values() const
{
    RunSettings runs;
    runs.atOnce = m_atOnceEdit->value();
    runs.launcher = m_launcherEdit->text();
    runs.batchOptions = m_batchOptionsEdit->text();
    return PrefValues{m_engineEdit->text(), m_helpEdit->text(), m_commandExtEdit->text(),
                      m_outputExtEdit->text(), runs};
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
    browse(quelmBrowseRequest(), m_engineEdit);
}

void TPrefDialogForm::BrowseHelpDir()
{
    browse(helpBrowseRequest(), m_helpEdit);
}

bool runPreferences(QWidget *parent, UserDialogs &dialogs, PrefValues &values)
{
    TPrefDialogForm dialog(dialogs, parent);
    dialog.setValues(values);
    if (!dialogs.showDialog(dialog))
        return false;
    values = dialog.values();
    return true;
}
