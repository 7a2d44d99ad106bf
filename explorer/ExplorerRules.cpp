#include "explorer/ExplorerRules.h"

#include "app/PathHelpers.h"

#include <QFileInfo>

#include <algorithm>

namespace Explorer {

FileMask::FileMask(const QString &masks)
{
    QStringList alternatives;
    for (const QString &mask : masks.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (mask == QLatin1String("*.*")) {
            m_everything = true;
            return;
        }
        QString regex;
        for (const QChar c : mask) {
            if (c == QLatin1Char('*'))
                regex += QLatin1String(".*");
            else if (c == QLatin1Char('?'))
                regex += QLatin1Char('.');
            else
                regex += QRegularExpression::escape(QString(c));
        }
        alternatives.append(regex);
    }
    // With no pattern at all the expression is left invalid and nothing matches.
    if (!alternatives.isEmpty()) {
        m_pattern.setPattern(QLatin1String("\\A(?:") + alternatives.join(QLatin1Char('|'))
                             + QLatin1String(")\\z"));
        m_pattern.setPatternOptions(QRegularExpression::CaseInsensitiveOption
                                    | QRegularExpression::DotMatchesEverythingOption);
    }
}

bool FileMask::matches(const QString &name) const
{
    if (m_everything)
        return true;
    return !m_pattern.pattern().isEmpty() && m_pattern.match(name).hasMatch();
}

TargetWindow windowForFile(const QString &path, const QString &commandExt, const QString &outputExt)
{
    const QString ext = Paths::asciiLower(Paths::extension(path));
    if (!commandExt.isEmpty() && ext == Paths::asciiLower(commandExt))
        return TargetWindow::Command;
    if (!outputExt.isEmpty() && ext == Paths::asciiLower(outputExt))
        return TargetWindow::Output;
    return TargetWindow::Another;
}

void sortByName(QStringList &names)
{
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
}

QString displayName(const QString &name)
{
    QString shown = name;
    for (QChar &c : shown) {
        if (c.category() == QChar::Other_Control)
            c = QChar::ReplacementCharacter;
    }
    return shown;
}

QString folderProblem(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("it does not exist");
    if (!info.isDir())
        return QStringLiteral("it is not a directory");
    if (!info.isReadable() || !info.isExecutable())
        return QStringLiteral("permission denied");
    return QString();
}

} // namespace Explorer
