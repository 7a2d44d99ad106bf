#pragma once

#include <QList>
#include <QWidget>

class QMenu;

// What the frame needs of every child window: the menus it brings to the
// frame's menu bar while it is active, its close question, and the commands
// that belong to the frame. A child never calls the frame: it announces those
// commands with the signals below, and the frame connects them when it adds
// the child.
class TChildForm : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;

    // The child's own menus (File, then Edit), shown before the frame's
    // Execute, Window and Help menus while the child is active.
    virtual QList<QMenu *> mergedMenus() const = 0;

    // Whether the window may close; may ask the user. Also asked, for every
    // child in turn, when the frame is about to close.
    virtual bool FormCloseQuery() { return true; }

    // The window in front of the others and active, restored if minimised.
    void bringToFront();

signals:
    // Commands of the child's menus and buttons that the frame carries out.
    void newCommandClicked();
    void openCommandClicked();
    void openOutputClicked();
    void openAnotherClicked();
    void openMasterClicked();
    void preferencesClicked();
    void exitClicked();
    void screenFontClicked();
    void printFontClicked();
    void runMasterClicked();
    // F1 on a word (or a selection) of a text: help, and that word's entry
    // when it is a keyword.
    void keyWordHelpClicked(const QString &word);
    // A file picked under File, Recent Files; master when it was last open
    // in the master window.
    void recentFileClicked(const QString &path, bool master);

    // The window has closed for good and goes; windows that live as long as
    // the frame never say it.
    void closed();

protected:
    // What closing means for the window once its close question allowed it:
    // true when it goes, false for a window that stays.
    virtual bool FormClose() { return true; }

    void closeEvent(QCloseEvent *event) override;
};
