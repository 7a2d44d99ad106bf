#pragma once

#include "core/Fonts.h"

#include <QByteArray>
#include <QFont>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

#include <optional>

// What ostrel.ini keeps of a font: its size in points and its face name.
struct IniFont
{
    int pointSize = DefaultFontSize;
    QString face = DefaultFontFace;
};

// Everything the settings file holds, in the order the file holds it.
struct IniSettings
{
    QRect mainWindow;
    QRect commandWindow;
    QRect outputWindow;
    // A closed explorer is written as "0 0 0 0". Read back, its left and top are
    // still meaningful (the window is moved there before it is closed).
    QRect explorerWindow;
    bool explorerOpen = true;
    QString enginePath;
    QString helpFilePath;
    QString workingDirectory;
    QString commandFileExtension;
    QString outputFileExtension;
    IniFont screenFont;
    IniFont printFont;
    QStringList commandHistory; // newest first
    QStringList outputHistory;  // newest first
};

constexpr int MaxCommandHistoryRead = 20;
constexpr int MaxOutputHistoryRead = 15;
constexpr int MaxFaceNameLength = 255;

// The settings file's place: HomeDir, or the user's configuration folder when
// HomeDir cannot be written to (an installed build).
QString iniFilePath(const QString &homeDir);

// The whole file, twelve sections, CR LF line ends. Text is written as UTF-8.
// A value that cannot stand on one line (it holds a line end or a character 26)
// is written as an empty line, and such history entries are left out, so that
// one odd path can never shift every section after it.
QByteArray writeIniFile(const IniSettings &settings);

// Reads the file's bytes strictly in order. Nothing (no value) for an empty
// file: then nothing is to be applied. Past the end of a short file every line
// is empty and every integer 0, and those values are returned like any other.
// Each line is decoded as UTF-8 when valid, else as Windows-1252. A history
// line that cannot be a path (over 4,096 bytes, or holding a NUL) is passed
// over, and the writer leaves such entries out too.
std::optional<IniSettings> readIniFile(const QByteArray &bytes);

// The file on disk. Reading gives nothing for a missing, unreadable or empty
// file; writing is atomic and returns false when the file could not be written.
std::optional<IniSettings> readIniFileAt(const QString &path);
bool writeIniFileAt(const QString &path, const IniSettings &settings);

// Whether stored bounds can be used, or the window keeps its start-up place:
// the frame must be at least 100 by 100 pixels, fit on one of the screens, and
// not lie wholly off every screen. A child window is checked by its size and
// against the same coordinate range.
bool plausibleFrameBounds(const QRect &frame, const QList<QRect> &screens);
bool plausibleChildBounds(const QRect &child, const QList<QRect> &screens);

// The font a stored size and face give; a size no font dialog offers or an
// empty face keep fallback's size or family.
QFont fontFromIni(const IniFont &stored, const QFont &fallback);
IniFont iniFontOf(const QFont &font);
