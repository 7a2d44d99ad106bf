#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class FrameFixture;
class THelpEditForm;

// Help files and looks into the help window that the help window's tests share.
namespace HelpTestFiles {

// Two entries, the second found by a search for "medi".
extern const QByteArray Sample;
// One-letter keywords in order, then a keyword listed twice.
extern const QByteArray Letters;

// Writes helpFile as the frame's help file and opens the help window on it.
THelpEditForm *openHelp(FrameFixture &f, const QByteArray &helpFile);

// The keyword box's entries, newest first.
QStringList history(const THelpEditForm *help);

QString viewerText(const THelpEditForm *help);

// Rows for a choice in the keyword list of a window showing Letters: the text
// typed into the box, the list row chosen, and what the window then shows.
void addListChoiceRows();
// What the window shows after such a row's choice, checked against the row.
void checkListChoice(const THelpEditForm *help);

} // namespace HelpTestFiles
