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
    QGroupBox *GroupBox1 = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *QuelmFileNameEdit = nullptr;
    QPushButton *BrowseQuelmButton = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *HelpFileNameEdit = nullptr;
    QPushButton *BrowseHelpButton = nullptr;
    QGroupBox *GroupBox2 = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *CommandFileExtensionEdit = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *OutputFileExtensionEdit = nullptr;
    QLabel *Label6 = nullptr;
    QPushButton *OK = nullptr;
    QPushButton *Cancel = nullptr;
};

// Shows a new dialog filled from values; on OK takes its four texts back into
// values unchanged and returns true (the caller then sets the save dialogs'
// filters again, changed or not). Cancel leaves values as they were.
bool runPreferences(QWidget *parent, UserDialogs &dialogs, PrefValues &values);
