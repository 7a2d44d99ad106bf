#pragma once

#include "core/FileNames.h"

#include <QString>

#include <exception>

// A failure of the file layer. Thrown where the failure happens; the entry
// point of the user's action catches it and shows the general error box. A
// path is named as the user reads it (a name's raw bytes shown as U+FFFD).
class FileError : public std::exception
{
public:
    explicit FileError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}

    static FileError cannotOpen(const QString &path)
    {
        return FileError(QStringLiteral("Cannot open file %1").arg(FileNames::forDisplay(path)));
    }
    // The reason stands in brackets, so that the box's closing full stop
    // still ends the sentence.
    static FileError cannotOpen(const QString &path, const QString &reason)
    {
        return FileError(QStringLiteral("Cannot open file %1 (%2)").arg(FileNames::forDisplay(path), reason));
    }
    static FileError tooLarge(const QString &path)
    {
        return cannotOpen(path, QStringLiteral("larger than the memory available"));
    }
    static FileError cannotCreate(const QString &path)
    {
        return FileError(QStringLiteral("Cannot create file %1").arg(FileNames::forDisplay(path)));
    }
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};
