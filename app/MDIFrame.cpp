#include "app/MDIFrame.h"

#include "app/About.h"
#include "app/ChildForm.h"
#include "app/Defaults.h"
#include "app/ErrorGuard.h"
#include "app/Icons.h"
#include "app/IniFile.h"
#include "app/PathHelpers.h"
#include "documents/DocumentFlows.h"
#include "documents/FileFilters.h"
#include "documents/MDIAnother.h"
#include "documents/MDICommand.h"
#include "documents/MDIMaster.h"
#include "documents/MDIOutput.h"
#include "documents/TextEditor.h"
#include "engine/CommandRun.h"
#include "engine/EngineLauncher.h"
#include "engine/MasterRun.h"
#include "explorer/MDIExplorer.h"
#include "help/MDIHelp.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPrinter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>

TFrameForm *FrameForm = nullptr;

namespace {

QFont defaultFont()
{
    QFont font(QStringLiteral("Courier New"), 10);
    font.setStyleHint(QFont::Monospace);
    return font;
}

QString withTrailingSeparator(const QString &folder)
{
    const QString native = QDir::toNativeSeparators(folder);
    return native.endsWith(QDir::separator()) ? native : native + QDir::separator();
}

} // namespace

TFrameForm::TFrameForm(UserDialogs &dialogs, const QString &homeDir, const QStringList &arguments,
                       QWidget *parent)
    : QMainWindow(parent), m_dialogs(dialogs), m_arguments(arguments)
{
    FrameForm = this;
    setObjectName(QStringLiteral("FrameForm"));
    setWindowTitle(QStringLiteral("Ostrel"));
    setWindowIcon(Icons::program());
    m_screenFont = defaultFont();
    m_printFont = defaultFont();
    HomeDir = withTrailingSeparator(homeDir);
    m_flows = std::make_unique<DocumentFlows>(*this);

    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setObjectName(QStringLiteral("ClientArea"));
    // The soft grey-blue of an inactive title bar.
    m_mdiArea->setBackground(QColor(171, 185, 204));
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &TFrameForm::rebuildMenuBar);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(500);
    connect(m_timer, &QTimer::timeout, this, &TFrameForm::CheckQuelmActivation);

    createActions();
    createMenus();
    createStatusBar();
    rebuildMenuBar();
}

TFrameForm::~TFrameForm()
{
    // QMdiArea announces a null active window from inside its own destructor,
    // after this frame is gone.
    disconnect(m_mdiArea, nullptr, this, nullptr);
    if (ExplorerWindow)
        disconnect(ExplorerWindow, nullptr, this, nullptr);
    if (FrameForm == this)
        FrameForm = nullptr;
}

