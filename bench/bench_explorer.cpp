// The explorer and a folder of 100,000 files. Prints medians of 5 runs.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_explorer [list|refresh] [file count]
//
// list     FollowCurrentDirectory from another folder, then the window painted.
// refresh  one file added to the shown folder: the time until the list shows
//          it (the watcher's signal, the pause that gathers a burst of
//          changes, the reading and the painting); the refresh alone (the
//          file list read again with one file more, painted); and as its
//          floor, reading and sorting the folder's names without a list.

#include "BenchWindows.h"
#include "core/FrameState.h"
#include "documents/WindowServices.h"
#include "editor/EditorPreferences.h"
#include "explorer/ExplorerRules.h"
#include "explorer/FileListBox.h"
#include "explorer/MDIExplorer.h"
#include "printing/WindowPrinting.h"
#include "ui/StatusProgress.h"
#include "ui/UserDialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

qint64 median(std::vector<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void touch(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        std::fprintf(stderr, "cannot create %s\n", qPrintable(path));
}

int refresh(TExplorerForm &form, const QString &folder)
{
    QDir::setCurrent(folder);
    form.FollowCurrentDirectory();
    auto *files = form.findChild<FileListBox *>(QStringLiteral("FileListBox"));
    files->setMask(QStringLiteral("*.*"));
    files->setCurrentRow(files->count() / 2);
    QCoreApplication::processEvents();

    std::vector<qint64> shown;
    std::vector<qint64> work;
    std::vector<qint64> floor;
    for (int run = 0; run < 5; ++run) {
        const int before = files->count();
        QElapsedTimer timer;
        timer.start();
        touch(QDir(folder).filePath(QStringLiteral("added%1.cf").arg(run)));
        while (files->count() == before && timer.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        form.repaint();
        shown.push_back(timer.nsecsElapsed() / 1000);

        touch(QDir(folder).filePath(QStringLiteral("again%1.cf").arg(run)));
        timer.start();
        files->reread();
        form.repaint();
        work.push_back(timer.nsecsElapsed() / 1000);
        QCoreApplication::processEvents();

        timer.start();
        const QStringList names = Explorer::folderEntries(folder, Explorer::EntryKind::Files);
        floor.push_back(timer.nsecsElapsed() / 1000);
        std::printf("run %d: shown after %.1f ms, refresh %.1f ms, reading %.1f ms; %d listed, row %d "
                    "selected\n",
                    run + 1, shown.back() / 1000.0, work.back() / 1000.0, floor.back() / 1000.0,
                    files->count(), files->currentRow());
    }
    std::printf("median of 5, %lld files: shown after %.1f ms, refresh %.1f ms, reading (floor) %.1f ms\n",
                static_cast<long long>(files->count()), median(shown) / 1000.0, median(work) / 1000.0,
                median(floor) / 1000.0);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const bool refreshing = argc > 1 && QByteArray(argv[1]) == "refresh";
    const int countArgument =
        argc > 1 && (QByteArray(argv[1]) == "refresh" || QByteArray(argv[1]) == "list") ? 2 : 1;
    const int count = argc > countArgument ? std::max(1, atoi(argv[countArgument])) : 100000;

    QTemporaryDir big;
    QTemporaryDir empty;
    for (int i = 0; i < count; ++i) {
        QFile file(big.filePath(QStringLiteral("file%1.cf").arg(i, 6, 10, QLatin1Char('0'))));
        if (!file.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "cannot create %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }

    LoneWindowServices lone;
    lone.settings = ProgramSettings{QString(), QString(), QStringLiteral(".cf"), QStringLiteral(".out")};
    QDir::setCurrent(empty.path());
    TExplorerForm form(lone.services());
    form.resize(158, 600);
    form.show();
    QCoreApplication::processEvents();
    if (refreshing) {
        const int status = refresh(form, big.path());
        QDir::setCurrent(QDir::tempPath());
        return status;
    }

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
