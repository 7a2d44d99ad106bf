#include "engine/RunLog.h"

#include "core/TextCodec.h"

#ifdef Q_OS_UNIX
#include <cstring>
#endif

namespace {

QString seconds(qint64 ms)
{
    return QString::number(double(ms) / 1000.0, 'f', 2) + QStringLiteral(" s");
}

QString signalName([[maybe_unused]] int signal)
{
#ifdef Q_OS_UNIX
    if (const char *name = ::strsignal(signal))
        return QString::fromLocal8Bit(name);
#endif
    return QString();
}

// Where a line that is too long may be cut: not inside a UTF-8 sequence.
qsizetype cutPosition(const QByteArray &bytes, qsizetype limit)
{
    qsizetype cut = limit;
    for (int back = 0; back < 3 && cut > 1 && (uchar(bytes.at(cut)) & 0xc0) == 0x80; ++back)
        --cut;
    return cut;
}

} // namespace

RunLog::RunLog(QObject *parent, int lineLimit) : QObject(parent), m_lineLimit(qMax(1, lineLimit))
{}

QString RunLog::headerLine(const QDateTime &when, const QString &commandFile)
{
    return when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) + QStringLiteral("  ") + commandFile;
}

QString RunLog::closingLine(const RunOutcome &outcome)
{
    switch (outcome.kind) {
    case RunOutcome::Kind::Exited:
        return QStringLiteral("exit status %1 after %2").arg(outcome.code).arg(seconds(outcome.wallMs));
    case RunOutcome::Kind::Signalled: {
        const QString name = signalName(outcome.code);
        return QStringLiteral("ended by signal %1%2 after %3")
            .arg(QString::number(outcome.code),
                 name.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(name), seconds(outcome.wallMs));
    }
    case RunOutcome::Kind::Stopped:
        return QStringLiteral("stopped after %1").arg(seconds(outcome.wallMs));
    case RunOutcome::Kind::NotStarted:
        return QStringLiteral("not started: %1").arg(outcome.reason);
    case RunOutcome::Kind::EndedAs:
        return outcome.wallMs < 0 ? outcome.reason
                                  : QStringLiteral("%1 after %2").arg(outcome.reason, seconds(outcome.wallMs));
    }
    return QString();
}

QString RunLog::droppedLine(qint64 count)
{
    return QStringLiteral("(%1 earlier lines dropped)").arg(count);
}

QString RunLog::continuedLine(const QString &commandFile)
{
    return QStringLiteral("(%1, continued)").arg(commandFile);
}

int RunLog::beginEntry(const QString &commandFile, const QDateTime &when)
{
    const int entry = m_nextEntry++;
    m_open[entry].commandFile = commandFile;
    addLine(headerLine(when, commandFile));
    m_lastWriter = entry;
    emit linesAdded();
    return entry;
}

void RunLog::addErrorOutput(int entry, const QByteArray &bytes)
{
    const auto found = m_open.find(entry);
    if (bytes.isEmpty() || found == m_open.end())
        return;
    Entry &open = found->second;
    if (!open.wroteErrors) {
        open.wroteErrors = true;
        emit errorOutputBegan();
    }
    const qint64 before = m_added;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype end = bytes.indexOf('\n', start);
        if (end < 0) {
            open.partialLine.append(bytes.constData() + start, bytes.size() - start);
            break;
        }
        if (open.partialLine.isEmpty()) {
            addErrorLine(entry, bytes.mid(start, end - start));
        } else {
            open.partialLine.append(bytes.constData() + start, end - start);
            addErrorLine(entry, open.partialLine);
            open.partialLine.clear();
        }
        start = end + 1;
    }
    while (open.partialLine.size() > LineLengthLimit) {
        const qsizetype cut = cutPosition(open.partialLine, LineLengthLimit);
        addErrorLine(entry, open.partialLine.left(cut));
        open.partialLine.remove(0, cut);
    }
    if (m_added != before)
        emit linesAdded();
}

void RunLog::endEntry(int entry, const RunOutcome &outcome)
{
    if (m_open.find(entry) == m_open.end())
        return;
    flushPartialLine(entry);
    addEntryLine(entry, closingLine(outcome));
    m_open.erase(entry);
    emit linesAdded();
}

void RunLog::addRefusal(const QString &commandFile, const QString &reason, const QDateTime &when)
{
    RunOutcome outcome;
    outcome.kind = RunOutcome::Kind::NotStarted;
    outcome.reason = reason;
    endEntry(beginEntry(commandFile, when), outcome);
}

void RunLog::flushPartialLine(int entry)
{
    QByteArray &partial = m_open[entry].partialLine;
    if (partial.isEmpty())
        return;
    addErrorLine(entry, partial);
    partial.clear();
}

void RunLog::addErrorLine(int entry, const QByteArray &bytes)
{
    // A line too long for one is cut into several.
    qsizetype start = 0;
    do {
        qsizetype length = bytes.size() - start;
        if (length > LineLengthLimit)
            length = cutPosition(bytes.mid(start), LineLengthLimit);
        QByteArray line = bytes.mid(start, length);
        if (start + length == bytes.size() && line.endsWith('\r'))
            line.chop(1);
        addEntryLine(entry, TextCodec::decodeLine(line));
        start += length;
    } while (start < bytes.size());
}

void RunLog::addEntryLine(int entry, const QString &line)
{
    if (m_lastWriter != entry) {
        addLine(continuedLine(m_open[entry].commandFile));
        m_lastWriter = entry;
    }
    addLine(line);
}

void RunLog::addLine(const QString &line)
{
    m_lines.push_back(line);
    ++m_added;
    if (int(m_lines.size()) > m_lineLimit) {
        m_lines.pop_front();
        ++m_dropped;
    }
}

QStringList RunLog::lines() const
{
    QStringList result;
    result.reserve(qsizetype(m_lines.size()) + 1);
    if (m_dropped > 0)
        result.append(droppedLine(m_dropped));
    result.append(QStringList(m_lines.begin(), m_lines.end()));
    return result;
}

QString RunLog::text() const
{
    return lines().join(QLatin1Char('\n'));
}

QStringList RunLog::linesAddedSince(qint64 added) const
{
    return linesBetween(added, m_added);
}

QStringList RunLog::linesBetween(qint64 from, qint64 end) const
{
    const qint64 firstKept = m_added - qint64(m_lines.size());
    from = qBound(firstKept, from, m_added);
    end = qBound(from, end, m_added);
    return QStringList(m_lines.begin() + (from - firstKept), m_lines.begin() + (end - firstKept));
}
