#pragma once

#include <QDateTime>
#include <QFont>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <functional>
#include <limits>

class PrintCanvas;
class QPrinter;
class QWidget;
class UserDialogs;

enum class PrintOutcome {
    Printed,   // the job went to the printer
    Cancelled, // the user closed the print dialog
    Refused,   // not one line fits on a page: nothing was sent
    NoPages,   // the pages asked for are not in the text: nothing was sent
    Failed     // the printer reported an error; the job was ended
};

// The pages a job prints, numbered over the whole text from 1.
struct PageRange
{
    int first = 1;
    int last = std::numeric_limits<int>::max();
};

// The pages chosen in the print dialog: all of them unless the user gave a range.
PageRange PageRangeOf(const QPrinter &printer);

using PrintClock = std::function<QDateTime()>;
using StatusSetter = std::function<void(const QString &)>;

// The footer's date and time: the short date, and the long time without a
// time zone unless the moment is exactly midnight.
QString FooterDateText(const QDateTime &moment, const QLocale &locale = QLocale::system());

// The length of the longest leading part of line whose width is at most
// usableWidth. Searches by halving, so a very long line costs a few
// measurements of about the width of the page instead of one per character.
qsizetype FittingLength(const PrintCanvas &canvas, const QString &line, int usableWidth);

// Prints lines under a framed header with title and a framed footer with
// "Ostrel", the date and time (read from clock at each footer) and the page
// text. Long lines are cut at the right margin, never wrapped. Only the pages
// in range are printed; their page texts count the pages of the whole text.
PrintOutcome PrintEditorLines(PrintCanvas &canvas, const QFont &font, const QString &title,
                              const QStringList &lines, const PrintClock &clock = {},
                              const PageRange &range = {});

// One job on printer, in the page range its print dialog left there: what the
// print command, the preview and the PDF export share.
PrintOutcome PrintOnPrinter(QPrinter &printer, const QFont &font, const QString &title,
                            const QStringList &lines);

// Tells the user why a job printed nothing or stopped; silent otherwise.
void ReportPrintOutcome(QWidget *parent, UserDialogs &dialogs, PrintOutcome outcome);

// Every window's print command: the print dialog on the program's one printer,
// the status texts around the job, and a message when the job is refused or
// fails.
PrintOutcome RunPrintJob(QWidget *parent, UserDialogs &dialogs, QPrinter &printer, const QFont &font,
                         const QString &title, const QStringList &lines, const StatusSetter &setStatus);

// Every window's printer set-up command; the choice serves every later job.
bool RunPrinterSetup(QWidget *parent, UserDialogs &dialogs, QPrinter &printer);
