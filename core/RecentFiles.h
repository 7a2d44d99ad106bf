#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The files last opened in any editor window, newest first, kept in the
// user's Qt settings. Every call reads and writes the store itself, so that
// two programs (one started with --new-instance) add to one list rather than
// each writing its own over the other's.
namespace RecentFiles {

constexpr int MaxEntries = 20;

struct Entry
{
    QString path;
    // Opened in the master window, which is where it goes again.
    bool master = false;

    bool operator==(const Entry &other) const { return path == other.path && master == other.master; }
};

QList<Entry> read();
// path moves to the top, or is put there; the oldest beyond MaxEntries go.
void add(const QString &path, bool master = false);
void clear();

// The list after opening entry: pure, for add() and the tests.
QList<Entry> afterOpen(const QList<Entry> &entries, const Entry &opened);

// What the menu shows for each path: "&1 name", with the folder after the
// name where two names are alike (letter case aside), since the name alone
// would not tell them apart. An "&" in a name shows as itself.
QStringList menuLabels(const QStringList &paths, const QString &homeFolder);

} // namespace RecentFiles
