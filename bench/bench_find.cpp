// Finding a word in a large output file, through the output window's find bar:
// a 76 MB file of 1,000,000 lines (bench_load's ASCII file) whose last line
// alone holds the word, searched from the start of the text. Reports the
// median of five runs for each kind of search and, in the same run, of grep
// counting the same matches in the same file as a process of its own (in a
// UTF-8 locale), and as the floor a bare memmem() over the editor's own
// buffer.
//
//   bench_find [--scintilla]
//
// --scintilla also times Scintilla's own SCI_SEARCHINTARGET on the same text
// once, the search the find bar does not use.
#include "BenchTools.h"
#include "BenchWindows.h"
#include "core/FrameState.h"
#include "core/UserSettings.h"
#include "documents/MDIOutput.h"
#include "editor/EditorPreferences.h"
#include "editor/TextEditor.h"
#include "printing/WindowPrinting.h"
#include "search/FindBar.h"
#include "ui/StatusProgress.h"
#include "ui/UserDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

using BenchTools::median;

constexpr int Runs = 5;

bool makeFile(const QString &path, const QByteArray &lastLine)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray block;
    for (int i = 0; i < 1000; ++i)
        block += QByteArray::number(i).rightJustified(8, '0') + QByteArray(66, 'x') + "\r\n";
    for (int i = 0; i < 1000; ++i)
        file.write(block);
    file.write(lastLine);
    return true;
}

// The median time of run; false when a run did not find what it should.
double timed(const std::function<bool()> &run, bool &ok)
{
    std::vector<double> seconds;
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        ok = run() && ok;
        seconds.push_back(timer.nsecsElapsed() / 1e9);
    }
    return median(seconds);
}

// grep with options over path, start to end of its process; false when it
// did not count one line.
bool grepCounts(const QStringList &options, const QString &pattern, const QString &path)
{
    QProcess grep;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    grep.setProcessEnvironment(environment);
    grep.start(QStringLiteral("grep"), options + QStringList{pattern, path});
    return grep.waitForFinished(60000) && grep.readAllStandardOutput().trimmed() == "1";
}

void setOption(FindBar &bar, const char *name, bool on)
{
    auto *button = bar.findChild<QAbstractButton *>(QLatin1String(name));
    button->setChecked(on);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const bool withScintilla = argc > 1 && std::strcmp(argv[1], "--scintilla") == 0;

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("big.out"));
    if (!makeFile(path, "the last line holds the Zebrafish and the Ärger\r\n"))
        return 1;
    setUserSettingsFolder(folder.path());
    LoneWindowServices lone;
    TOutputEditForm window(lone.services());
    window.LoadFile(path);
    window.resize(800, 600);
    window.show();
    QApplication::processEvents();

    TextEditor *editor = window.editor();
    auto *bar = window.findChild<FindBar *>();
    auto *findText = bar->findChild<QLineEdit *>(QStringLiteral("FindText"));
    const long lastLineStart = editor->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, 1000000L);
    const auto findFromStart = [&] {
        editor->setCaretPosition(0);
        return bar->findNext() &&
               editor->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART) >= lastLineStart;
    };

    struct Search
    {
        const char *name;
        const char *text;
        bool matchCase;
        bool wholeWord;
        bool regularExpression;
        // The grep that counts the same matches.
        const char *grepOptions;
    };
    const Search searches[] = {
        {"find (any case)", "zebrafish", false, false, false, "-ci"},
        {"find, match case", "Zebrafish", true, false, false, "-c"},
        {"find, whole word", "zebrafish", false, true, false, "-ciw"},
        {"find, any case beyond ASCII", "ärger", false, false, false, "-ci"},
        {"find, regular expression", "Zebra[a-z]*", false, false, true, "-ciE"},
    };
    bool ok = true;
    for (const Search &search : searches) {
        findText->setText(QString::fromUtf8(search.text));
        setOption(*bar, "MatchCase", search.matchCase);
        setOption(*bar, "WholeWord", search.wholeWord);
        setOption(*bar, "RegularExpression", search.regularExpression);
        const double find = timed(findFromStart, ok);
        const QStringList grepOptions{QString::fromLatin1(search.grepOptions)};
        const double grep =
            timed([&] { return grepCounts(grepOptions, QString::fromUtf8(search.text), path); }, ok);
        std::printf("%-30s median %.3f s   grep %-5s median %.3f s   %.2f times grep\n", search.name, find,
                    search.grepOptions, grep, find / grep);
    }

    // The floor: the bytes scanned where they lie, nothing else.
    const long length = editor->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const auto bareScan = [&] {
        const auto *text = reinterpret_cast<const char *>(
            editor->SendScintilla(QsciScintillaBase::SCI_GETRANGEPOINTER, 0UL, length));
        const void *at = memmem(text, size_t(length), "Zebrafish", 9);
        return at != nullptr;
    };
    std::printf("%-30s median %.3f s\n", "floor: memmem on the buffer", timed(bareScan, ok));

    if (withScintilla) {
        QElapsedTimer timer;
        timer.start();
        editor->SendScintilla(QsciScintillaBase::SCI_SETSEARCHFLAGS, 0L);
        editor->SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE, 0UL, length);
        const long at = editor->SendScintilla(QsciScintillaBase::SCI_SEARCHINTARGET, 9UL, "zebrafish");
        ok = at >= lastLineStart && ok;
        std::printf("%-30s once   %.3f s\n", "SCI_SEARCHINTARGET (any case)", timer.nsecsElapsed() / 1e9);
    }
    if (!ok) {
        std::fprintf(stderr, "bench_find: a search did not find the last line\n");
        return 1;
    }
    return 0;
}
