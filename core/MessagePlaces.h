#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// A place that a line of an engine's messages names: the file as the message
// writes it (empty where it names only a line of the command file run), the
// line and column counting from 1 (column 0 where none is named), and what
// the message says of it.
struct MessagePlace
{
    QString file;
    int line = 0;
    int column = 0;
    QString message;
};

// The forms in which engines name a place: file:line:, file:line:column:,
// file(line):, file(line,column):, "line N", and the user's own regular
// expressions, tried first, with the named groups file, line, column and
// message (line is required; a pattern without file names a line of the
// command file run).
class MessagePatterns
{
public:
    explicit MessagePatterns(const QStringList &userPatterns = {});

    // The place the text names, if it names one.
    std::optional<MessagePlace> find(const QString &text) const;

    // Why a user's pattern cannot be used, or an empty text when it can.
    static QString problemWith(const QString &pattern);

    // The user's patterns as kept in the user's Qt settings.
    static QStringList stored();
    static void store(const QStringList &patterns);

private:
    std::vector<QRegularExpression> m_user;
};

// Where the named file lies: a relative name is taken in the run's folder,
// and no name at all means the command file of the run.
QString placeFilePath(const MessagePlace &place, const QString &commandFile);

// A message of a run and the file it names, found on disk.
struct LocatedMessage
{
    QString path;
    int line = 0;
    int column = 0;
    QString message;
};
