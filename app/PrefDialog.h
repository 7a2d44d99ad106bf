#pragma once

#include "engine/RunSettings.h"
#include "ui/UserDialogs.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// The settings the preferences dialog edits: the four of ostrel.ini and the runs'.
struct PrefValues
{
    QString enginePath;
    QString helpFilePath;
    QString commandFileExtension;
    QString outputFileExtension;
    RunSettings runs;
};

// The preferences dialog: the engine and help file paths, the two file
// extensions, and how runs start the engine. It takes every text as it
// stands; the places that use a setting report what is wrong with it.
class TPrefDialogForm : public QDialog
{
    Q_OBJECT

public:
    explicit TPrefDialogForm(UserDialogs &dialogs, QWidget *parent = nullptr);

    void setValues(const PrefValues &values);
    PrefValues values() const;

    // What the two "Browse" buttons ask the open dialog for.
    static UserDialogs::FileRequest quelmBrowseRequest();
    static UserDialogs::FileRequest helpBrowseRequest();

public slots:
    void BrowseQuelmDir();
    void BrowseHelpDir();

private:
    void createControls();
    void createRunControls();
    void layOutControls();
    void setUpTabOrder();
    void browse(const UserDialogs::FileRequest &request, QLineEdit *edit);

    UserDialogs &m_dialogs;
    QGroupBox *m_directoriesBox = nullptr;
    QLabel *m_engineLabel = nullptr;
    QLineEdit *m_engineEdit = nullptr;
    QPushButton *m_browseEngineButton = nullptr;
    QLabel *m_helpLabel = nullptr;
    QLineEdit *m_helpEdit = nullptr;
    QPushButton *m_browseHelpButton = nullptr;
    QGroupBox *m_extensionsBox = nullptr;
    QLabel *m_commandExtLabel = nullptr;
    QLineEdit *m_commandExtEdit = nullptr;
    QLabel *m_commandExtExample = nullptr;
    QLabel *m_outputExtLabel = nullptr;
    QLineEdit *m_outputExtEdit = nullptr;
    QLabel *m_outputExtExample = nullptr;
    QGroupBox *m_runsBox = nullptr;
    QLabel *m_atOnceLabel = nullptr;
    QSpinBox *m_atOnceEdit = nullptr;
    QLabel *m_atOnceUnitLabel = nullptr;
    QLabel *m_launcherLabel = nullptr;
    QLineEdit *m_launcherEdit = nullptr;
    QLabel *m_batchOptionsLabel = nullptr;
    QLineEdit *m_batchOptionsEdit = nullptr;
    QPushButton *m_okButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
};

// Shows a new dialog filled from values; on m_okButton takes its values back into
// values unchanged and returns true (the caller then sets the save dialogs'
// filters again, changed or not). m_cancelButton leaves values as they were.
bool runPreferences(QWidget *parent, UserDialogs &dialogs, PrefValues &values);
