#pragma once

#include <QList>
#include <QRect>
#include <QString>

#include <optional>

class QSettings;

// What the program remembers at its end beside ostrel.ini, and brings back
// at the next start after the start-up that ostrel.ini drives: the windows
// that ostrel.ini knows nothing of, and where the user was in each text.
namespace Session {

// An editor window's file and where the user was in it. Lines count from
// 1; topLine is the first line in view as the window shows it.
struct Window
{
    QString path;
    int caretLine = 0;
    int topLine = 0;
    QRect bounds;
};

// Which window was active, so that it is again.
enum class Active { Other, Command, Output, Explorer, Help, Master, Another };

struct State
{
    bool maximised = false;
    // The command and output windows' files come back through ostrel.ini;
    // the places apply while the window shows the same file.
    Window command;
    Window output;
    std::optional<Window> master;
    QList<Window> others;
    bool helpOpen = false;
    QString helpKeyWord;
    QRect helpBounds;
    // The explorer's file-type choice; -1 while it is closed.
    int explorerFilter = -1;
    bool runLogShown = false;
    Active active = Active::Other;
    // Active::Another: which of the others, counting from 0.
    int activeAnother = -1;
};

// Nothing when no session was left (a first start, or one after
// --no-session only).
std::optional<State> read(QSettings &settings);
void write(QSettings &settings, const State &state);

} // namespace Session
