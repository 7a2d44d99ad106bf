// Times the explorer showing a folder of 100,000 files: FollowCurrentDirectory
// from another folder, then the window painted. Prints the median of 5 runs.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_explorer [file count]

#include "core/FrameState.h"
#include "core/UserDialogs.h"
#include "documents/EditorPreferences.h"
#include "documents/WindowPrinting.h"
#include "documents/WindowServices.h"
#include "explorer/FileListBox.h"
#include "explorer/MDIExplorer.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 100000;

    QTemporaryDir big;
    QTemporaryDir empty;
    for (int i = 0; i < count; ++i) {
        QFile file(big.filePath(QStringLiteral("file%1.cf").arg(i, 6, 10, QLatin1Char('0'))));
        if (!file.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "cannot create %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }

    QtUserDialogs dialogs;
    ProgramSettings settings{QString(), QString(), QStringLiteral(".cf"), QStringLiteral(".out")};
    PrintContext printing(dialogs, {});
    EditorPreferences preferences;
    QDir::setCurrent(empty.path());
    TExplorerForm form(WindowServices{dialogs, printing, settings, preferences});
    form.resize(158, 600);
    form.show();
    QCoreApplication::processEvents();

    std::vector<qint64> runs;
    for (int run = 0; run < 5; ++run) {
        QDir::setCurrent(empty.path());
        form.FollowCurrentDirectory();
        QCoreApplication::processEvents();

        QDir::setCurrent(big.path());
        QElapsedTimer timer;
        timer.start();
        form.FollowCurrentDirectory();
        form.repaint();
        QCoreApplication::processEvents();
        runs.push_back(timer.elapsed());

        const int listed = form.findChild<FileListBox *>(QStringLiteral("FileListBox"))->count();
        std::printf("run %d: %lld ms, %d files listed\n", run + 1, static_cast<long long>(runs.back()),
                    listed);
    }
    std::sort(runs.begin(), runs.end());
    std::printf("median of 5: %lld ms for %d files\n", static_cast<long long>(runs[2]), count);
    QDir::setCurrent(QDir::tempPath());
    return 0;
}
