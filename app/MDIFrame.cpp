#include "app/MDIFrame.h"

#include "app/About.h"
#include "app/CommandLine.h"
#include "app/Defaults.h"
#include "core/Fonts.h"
#include "core/IniFile.h"
#include "core/MessagePlaces.h"
#include "core/PathHelpers.h"
#include "core/RecoveryStore.h"
#include "core/StatusTexts.h"
#include "core/UserSettings.h"
#include "documents/DocumentWindows.h"
#include "documents/FileFilters.h"
#include "documents/MDIAnother.h"
#include "documents/MDICommand.h"
#include "documents/MDIMaster.h"
#include "documents/MDIOutput.h"
#include "documents/WindowServices.h"
#include "editor/EditorPreferences.h"
#include "editor/TextEditor.h"
#include "engine/EngineLauncher.h"
#include "explorer/MDIExplorer.h"
#include "help/HelpText.h"
#include "help/KeyWordHintsBuilder.h"
#include "help/MDIHelp.h"
#include "printing/WindowPrinting.h"
#include "ui/ChildForm.h"
#include "ui/Icons.h"
#include "ui/StatusProgress.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>

TFrameForm *FrameForm = nullptr;

TFrameForm::TFrameForm(UserDialogs &dialogs, const QString &homeDir, const QStringList &arguments,
                       QWidget *parent)
    : TFrameForm(dialogs, homeDir, filesAtLines(arguments, Paths::fileExists), parent)
{}

TFrameForm::TFrameForm(UserDialogs &dialogs, const QString &homeDir, const FilesAtLines &files,
                       QWidget *parent)
    : QMainWindow(parent), m_dialogs(dialogs), m_homeDir(Paths::withTrailingSeparator(homeDir)),
      m_arguments(files), m_screenFont(defaultTextFont()),
      m_printing(
          std::make_unique<PrintContext>(dialogs, [this](const QString &text) { setStatusText(text); })),
      m_editorPreferences(std::make_unique<EditorPreferences>()),
      // The status bar takes it over (createStatusBar).
      m_progress(new StatusProgress), m_services(std::make_unique<WindowServices>(WindowServices{
                                          dialogs, *m_printing, *this, *m_editorPreferences, *m_progress})),
      m_engineLauncher(std::make_unique<ProcessEngineLauncher>()), m_helpText(std::make_unique<HelpText>())
{
    // A relative argument names a file in the folder the program was started
    // from; the settings file moves the current folder before it is opened.
    for (FileAtLine &file : m_arguments)
        file.path = Paths::absolutePath(file.path, QDir::currentPath());
    FrameForm = this;
    setObjectName(QStringLiteral("FrameForm"));
    setWindowTitle(QStringLiteral("Ostrel"));
    setWindowIcon(Icons::icon(Icons::Program));
    setAcceptDrops(true);

    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setObjectName(QStringLiteral("ClientArea"));
    // The soft grey-blue of an inactive title bar.
    m_mdiArea->setBackground(QColor(171, 185, 204));
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &TFrameForm::rebuildMenuBar);

    createActions();
    createMenus();
    createStatusBar();
    createRunLog();
    rebuildMenuBar();
}

TFrameForm::~TFrameForm()
{
    // QMdiArea announces a null active window from inside its own destructor,
    // after this frame is gone; the children go before the services they use.
    disconnect(m_mdiArea, nullptr, this, nullptr);
    delete m_mdiArea;
    if (FrameForm == this)
        FrameForm = nullptr;
}

