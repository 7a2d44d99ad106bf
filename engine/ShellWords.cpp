#include "engine/ShellWords.h"

#include <algorithm>

namespace ShellWords {

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// A line break would end the command, and the shell would run the next
// line as one of its own; no other control character belongs in a command
// line either. A tab is a blank.
bool isControl(QChar c)
{
    return c.category() == QChar::Other_Control && c != QLatin1Char('\t');
}

// Characters that end a word or start an expansion wherever they stand unquoted.
bool actsUnquoted(QChar c)
{
    return QStringLiteral("|&;<>()$`").contains(c);
}

// Characters that act only at the start of a word.
bool actsAtWordStart(QChar c)
{
    return c == QLatin1Char('#') || c == QLatin1Char('~');
}

// Inside double quotes a backslash escapes only these; before anything else
// it stays as it is.
bool escapableInDoubleQuotes(QChar c)
{
    return QStringLiteral("\"\\$`").contains(c);
}

// The words of the messages, so that each line that is split is named as the user knows it.
struct Subject
{
    const char *name;
    const char *possessive;
    const char *startedBy;
};

const Subject Launcher{"The launcher", "The launcher's", "Ostrel starts the launcher"};
const Subject BatchOptions{"The batch job options", "", "Ostrel passes them to sbatch"};

QString controlError(const QString &line, const Subject &subject)
{
    const auto *const control = std::find_if(line.cbegin(), line.cend(), isControl);
    if (control == line.cend())
        return QString();
    const QString code =
        QString::number(control->unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0'));
    return QStringLiteral(
               "%1 hold a line break or another control character (U+%2). They must be one line of "
               "printable text.")
        .arg(QLatin1String(subject.name), code);
}

class Splitter
{
public:
    Splitter(const QString &line, const Subject &subject) : m_line(line), m_subject(subject) {}

    Split run()
    {
        Split result;
        while (m_at < m_line.size() && result.error.isEmpty())
            result.error = step();
        if (!result.error.isEmpty())
            return result;
        endWord();
        result.words = m_words;
        return result;
    }

private:
    // Takes the next piece of the line; returns what is wrong with it, if anything.
    QString step()
    {
        const QChar c = m_line.at(m_at);
        if (isBlank(c)) {
            endWord();
            ++m_at;
            return QString();
        }
        if (c == QLatin1Char('\''))
            return singleQuoted();
        if (c == QLatin1Char('"'))
            return doubleQuoted();
        if (c == QLatin1Char('\\'))
            return escaped();
        if (actsUnquoted(c) || (!m_inWord && actsAtWordStart(c)))
            return shellWouldAct(c);
        m_word.append(c);
        m_inWord = true;
        ++m_at;
        return QString();
    }

    QString singleQuoted()
    {
        const qsizetype close = m_line.indexOf(QLatin1Char('\''), m_at + 1);
        if (close < 0)
            return QStringLiteral("%1 %2 a ' without the ' that closes it.").arg(name(), has());
        m_word.append(m_line.mid(m_at + 1, close - m_at - 1));
        m_inWord = true;
        m_at = close + 1;
        return QString();
    }

    QString doubleQuoted()
    {
        m_inWord = true;
        for (qsizetype i = m_at + 1; i < m_line.size(); ++i) {
            const QChar c = m_line.at(i);
            if (c == QLatin1Char('"')) {
                m_at = i + 1;
                return QString();
            }
            if (c == QLatin1Char('\\') && i + 1 < m_line.size() &&
                escapableInDoubleQuotes(m_line.at(i + 1))) {
                m_word.append(m_line.at(++i));
                continue;
            }
            if (c == QLatin1Char('$') || c == QLatin1Char('`'))
                return shellWouldAct(c);
            m_word.append(c);
        }
        return QStringLiteral("%1 %2 a \" without the \" that closes it.").arg(name(), has());
    }

    QString escaped()
    {
        if (m_at + 1 >= m_line.size())
            return QStringLiteral("%1 %2 in a \\ that escapes nothing.").arg(name(), ends());
        m_word.append(m_line.at(m_at + 1));
        m_at += 2;
        m_inWord = true;
        return QString();
    }

    QString name() const { return QLatin1String(m_subject.name); }
    bool isLauncher() const { return &m_subject == &Launcher; }
    QString has() const { return isLauncher() ? QStringLiteral("has") : QStringLiteral("have"); }
    QString ends() const { return isLauncher() ? QStringLiteral("ends") : QStringLiteral("end"); }

    QString shellWouldAct(QChar c) const
    {
        const QString what = isLauncher()
                                 ? QStringLiteral("%1 %2").arg(QLatin1String(m_subject.possessive), c)
                                 : QStringLiteral("A %1 in the batch job options").arg(c);
        return QStringLiteral("%1 would be acted on by a shell, and %2 without one. Put it in single quotes "
                              "to pass it on as it is.")
            .arg(what, QLatin1String(m_subject.startedBy));
    }

    void endWord()
    {
        if (m_inWord)
            m_words.append(m_word);
        m_word.clear();
        m_inWord = false;
    }

    const QString &m_line;
    const Subject &m_subject;
    qsizetype m_at = 0;
    QStringList m_words;
    QString m_word;
    bool m_inWord = false;
};

} // namespace

Split splitWords(const QString &line)
{
    const QString control = controlError(line, BatchOptions);
    if (!control.isEmpty())
        return {QStringList(), control};
    Split result = Splitter(line, BatchOptions).run();
    if (!result.ok())
        result.words.clear();
    return result;
}

Split split(const QString &line)
{
    const auto *const control = std::find_if(line.cbegin(), line.cend(), isControl);
    if (control != line.cend()) {
        const QString code =
            QString::number(control->unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0'));
        return {QStringList(), QStringLiteral("The launcher holds a line break or another control character "
                                              "(U+%1). It must be one line of printable text.")
                                   .arg(code)};
    }
    Split result = Splitter(line, Launcher).run();
    if (result.ok() && !result.words.isEmpty() && result.words.constFirst().startsWith(QLatin1Char('-')))
        result.error = QStringLiteral("The launcher must begin with the program to start, not with the "
                                      "option %1.")
                           .arg(result.words.constFirst());
    if (!result.ok())
        result.words.clear();
    return result;
}

} // namespace ShellWords