void TFrameForm::createActions()
{
    m_runQuelm = new QAction(QStringLiteral("Execute Command File"), this);
    m_runQuelm->setObjectName(QStringLiteral("RunQuelm1"));
    m_runQuelm->setShortcut(QKeySequence(Qt::Key_F7));
    connect(m_runQuelm, &QAction::triggered, this, &TFrameForm::ExecQuelm);

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
    m_executeMenu = new QMenu(QStringLiteral("Execute"), this);
    m_executeMenu->setObjectName(QStringLiteral("Execute1"));
    m_executeMenu->addAction(m_runQuelm);

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

QPrinter &TFrameForm::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

bool TFrameForm::guarded(const std::function<void()> &action)
{
    return runGuarded(m_dialogs, this, action);
}

QString TFrameForm::dataDir() const
{
    return Paths::dataFolder(HomeDir);
}

QMdiSubWindow *TFrameForm::addChild(TChildForm *child, const QRect &bounds)
{
    QMdiSubWindow *sub = m_mdiArea->addSubWindow(child);
    sub->setAttribute(Qt::WA_DeleteOnClose, child->testAttribute(Qt::WA_DeleteOnClose));
    sub->setWindowIcon(Icons::program());
    if (bounds.isValid())
        sub->setGeometry(bounds);
    else
        sub->setGeometry(placementFor(child->size()));
    sub->show();
    m_mdiArea->setActiveSubWindow(sub);
    return sub;
}

QRect TFrameForm::placementFor(const QSize &designSize) const
{
    // A new window gets its design size, as far as the client area allows,
    // one cascade step further down than the window before it.
    const QSize area = m_mdiArea->viewport()->size();
    const QSize size = designSize.boundedTo(area);
    const int step = 24 * static_cast<int>(m_mdiArea->subWindowList().size() % 8);
    const int x = qBound(0, step, area.width() - size.width());
    const int y = qBound(0, step, area.height() - size.height());
    return QRect(QPoint(x, y), size);
}

void TFrameForm::rebuildMenuBar()
{
    menuBar()->clear();
    QMdiSubWindow *active = m_mdiArea->activeSubWindow();
    if (auto *child = active ? qobject_cast<TChildForm *>(active->widget()) : nullptr) {
        for (QMenu *menu : child->mergedMenus())
            menuBar()->addMenu(menu);
    }
    menuBar()->addMenu(m_executeMenu);
    menuBar()->addMenu(m_windowMenu);
    menuBar()->addMenu(m_helpMenu);
}

void TFrameForm::updateWindowMenu()
{
    // The window list follows the last separator.
    const QList<QAction *> actions = m_windowMenu->actions();
    for (qsizetype i = actions.indexOf(m_windowListSeparator) + 1; i < actions.size(); ++i) {
        m_windowMenu->removeAction(actions.at(i));
        delete actions.at(i);
    }
    const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList();
    m_windowListSeparator->setVisible(!windows.isEmpty());
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow *sub = windows.at(i);
        const QString text = QStringLiteral("&%1 %2").arg(i + 1).arg(sub->windowTitle());
        QAction *action = m_windowMenu->addAction(text);
        action->setCheckable(true);
        action->setChecked(sub == m_mdiArea->activeSubWindow());
        connect(action, &QAction::triggered, this, [this, sub] { m_mdiArea->setActiveSubWindow(sub); });
    }
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
    HelpWindowOpen = false;
    MasterWindowOpen = false;
    setStatusText(QStringLiteral("Ready."));
    const EngineDefaults engine = Defaults::engineDefaults();
    EnginePath = engine.enginePath;
    HelpFilePath = engine.helpFilePath;
    CommandFileExtension = QStringLiteral(".cf");
    OutputFileExtension = QStringLiteral(".out");
    EngineRunning = false;

    const int w = frameGeometry().width();
    const int h = frameGeometry().height();
    const int half = (h - 85) / 2;

    createExplorer();

    CommandWindow = new TCommandEditForm;
    CommandWindow->editor()->setEditorFont(m_screenFont);
    CommandWindow->SaveFileDialog.title = QStringLiteral("Save Command File");
    CommandWindow->setCaption(Captions::Command + Captions::Untitled);
    addChild(CommandWindow, QRect(166, 4, w - 178, half - 2));

    OutputWindow = new TOutputEditForm;
    OutputWindow->editor()->setEditorFont(m_screenFont);
    OutputWindow->setCaption(Captions::Output + Captions::Untitled);
    OutputWindow->SaveFileDialog.title = QStringLiteral("Save Output File");
    addChild(OutputWindow, QRect(166, half + 6, w - 178, half - 2));

    CommandWindow->bringToFront();
    LoadIniFile();
    setStatusText(Defaults::startUpStatus(Paths::fileExists(iniFilePath(HomeDir)), EnginePath));
    applySaveDialogFilters();
    openFirstArgument();
}

void TFrameForm::applySaveDialogFilters()
{
    CommandWindow->SaveFileDialog.filter = FileFilters::commandFilter(CommandFileExtension);
    CommandWindow->SaveFileDialog.defaultExtension = CommandFileExtension;
    OutputWindow->SaveFileDialog.filter = FileFilters::outputFilter(OutputFileExtension);
    OutputWindow->SaveFileDialog.defaultExtension = OutputFileExtension;
}

void TFrameForm::openFirstArgument()
{
    if (m_arguments.isEmpty() || !Paths::fileExists(m_arguments.constFirst()))
        return;
    m_flows->openArgument(QFileInfo(m_arguments.constFirst()).absoluteFilePath());
}

void TFrameForm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TFrameForm::FormResize()
{
    if (OutputWindow)
        OutputWindow->fileCombo()->resize(frameGeometry().width() - 200, OutputWindow->fileCombo()->height());
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
    if (EngineRunning) {
        m_dialogs.error(this, QStringLiteral("Close Ostrel"), QStringLiteral("Quelm is still executing"));
        event->ignore();
        return;
    }
    SaveIniFile();
    event->accept();
}

void TFrameForm::ExitClick()
{
    close();
}

