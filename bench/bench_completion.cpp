// Keyword completion with a help file of 100,000 keywords (about 20 MB).
// Prints the medians of 7 runs of:
//   hints          reading the keywords' hints for colouring, as before
//   with index     the same with the keyword list and the sorted index that
//                  completion searches, once, as the frame does when it reads
//                  the help file
//   away           the same built as the frame builds it, on a thread of
//                  its own: how long it takes, and the longest gap of the
//                  event loop meanwhile (a user typing waits no longer)
//   floor key      one key typed in the command window without completion,
//                  until the window is painted
//   key, list      the same with the list open and narrowed by the key
//                  (and the caret's place beside it)
//   offer          Ctrl+Space on "kw" (the first 200 of 100,000 keywords)
//                  until the list is painted
// Goal: a key with the list open costs no more than a few milliseconds over
// the floor, so the list never holds typing up.
//
//   QT_QPA_PLATFORM=offscreen build-release/bench/bench_completion

#include "BenchFiles.h"
#include "BenchTools.h"
#include "BenchWindows.h"
#include "core/FrameState.h"
#include "documents/MDICommand.h"
#include "editor/EditorPreferences.h"
#include "editor/KeyWordCompletion.h"
#include "editor/KeyWords.h"
#include "editor/TextEditor.h"
#include "help/KeyWordHintsBuilder.h"
#include "help/KeyWordIndex.h"
#include "printing/WindowPrinting.h"
#include "ui/StatusProgress.h"
#include "ui/UserDialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTemporaryDir>

#include "core/UserSettings.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

using BenchTools::median;

// A key typed into the editor, until the window has painted what it did.
double typeKey(QWidget &window, QWidget *editor, Qt::Key key, Qt::KeyboardModifiers modifiers,
               const QString &text)
{
    QElapsedTimer timer;
    timer.start();
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(editor, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(editor, &release);
    // The list follows the key once the key's own events are done.
    QApplication::processEvents();
    QApplication::processEvents();
    window.repaint();
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir userFolder;
    setUserSettingsFolder(userFolder.path());
    const QByteArray help = BenchFiles::helpFile();

    std::vector<double> hintsOnly;
    std::vector<double> index;
    SharedKeyWordHints hints;
    for (int run = 0; run < 7; ++run) {
        QElapsedTimer timer;
        timer.start();
        const QHash<QString, QString> table = BuildKeyWordHints(help, 8, 100);
        hintsOnly.push_back(timer.nsecsElapsed() / 1e6);
        if (table.isEmpty())
            std::fprintf(stderr, "no hints\n");
        timer.start();
        hints = std::make_shared<const KeyWordHints>(BuildKeyWordHints(help, 8, 100), BuildKeyWordList(help));
        index.push_back(timer.nsecsElapsed() / 1e6);
    }

    std::vector<double> awayMs;
    std::vector<double> awayGaps;
    for (int run = 0; run < 7; ++run) {
        KeyWordHintsBuilder builder;
        bool built = false;
        QObject::connect(&builder, &KeyWordHintsBuilder::built, [&built] { built = true; });
        QElapsedTimer timer;
        timer.start();
        awayGaps.push_back(BenchTools::longestGapWhile(0, [&] {
            builder.build(help);
            while (!built)
                QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }));
        awayMs.push_back(timer.nsecsElapsed() / 1e6);
    }

    LoneWindowServices lone;
    std::vector<double> floor;
    std::vector<double> withList;
    std::vector<double> offer;
    for (int run = 0; run < 7; ++run) {
        for (const bool complete : {false, true}) {
            TCommandEditForm window(lone.services(), lone.runCommands());
            window.resize(800, 600);
            window.show();
            QApplication::setActiveWindow(&window);
            TextEditor *editor = window.editor();
            editor->setFocus();
            QApplication::processEvents();
            auto *completion = complete ? new KeyWordCompletion(editor, hints, lone.preferences) : nullptr;
            typeKey(window, editor, Qt::Key_K, Qt::NoModifier, QStringLiteral("k"));
            typeKey(window, editor, Qt::Key_W, Qt::NoModifier, QStringLiteral("w"));
            if (completion) {
                offer.push_back(typeKey(window, editor, Qt::Key_Space, Qt::ControlModifier, QString()));
                if (!completion->isOffering())
                    std::fprintf(stderr, "no list offered\n");
            }
            (complete ? withList : floor)
                .push_back(typeKey(window, editor, Qt::Key_0, Qt::NoModifier, QStringLiteral("0")));
            if (completion && !completion->isOffering())
                std::fprintf(stderr, "the list went away\n");
        }
    }
    std::printf("100,000 keywords, median of 7 runs:\n");
    std::printf("  hints          %7.1f ms\n", median(hintsOnly));
    std::printf("  with index     %7.1f ms  (+%.1f ms)\n", median(index), median(index) - median(hintsOnly));
    std::printf("  away           %7.1f ms  (longest gap of the event loop meanwhile %.1f ms)\n",
                median(awayMs), median(awayGaps));
    std::printf("  floor key      %7.2f ms\n", median(floor));
    std::printf("  key, list      %7.2f ms  (+%.2f ms)\n", median(withList),
                median(withList) - median(floor));
    std::printf("  offer          %7.2f ms\n", median(offer));
    return 0;
}
