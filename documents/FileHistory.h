#pragma once

#include <QString>
#include <QStringList>

// The rules of the command and output file histories (newest first).
namespace FileHistory {

// An open moves an entry equal to path but for letter case to the top, in its
// own letter case, or inserts path at the top. Returns the new list.
QStringList afterOpen(QStringList entries, const QString &path);

// Save As and the end of a run insert at the top without looking for the path.
QStringList afterInsert(QStringList entries, const QString &path);

} // namespace FileHistory
