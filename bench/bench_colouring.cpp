// Keyword colouring of a 1 MB command file in the command window. Prints the
// medians of 7 runs of:
//   open plain      LoadFile of the file until the window is painted, no keywords
//   open coloured   the same with the help file's keywords coloured
//   whole file      colouring every line of the loaded file at once, which
//                   the window never does (it colours what is on the screen)
//   finding         of that, finding the keywords in the text
//   typing          one key typed in the coloured window until painted
// The first is the floor of the second; the difference is what colouring
// costs when a file is opened.
//
//   QT_QPA_PLATFORM=offscreen build-release/bench/bench_colouring [megabytes]

#include "BenchTools.h"
#include "BenchWindows.h"
#include "core/FrameState.h"
#include "documents/MDICommand.h"
#include "editor/EditorPreferences.h"
#include "editor/KeyWordColouring.h"
#include "editor/KeyWords.h"
#include "editor/TextEditor.h"
#include "help/KeyWordIndex.h"
#include "printing/WindowPrinting.h"
#include "ui/StatusProgress.h"
#include "ui/UserDialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <ctime>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

using BenchTools::median;

// The demo engine's keywords, single letters included.
const char *const KeyWords[] = {"scale", "ibase",    "obase",  "last", "print",  "if",   "while", "for",
                                "break", "continue", "define", "auto", "return", "halt", "quit",  "read",
                                "sqrt",  "length",   "s",      "c",    "a",      "l",    "e",     "j"};

QByteArray helpText()
{
    QString text;
    for (const char *keyWord : KeyWords)
        text += QStringLiteral("##%1\r\nWhat %1 does, in a line or two.\r\nSee also: scale.\r\n")
                    .arg(QLatin1String(keyWord));
    return text.toUtf8();
}

// A command file of about megabytes MB in the style of the demo's examples.
QByteArray commandFile(int megabytes)
{
    const QByteArray block = "/* compound interest, paid monthly */\r\n"
                             "define round2(x) {\r\n"
                             "    auto s\r\n"
                             "    s = scale\r\n"
                             "    scale = 2\r\n"
                             "    x = (x + 0.005) / 1\r\n"
                             "    scale = s\r\n"
                             "    return (x)\r\n"
                             "}\r\n"
                             "for (y = 1; y <= 10; y++) {\r\n"
                             "    print y, \"   \", round2(p * (1 + r / 12) ^ (12 * y)), \"\\n\"\r\n"
                             "    total = total + sqrt(y) + s(y) + c(y) + l(y + 1)\r\n"
                             "}\r\n";
    QByteArray text;
    while (text.size() < megabytes * 1024 * 1024)
        text += block;
    return text;
}

// The processor time of this thread, which a busy machine does not inflate.
double threadMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

void paint(QWidget &widget)
{
    widget.repaint();
    QApplication::processEvents();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int megabytes = argc > 1 ? std::max(1, atoi(argv[1])) : 1;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.cf"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(commandFile(megabytes)) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    const auto hints = std::make_shared<const KeyWordHints>(BuildKeyWordHints(helpText(), 8, 100));

    LoneWindowServices lone;
    std::vector<double> plain;
    std::vector<double> coloured;
    std::vector<double> whole;
    std::vector<double> wholeCpu;
    std::vector<double> finding;
    std::vector<double> typing;
    for (int run = 0; run < 7; ++run) {
        for (const bool colour : {false, true}) {
            TCommandEditForm window(lone.services(), lone.runCommands());
            window.resize(800, 600);
            window.show();
            QApplication::processEvents();
            KeyWordColouring *colouring = colour ? new KeyWordColouring(window.editor(), hints) : nullptr;
            QElapsedTimer timer;
            timer.start();
            window.LoadFile(path);
            paint(window);
            (colour ? coloured : plain).push_back(timer.nsecsElapsed() / 1e6);
            if (!colouring)
                continue;

            TextEditor *editor = window.editor();
            const long lines = editor->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT);
            const double cpuStart = threadMilliseconds();
            timer.start();
            colouring->colourLines(0, lines - 1);
            whole.push_back(timer.nsecsElapsed() / 1e6);
            wholeCpu.push_back(threadMilliseconds() - cpuStart);
            const QByteArray text = editor->bytes();
            timer.start();
            const auto ranges = hints->keyWordRanges(text.constData(), text.size(), true);
            finding.push_back(timer.nsecsElapsed() / 1e6);
            if (ranges.isEmpty())
                std::fprintf(stderr, "no keywords found\n");

            editor->setFocus();
            QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
            timer.start();
            QApplication::sendEvent(editor, &press);
            paint(window);
            typing.push_back(timer.nsecsElapsed() / 1e6);
        }
    }
    std::printf("%d MB command file, median of 7 runs:\n", megabytes);
    std::printf("  open plain     %7.1f ms\n", median(plain));
    std::printf("  open coloured  %7.1f ms  (+%.1f ms)\n", median(coloured),
                median(coloured) - median(plain));
    std::printf("  whole file     %7.1f ms  (%.1f ms of processor time)\n", median(whole), median(wholeCpu));
    std::printf("    finding      %7.1f ms\n", median(finding));
    std::printf("  typing         %7.1f ms\n", median(typing));
    return 0;
}
