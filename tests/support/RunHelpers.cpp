#include "RunHelpers.h"

#include "FrameFixture.h"
#include "documents/EditorWindow.h"
#include "engine/EngineLauncher.h"
#include "engine/LaunchScript.h"
#include "engine/MasterProgress.h"

#include <QComboBox>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QtTest>

namespace RunHelpers {

QByteArray engineBody(const QString &log, const QByteArray &between)
{
    const QByteArray quotedLog = QFile::encodeName(LaunchScript::posixQuoted(log));
    return "printf 'start %s\\n' \"$1\" >>" + quotedLog + "\n" + between +
           "\nprintf '%s\\n' \"$1\"\npwd\nprintf 'end %s\\n' \"$1\" >>" + quotedLog + "\n";
}

QString makeEngine(FrameFixture &f, const QByteArray &body, bool executable)
{
    const QString path = f.writeFile(QStringLiteral("engines/engine"), "#!/bin/sh\n" + body);
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (executable)
        permissions |= QFile::ExeOwner;
    QFile::setPermissions(path, permissions);
    f.frame().EnginePath = path;
    return path;
}

QString makeLoggingEngine(FrameFixture &f, const QByteArray &between)
{
    return makeEngine(f, engineBody(logPath(f), between));
}

QString logPath(const FrameFixture &f)
{
    return f.home() + QStringLiteral("/engine.log");
}

QStringList logOf(const FrameFixture &f)
{
    const QString text = QString::fromUtf8(f.readFile(logPath(f)));
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString openCommand(FrameFixture &f, const QString &name, const QByteArray &text)
{
    const QString path = f.writeFile(name, text);
    f.frame().OpenCommand(path);
    return path;
}

void openMaster(FrameFixture &f, const QByteArray &text, const QString &name)
{
    f.dialogs.openAnswers.enqueue(f.writeFile(name, text));
    f.frame().OpenMasterClick();
}

void letGo(const QString &commandFile)
{
    QFile gate(commandFile + QStringLiteral(".go"));
    QVERIFY(gate.open(QIODevice::WriteOnly));
}

void execMasterWatching(TFrameForm &frame, const std::function<void(MasterProgress &)> &whileShown)
{
    QTimer watcher;
    watcher.setInterval(20);
    QObject::connect(&watcher, &QTimer::timeout, &frame, [&whileShown] {
        auto *progress = qobject_cast<MasterProgress *>(QApplication::activeModalWidget());
        if (progress && progress->isVisible())
            whileShown(*progress);
    });
    watcher.start();
    frame.ExecMaster();
}

void waitUntilEnded(EngineRun &run)
{
    QEventLoop loop;
    QObject::connect(&run, &EngineRun::ended, &loop, &QEventLoop::quit);
    while (run.isRunning())
        loop.exec();
}

bool runEnded(TFrameForm &frame)
{
    return QTest::qWaitFor([&frame] { return !frame.EngineRunning(); }, EndTimeout);
}

TEditForm *activeWindow(TFrameForm &frame)
{
    QMdiSubWindow *sub = frame.mdiArea()->activeSubWindow();
    return sub ? qobject_cast<TEditForm *>(sub->widget()) : nullptr;
}

} // namespace RunHelpers
