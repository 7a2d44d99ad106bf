// The places that a run's messages name: showing them in the windows, the
// marks beside their lines, and stepping from one to the next.
#include "core/FileNames.h"
#include "core/FileRoutes.h"
#include "core/PathHelpers.h"
#include "documents/DocumentWindows.h"
#include "documents/MDIAnother.h"
#include "documents/MDICommand.h"
#include "documents/MDIMaster.h"
#include "documents/MDIOutput.h"
#include "editor/MessageMarks.h"
#include "editor/TextEditor.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace {

// The name a file is known by whatever link or folder it is reached through.
QString canonical(const QString &path)
{
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? path : resolved;
}

bool samePath(const QString &a, const QString &b)
{
    return a == b || canonical(a) == canonical(b);
}

// The file's lines as the editor counts them: a line ends at a line feed, a
// carriage return or both, and the text after the last end is a line too.
long countLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    long ends = 0;
    bool afterReturn = false;
    QByteArray chunk;
    while (!(chunk = file.read(1 << 20)).isEmpty()) {
        for (const char c : std::as_const(chunk)) {
            if (c == '\r' || (c == '\n' && !afterReturn))
                ++ends;
            afterReturn = c == '\r';
        }
    }
    return ends + 1;
}

} // namespace

QList<TEditForm *> DocumentWindows::editorWindows() const
{
    QList<TEditForm *> windows{&m_command, &m_output};
    if (m_master)
        windows.append(m_master.data());
    for (TAnotherEditForm *window : m_another)
        windows.append(window);
    return windows;
}

TEditForm *DocumentWindows::windowShowing(const QString &path) const
{
    for (TEditForm *window : editorWindows()) {
        if (!window->isUntitled() && samePath(window->FileName, path))
            return window;
    }
    return nullptr;
}

bool DocumentWindows::goToPlace(const QString &path, int line, int column)
{
    const QString name = FileNames::forDisplay(path);
    // A window still shows the text of a file deleted since.
    TEditForm *window = windowShowing(path);
    if (!window && !Paths::fileExists(path)) {
        emit placeStatus(QStringLiteral("Cannot show %1: the file is gone.").arg(name));
        return false;
    }
    const long lines = window ? window->editor()->fileLineCount() : countLines(path);
    if (line > lines) {
        emit placeStatus(QStringLiteral("Cannot show line %1 of %2: the file has %3 lines.")
                             .arg(QString::number(line), name, QString::number(lines)));
        return false;
    }
    if (!window)
        window = openForPlace(path);
    if (!window)
        return false;
    window->bringToFront();
    window->editor()->goToLine(line, column);
    window->editor()->setFocus();
    return true;
}

TEditForm *DocumentWindows::openForPlace(const QString &path)
{
    // As a double-click in the explorer routes a file.
    const ProgramSettings &settings = m_services.settings;
    const FileRoutes::TargetWindow route =
        FileRoutes::windowForFile(path, settings.CommandFileExtension, settings.OutputFileExtension);
    const bool command = route == FileRoutes::TargetWindow::Command;
    TEditForm *window = nullptr;
    if (route != FileRoutes::TargetWindow::Another) {
        if (m_runLocked) {
            emit placeStatus(
                QStringLiteral("Not opened while Quelm runs, which holds the command and output windows: %1.")
                    .arg(FileNames::forDisplay(Paths::filePart(path))));
            return nullptr;
        }
        const Target target = command ? commandTarget() : outputTarget();
        if (!mayReplace(target.window, target.question))
            return nullptr;
        open(target, path);
        if (target.window.FileName == path)
            window = &target.window;
    } else {
        const qsizetype before = m_another.size();
        OpenAnother(path);
        if (m_another.size() > before)
            window = m_another.last();
    }
    return window;
}

void DocumentWindows::setRunMessages(std::vector<LocatedMessage> messages)
{
    clearRunMessages();
    QHash<QString, QString> canonicalOf;
    for (LocatedMessage &message : messages) {
        auto known = canonicalOf.constFind(message.path);
        if (known == canonicalOf.constEnd())
            known = canonicalOf.insert(message.path, canonical(message.path));
        message.path = *known;
    }
    m_messages = std::move(messages);
    for (TEditForm *window : editorWindows())
        markMessages(*window);
}

void DocumentWindows::clearRunMessages()
{
    m_messages.clear();
    m_messageAt = -1;
    for (TEditForm *window : editorWindows())
        markMessages(*window);
}

void DocumentWindows::markMessages(TEditForm &window) const
{
    // A new text has lost the marks of the old one, but not their margin.
    if (auto *marks = window.editor()->findChild<MessageMarks *>())
        marks->clear();
    if (m_messages.empty() || window.isUntitled())
        return;
    const QString file = canonical(window.FileName);
    MessageMarks &marks = MessageMarks::of(*window.editor());
    for (const LocatedMessage &message : m_messages) {
        if (message.path == file)
            marks.add(message.line, message.message);
    }
}

void DocumentWindows::nextMessage()
{
    stepMessages(1);
}

void DocumentWindows::previousMessage()
{
    stepMessages(-1);
}

void DocumentWindows::stepMessages(int step)
{
    if (m_messages.empty()) {
        emit placeStatus(QStringLiteral("The last run left no messages that name a line."));
        return;
    }
    const int count = int(m_messages.size());
    // Back from before the first message is the last one.
    const int at = m_messageAt < 0 && step < 0 ? count - 1 : m_messageAt + step;
    if (at < 0 || at >= count) {
        emit placeStatus(step > 0 ? QStringLiteral("That was the last message.")
                                  : QStringLiteral("That was the first message."));
        return;
    }
    m_messageAt = at;
    const LocatedMessage &message = m_messages.at(std::size_t(at));
    // The user may have added or removed lines above the message's line
    // since the run: its mark has moved with it.
    int line = message.line;
    if (TEditForm *window = windowShowing(message.path)) {
        if (auto *marks = window->editor()->findChild<MessageMarks *>())
            line = marks->lineNow(line);
    }
    if (goToPlace(message.path, line, message.column))
        emit placeStatus(QStringLiteral("Message %1 of %2: %3").arg(at + 1).arg(count).arg(message.message));
}

void DocumentWindows::outputLineChosen(int line)
{
    QString text = m_output.editor()->text(line);
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r')))
        text.chop(1);
    // The output file lies beside the command file of its run, as a
    // command-file run writes it.
    const QString besideOutput =
        m_output.isUntitled()
            ? QString()
            : Paths::changeExtension(m_output.FileName, m_services.settings.CommandFileExtension);
    emit outputLineActivated(text, Paths::fileExists(besideOutput) ? besideOutput : m_files.CommandFileName);
}