void TFrameForm::createActions()
{
    m_runQuelm = new QAction(QStringLiteral("Execute Command File"), this);
    m_runQuelm->setObjectName(QStringLiteral("RunQuelm1"));
    m_runQuelm->setShortcut(QKeySequence(Qt::Key_F7));
    connect(m_runQuelm, &QAction::triggered, this, &TFrameForm::ExecQuelm);
    m_stopQuelm = new QAction(QStringLiteral("Stop Quelm"), this);
    m_stopQuelm->setObjectName(QStringLiteral("StopQuelm1"));
    m_stopQuelm->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F7));
    // Only a command-file run in progress can be stopped.
    m_stopQuelm->setEnabled(false);
    connect(m_stopQuelm, &QAction::triggered, this, &TFrameForm::StopQuelm);
    createMessageActions();
    m_submitMasterAction = new QAction(QStringLiteral("Submit Master File to Cluster"), this);
    m_submitMasterAction->setObjectName(QStringLiteral("SubmitMaster1"));
    // Only a master window has a file to submit.
    m_submitMasterAction->setEnabled(false);
    connect(m_submitMasterAction, &QAction::triggered, this, &TFrameForm::SubmitMasterClick);

    m_viewCurrentDir = new QAction(QStringLiteral("View Current Directory"), this);
    m_viewCurrentDir->setObjectName(QStringLiteral("ViewCurrentDir1"));
    m_viewCurrentDir->setCheckable(true);
    m_viewCurrentDir->setChecked(true);
    connect(m_viewCurrentDir, &QAction::triggered, this, &TFrameForm::ViewCurrentDir1Click);

    m_tileVertical = new QAction(QStringLiteral("Tile &Vertival"), this);
    m_tileVertical->setObjectName(QStringLiteral("TileVertival1"));
    connect(m_tileVertical, &QAction::triggered, this, &TFrameForm::TileVertical1Click);
    m_tileHorizontal = new QAction(QStringLiteral("Tile &Horizontal"), this);
    m_tileHorizontal->setObjectName(QStringLiteral("TileHorizontal1"));
    connect(m_tileHorizontal, &QAction::triggered, this, &TFrameForm::TileHorizontal1Click);
    m_cascade = new QAction(QStringLiteral("&Cascade"), this);
    m_cascade->setObjectName(QStringLiteral("Cascade1"));
    connect(m_cascade, &QAction::triggered, this, &TFrameForm::Cascade1Click);
    m_arrangeIcons = new QAction(QStringLiteral("&Arrange icons"), this);
    m_arrangeIcons->setObjectName(QStringLiteral("Arrangeicons1"));
    connect(m_arrangeIcons, &QAction::triggered, this, &TFrameForm::Arrangeicons1Click);

    m_contents = new QAction(QStringLiteral("&Key Word Search"), this);
    m_contents->setObjectName(QStringLiteral("Contents1"));
    m_contents->setShortcut(QKeySequence(Qt::Key_F1));
    connect(m_contents, &QAction::triggered, this, &TFrameForm::Contents1Click);

    m_about = new QAction(QStringLiteral("&About..."), this);
    m_about->setObjectName(QStringLiteral("About1"));
    connect(m_about, &QAction::triggered, this, &TFrameForm::AboutClick);
}

void TFrameForm::createMenus()
{
    m_executeMenu = new QMenu(QStringLiteral("E&xecute"), this);
    m_executeMenu->setObjectName(QStringLiteral("Execute1"));
    m_executeMenu->addAction(m_runQuelm);
    m_executeMenu->addAction(m_stopQuelm);
    m_executeMenu->addAction(m_submitMasterAction);
    m_executeMenu->addSeparator();
    m_executeMenu->addAction(m_nextMessage);
    m_executeMenu->addAction(m_previousMessage);
    m_executeMenu->addAction(m_messagePatterns);

    m_windowMenu = new QMenu(QStringLiteral("&Window"), this);
    m_windowMenu->setObjectName(QStringLiteral("Window1"));
    m_windowMenu->addAction(m_viewCurrentDir);
    QAction *separator = m_windowMenu->addSeparator();
    separator->setObjectName(QStringLiteral("N1"));
    m_windowMenu->addAction(m_tileVertical);
    m_windowMenu->addAction(m_tileHorizontal);
    m_windowMenu->addAction(m_cascade);
    m_windowMenu->addAction(m_arrangeIcons);
    m_windowListSeparator = m_windowMenu->addSeparator();
    connect(m_windowMenu, &QMenu::aboutToShow, this, &TFrameForm::updateWindowMenu);

    m_helpMenu = new QMenu(QStringLiteral("&Help"), this);
    m_helpMenu->setObjectName(QStringLiteral("Help1"));
    m_helpMenu->addAction(m_contents);
    m_helpMenu->addAction(m_about);
}

