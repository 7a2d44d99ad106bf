#pragma once

#include <QString>
#include <QStringList>

// The rules of the command and output file histories (newest first).
namespace FileHistory {

// How two paths are told apart: without regard to letter case where the file
// system does so (Windows, macOS), exactly elsewhere, so that two different
// Linux files never share one entry.
Qt::CaseSensitivity platformPathCase();

// An open moves an entry equal to path (in the given case sensitivity) to the
// top, in its own letter case, or inserts path at the top. Returns the new list.
QStringList afterOpen(QStringList entries, const QString &path,
                      Qt::CaseSensitivity sensitivity = platformPathCase());

// Save As and the end of a run insert at the top without looking for the path.
QStringList afterInsert(QStringList entries, const QString &path);

} // namespace FileHistory
