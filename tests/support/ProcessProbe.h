#pragma once

#include <QList>
#include <QString>

// What the system says about processes, read from /proc: by pid and by
// process group, never by name. A process that has ended but is not yet
// reaped (state Z) counts as gone: nothing of it runs any more.
namespace ProcessProbe {

// Whether pid names a process that has not ended.
bool isLive(qint64 pid);
// The processes of group that have not ended.
QList<qint64> liveMembers(qint64 group);
// The process group of pid; 0 when there is no such process.
qint64 groupOf(qint64 pid);
// The children of parent that have ended but were not reaped.
QList<qint64> zombiesOf(qint64 parent);
// A pid written by an engine into file (one number and a line end); 0 until
// the file holds one.
qint64 pidFromFile(const QString &file);

} // namespace ProcessProbe
