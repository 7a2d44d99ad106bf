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

// Where a line longer than limit may be cut: not inside a UTF-8 sequence.
qsizetype cutPosition(QByteArrayView bytes, qsizetype limit)
{
    qsizetype cut = limit;
    for (int back = 0; back < 3 && cut > 1 && (uchar(bytes.at(cut)) & 0xc0) == 0x80; ++back)
        --cut;
    return cut;
}

} // namespace

RunLog::RunLog(QObject *parent, int lineLimit) : QObject(parent), m_lines(lineLimit)
{}

QString RunLog::headerLine(const QDateTime &when, const QString &commandFile)
{
    return when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) + QStringLiteral("  ") + commandFile;
}

QString RunLog::closingLine(const RunOutcome &outcome)
{
    if (outcome.kind == RunOutcome::Kind::NotStarted)
        return howEnded(outcome);
    return QStringLiteral("%1 after %2").arg(howEnded(outcome), seconds(outcome.wallMs));
}

QString RunLog::howEnded(const RunOutcome &outcome)
{
    switch (outcome.kind) {
    case RunOutcome::Kind::Exited:
        return QStringLiteral("exit status %1").arg(outcome.code);
    case RunOutcome::Kind::Signalled: {
        const QString name = signalName(outcome.code);
        return QStringLiteral("ended by signal %1%2")
            .arg(QString::number(outcome.code),
                 name.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(name));
    }
    case RunOutcome::Kind::Stopped:
        return QStringLiteral("stopped");
    case RunOutcome::Kind::NotStarted:
        return QStringLiteral("not started: %1").arg(outcome.reason);
    case RunOutcome::Kind::EndedAs:
        return outcome.wallMs < 0
                   ? outcome.reason
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
    const qint64 before = m_lines.addedCount();
    // Each byte is looked at a few times at most, however the bytes come: in
    // lines, in pieces of lines, or without a line end at all.
    const QByteArrayView text(bytes);
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype lineEnd = bytes.indexOf('\n', start);
        const qsizetype end = lineEnd < 0 ? text.size() : lineEnd;
        if (lineEnd >= 0 && open.partialLine.isEmpty())
            addErrorLine(entry, text.sliced(start, end - start));
        else
            continueLine(entry, text.sliced(start, end - start), lineEnd >= 0);
        start = end + 1;
    }
    if (m_lines.addedCount() != before)
        emit linesAdded();
}

void RunLog::continueLine(int entry, QByteArrayView bytes, bool lineEnds)
{
    // The carried part never grows past a piece: the pieces are cut from it
    // as soon as it holds more, and what it keeps of them is a few bytes.
    QByteArray &partial = m_open[entry].partialLine;
    while (!bytes.isEmpty()) {
        const qsizetype take = qMin(bytes.size(), qsizetype(LineLengthLimit) + 1 - partial.size());
        partial.append(bytes.first(take));
        bytes = bytes.sliced(take);
        if (partial.size() > LineLengthLimit) {
            const qsizetype cut = cutPosition(partial, LineLengthLimit);
            addEntryLine(entry, QByteArrayView(partial).first(cut), LineRing::Kind::External);
            partial.remove(0, cut);
        }
    }
    if (lineEnds)
        flushPartialLine(entry);
}

void RunLog::endEntry(int entry, const RunOutcome &outcome)
{
    if (m_open.find(entry) == m_open.end())
        return;
    flushPartialLine(entry);
    addEntryLine(entry, closingLine(outcome).toUtf8(), LineRing::Kind::Utf8);
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

void RunLog::addErrorLine(int entry, QByteArrayView bytes)
{
    // A line too long for one is cut into several.
    qsizetype start = 0;
    do {
        const QByteArrayView rest = bytes.sliced(start);
        const qsizetype length =
            rest.size() > LineLengthLimit ? cutPosition(rest, LineLengthLimit) : rest.size();
        QByteArrayView line = rest.first(length);
        if (length == rest.size() && line.endsWith('\r'))
            line.chop(1);
        addEntryLine(entry, line, LineRing::Kind::External);
        start += length;
    } while (start < bytes.size());
}

void RunLog::addEntryLine(int entry, QByteArrayView line, LineRing::Kind kind)
{
    if (m_lastWriter != entry) {
        addLine(continuedLine(m_open[entry].commandFile));
        m_lastWriter = entry;
    }
    m_lines.append(line, kind);
}

void RunLog::addLine(const QString &line)
{
    m_lines.append(line.toUtf8(), LineRing::Kind::Utf8);
}

QStringList RunLog::lines() const
{
    QStringList result;
    if (droppedLineCount() > 0)
        result.append(droppedLine(droppedLineCount()));
    result.append(m_lines.lines(0, addedLineCount()));
    return result;
}

QString RunLog::text() const
{
    return lines().join(QLatin1Char('\n'));
}

QStringList RunLog::linesAddedSince(qint64 added) const
{
    return linesBetween(added, addedLineCount());
}

QStringList RunLog::linesBetween(qint64 from, qint64 end) const
{
    return m_lines.lines(from, end);
}
