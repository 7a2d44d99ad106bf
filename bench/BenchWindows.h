#pragma once

// The windows and frames that benchmarks make, and what they need.
#include "BenchTools.h"
#include "FrameFixture.h"
#include "app/MDIFrame.h"
#include "core/FrameState.h"
#include "documents/MDICommand.h"
#include "documents/WindowServices.h"
#include "editor/EditorPreferences.h"
#include "printing/WindowPrinting.h"
#include "ui/StatusProgress.h"
#include "ui/UserDialogs.h"

#include <QAction>
#include <QDir>
#include <QTest>

// What an editor or explorer window needs outside a frame.
struct LoneWindowServices
{
    QtUserDialogs dialogs;
    ProgramSettings settings;
    PrintContext printing{dialogs, {}};
    EditorPreferences preferences;
    StatusProgress progress;
    QAction runCommand;
    QAction stopCommand;

    WindowServices services() { return WindowServices{dialogs, printing, settings, preferences, progress}; }
    RunCommands runCommands() { return RunCommands{&runCommand, &stopCommand}; }
};

// The frame shown at 800 x 600 with command open in its command window and
// engine as the engine: ready for the run a benchmark times.
inline void readyToRun(TFrameForm &frame, const QString &engine, const QString &command)
{
    frame.resize(800, 600);
    frame.show();
    (void)QTest::qWaitForWindowExposed(&frame);
    frame.EnginePath = engine;
    frame.OpenCommand(command);
}

// A master window listing files command files in the fixture's folder, run
// by an engine of engineBody.
inline void openMasterOfFiles(FrameFixture &f, int files, const QByteArray &engineBody)
{
    const QString engine = QDir(f.home()).filePath(QStringLiteral("engine"));
    BenchTools::writeScript(engine, engineBody);
    f.frame().EnginePath = engine;
    QByteArray master;
    for (int i = 0; i < files; ++i)
        master += f.writeFile(QStringLiteral("study/run%1.cf").arg(i), "1\r\n").toUtf8() + "\r\n";
    f.dialogs.openAnswers.enqueue(f.writeFile(QStringLiteral("study.mst"), master));
    f.frame().OpenMasterClick();
}
