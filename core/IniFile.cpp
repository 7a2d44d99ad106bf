#include "core/IniFile.h"

#include "core/PathHelpers.h"

#include "core/FileError.h"
#include "core/LineReader.h"
#include "core/TextCodec.h"
#include "core/TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QByteArray OutputHistoryHeader = QByteArrayLiteral("[Output History]");

// X11 keeps window positions and sizes in 16 bits; nothing beyond this range can
// be a window the user left on screen.
constexpr int MaxWindowExtent = 32767;
constexpr int MinWindowExtent = 100;

// Sizes outside what the font dialog lets a user pick.
constexpr int MinFontSize = 1;
constexpr int MaxFontSize = 512;

// A bound far outside any screen reads as 0 like a malformed number; keeping
// the values small also keeps QRect's corner arithmetic from overflowing.
constexpr long long MaxStoredCoordinate = 1 << 24;

// --- writing ---

bool fitsOnOneLine(const QString &text)
{
    return !text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')) &&
           !text.contains(QChar(26));
}

QByteArray valueLine(const QString &text)
{
    return fitsOnOneLine(text) ? text.toUtf8() : QByteArray();
}

QByteArray boundsLine(const QRect &bounds)
{
    return QByteArray::number(bounds.left()) + ' ' + QByteArray::number(bounds.top()) + ' ' +
           QByteArray::number(bounds.width()) + ' ' + QByteArray::number(bounds.height());
}

QByteArray fontLine(const IniFont &font)
{
    return QByteArray::number(font.pointSize) + ' ' + valueLine(font.face);
}

// No file system takes a path longer than this, nor one that holds a NUL. A
// history line that breaks either rule is no file the user opened but a damaged
// or foreign file's bytes, which would cost a window time in proportion to
// their size and be written back (larger, once decoded) at every close.
constexpr qsizetype MaxPathBytes = 4096;

bool couldBePath(QByteArrayView line)
{
    return line.size() <= MaxPathBytes && !line.contains('\0');
}

// An empty entry would end the section when read back, and one equal to the
// next header would end it too.
bool storableEntry(const QString &entry)
{
    const QByteArray line = entry.toUtf8();
    return !entry.isEmpty() && fitsOnOneLine(entry) && line != OutputHistoryHeader && couldBePath(line);
}

// --- reading ---

int readCoordinate(LineReader &reader)
{
    const long long value = reader.readInteger();
    return value > -MaxStoredCoordinate && value < MaxStoredCoordinate ? static_cast<int>(value) : 0;
}

QRect readBounds(LineReader &reader)
{
    reader.readLine(); // the section's header, known by its position only
    const int left = readCoordinate(reader);
    const int top = readCoordinate(reader);
    const int width = readCoordinate(reader);
    const int height = readCoordinate(reader);
    reader.finishLine();
    return QRect(left, top, width, height);
}

QString readText(LineReader &reader)
{
    return TextCodec::decodeLine(reader.readLine());
}

IniFont readFont(LineReader &reader)
{
    reader.readLine();
    IniFont font;
    const long long size = reader.readInteger();
    font.pointSize = size >= 0 && size <= MaxStoredCoordinate ? static_cast<int>(size) : 0;
    font.face = TextCodec::decodeLine(reader.readLine().mid(1)).left(MaxFaceNameLength);
    if (!font.face.isEmpty() && font.face.back().isHighSurrogate())
        font.face.chop(1);
    return font;
}

// Takes the first entries up to an empty line, then passes over the rest of the
// section, so that surplus command entries never turn into output entries. The
// "[Output History]" line is consumed.
QStringList readCommandHistory(LineReader &reader)
{
    QStringList entries;
    bool taking = true;
    while (!reader.atEnd()) {
        // Passed over without a copy: the rest of a damaged file may follow.
        const QByteArrayView line = reader.readLineView();
        if (line == OutputHistoryHeader)
            break;
        if (line.isEmpty())
            taking = false;
        else if (taking && entries.size() < MaxCommandHistoryRead && couldBePath(line))
            entries.append(TextCodec::decodeLine(line.toByteArray()));
    }
    return entries;
}

QStringList readOutputHistory(LineReader &reader)
{
    QStringList entries;
    while (entries.size() < MaxOutputHistoryRead) {
        const QByteArrayView line = reader.readLineView();
        if (line.isEmpty() || line == OutputHistoryHeader)
            break;
        if (couldBePath(line))
            entries.append(TextCodec::decodeLine(line.toByteArray()));
    }
    return entries;
}

} // namespace

