#include "documents/FileHistory.h"

namespace FileHistory {

QStringList afterOpen(QStringList entries, const QString &path)
{
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (entries.at(i).compare(path, Qt::CaseInsensitive) == 0) {
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
