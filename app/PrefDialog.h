#pragma once

#include "core/UserDialogs.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The four settings the preferences dialog edits.
struct PrefValues
{
    QString enginePath;
    QString helpFilePath;
    QString commandFileExtension;
    QString outputFileExtension;
};

// The preferences dialog: the engine and help file paths and the two file
// extensions. It takes every text as it stands; the places that use a setting
// report what is wrong with it.
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
    QPushButton *m_okButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
};

// Shows a new dialog filled from values; on m_okButton takes its four texts back into
// values unchanged and returns true (the caller then sets the save dialogs'
// filters again, changed or not). m_cancelButton leaves values as they were.
bool runPreferences(QWidget *parent, UserDialogs &dialogs, PrefValues &values);