void TFrameForm::createStatusBar()
{
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->setSizeGripEnabled(false);
    // A label rather than a temporary message, so that hovering a menu item
    // cannot wipe the program's state out of the status line.
    m_statusLabel = new QLabel(QStringLiteral("Ostrel is Ready."), this);
    m_statusLabel->setObjectName(QStringLiteral("StatusText"));
    statusBar()->addWidget(m_statusLabel, 1);
    // Apart from the status text, which a run sets again at every tick.
    m_statusNote = new QLabel(this);
    m_statusNote->setObjectName(QStringLiteral("StatusNote"));
    m_statusNote->hide();
    statusBar()->addWidget(m_statusNote);
    statusBar()->addPermanentWidget(m_progress);
}

QString TFrameForm::statusText() const
{
    return m_statusLabel->text();
}

void TFrameForm::setStatusText(const QString &text)
{
    m_statusLabel->setText(text);
    m_statusLabel->repaint();
}

QString TFrameForm::statusNote() const
{
    return m_statusNote->text();
}

void TFrameForm::setStatusNote(const QString &text)
{
    m_statusNote->setText(text);
    m_statusNote->setVisible(!text.isEmpty());
}

QPrinter &TFrameForm::printer()
{
    return m_printing->printer();
}

QFont TFrameForm::printFont() const
{
    return m_printing->font();
}

TExplorerForm *TFrameForm::ExplorerWindow() const
{
    return m_explorerWindow;
}

THelpEditForm *TFrameForm::HelpWindow() const
{
    return m_helpWindow;
}

TMasterEditForm *TFrameForm::MasterWindow() const
{
    return m_documents ? m_documents->masterWindow() : nullptr;
}

QList<TAnotherEditForm *> TFrameForm::AnotherWindows() const
{
    return m_documents ? m_documents->anotherWindows() : QList<TAnotherEditForm *>();
}

QString TFrameForm::dataDir() const
{
    return Paths::dataFolder(m_homeDir);
}

QMdiSubWindow *TFrameForm::addChild(TChildForm *child, const QRect &bounds)
{
    wireChild(child);
    QMdiSubWindow *sub = m_mdiArea->addSubWindow(child);
    sub->setAttribute(Qt::WA_DeleteOnClose, child->testAttribute(Qt::WA_DeleteOnClose));
    sub->setWindowIcon(Icons::icon(Icons::Program));
    sub->setGeometry(bounds.isValid() ? bounds : placementFor(child->size()));
    sub->show();
    m_mdiArea->setActiveSubWindow(sub);
    return sub;
}

