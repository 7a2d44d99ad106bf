#include "documents/DocumentWindows.h"

#include "core/PathHelpers.h"
#include "core/RecentFiles.h"
#include "documents/FileFilters.h"
#include "documents/MDIAnother.h"
#include "documents/MDICommand.h"
#include "documents/MDIMaster.h"
#include "documents/MDIOutput.h"
#include "editor/KeyWordColouring.h"
#include "editor/KeyWordCompletion.h"
#include "editor/TextEditor.h"
#include "ui/ErrorGuard.h"

#include <QDir>

namespace {
const QString CommandQuestion = QStringLiteral("Save changes to current command file?");
const QString OutputQuestion = QStringLiteral("Save changes to current output file?");
} // namespace

DocumentWindows::DocumentWindows(const WindowServices &services, ShownFiles &files, TCommandEditForm &command,
                                 TOutputEditForm &output, QWidget *dialogParent, QObject *parent)
    : QObject(parent), m_services(services), m_files(files), m_command(command), m_output(output),
      m_dialogParent(dialogParent)
{
    connect(&m_command, &TEditForm::historyEntryPicked, this, &DocumentWindows::CommandFileComboChanged);
    connect(&m_output, &TEditForm::historyEntryPicked, this, &DocumentWindows::OutputFileComboChanged);
    connect(&m_command, &TEditForm::savedAs, this,
            [this](const QString &path) { recordSavedAs(m_command, path); });
    connect(&m_output, &TEditForm::savedAs, this,
            [this](const QString &path) { recordSavedAs(m_output, path); });
    connect(&m_output, &TOutputEditForm::lineActivated, this, &DocumentWindows::outputLineChosen);
}

TMasterEditForm *DocumentWindows::masterWindow() const
{
    return m_master;
}

void DocumentWindows::setKeyWordHints(SharedKeyWordHints hints)
{
    m_keyWordHints = std::move(hints);
    colourKeyWords(m_command);
    if (m_master)
        colourKeyWords(*m_master);
}

void DocumentWindows::colourKeyWords(TEditForm &window)
{
    if (auto *colouring = window.editor()->findChild<KeyWordColouring *>())
        colouring->setHints(m_keyWordHints);
    else if (m_keyWordHints)
        new KeyWordColouring(window.editor(), m_keyWordHints);
    if (auto *completion = window.editor()->findChild<KeyWordCompletion *>())
        completion->setHints(m_keyWordHints);
    else if (m_keyWordHints)
        new KeyWordCompletion(window.editor(), m_keyWordHints, m_services.editorPreferences);
}

DocumentWindows::Target DocumentWindows::commandTarget()
{
    const QString ext = m_services.settings.CommandFileExtension;
    return {m_command,
            &ShownFiles::CommandFileName,
            CommandQuestion,
            QStringLiteral("Open Command File"),
            FileFilters::commandFilter(ext),
            ext,
            Captions::Command};
}

DocumentWindows::Target DocumentWindows::outputTarget()
{
    const QString ext = m_services.settings.OutputFileExtension;
    return {m_output,
            &ShownFiles::OutputFileName,
            OutputQuestion,
            QStringLiteral("Open Output File"),
            FileFilters::outputFilter(ext),
            ext,
            Captions::Output};
}

DocumentWindows::Target DocumentWindows::targetOf(const TEditForm &window)
{
    return &window == &m_command ? commandTarget() : outputTarget();
}

void DocumentWindows::applyScreenFont(const QFont &font)
{
    m_screenFont = font;
    m_command.editor()->setEditorFont(font);
    m_output.editor()->setEditorFont(font);
    for (TAnotherEditForm *window : std::as_const(m_another))
        window->editor()->setEditorFont(font);
}

bool DocumentWindows::mayReplace(TEditForm &window, const QString &question)
{
    return window.askToSave(question) != TEditForm::SaveOutcome::Cancelled;
}

