#pragma once

#include "printing/TextPrinter.h"

#include <QFont>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QPrinter;
class QWidget;
class UserDialogs;

// What every window prints with: the program's one printer (the last one
// chosen in any print or printer set-up dialog), the print font in force,
// and the frame's status line, which tells the user while a job runs.
class PrintContext
{
public:
    PrintContext(UserDialogs &dialogs, StatusSetter setStatus);
    ~PrintContext();
    PrintContext(const PrintContext &) = delete;
    PrintContext &operator=(const PrintContext &) = delete;

    QPrinter &printer();
    QFont font() const { return m_font; }
    void setFont(const QFont &font) { m_font = font; }

    // Every window's print command: the print dialog, then the lines under
    // the title. Reports a refused or failed job itself. The title names the
    // document (a window's file, or the help's title): a print to file and
    // the PDF export are named after it.
    PrintOutcome print(QWidget *window, const QString &title, const QStringList &lines);
    // The print preview of exactly what print would print.
    void preview(QWidget *window, const QString &title, const QStringList &lines);
    // A save dialog offering the document's name with ".pdf", then the
    // printout, on the printer's paper, into that file.
    PrintOutcome exportPdf(QWidget *window, const QString &title, const QStringList &lines);
    // Every window's printer set-up command; the choice serves every later job.
    bool setUpPrinter(QWidget *window);

private:
    UserDialogs &m_dialogs;
    StatusSetter m_setStatus;
    QFont m_font;
    std::unique_ptr<QPrinter> m_printer;
};