void TFrameForm::tileInLine(bool sideBySide)
{
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *sub : m_mdiArea->subWindowList()) {
        if (sub->isVisible() && !sub->isMinimized())
            windows.append(sub);
    }
    if (windows.isEmpty())
        return;
    const QRect area = m_mdiArea->viewport()->rect();
    const int n = static_cast<int>(windows.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow *sub = windows.at(i);
        if (sub->isMaximized())
            sub->showNormal();
        if (sideBySide) {
            const int left = area.width() * i / n;
            sub->setGeometry(left, 0, area.width() * (i + 1) / n - left, area.height());
        } else {
            const int top = area.height() * i / n;
            sub->setGeometry(0, top, area.width(), area.height() * (i + 1) / n - top);
        }
    }
}

void TFrameForm::TileVertical1Click()
{
    tileInLine(true);
}

void TFrameForm::TileHorizontal1Click()
{
    tileInLine(false);
}

void TFrameForm::Cascade1Click()
{
    m_mdiArea->cascadeSubWindows();
}

void TFrameForm::Arrangeicons1Click()
{
    // Minimised windows line up along the bottom of the client area, left to
    // right, in rows that grow upwards.
    const QRect area = m_mdiArea->viewport()->rect();
    int x = 0;
    int row = 0;
    for (QMdiSubWindow *sub : m_mdiArea->subWindowList()) {
        if (!sub->isMinimized())
            continue;
        const QSize size = sub->size();
        if (x > 0 && x + size.width() > area.width()) {
            x = 0;
            ++row;
        }
        sub->move(x, area.height() - (row + 1) * size.height());
        x += size.width();
    }
}

void TFrameForm::ScreenFontClick()
{
    const std::optional<QFont> font = m_dialogs.chooseFont(this, m_screenFont);
    if (!font)
        return;
    m_screenFont = *font;
    CommandWindow->editor()->setEditorFont(m_screenFont);
    OutputWindow->editor()->setEditorFont(m_screenFont);
    if (HelpWindowOpen && HelpWindow)
        HelpWindow->setViewerFont(m_screenFont);
    for (TAnotherEditForm *window : std::as_const(AnotherWindows))
        window->editor()->setEditorFont(m_screenFont);
}

void TFrameForm::PrintFontClick()
{
    if (const std::optional<QFont> font = m_dialogs.chooseFont(this, m_printFont))
        m_printFont = *font;
}

void TFrameForm::AboutClick()
{
    TAboutBox box(this);
    box.exec();
}

void TFrameForm::Contents1Click()
{
    ShowHelpWindow(*this);
}

void TFrameForm::NewCommandClick()
{
    m_flows->NewCommandClick();
}

void TFrameForm::OpenCommandClick()
{
    m_flows->OpenCommandClick();
}

void TFrameForm::OpenCommand(const QString &path)
{
    m_flows->OpenCommand(path);
}

void TFrameForm::CommandFileComboChanged()
{
    m_flows->CommandFileComboChanged();
}

void TFrameForm::OpenOutputClick()
{
    m_flows->OpenOutputClick();
}

void TFrameForm::OpenOutput(const QString &path)
{
    m_flows->OpenOutput(path);
}

void TFrameForm::OutputFileComboChanged()
{
    m_flows->OutputFileComboChanged();
}

void TFrameForm::OpenAnotherClick()
{
    m_flows->OpenAnotherClick();
}

void TFrameForm::OpenAnother(const QString &path)
{
    m_flows->OpenAnother(path);
}

void TFrameForm::OpenMasterClick()
{
    m_flows->OpenMasterClick();
}

void TFrameForm::anotherWindowClosed(TAnotherEditForm *window)
{
    AnotherWindows.removeOne(window);
    for (int i = 0; i < AnotherCount(); ++i)
        AnotherWindows.at(i)->AnotherIndex = i + 1;
}

void TFrameForm::masterWindowClosed()
{
    MasterWindow = nullptr;
    MasterWindowOpen = false;
}

void TFrameForm::ExecQuelm()
{
    CommandRun(*this).ExecQuelm();
}

void TFrameForm::CheckQuelmActivation()
{
    CommandRun(*this).CheckQuelmActivation();
}

void TFrameForm::ExecMaster()
{
    MasterRun(*this).ExecMaster();
}

EngineLauncher &TFrameForm::engineLauncher()
{
    if (!m_engineLauncher)
        m_engineLauncher = std::make_unique<ProcessEngineLauncher>();
    return *m_engineLauncher;
}

void TFrameForm::setEngineLauncher(std::unique_ptr<EngineLauncher> launcher)
{
    m_engineLauncher = std::move(launcher);
}
