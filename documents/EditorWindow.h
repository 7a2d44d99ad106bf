#pragma once

#include "app/ChildForm.h"
#include "app/TextCodec.h"
#include "app/UserDialogs.h"

#include <QSize>
#include <QString>

class QAction;
class QComboBox;
class QMenu;
class QToolButton;
class TextEditor;

// What tells one kind of editor window from another.
struct EditorKind
{
    QString designCaption;
    QSize designSize;
    bool tabInserts = false;
    bool scrollBarsAlwaysOn = false;
    QString saveAsPrefix;
    QString openHint;
    QString saveHint;
    QString printHint;
    bool hasRunButton = false;
    bool hasFileCombo = false;
    bool fileComboOnToolBar = true;
    bool hasOpenMaster = false;
    int fileComboRows = 10;
};

// The base of the four editor windows: one plain-text file in `Editor`, a tool
// bar, and a File and an Edit menu that join the frame's menu bar while the
// window is active. Load, save, save as, the close question and the edit
// commands live here; the kinds add their buttons' actions and what a save as
// or a close means for them.
class TEditForm : public TChildForm
{
    Q_OBJECT

public:
    static const QString UntitledName;

    TEditForm(const EditorKind &kind, QWidget *parent = nullptr);

    QString FileName;
    // The save dialog's filter, title and default extension.
    UserDialogs::FileRequest SaveFileDialog;

    TextEditor *editor() const { return m_editor; }
    QComboBox *fileCombo() const { return m_fileCombo; }
    // The file history's entries, top first; empty for a window without one.
    QStringList historyEntries() const;
    bool isUntitled() const { return FileName == UntitledName; }
    bool isModified() const;

    QList<QMenu *> mergedMenus() const override;

    void LoadFile(const QString &path);
    // Both return whether the text was written.
    bool SaveClick();
    bool SaveAsClick();
    // Writes the text to FileName whatever the modified flag, in the file's
    // own encoding; throws FileError, also when the user calls off a save
    // that the encoding cannot hold.
    void writeFile();

    bool FormCloseQuery() override;
    void EditClick();
    void MyResize();

    void CutClick();
    void CopyClick();
    void PasteClick();
    void SelectallClick();
    void PrintClick();
    void PrintersetupClick();

    // Asks "Save changes to ...?" when modified. Returns false to stop the
    // caller's flow: on Cancel, and on Yes when the text was not saved.
    bool askToSave(const QString &question);

    void setCaption(const QString &caption);
    void setWindowBounds(const QRect &bounds);
    QRect windowBounds() const;
    void bringToFront();

protected:
    // What the tool bar's buttons do in this kind.
    virtual void OpenButtonClick() = 0;
    virtual void SaveButtonClick() { SaveClick(); }
    virtual void RunButtonClick() {}
    // After a successful Save As: the caption is set; kinds add frame state.
    virtual void afterSaveAs() {}
    // After the close question allowed closing.
    virtual void FormClose(QCloseEvent *event) = 0;

    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // An empty, unmodified text that is saved as UTF-8.
    void clearText();

    QToolButton *m_runButton = nullptr;
    QToolButton *m_openButton = nullptr;
    QToolButton *m_saveButton = nullptr;
    QToolButton *m_printButton = nullptr;
    QAction *m_save = nullptr;
    QAction *m_saveAs = nullptr;
    QAction *m_print = nullptr;
    QAction *m_openCommand = nullptr;
    QAction *m_openOutput = nullptr;

private:
    void createToolBar();
    void createMenus();
    QToolButton *addButton(QWidget *bar, const QString &name, int x, const QString &hint, const QIcon &icon);
    bool guarded(const std::function<void()> &action);
    // Asks before a text that the file's encoding cannot hold is saved as
    // UTF-8; throws FileError::cancelled() when the user declines.
    void askToSaveAsUtf8();

    EditorKind m_kind;
    // What the text is saved as: the loaded file's encoding, UTF-8 for a new text.
    TextEncoding m_encoding = TextEncoding::Utf8;
    TextEditor *m_editor = nullptr;
    QComboBox *m_fileCombo = nullptr;
    QMenu *m_fileMenu = nullptr;
    QMenu *m_editMenu = nullptr;
    QAction *m_cut = nullptr;
    QAction *m_copy = nullptr;
    QAction *m_paste = nullptr;
};
