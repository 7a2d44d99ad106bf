#include "documents/FileHistory.h"

namespace FileHistory {

Qt::CaseSensitivity platformPathCase()
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return Qt::CaseInsensitive;
#else
    return Qt::CaseSensitive;
#endif
}

QStringList afterOpen(QStringList entries, const QString &path, Qt::CaseSensitivity sensitivity)
{
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (entries.at(i).compare(path, sensitivity) == 0) {
            entries.move(i, 0);
            return entries;
        }
    }
    entries.prepend(path);
    return entries;
}

QStringList afterInsert(QStringList entries, const QString &path)
{
    entries.prepend(path);
    return entries;
}

} // namespace FileHistory
