#include "ProcessProbe.h"

#include <QDir>
#include <QFile>

namespace ProcessProbe {

namespace {

struct Stat
{
    bool found = false;
    char state = '?';
    qint64 parent = 0;
    qint64 group = 0;
};

// /proc/PID/stat: "pid (comm) state ppid pgrp ...", where comm may hold
// blanks and parentheses of its own.
Stat statOf(qint64 pid)
{
    Stat result;
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return result;
    const QByteArray text = file.readAll();
    const qsizetype close = text.lastIndexOf(')');
    if (close < 0)
        return result;
    const QList<QByteArray> fields = text.mid(close + 2).split(' ');
    if (fields.size() < 3 || fields.at(0).isEmpty())
        return result;
    result.found = true;
    result.state = fields.at(0).at(0);
    result.parent = fields.at(1).toLongLong();
    result.group = fields.at(2).toLongLong();
    return result;
}

// The processes whose stat passes test.
template <typename Test> QList<qint64> processesWhere(Test test)
{
    QList<qint64> found;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid)
            continue;
        const Stat stat = statOf(pid);
        if (stat.found && test(stat))
            found.append(pid);
    }
    return found;
}

} // namespace

bool isLive(qint64 pid)
{
    const Stat stat = statOf(pid);
    return stat.found && stat.state != 'Z' && stat.state != 'X';
}

QList<qint64> liveMembers(qint64 group)
{
    return processesWhere(
        [group](const Stat &stat) { return stat.group == group && stat.state != 'Z' && stat.state != 'X'; });
}

QList<qint64> zombiesOf(qint64 parent)
{
    return processesWhere([parent](const Stat &stat) { return stat.parent == parent && stat.state == 'Z'; });
}

qint64 groupOf(qint64 pid)
{
    const Stat stat = statOf(pid);
    return stat.found ? stat.group : 0;
}

qint64 pidFromFile(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = f.readAll();
    return text.endsWith('\n') ? text.trimmed().toLongLong() : 0;
}

} // namespace ProcessProbe