void TFrameForm::wireChild(TChildForm *child)
{
    connect(child, &TChildForm::newCommandClicked, this, &TFrameForm::NewCommandClick);
    connect(child, &TChildForm::openCommandClicked, this, &TFrameForm::OpenCommandClick);
    connect(child, &TChildForm::openOutputClicked, this, &TFrameForm::OpenOutputClick);
    connect(child, &TChildForm::openAnotherClicked, this, &TFrameForm::OpenAnotherClick);
    connect(child, &TChildForm::openMasterClicked, this, &TFrameForm::OpenMasterClick);
    connect(child, &TChildForm::preferencesClicked, this, &TFrameForm::PreferencesClick);
    connect(child, &TChildForm::exitClicked, this, &TFrameForm::ExitClick);
    connect(child, &TChildForm::screenFontClicked, this, &TFrameForm::ScreenFontClick);
    connect(child, &TChildForm::printFontClicked, this, &TFrameForm::PrintFontClick);
    connect(child, &TChildForm::runMasterClicked, this, &TFrameForm::ExecMaster);
    connect(child, &TChildForm::keyWordHelpClicked, this, &TFrameForm::KeyWordHelpClick);
    connect(child, &TChildForm::recentFileClicked, this, &TFrameForm::RecentFileClick);
    if (auto *explorer = qobject_cast<TExplorerForm *>(child)) {
        connect(explorer, &TExplorerForm::openCommandRequested, m_documents,
                &DocumentWindows::openCommandAsked);
        connect(explorer, &TExplorerForm::openOutputRequested, m_documents,
                &DocumentWindows::openOutputAsked);
        connect(explorer, &TExplorerForm::openAnotherRequested, m_documents, &DocumentWindows::OpenAnother);
        connect(explorer, &TChildForm::closed, this, [this] {
            m_explorerWindow = nullptr;
            m_viewCurrentDir->setChecked(false);
        });
    } else if (qobject_cast<THelpEditForm *>(child)) {
        connect(child, &TChildForm::closed, this, [this] { m_helpWindow = nullptr; });
    }
}

void TFrameForm::rebuildMenuBar()
{
    menuBar()->clear();
    QMdiSubWindow *active = m_mdiArea->activeSubWindow();
    if (auto *child = active ? qobject_cast<TChildForm *>(active->widget()) : nullptr) {
        for (QMenu *menu : child->mergedMenus())
            menuBar()->addMenu(menu);
    }
    m_submitMasterAction->setEnabled(MasterWindowOpen());
    menuBar()->addMenu(m_executeMenu);
    menuBar()->addMenu(m_windowMenu);
    menuBar()->addMenu(m_helpMenu);
}

void TFrameForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFrameForm::FormShow()
{
    const EngineDefaults engine = Defaults::engineDefaults();
    EnginePath = engine.enginePath;
    HelpFilePath = engine.helpFilePath;
    CommandFileExtension = QStringLiteral(".cf");
    OutputFileExtension = QStringLiteral(".out");

    const int w = frameGeometry().width();
    const int h = frameGeometry().height();
    const int half = (h - 85) / 2;

    m_commandWindow = new TCommandEditForm(*m_services, RunCommands{m_runQuelm, m_stopQuelm});
    m_outputWindow = new TOutputEditForm(*m_services);
    m_documents = new DocumentWindows(*m_services, *this, *m_commandWindow, *m_outputWindow, this, this);
    m_documents->setScreenFont(m_screenFont);
    connect(m_documents, &DocumentWindows::windowCreated, this,
            [this](TChildForm *window) { addChild(window); });
    connect(m_documents, &DocumentWindows::currentFolderChanged, this,
            &TFrameForm::showCurrentFolderInExplorer);
    m_documents->setSubmitMasterCommand(m_submitMasterAction);
    createRuns();
    wireMessages();
    createStudies();

    createExplorer();

    m_commandWindow->editor()->setEditorFont(m_screenFont);
    m_commandWindow->SaveFileDialog.title = QStringLiteral("Save Command File");
    m_commandWindow->makeUntitled();
    addChild(m_commandWindow, QRect(166, 4, w - 178, half - 2));

    m_outputWindow->editor()->setEditorFont(m_screenFont);
    m_outputWindow->makeUntitled();
    m_outputWindow->SaveFileDialog.title = QStringLiteral("Save Output File");
    addChild(m_outputWindow, QRect(166, half + 6, w - 178, half - 2));

    m_commandWindow->bringToFront();
    LoadIniFile();
    m_keyWordHints = new KeyWordHintsBuilder(this);
    connect(m_keyWordHints, &KeyWordHintsBuilder::built, m_documents, &DocumentWindows::setKeyWordHints);
    readHelpKeyWords();
    setStatusText(userSettingsUsable()
                      ? Defaults::startUpStatus(Paths::fileExists(iniFilePath(m_homeDir)), EnginePath)
                      : userSettingsLeftAloneText());
    applySaveDialogFilters();
    openArguments();
    restoreSession();
    startRecovery();
}

