// Loading a large output file into the output window, against a bare
// QPlainTextEdit, and working in it. Each measurement runs in a process of its
// own so that its peak memory is its own:
//
//   bench_load make FILE [ENCODING] [MB]  writes a 1,000,000-line CR LF file
//                                   (76 MB, or about MB megabytes): ascii (the
//                                   default), utf8 (é€ in every line) or cp1252
//                                   (é € “ ” … in every line)
//   bench_load makeline FILE        writes one line of 5,000,000 characters
//   bench_load floor FILE           reads the bytes and indexes the lines: the floor
//   bench_load editor FILE          LoadFile into the output window until painted,
//                                   line numbers on as a new user has them
//   bench_load editor-plain FILE    the same without line numbers
//   bench_load plaintext FILE       QPlainTextEdit::setPlainText until painted
//   bench_load save FILE            LoadFile, then save the text to FILE.saved
//   bench_load keys FILE            LoadFile, then Ctrl+End, Up and one typed
//                                   character, each until painted
//   bench_load longline FILE        LoadFile until painted, End and then
//                                   Ctrl+End until painted, and the processor
//                                   time taken while the caret blinks for 3 s,
//                                   in % of one core
//
// Each run prints "MODE SECONDS PEAK_MB [more seconds...]". bench/load.sh runs
// them several times, interleaved with another build's, and prints medians.
#include "core/FrameState.h"
#include "core/TextFile.h"
#include "core/UserSettings.h"
#include "documents/MDIOutput.h"
#include "editor/EditorPreferences.h"
#include "editor/TextEditor.h"
#include "printing/WindowPrinting.h"
#include "ui/StatusProgress.h"
#include "ui/UserDialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

double processorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void paintNow(QWidget &widget)
{
    QApplication::processEvents();
    widget.repaint();
    QApplication::processEvents();
}

void showAndPaint(QWidget &widget)
{
    widget.resize(800, 600);
    widget.show();
    paintNow(widget);
}

// Every line holds 66 bytes after its number, whatever the encoding.
QByteArray lineTail(const QString &encoding, int length)
{
    if (encoding == QLatin1String("utf8"))
        return QByteArray(length - 5, 'x') + "\xc3\xa9\xe2\x82\xac";
    if (encoding == QLatin1String("cp1252"))
        return QByteArray(length - 5, 'x') + "\xe9\x80\x93\x94\x85";
    return QByteArray(length, 'x');
}

int makeFile(const QString &path, const QString &encoding, qint64 megabytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    // 1,000,000 lines of 76 bytes by default; longer lines for larger files.
    const int tail = int(qMax<qint64>(66, megabytes - 10));
    const QByteArray end = lineTail(encoding, tail);
    QByteArray block;
    for (int i = 0; i < 1000; ++i)
        block += QByteArray::number(i).rightJustified(8, '0') + end + "\r\n";
    for (int i = 0; i < 1000; ++i)
        file.write(block);
    return 0;
}

// Numbers of varying width, as an engine writes a long vector on one line.
int makeLongLine(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    QByteArray line;
    line.reserve(5000100);
    for (int i = 0; line.size() < 5000000; ++i)
        line += QByteArray::number(i * 7919 % 100003) + ' ';
    line.truncate(5000000);
    file.write(line + "\r\n");
    return 0;
}

// What any program must do to show the file: read its bytes and find its lines.
qint64 floorWork(const QString &path)
{
    const QByteArray bytes = TextFile::readBytes(path);
    std::vector<qint64> lineStarts{0};
    const char *p = bytes.constData();
    const char *end = p + bytes.size();
    while (const void *lf = std::memchr(p, '\n', size_t(end - p))) {
        p = static_cast<const char *>(lf) + 1;
        lineStarts.push_back(p - bytes.constData());
    }
    return qint64(lineStarts.size());
}

double secondsOf(QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e9;
}

double timedKey(TextEditor *editor, Qt::Key key, Qt::KeyboardModifiers modifiers, QWidget &window)
{
    QElapsedTimer timer;
    timer.start();
    QTest::keyClick(editor, key, modifiers);
    paintNow(window);
    return secondsOf(timer);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(
            stderr,
            "usage: bench_load make|makeline|floor|editor|editor-plain|plaintext|save|keys|longline FILE\n");
        return 2;
    }
    const QString mode = QString::fromLocal8Bit(argv[1]);
    const QString path = QString::fromLocal8Bit(argv[2]);
    if (mode == QLatin1String("make"))
        return makeFile(path, argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString(),
                        argc > 4 ? QByteArray(argv[4]).toLongLong() : 76);
    if (mode == QLatin1String("makeline"))
        return makeLongLine(path);

    QElapsedTimer timer;
    QString more;
    if (mode == QLatin1String("floor")) {
        timer.start();
        if (floorWork(path) == 0)
            return 1;
    } else if (mode == QLatin1String("plaintext")) {
        QPlainTextEdit edit;
        timer.start();
        edit.setPlainText(QString::fromUtf8(TextFile::readText(path).utf8));
        showAndPaint(edit);
    } else {
        QtUserDialogs dialogs;
        ProgramSettings settings;
        PrintContext printing(dialogs, {});
        // The editor as a new user has it, line numbers on, whatever this
        // user's own settings say.
        const QTemporaryDir userSettings;
        setUserSettingsFolder(userSettings.path());
        EditorPreferences preferences;
        StatusProgress progress;
        preferences.setLineNumbers(mode != QLatin1String("editor-plain"));
        TOutputEditForm window(WindowServices{dialogs, printing, settings, preferences, progress});
        if (mode == QLatin1String("save")) {
            window.LoadFile(path);
            window.FileName = path + QStringLiteral(".saved");
            timer.start();
            window.writeFile();
        } else {
            timer.start();
            window.LoadFile(path);
            showAndPaint(window);
        }
        const double opened = secondsOf(timer);
        TextEditor *editor = window.editor();
        if (mode == QLatin1String("keys")) {
            QApplication::setActiveWindow(&window);
            editor->setFocus();
            paintNow(window);
            const double end = timedKey(editor, Qt::Key_End, Qt::ControlModifier, window);
            const double up = timedKey(editor, Qt::Key_Up, Qt::NoModifier, window);
            const double typed = timedKey(editor, Qt::Key_A, Qt::NoModifier, window);
            more = QStringLiteral(" %1 %2 %3").arg(end, 0, 'f', 4).arg(up, 0, 'f', 4).arg(typed, 0, 'f', 4);
        } else if (mode == QLatin1String("longline")) {
            QApplication::setActiveWindow(&window);
            editor->setFocus();
            paintNow(window);
            const double end = timedKey(editor, Qt::Key_End, Qt::NoModifier, window);
            // The end of the line itself, wherever the editor shows it.
            const double textEnd = timedKey(editor, Qt::Key_End, Qt::ControlModifier, window);
            QElapsedTimer idle;
            const double before = processorSeconds();
            idle.start();
            QEventLoop loop;
            QTimer::singleShot(3000, &loop, &QEventLoop::quit);
            loop.exec();
            const double busy = 100 * (processorSeconds() - before) / secondsOf(idle);
            more =
                QStringLiteral(" %1 %2 %3").arg(end, 0, 'f', 4).arg(textEnd, 0, 'f', 4).arg(busy, 0, 'f', 1);
        }
        std::printf("%s %.3f %.0f%s\n", argv[1], opened, peakMegabytes(), qPrintable(more));
        return 0;
    }
    std::printf("%s %.3f %.0f\n", argv[1], secondsOf(timer), peakMegabytes());
    return 0;
}
