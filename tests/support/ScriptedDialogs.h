#pragma once

#include "app/PrefDialog.h"
#include "ui/UserDialogs.h"

#include <QFont>
#include <QList>
#include <QPrinter>
#include <QQueue>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>

// A UserDialogs that answers from queues filled by the test and records every
// question, message and dialog request. An empty queue answers Cancel (or
// "nothing chosen"), so a test that forgets an answer cannot hang.
class ScriptedDialogs : public UserDialogs
{
public:
    struct Message
    {
        QString title;
        QString text;
    };

    QQueue<Answer> answers;
    // Answers to proceed(): true takes the offered action.
    QQueue<bool> proceedAnswers;
    QQueue<std::optional<QString>> openAnswers;
    QQueue<std::optional<QString>> saveAnswers;
    QQueue<std::optional<QFont>> fontAnswers;
    QQueue<bool> printAnswers;
    QQueue<bool> printerSetupAnswers;
    // Called with the dialog when the preferences dialog would be shown;
    // returns whether it was closed with OK.
    std::function<bool(TPrefDialogForm &)> onPreferences;

    QStringList questions;
    QStringList proceedQuestions;
    QList<Message> errors;
    QList<FileRequest> openRequests;
    QList<FileRequest> saveRequests;
    QList<QFont> fontRequests;
    int printRequests = 0;
    int printerSetupRequests = 0;
    int previewRequests = 0;
    // The page range the print dialog hands back, as a user would set it there.
    std::optional<std::pair<int, int>> printPages;
    // Whether the print preview is Qt's real dialog (close it from the test).
    bool realPreview = false;
    // The document name each print dialog was shown with.
    QStringList printDocNames;

    Answer confirm(QWidget *, const QString &text) override
    {
        questions.append(text);
        return answers.isEmpty() ? Answer::Cancel : answers.dequeue();
    }
    bool proceed(QWidget *, const QString &, const QString &text, const QString &) override
    {
        proceedQuestions.append(text);
        return !proceedAnswers.isEmpty() && proceedAnswers.dequeue();
    }
    // Like proceed(); with no answer left the question is put off, so that
    // nothing is deleted that no test asked to delete.
    std::optional<bool> choose(QWidget *, const QString &, const QString &text, const QString &,
                               const QString &) override
    {
        proceedQuestions.append(text);
        if (proceedAnswers.isEmpty())
            return std::nullopt;
        return proceedAnswers.dequeue();
    }
    void error(QWidget *, const QString &title, const QString &text) override
    {
        errors.append({title, text});
    }
    std::optional<QString> openFile(QWidget *, const FileRequest &request) override
    {
        openRequests.append(request);
        return openAnswers.isEmpty() ? std::nullopt : openAnswers.dequeue();
    }
    std::optional<QString> saveFile(QWidget *, const FileRequest &request) override
    {
        saveRequests.append(request);
        return saveAnswers.isEmpty() ? std::nullopt : saveAnswers.dequeue();
    }
    std::optional<QFont> chooseFont(QWidget *, const QFont &initial) override
    {
        fontRequests.append(initial);
        return fontAnswers.isEmpty() ? std::nullopt : fontAnswers.dequeue();
    }
    bool print(QWidget *, QPrinter &printer) override
    {
        ++printRequests;
        printDocNames.append(printer.docName());
        printer.setPrintRange(printPages ? QPrinter::PageRange : QPrinter::AllPages);
        printer.setFromTo(printPages ? printPages->first : 0, printPages ? printPages->second : 0);
        return !printAnswers.isEmpty() && printAnswers.dequeue();
    }
    bool printerSetup(QWidget *, QPrinter &) override
    {
        ++printerSetupRequests;
        return !printerSetupAnswers.isEmpty() && printerSetupAnswers.dequeue();
    }
    void printPreview(QWidget *parent, QPrinter &printer,
                      const std::function<void(QPrinter &)> &paint) override
    {
        ++previewRequests;
        if (realPreview)
            QtUserDialogs().printPreview(parent, printer, paint);
    }
    bool showDialog(QDialog &dialog) override
    {
        auto *preferences = qobject_cast<TPrefDialogForm *>(&dialog);
        return preferences && onPreferences && onPreferences(*preferences);
    }

    QString lastError() const { return errors.isEmpty() ? QString() : errors.constLast().text; }
};