void DocumentWindows::makeUntitled(const Target &target)
{
    (m_files.*target.frameFileName).clear();
    target.window.makeUntitled();
    target.window.selectShownFile();
}

void DocumentWindows::NewCommandClick()
{
    if (!mayReplace(m_command, CommandQuestion))
        return;
    makeUntitled(commandTarget());
    m_command.bringToFront();
}

void DocumentWindows::openClick(const Target &target)
{
    if (!mayReplace(target.window, target.question))
        return;
    const UserDialogs::FileRequest request{target.openTitle, target.filter, target.extension, QString()};
    const std::optional<QString> chosen = m_services.dialogs.openFile(m_dialogParent, request);
    if (!chosen || chosen->isEmpty())
        return;
    open(target, *chosen);
}

bool DocumentWindows::show(const Target &target, const QString &path)
{
    if (!target.window.tryLoadFile(path))
        return false;
    // Only a file that was read becomes the frame's file: a run saves the
    // window's text and runs the engine on this name.
    m_files.*target.frameFileName = path;
    target.window.setCaption(target.captionPrefix + path);
    target.window.bringToFront();
    // A file of the last run's messages shows their marks however it opens.
    markMessages(target.window);
    return true;
}

void DocumentWindows::open(const Target &target, const QString &givenPath)
{
    const QString path = Paths::absolutePath(givenPath, QDir::currentPath());
    if (!show(target, path))
        return;
    target.window.editor()->update();
    target.window.historyOpened(path);
    RecentFiles::add(path);
    QDir::setCurrent(Paths::directoryPart(path));
    emit currentFolderChanged(false);
}

bool DocumentWindows::showCommandFile(const QString &path)
{
    return show(commandTarget(), path);
}

bool DocumentWindows::showRunOutput(const QString &path, const std::optional<FileSnapshot> &shownWhole)
{
    if (shownWhole && showsRunOutput(path)) {
        m_output.adoptGrowingFile(*shownWhole);
        m_files.OutputFileName = path;
        m_output.setCaption(Captions::Output + path);
        m_output.bringToFront();
        m_output.historyInserted(path);
        return true;
    }
    if (!show(outputTarget(), path)) {
        // The run is over: the name goes back to the file the window shows.
        m_files.OutputFileName = m_output.isUntitled() ? QString() : m_output.FileName;
        return false;
    }
    m_output.historyInserted(path);
    return true;
}

void DocumentWindows::followRunOutput(const QString &path)
{
    m_output.showGrowingFile(path);
    m_output.setCaption(Captions::Output + path);
    m_files.OutputFileName = path;
}

bool DocumentWindows::showsRunOutput(const QString &path) const
{
    return !m_output.isUntitled() && m_output.FileName == path && m_files.OutputFileName == path;
}

void DocumentWindows::nameRunOutput(const QString &path)
{
    m_files.OutputFileName = path;
}

void DocumentWindows::historyPicked(const Target &target, const QString &picked)
{
    if (mayReplace(target.window, target.question)) {
        if (Paths::fileExists(picked))
            open(target, picked);
        else
            m_services.dialogs.error(m_dialogParent, QStringLiteral("Open"),
                                     QStringLiteral("Cannot read selected file."));
    }
    // After Cancel, a missing file or a failed open the window still shows
    // its own file; the list says so.
    target.window.selectShownFile();
}

void DocumentWindows::recordSavedAs(TEditForm &window, const QString &path)
{
    m_files.*targetOf(window).frameFileName = path;
    QDir::setCurrent(Paths::directoryPart(path));
    emit currentFolderChanged(true);
}

void DocumentWindows::OpenCommandClick()
{
    openClick(commandTarget());
}

void DocumentWindows::OpenCommand(const QString &path)
{
    open(commandTarget(), path);
}

void DocumentWindows::CommandFileComboChanged(const QString &picked)
{
    historyPicked(commandTarget(), picked);
}

