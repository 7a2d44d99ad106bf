#pragma once

#include <QFont>
#include <QString>

#include <functional>
#include <optional>

class QDialog;
class QPrinter;
class QWidget;

// Every modal exchange with the user goes through this interface: the program
// shows Qt's dialogs, tests answer from a script and record what was asked.
class UserDialogs
{
public:
    enum class Answer { Yes, No, Cancel };

    // What an open or save dialog is shown with. The filter is in the
    // "label|mask;mask|label|mask" form the program builds its filters in.
    struct FileRequest
    {
        QString title;
        QString filter;
        QString defaultExtension;
        QString initialName;
    };

    virtual ~UserDialogs() = default;

    // The "Confirm" question with Yes, No and Cancel.
    virtual Answer confirm(QWidget *parent, const QString &text) = 0;
    // A question with two answers: the action that acceptText names, or
    // Cancel. True for the action.
    virtual bool proceed(QWidget *parent, const QString &title, const QString &text,
                         const QString &acceptText) = 0;
    // A question with the two answers that acceptText and rejectText name:
    // true for the first, false for the second, nothing when the user
    // closes the box without either. Scripts answer it as proceed().
    virtual std::optional<bool> choose(QWidget *parent, const QString &title, const QString &text,
                                       const QString &acceptText, const QString &rejectText)
    {
        Q_UNUSED(rejectText)
        return proceed(parent, title, text, acceptText);
    }
    // A message box with the error icon and one OK button.
    virtual void error(QWidget *parent, const QString &title, const QString &text) = 0;

    // Both return the chosen full path, or nothing when cancelled.
    virtual std::optional<QString> openFile(QWidget *parent, const FileRequest &request) = 0;
    virtual std::optional<QString> saveFile(QWidget *parent, const FileRequest &request) = 0;

    virtual std::optional<QFont> chooseFont(QWidget *parent, const QFont &initial) = 0;

    // Both return whether the user confirmed; the printer holds the choice.
    virtual bool print(QWidget *parent, QPrinter &printer) = 0;
    virtual bool printerSetup(QWidget *parent, QPrinter &printer) = 0;
    // The print preview of what paint draws on the printer it is handed; the
    // preview's own print button prints through paint too.
    virtual void printPreview(QWidget *parent, QPrinter &printer,
                              const std::function<void(QPrinter &)> &paint) = 0;

    // Shows a modal dialog of the program's own (the preferences), filled in
    // by the caller; true when closed with OK.
    virtual bool showDialog(QDialog &dialog) = 0;
};

// The program's own implementation: Qt's standard dialogs.
class QtUserDialogs : public UserDialogs
{
public:
    Answer confirm(QWidget *parent, const QString &text) override;
    bool proceed(QWidget *parent, const QString &title, const QString &text,
                 const QString &acceptText) override;
    std::optional<bool> choose(QWidget *parent, const QString &title, const QString &text,
                               const QString &acceptText, const QString &rejectText) override;
    void error(QWidget *parent, const QString &title, const QString &text) override;
    std::optional<QString> openFile(QWidget *parent, const FileRequest &request) override;
    std::optional<QString> saveFile(QWidget *parent, const FileRequest &request) override;
    std::optional<QFont> chooseFont(QWidget *parent, const QFont &initial) override;
    bool print(QWidget *parent, QPrinter &printer) override;
    bool printerSetup(QWidget *parent, QPrinter &printer) override;
    void printPreview(QWidget *parent, QPrinter &printer,
                      const std::function<void(QPrinter &)> &paint) override;
    bool showDialog(QDialog &dialog) override;
};
