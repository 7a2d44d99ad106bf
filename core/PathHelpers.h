#pragma once

#include <QString>
#include <QStringList>

// Path pieces as the program uses them: a path's folder part runs up to and
// including its last separator. The separators are a parameter so that the
// Windows rules ("\", "/" and ":") can be checked on any platform.
namespace Paths {

QString windowsSeparators();
QString posixSeparators();
QString platformSeparators();

// Index of the last separator in path, or -1.
qsizetype lastSeparator(const QString &path, const QString &separators = platformSeparators());

// Everything up to and including the last separator; empty when there is none.
QString directoryPart(const QString &path, const QString &separators = platformSeparators());

// Everything after the last separator.
QString filePart(const QString &path, const QString &separators = platformSeparators());

// From the last "." after the last separator, dot included; empty when there is none.
QString extension(const QString &path, const QString &separators = platformSeparators());

// Replaces the extension, or appends newExtension to a path without one.
QString changeExtension(const QString &path, const QString &newExtension,
                        const QString &separators = platformSeparators());

// ASCII-only lower-casing, as the extension comparisons need.
QString asciiLower(const QString &text);

// folder in the platform's separators, ending with one.
QString withTrailingSeparator(const QString &folder);

// Where the program's own files (the settings file, the launch script) go:
// homeDir, or the user's configuration folder when homeDir cannot be written
// or is an installed program's bin folder (PREFIX/share/ostrel beside it).
// Ends with a separator.
QString dataFolder(const QString &homeDir);

// path as an absolute path, relative paths taken from base; absolute paths
// are kept as they are.
QString absolutePath(const QString &path, const QString &base);
QStringList absolutePaths(const QStringList &paths, const QString &base);

// Whether a regular file exists at path, itself or at the end of a link:
// what "an existing file" means wherever the program reads one.
bool fileExists(const QString &path);

} // namespace Paths
