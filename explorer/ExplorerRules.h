#pragma once

#include "core/FileRoutes.h"

#include <QString>
#include <QStringList>

// The explorer's rules that need no widget: which names a filter mask lets
// through, which window a double-clicked file goes to, and how names are
// ordered and shown in the lists.
namespace Explorer {

// A filter mask such as "*.cf;*.out": a name passes when it matches any of the
// patterns, whatever the letter case. Only "*" and "?" are wildcards, and
// "*.*" lets every file through, names without a dot included.
class FileMask
{
public:
    explicit FileMask(const QString &masks = QStringLiteral("*.*"));

    bool matches(const QString &name) const;

private:
    bool m_everything = false;
    // Case-folded, so that each name's letters are folded only once per test.
    QStringList m_patterns;
};

// The window a double-clicked file opens in.
using FileRoutes::TargetWindow;
using FileRoutes::windowForFile;

// Names in the order the lists show them: letter case ignored, ties broken
// by the exact name so that the order is stable.
void sortByName(QStringList &names);
// Whether a stands before b in that order.
bool listsBefore(const QString &a, const QString &b);

// A name as one line of a list: control characters (a newline in a folder's
// name, say) would break the row, so they show as U+FFFD, as do the bytes of
// a name that is not valid UTF-8.
QString displayName(const QString &name);

enum class EntryKind { Files, Folders };

// The names of a folder's files or subfolders that pass the mask, in list
// order. Hidden entries and special files (devices, sockets, pipes, broken
// links) are left out; a link counts as what it points to.
QStringList folderEntries(const QString &folder, EntryKind kind, const FileMask &mask = FileMask());

// Why the folder at path cannot be shown, or an empty string when it can.
// Reads the file system.
QString folderProblem(const QString &path);

} // namespace Explorer
