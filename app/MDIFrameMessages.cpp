// The frame's side of the messages that name places: the Execute commands
// that step through them, the user's own message forms, and what a run
// leaves behind for them.
#include "app/MDIFrame.h"
#include "app/MessagePatternsDialog.h"
#include "core/MessagePlaces.h"
#include "documents/DocumentWindows.h"
#include "documents/MDIOutput.h"
#include "editor/TextEditor.h"
#include "engine/CommandRun.h"
#include "engine/MasterRun.h"
#include "engine/RunLog.h"
#include "engine/RunLogView.h"
#include "engine/RunMessages.h"

#include <QAction>
#include <QDockWidget>

#include <algorithm>

namespace {

// As many as the Run Log keeps lines.
constexpr int MostMessages = RunLog::DefaultLineLimit;
// A larger output is not searched for messages at the end of every run:
// that would hold the program up for the size of a results file.
constexpr qsizetype LargestSearchedOutput = qsizetype(8) * 1024 * 1024;

} // namespace

void TFrameForm::createMessageActions()
{
    m_nextMessage = new QAction(QStringLiteral("Next Message"), this);
    m_nextMessage->setObjectName(QStringLiteral("NextMessage1"));
    m_nextMessage->setShortcut(QKeySequence(Qt::Key_F8));
    connect(m_nextMessage, &QAction::triggered, this, [this] {
        if (m_documents)
            m_documents->nextMessage();
    });
    m_previousMessage = new QAction(QStringLiteral("Previous Message"), this);
    m_previousMessage->setObjectName(QStringLiteral("PreviousMessage1"));
    m_previousMessage->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F8));
    connect(m_previousMessage, &QAction::triggered, this, [this] {
        if (m_documents)
            m_documents->previousMessage();
    });
    m_messagePatterns = new QAction(QStringLiteral("Message Patterns..."), this);
    m_messagePatterns->setObjectName(QStringLiteral("MessagePatterns1"));
    connect(m_messagePatterns, &QAction::triggered, this, &TFrameForm::MessagePatternsClick);
}

void TFrameForm::wireMessages()
{
    m_messageForms = std::make_unique<MessagePatterns>(MessagePatterns::stored());
    connect(m_documents, &DocumentWindows::placeStatus, this, &TFrameForm::sayOfPlace);
    connect(m_documents, &DocumentWindows::outputLineActivated, this, &TFrameForm::goToMessage);
    connect(static_cast<RunLogView *>(m_runLogDock->widget()), &RunLogView::lineActivated, this,
            &TFrameForm::goToMessage);
    for (RunControl *run :
         {static_cast<RunControl *>(m_commandRun), static_cast<RunControl *>(m_masterRun)}) {
        connect(run, &RunControl::started, this, [this] {
            m_documents->clearRunMessages();
            // The command-file run's header is in the log already.
            m_runLogMark = std::max<qint64>(0, m_runLog->addedLineCount() - 1);
        });
        connect(run, &RunControl::finished, this, [this, run] { collectRunMessages(run == m_commandRun); });
    }
    connect(m_commandRun, &CommandRun::lockChanged, m_documents, &DocumentWindows::setRunLocked);
}

void TFrameForm::sayOfPlace(const QString &text)
{
    // A run in progress sets its status text again at every tick.
    if (EngineRunning())
        setStatusNote(text);
    else
        setStatusText(text);
}

void TFrameForm::goToMessage(const QString &line, const QString &commandFile)
{
    const std::optional<MessagePlace> place = m_messageForms->find(line);
    if (!place) {
        sayOfPlace(QStringLiteral("This line names no place in a file."));
        return;
    }
    const QString runFile = commandFile.isEmpty() ? CommandFileName : commandFile;
    if (m_documents->goToPlace(placeFilePath(*place, runFile), place->line, place->column))
        sayOfPlace(place->message);
}

void TFrameForm::collectRunMessages(bool withOutput)
{
    std::vector<LocatedMessage> messages = RunMessages::inRunLog(
        m_runLog->linesAddedSince(m_runLogMark), *m_messageForms, CommandFileName, MostMessages);
    const TextEditor *output = m_outputWindow->editor();
    if (withOutput && output->length() <= LargestSearchedOutput) {
        const QStringList lines = QString::fromUtf8(output->bytes()).split(QLatin1Char('\n'));
        std::vector<LocatedMessage> more = RunMessages::inOutput(lines, *m_messageForms, CommandFileName,
                                                                 MostMessages - int(messages.size()));
        messages.insert(messages.end(), more.begin(), more.end());
    }
    m_documents->setRunMessages(std::move(messages));
}

void TFrameForm::MessagePatternsClick()
{
    MessagePatternsDialog dialog(m_dialogs, MessagePatterns::stored(), this);
    if (!m_dialogs.showDialog(dialog))
        return;
    MessagePatterns::store(dialog.patterns());
    m_messageForms = std::make_unique<MessagePatterns>(dialog.patterns());
}
