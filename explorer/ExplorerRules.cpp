#include "explorer/ExplorerRules.h"

#include "core/FileNames.h"

#include <QDirIterator>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#endif

#include <algorithm>
#include <vector>

namespace Explorer {

namespace {

// "*" and "?" against a name, with the pattern already case-folded. A "*"
// that fails to place the rest is moved on by one letter and tried again.
bool wildcardMatch(QStringView name, QStringView pattern)
{
    qsizetype n = 0;
    qsizetype p = 0;
    qsizetype starAt = -1;
    qsizetype resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starAt = p++;
            resumeAt = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == QLatin1Char('?') || pattern[p] == name[n].toCaseFolded())) {
            ++n;
            ++p;
        } else if (starAt >= 0) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

} // namespace

FileMask::FileMask(const QString &masks)
{
    for (const QString &mask : masks.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (mask == QLatin1String("*.*"))
            m_everything = true;
        m_patterns.append(mask.toCaseFolded());
    }
}

bool FileMask::matches(const QString &name) const
{
    if (m_everything)
        return true;
    for (const QString &pattern : m_patterns) {
        if (wildcardMatch(name, pattern))
            return true;
    }
    return false;
}

void sortByName(QStringList &names)
{
    // Each name is folded once, not at every one of the sort's comparisons.
    struct Keyed
    {
        QString folded;
        QString name;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(names.size());
    for (const QString &name : std::as_const(names))
        keyed.push_back({name.toCaseFolded(), name});
    std::sort(keyed.begin(), keyed.end(), [](const Keyed &a, const Keyed &b) {
        const int folded = QString::compare(a.folded, b.folded);
        return folded != 0 ? folded < 0 : a.name < b.name;
    });
    for (qsizetype i = 0; i < names.size(); ++i)
        names[i] = std::move(keyed[i].name);
}

bool listsBefore(const QString &a, const QString &b)
{
    const int folded = QString::compare(a.toCaseFolded(), b.toCaseFolded());
    return folded != 0 ? folded < 0 : a < b;
}

QString displayName(const QString &name)
{
    const auto isControl = [](QChar c) { return c.category() == QChar::Other_Control; };
    // Nearly every name is fine as it is; copy only those that are not.
    if (std::none_of(name.cbegin(), name.cend(), isControl))
        return FileNames::forDisplay(name);
    QString shown = FileNames::forDisplay(name);
    std::replace_if(shown.begin(), shown.end(), isControl, QChar(QChar::ReplacementCharacter));
    return shown;
}

QStringList folderEntries(const QString &folder, EntryKind kind, const FileMask &mask)
{
    QStringList names;
    const auto take = [&](const QString &name, bool isFolder) {
        if (isFolder == (kind == EntryKind::Folders) && mask.matches(name))
            names.append(name);
    };
#ifdef Q_OS_UNIX
    // readdir tells most entries' kind without a stat; Qt's iterator builds
    // a QFileInfo for each, which with a hundred thousand files is most of
    // the time the list takes to appear.
    DIR *dir = opendir(FileNames::toNative(folder).constData());
    if (!dir)
        return names;
    while (const dirent *entry = readdir(dir)) {
        if (entry->d_name[0] == '.') // hidden, and "." and ".."
            continue;
        // Without loss: a name that is not valid UTF-8 must still open.
        const QString name = FileNames::fromNative(QByteArray(entry->d_name));
        if (entry->d_type == DT_DIR || entry->d_type == DT_REG) {
            take(name, entry->d_type == DT_DIR);
        } else if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat target = {};
            if (fstatat(dirfd(dir), entry->d_name, &target, 0) == 0 &&
                (S_ISDIR(target.st_mode) || S_ISREG(target.st_mode)))
                take(name, S_ISDIR(target.st_mode));
        }
    }
    closedir(dir);
#else
    const QDir::Filters filters =
        kind == EntryKind::Folders ? QDir::Dirs | QDir::NoDotAndDotDot : QDir::Files;
    QDirIterator entries(folder, filters);
    while (entries.hasNext()) {
        entries.next();
        take(entries.fileName(), kind == EntryKind::Folders);
    }
#endif
    sortByName(names);
    return names;
}

QString folderProblem(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("it does not exist");
    if (!info.isDir())
        return QStringLiteral("it is not a directory");
    if (!info.isReadable() || !info.isExecutable())
        return QStringLiteral("permission denied");
    return QString();
}

} // namespace Explorer