void TFrameForm::applySaveDialogFilters()
{
    m_commandWindow->SaveFileDialog.filter = FileFilters::commandFilter(CommandFileExtension);
    m_commandWindow->SaveFileDialog.defaultExtension = CommandFileExtension;
    m_outputWindow->SaveFileDialog.filter = FileFilters::outputFilter(OutputFileExtension);
    m_outputWindow->SaveFileDialog.defaultExtension = OutputFileExtension;
}

void TFrameForm::openArguments()
{
    FilesAtLines files;
    for (const FileAtLine &file : std::as_const(m_arguments)) {
        if (Paths::fileExists(file.path))
            files.append(file);
    }
    if (files.isEmpty())
        return;
    m_documents->openArguments(files);
    m_argumentWindow = m_mdiArea->activeSubWindow();
}

void TFrameForm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TFrameForm::FormResize()
{
    if (m_outputWindow) {
        QComboBox *history = m_outputWindow->fileCombo();
        history->resize(frameGeometry().width() - 200, history->height());
    }
}

void TFrameForm::closeEvent(QCloseEvent *event)
{
    for (QMdiSubWindow *sub : m_mdiArea->subWindowList()) {
        auto *child = qobject_cast<TChildForm *>(sub->widget());
        if (child && !child->FormCloseQuery()) {
            event->ignore();
            return;
        }
    }
    if (EngineRunning()) {
        m_dialogs.error(this, QStringLiteral("Close Ostrel"), QStringLiteral("Quelm is still executing"));
        event->ignore();
        return;
    }
    SaveIniFile();
    keepSession();
    keepRunLogHeight();
    // A normal end: what was not saved was let go by the user.
    if (m_recoveryStore)
        m_recoveryStore->endNormally();
    event->accept();
}

void TFrameForm::ExitClick()
{
    close();
}

std::optional<QFont> TFrameForm::chooseFont(const QFont &inUse)
{
    const QFont start = FontChoice::dialogStart(inUse);
    const std::optional<QFont> chosen = m_dialogs.chooseFont(this, start);
    if (!chosen)
        return std::nullopt;
    return FontChoice::afterDialog(inUse, start, *chosen);
}

void TFrameForm::ScreenFontClick()
{
    const std::optional<QFont> font = chooseFont(m_screenFont);
    if (!font)
        return;
    m_screenFont = *font;
    m_documents->applyScreenFont(m_screenFont);
    if (m_helpWindow)
        m_helpWindow->setViewerFont(m_screenFont);
}

void TFrameForm::PrintFontClick()
{
    if (const std::optional<QFont> font = chooseFont(m_printing->font()))
        m_printing->setFont(*font);
}

void TFrameForm::AboutClick()
{
    TAboutBox box(this);
    box.exec();
}

void TFrameForm::NewCommandClick()
{
    m_documents->NewCommandClick();
}

void TFrameForm::OpenCommandClick()
{
    m_documents->OpenCommandClick();
}

void TFrameForm::OpenCommand(const QString &path)
{
    m_documents->OpenCommand(path);
}

void TFrameForm::CommandFileComboChanged()
{
    m_documents->CommandFileComboChanged(m_commandWindow->fileCombo()->currentText());
}

void TFrameForm::OpenOutputClick()
{
    m_documents->OpenOutputClick();
}

void TFrameForm::OpenOutput(const QString &path)
{
    m_documents->OpenOutput(path);
}

void TFrameForm::OutputFileComboChanged()
{
    m_documents->OutputFileComboChanged(m_outputWindow->fileCombo()->currentText());
}

void TFrameForm::OpenAnotherClick()
{
    m_documents->OpenAnotherClick();
}

void TFrameForm::OpenAnother(const QString &path)
{
    m_documents->OpenAnother(path);
}

void TFrameForm::OpenMasterClick()
{
    m_documents->OpenMasterClick();
}