void DocumentWindows::OpenOutputClick()
{
    openClick(outputTarget());
}

void DocumentWindows::OpenOutput(const QString &path)
{
    open(outputTarget(), path);
}

void DocumentWindows::OutputFileComboChanged(const QString &picked)
{
    historyPicked(outputTarget(), picked);
}

void DocumentWindows::openCommandAsked(const QString &path)
{
    if (mayReplace(m_command, CommandQuestion))
        OpenCommand(path);
}

void DocumentWindows::openOutputAsked(const QString &path)
{
    if (mayReplace(m_output, OutputQuestion))
        OpenOutput(path);
}

bool DocumentWindows::askToSaveOutput()
{
    return mayReplace(m_output, OutputQuestion);
}

void DocumentWindows::OpenAnotherClick()
{
    const ProgramSettings &settings = m_services.settings;
    const UserDialogs::FileRequest request{
        QStringLiteral("Open Another File"),
        FileFilters::anotherFilter(settings.CommandFileExtension, settings.OutputFileExtension),
        QStringLiteral(".mst"), QString()};
    const std::optional<QString> chosen = m_services.dialogs.openFile(m_dialogParent, request);
    if (!chosen || chosen->isEmpty())
        return;
    OpenAnother(*chosen);
}

void DocumentWindows::OpenAnother(const QString &givenPath)
{
    const QString path = Paths::absolutePath(givenPath, QDir::currentPath());
    if (newAnother(path))
        RecentFiles::add(path);
}

void DocumentWindows::restoreAnother(const QString &path)
{
    newAnother(path);
}

TAnotherEditForm *DocumentWindows::newAnother(const QString &path)
{
    TAnotherEditForm *window = createAnother();
    const bool loaded = window->tryLoadFile(path);
    if (loaded) {
        window->editor()->setEditorFont(m_screenFont);
        window->setCaption(Captions::Other + path);
        markMessages(*window);
    } else {
        // A window that did not read its file would only show an empty
        // text under the file's name; it goes again.
        anotherClosed(window);
        window->parentWidget()->deleteLater();
        return nullptr;
    }
    return window;
}

TAnotherEditForm *DocumentWindows::createAnother()
{
    auto *window = new TAnotherEditForm(m_services);
    m_another.append(window);
    window->AnotherIndex = int(m_another.size());
    connect(window, &TEditForm::closed, this, [this, window] { anotherClosed(window); });
    emit windowCreated(window);
    return window;
}

TMasterEditForm *DocumentWindows::createMaster()
{
    auto *window = new TMasterEditForm(m_services, m_submitMaster);
    m_master = window;
    connect(window, &TEditForm::closed, this, [this] { m_master = nullptr; });
    colourKeyWords(*window);
    emit windowCreated(window);
    return window;
}

QList<TEditForm *> DocumentWindows::recoverableWindows() const
{
    QList<TEditForm *> windows{&m_command};
    if (m_master)
        windows.append(m_master);
    for (TAnotherEditForm *window : m_another)
        windows.append(window);
    return windows;
}

QString DocumentWindows::kindName(const TEditForm &window)
{
    if (qobject_cast<const TCommandEditForm *>(&window))
        return QStringLiteral("command");
    if (qobject_cast<const TMasterEditForm *>(&window))
        return QStringLiteral("master");
    return QStringLiteral("another");
}

