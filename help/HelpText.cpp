#include "help/HelpText.h"

#include "core/TextFile.h"

#include <algorithm>

namespace {

// Some file systems keep a file's times to the second or two only.
constexpr qint64 ClockTickMilliseconds = 2000;

} // namespace

QByteArray HelpText::read(const QString &path)
{
    // The stamp before the bytes: a change while they are read then shows
    // as a stamp that is no longer the file's.
    const FileStamp stamp = FileStamp::of(path);
    if (m_stampTells && path == m_path && stamp == m_stamp)
        return m_text;
    const QDateTime readAt = QDateTime::currentDateTimeUtc();
    m_text.clear();
    m_stampTells = false;
    m_text = TextFile::readText(path).utf8;
    m_path = path;
    m_stamp = stamp;
    m_stampTells = stamp.exists && stamp.metadataChanged.isValid() && stamp.modified.isValid() &&
                   std::max(stamp.metadataChanged, stamp.modified).msecsTo(readAt) > ClockTickMilliseconds;
    return m_text;
}
