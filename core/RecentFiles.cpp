#include "core/RecentFiles.h"

#include "core/FileNames.h"
#include "core/PathHelpers.h"
#include "core/UserSettings.h"

#include <QDir>
#include <QHash>

namespace RecentFiles {

namespace {

const QString Group = QStringLiteral("RecentFiles");
const QString PathKey = QStringLiteral("path");
const QString MasterKey = QStringLiteral("master");

void write(const QList<Entry> &entries)
{
    QSettings settings = userSettings();
    settings.remove(Group);
    settings.beginWriteArray(Group, int(entries.size()));
    for (int i = 0; i < entries.size(); ++i) {
        settings.setArrayIndex(i);
        // The name's own bytes: a name that is not UTF-8 would not survive
        // the settings file's text.
        settings.setValue(PathKey, FileNames::toNative(entries.at(i).path));
        settings.setValue(MasterKey, entries.at(i).master);
    }
    settings.endArray();
}

// One line of a menu: a line break in a name would break the item, and an
// "&" would underline the next letter instead of showing.
QString menuText(const QString &text)
{
    QString shown = FileNames::forDisplay(text);
    for (QChar &c : shown) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = QChar::ReplacementCharacter;
    }
    return shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QString folderText(const QString &path, const QString &homeFolder)
{
    QString folder = Paths::directoryPart(path);
    if (folder.size() > 1)
        folder.chop(1);
    const QString home = Paths::withTrailingSeparator(homeFolder);
    if (!homeFolder.isEmpty() && (folder + QDir::separator()).startsWith(home))
        folder = QStringLiteral("~") + folder.mid(home.size() - 1);
    return QDir::toNativeSeparators(folder);
}

// "&1" to "&9", then "1&0"; the rest go without a key.
QString numberText(int number)
{
    if (number < 10)
        return QStringLiteral("&%1").arg(number);
    if (number == 10)
        return QStringLiteral("1&0");
    return QString::number(number);
}

} // namespace

QList<Entry> read()
{
    QSettings settings = userSettings();
    QList<Entry> entries;
    const int size = settings.beginReadArray(Group);
    for (int i = 0; i < size && entries.size() < MaxEntries; ++i) {
        settings.setArrayIndex(i);
        const QString path = FileNames::fromNative(settings.value(PathKey).toByteArray());
        if (!path.isEmpty())
            entries.append(Entry{path, settings.value(MasterKey).toBool()});
    }
    settings.endArray();
    return entries;
}

QList<Entry> afterOpen(const QList<Entry> &entries, const Entry &opened)
{
    QList<Entry> result{opened};
    for (const Entry &entry : entries) {
        // Told apart as the file system tells names apart.
        if (entry.path != opened.path && result.size() < MaxEntries)
            result.append(entry);
    }
    return result;
}

void add(const QString &path, bool master)
{
    write(afterOpen(read(), Entry{path, master}));
}

void clear()
{
    write({});
}

QStringList menuLabels(const QStringList &paths, const QString &homeFolder)
{
    QHash<QString, int> nameCounts;
    for (const QString &path : paths)
        ++nameCounts[Paths::filePart(path).toCaseFolded()];
    QStringList labels;
    for (int i = 0; i < paths.size(); ++i) {
        const QString &path = paths.at(i);
        const QString name = Paths::filePart(path);
        QString label = numberText(i + 1) + QLatin1Char(' ') + menuText(name);
        if (nameCounts.value(name.toCaseFolded()) > 1)
            label += QStringLiteral(" \u2014 ") + menuText(folderText(path, homeFolder));
        labels.append(label);
    }
    return labels;
}

} // namespace RecentFiles
