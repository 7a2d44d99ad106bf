// Loading a large output file into the output window, against a bare
// QPlainTextEdit, and saving it again. Each measurement runs in a process of
// its own so that its peak memory is its own:
//
//   bench_load make FILE [ENCODING] writes a 76 MB, 1,000,000-line CR LF file:
//                                   ascii (the default), utf8 (é€ in every
//                                   line) or cp1252 (é € “ ” … in every line)
//   bench_load read FILE            reads the bytes only: the floor
//   bench_load editor FILE          LoadFile into the output window until shown,
//                                   line numbers on as a new user has them
//   bench_load editor-plain FILE    the same without line numbers
//   bench_load plaintext FILE       QPlainTextEdit::setPlainText until shown
//   bench_load save FILE            LoadFile, then save the text to FILE.saved
//
// Each run prints "MODE SECONDS PEAK_MB". bench/load.sh runs them five times
// and prints the medians.
#include "core/FrameState.h"
#include "core/TextFile.h"
#include "core/UserDialogs.h"
#include "documents/EditorPreferences.h"
#include "documents/MDIOutput.h"
#include "documents/TextEditor.h"
#include "documents/WindowPrinting.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

namespace {

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

void showAndPaint(QWidget &widget)
{
    widget.resize(800, 600);
    widget.show();
    QApplication::processEvents();
    widget.repaint();
    QApplication::processEvents();
}

// Every line holds 66 bytes after its number, whatever the encoding.
QByteArray lineTail(const QString &encoding)
{
    if (encoding == QLatin1String("utf8"))
        return QByteArray(61, 'x') + "\xc3\xa9\xe2\x82\xac";
    if (encoding == QLatin1String("cp1252"))
        return QByteArray(61, 'x') + "\xe9\x80\x93\x94\x85";
    return QByteArray(66, 'x');
}

int makeFile(const QString &path, const QString &encoding)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    const QByteArray tail = lineTail(encoding);
    QByteArray block;
    for (int i = 0; i < 1000; ++i)
        block += QByteArray::number(i).rightJustified(8, '0') + tail + "\r\n";
    for (int i = 0; i < 1000; ++i)
        file.write(block);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: bench_load make|read|editor|editor-plain|plaintext|save FILE [ENCODING]\n");
        return 2;
    }
    const QString mode = QString::fromLocal8Bit(argv[1]);
    const QString path = QString::fromLocal8Bit(argv[2]);
    if (mode == QLatin1String("make"))
        return makeFile(path, argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString());

    QElapsedTimer timer;
    if (mode == QLatin1String("read")) {
        timer.start();
        if (TextFile::readBytes(path).isEmpty())
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
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, userSettings.path());
        EditorPreferences preferences;
        preferences.setLineNumbers(mode != QLatin1String("editor-plain"));
        TOutputEditForm window(WindowServices{dialogs, printing, settings, preferences});
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
    }
    std::printf("%s %.3f %.0f\n", argv[1], timer.nsecsElapsed() / 1e9, peakMegabytes());
    return 0;
}
