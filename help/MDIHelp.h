#pragma once

#include "app/ChildForm.h"

#include <QString>
#include <QStringList>

#include <optional>

class QAction;
class QComboBox;
class QFrame;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class TFrameForm;

// The help browser: a keyword list read from the help file when the window
// opens, a history of searched texts in the keyword box, and a viewer that
// shows one entry at a time. Every search reads the help file again, so the
// entries follow the file on disk while the list stays as it was read.
class THelpEditForm : public TChildForm
{
    Q_OBJECT

public:
    // The keyword box holds no more than this; longer keywords are listed cut
    // to it and still find their entry, since a search matches a leading part.
    static constexpr int MaxKeyWordLength = 32767;

    explicit THelpEditForm(QWidget *parent = nullptr);
    ~THelpEditForm() override;

    QList<QMenu *> mergedMenus() const override;

    QComboBox *keyWordCombo() const { return KeyWordCombo; }
    QListWidget *keyWordList() const { return KeyWordList; }
    QPlainTextEdit *viewer() const { return Editor; }

    void setViewerFont(const QFont &font);
    // The viewer's lines as they are wrapped on the screen: what printing takes.
    QStringList viewerLines() const;

    void FillList();
    void KeyWordSearchClick();
    void KeyWordListClick();
    void KeyWordBackClick();
    void BeforeClick();
    void NextClick();
    void PrintClick();
    void PrintersetupClick();
    void EditClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    void createMenus();
    QPushButton *addButton(const QString &name, const QString &caption);
    // The help file's text, or nothing after telling the user it cannot be read.
    std::optional<QString> readHelpFile();
    void searchIn(const QString &helpText);
    void showInViewer(const QString &text);
    // The history's entries move down by one; a selected entry stays selected.
    void pushHistory(const QString &text);
    void selectHistory(int index);
    QString boxText() const;
    // The first keyword equal to text ignoring case, or -1.
    int findKeyWord(const QString &text) const;
    void selectKeyWord(int row);
    int selectedKeyWord() const;
    void stepKeyWord(int step);

    QComboBox *KeyWordCombo = nullptr;
    QPushButton *SearchKeyWordButton = nullptr;
    QPushButton *BackKeyWord = nullptr;
    QPushButton *PrintKeyWord = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
    QListWidget *KeyWordList = nullptr;
    QFrame *Panel1 = nullptr;
    QPlainTextEdit *Editor = nullptr;

    QMenu *m_fileMenu = nullptr;
    QMenu *m_editMenu = nullptr;
    QAction *m_cut = nullptr;
    QAction *m_copy = nullptr;
    QAction *m_paste = nullptr;

    // The keywords as listed, kept beside the list for the case-blind lookups.
    QStringList m_keyWords;
};

// The frame's "Key Word Search": brings an open help window forward, or opens
// one on the help file and fills its list; without a help file it says so.
void ShowHelpWindow(TFrameForm &frame);