QString iniFilePath(const QString &homeDir)
{
    return Paths::dataFolder(homeDir) + QStringLiteral("ostrel.ini");
}

QByteArray writeIniFile(const IniSettings &settings)
{
    QByteArray out;
    const auto line = [&out](const QByteArray &text) {
        out += text;
        out += "\r\n";
    };
    const auto section = [&line](const QByteArray &header, const QByteArray &value) {
        line(header);
        line(value);
    };
    const auto historyLines = [&line](const QStringList &entries) {
        for (const QString &entry : entries) {
            if (storableEntry(entry))
                line(entry.toUtf8());
        }
    };
    section("[Main Window Size]", boundsLine(settings.mainWindow));
    section("[Command Window Size]", boundsLine(settings.commandWindow));
    section("[Output Window Size]", boundsLine(settings.outputWindow));
    section("[Explorer Window Size]",
            settings.explorerOpen ? boundsLine(settings.explorerWindow) : QByteArray("0 0 0 0"));
    section("[Quelm Files]", valueLine(settings.enginePath));
    line(valueLine(settings.helpFilePath));
    section("[Working Directory]", valueLine(settings.workingDirectory));
    section("[Command File Extension]", valueLine(settings.commandFileExtension));
    section("[Ouptut File Extension]", valueLine(settings.outputFileExtension));
    section("[Screen Font]", fontLine(settings.screenFont));
    section("[Print Font]", fontLine(settings.printFont));
    line("[Command History]");
    historyLines(settings.commandHistory);
    line(OutputHistoryHeader);
    historyLines(settings.outputHistory);
    return out;
}

std::optional<IniSettings> readIniFile(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return std::nullopt;

    LineReader reader(bytes);
    IniSettings settings;
    settings.mainWindow = readBounds(reader);
    settings.commandWindow = readBounds(reader);
    settings.outputWindow = readBounds(reader);

    reader.readLine();
    const int left = readCoordinate(reader);
    const int top = readCoordinate(reader);
    const int width = readCoordinate(reader);
    if (width == 0) {
        settings.explorerOpen = false;
        reader.readInteger();
        settings.explorerWindow = QRect(left, top, 0, 0);
    } else {
        settings.explorerWindow = QRect(left, top, width, readCoordinate(reader));
    }
    reader.finishLine();

    reader.readLine();
    settings.enginePath = readText(reader);
    settings.helpFilePath = readText(reader);
    reader.readLine();
    settings.workingDirectory = readText(reader);
    reader.readLine();
    settings.commandFileExtension = readText(reader);
    reader.readLine();
    settings.outputFileExtension = readText(reader);
    settings.screenFont = readFont(reader);
    settings.printFont = readFont(reader);
    reader.readLine();
    settings.commandHistory = readCommandHistory(reader);
    settings.outputHistory = readOutputHistory(reader);
    return settings;
}

std::optional<IniSettings> readIniFileAt(const QString &path)
{
    try {
        return readIniFile(TextFile::readBytes(path));
    } catch (const FileError &) {
        return std::nullopt;
    }
}

bool writeIniFileAt(const QString &path, const IniSettings &settings)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    try {
        TextFile::writeBytes(path, writeIniFile(settings));
        return true;
    } catch (const FileError &) {
        return false;
    }
}

bool plausibleChildBounds(const QRect &child, const QList<QRect> &screens)
{
    const auto inRange = [](int extent) { return extent >= MinWindowExtent && extent <= MaxWindowExtent; };
    if (!inRange(child.width()) || !inRange(child.height()) || qAbs(child.left()) > MaxWindowExtent ||
        qAbs(child.top()) > MaxWindowExtent)
        return false;
    // A window larger than every screen is no place a user left it, and its
    // backing store alone would cost gigabytes.
    for (const QRect &screen : screens) {
        if (child.width() <= screen.width() && child.height() <= screen.height())
            return true;
    }
    return false;
}

bool plausibleFrameBounds(const QRect &frame, const QList<QRect> &screens)
{
    if (!plausibleChildBounds(frame, screens))
        return false;
    for (const QRect &screen : screens) {
        if (screen.intersects(frame))
            return true;
    }
    return false;
}

QFont fontFromIni(const IniFont &stored, const QFont &fallback)
{
    QFont font = fallback;
    if (!stored.face.isEmpty())
        font.setFamily(stored.face);
    if (stored.pointSize >= MinFontSize && stored.pointSize <= MaxFontSize)
        font.setPointSize(stored.pointSize);
    return font;
}

IniFont iniFontOf(const QFont &font)
{
    return IniFont{qMax(font.pointSize(), 0), font.family()};
}
