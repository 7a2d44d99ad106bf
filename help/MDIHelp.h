#pragma once

#include "documents/WindowServices.h"
#include "help/KeyWordBox.h"
#include "help/KeyWordListView.h"
#include "ui/ChildForm.h"
#include "ui/ChildMenus.h"

#include <QString>
#include <QStringList>

#include <optional>

class HelpText;
class KeyWordModel;
class QFrame;
class QPlainTextEdit;
class QPushButton;

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

    // helpText: where the help file is read, shared with the rest of the program.
    THelpEditForm(const WindowServices &services, HelpText &helpText, QWidget *parent = nullptr);

    QList<QMenu *> mergedMenus() const override;

    QComboBox *keyWordCombo() const { return m_keyWordCombo; }
    QListView *keyWordList() const { return m_keyWordList; }
    QPlainTextEdit *viewer() const { return m_viewer; }

    void setViewerFont(const QFont &font);
    // The viewer's lines as they are wrapped on the screen: what printing takes.
    QStringList viewerLines() const;

    void FillList();
    // Chooses the keyword equal to word (ignoring case) as the list does and
    // shows that keyword's own entry; false, changing nothing, when word is
    // no keyword of the list.
    bool showKeyWord(const QString &word);
    void KeyWordSearchClick();
    // Enter in the keyword box, whatever modifiers are held.
    void KeyWordKeyDown();
    void KeyWordListClick();
    void KeyWordBackClick();
    void BeforeClick();
    void NextClick();
    void PrintClick();
    void PrintersetupClick();
    void EditClick();

private:
    void createControls();
    void createMenus();
    QPushButton *addButton(const QString &name, const QString &caption);
    // The help file's text as UTF-8, or nothing after telling the user it
    // cannot be read.
    std::optional<QByteArray> readHelpFile();
    void searchIn(const QByteArray &helpText);
    void showInViewer(const QString &text);
    // The history's entries move down by one; a selected entry stays selected.
    void pushHistory(const QString &text);
    void selectHistory(int index);
    // The history's first entry becomes keyWord, pushed unless it is the box text.
    void chooseKeyWord(const QString &keyWord);
    QString boxText() const;
    // The first keyword equal to text ignoring case, or -1.
    int findKeyWord(const QString &text) const;
    void selectKeyWord(int row);
    int selectedKeyWord() const;
    void stepKeyWord(int step);

    WindowServices m_services;
    HelpText &m_helpText;
    KeyWordBox *m_keyWordCombo = nullptr;
    QPushButton *m_searchButton = nullptr;
    QPushButton *m_backButton = nullptr;
    QPushButton *m_printButton = nullptr;
    QPushButton *m_previousButton = nullptr;
    QPushButton *m_nextButton = nullptr;
    // A view on the help text's keywords: a list widget would make an item
    // of each of a help file's many thousands of keywords.
    KeyWordListView *m_keyWordList = nullptr;
    KeyWordModel *m_keyWordModel = nullptr;
    QFrame *m_viewerPanel = nullptr;
    QPlainTextEdit *m_viewer = nullptr;

    ChildMenus::FileMenu m_fileMenu;
    ChildMenus::EditMenu m_editMenu;
};