TEditForm *DocumentWindows::showRecoveredText(const QString &kind, const QString &fileName,
                                              const QByteArray &text)
{
    TEditForm *window = nullptr;
    QString prefix;
    // A window that holds recovered text already keeps it.
    if (kind == QLatin1String("command") && !m_command.isModified()) {
        window = &m_command;
        prefix = Captions::Command;
        makeUntitled(commandTarget());
    } else if (kind == QLatin1String("master")) {
        // One master window at most: a second text goes to a window of its own.
        window = m_master ? static_cast<TEditForm *>(createAnother()) : createMaster();
        prefix = static_cast<TEditForm *>(m_master.data()) == window ? Captions::Master : Captions::Other;
    } else if (kind == QLatin1String("another") || kind == QLatin1String("command")) {
        window = createAnother();
        prefix = Captions::Other;
    }
    if (!window)
        return nullptr;
    window->editor()->setEditorFont(m_screenFont);
    const bool titled = !fileName.isEmpty();
    if (titled && !(Paths::fileExists(fileName) && window->tryLoadFile(fileName)))
        window->FileName = fileName;
    if (titled) {
        window->setCaption(prefix + fileName);
        if (window == &m_command)
            m_files.CommandFileName = fileName;
    }
    window->showUnsavedText(text);
    window->bringToFront();
    return window;
}

void DocumentWindows::anotherClosed(TAnotherEditForm *window)
{
    m_another.removeOne(window);
    for (int i = 0; i < m_another.size(); ++i)
        m_another.at(i)->AnotherIndex = i + 1;
}

void DocumentWindows::OpenMasterClick()
{
    if (m_master)
        return;
    const UserDialogs::FileRequest request{QStringLiteral("Open Master File"), FileFilters::masterFilter(),
                                           QStringLiteral(".txt"), QString()};
    const std::optional<QString> chosen = m_services.dialogs.openFile(m_dialogParent, request);
    if (chosen)
        openMaster(*chosen);
}

void DocumentWindows::openMaster(const QString &path)
{
    if (newMaster(path) && !path.isEmpty())
        RecentFiles::add(path, true);
}

void DocumentWindows::restoreMaster(const QString &path)
{
    newMaster(path);
}

TMasterEditForm *DocumentWindows::newMaster(const QString &path)
{
    if (m_master)
        return nullptr;
    TMasterEditForm *window = createMaster();
    if (path.isEmpty())
        return window;
    if (!window->tryLoadFile(path))
        return nullptr;
    window->editor()->setEditorFont(m_screenFont);
    window->setCaption(Captions::Master + path);
    return window;
}

void DocumentWindows::openArguments(const FilesAtLines &files)
{
    if (files.isEmpty())
        return;
    makeUntitled(commandTarget());
    makeUntitled(outputTarget());

    const ProgramSettings &settings = m_services.settings;
    bool commandTaken = false;
    bool outputTaken = false;
    for (const FileAtLine &file : files) {
        const QString extension = Paths::asciiLower(Paths::extension(file.path, Paths::windowsSeparators()));
        // A second command or output file would replace the first one's
        // text: it goes into a window of its own instead.
        if (extension == Paths::asciiLower(settings.CommandFileExtension) && !commandTaken) {
            commandTaken = true;
            OpenCommand(file.path);
            showPlace(m_command, file);
        } else if (extension == Paths::asciiLower(settings.OutputFileExtension) && !outputTaken) {
            outputTaken = true;
            OpenOutput(file.path);
            showPlace(m_output, file);
        } else {
            OpenAnother(file.path);
            if (!m_another.isEmpty() && m_another.constLast()->FileName == file.path)
                showPlace(*m_another.constLast(), file);
        }
    }
}

void DocumentWindows::showPlace(TEditForm &window, const FileAtLine &place)
{
    if (place.line > 0 && window.FileName == place.path)
        window.editor()->goToLine(place.line, place.column);
}

void DocumentWindows::reopen(TEditForm &window, const QStringList &history)
{
    window.setHistory(history);
    if (history.isEmpty() || !Paths::fileExists(history.first()))
        return;
    // A file that exists but cannot be read leaves the window untitled, and
    // start-up goes on.
    const QString &path = history.first();
    if (!window.tryLoadFile(path))
        return;
    window.selectShownFile();
    m_files.*targetOf(window).frameFileName = path;
    window.setCaption(targetOf(window).captionPrefix + path);
}
