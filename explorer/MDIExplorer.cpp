#include "explorer/MDIExplorer.h"

#include "core/FrameState.h"
#include "documents/FileFilters.h"
#include "explorer/DirectoryListBox.h"
#include "explorer/DriveComboBox.h"
#include "explorer/ExplorerRules.h"
#include "explorer/FileListBox.h"
#include "explorer/FilterComboBox.h"
#include "printing/WindowPrinting.h"
#include "ui/UserDialogs.h"

#include <QAction>
#include <QDir>
#include <QHBoxLayout>
#include <QMenu>
#include <QVBoxLayout>

namespace {

const QColor Aqua(0, 255, 255);

QWidget *panel(const char *name, QWidget *parent)
{
    auto *widget = new QWidget(parent);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// A fixed-height strip holding one widget at the given distance from its top.
QWidget *strip(int height, int top, QWidget *content, QWidget *parent)
{
    auto *widget = new QWidget(parent);
    widget->setFixedHeight(height);
    auto *layout = new QHBoxLayout(widget);
    layout->setContentsMargins(0, top, 0, 0);
    layout->addWidget(content, 0, Qt::AlignLeft | Qt::AlignTop);
    return widget;
}

void paintAqua(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, Aqua);
    palette.setColor(QPalette::Button, Aqua);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::ButtonText, Qt::black);
    widget->setPalette(palette);
}

} // namespace

TExplorerForm::TExplorerForm(const WindowServices &services, QWidget *parent)
    : TChildForm(parent), m_services(services)
{
    setObjectName(QStringLiteral("TExplorerForm"));
    setWindowTitle(QStringLiteral("Directory"));
    // Closing destroys the window; the frame learns of it through destroyed().
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    setPalette(palette);
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(13);
    setFont(arial);

    createLists();
    createMenus();

    const ProgramSettings &settings = m_services.settings;
    m_filterBox->setFilter(
        FileFilters::explorerFilter(settings.CommandFileExtension, settings.OutputFileExtension));
    FollowCurrentDirectory();
}

void TExplorerForm::createLists()
{
    QWidget *panel1 = panel("Panel1", this);
    QWidget *panel2 = panel("Panel2", panel1);
    panel2->setFixedHeight(177);

    m_driveBox = new DriveComboBox;
    m_driveBox->setObjectName(QStringLiteral("DriveComboBox"));
    m_driveBox->setFixedWidth(150);
    m_directoryBox = new DirectoryListBox;
    m_directoryBox->setObjectName(QStringLiteral("DirectoryListBox"));
    m_filterBox = new FilterComboBox;
    m_filterBox->setObjectName(QStringLiteral("FilterComboBox"));
    m_filterBox->setFixedWidth(150);
    m_fileBox = new FileListBox;
    m_fileBox->setObjectName(QStringLiteral("FileListBox"));
    for (QWidget *list : {static_cast<QWidget *>(m_driveBox), static_cast<QWidget *>(m_directoryBox),
                          static_cast<QWidget *>(m_filterBox), static_cast<QWidget *>(m_fileBox)})
        paintAqua(list);

    auto *top = new QVBoxLayout(panel2);
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(0);
    top->addWidget(strip(30, 5, m_driveBox, panel2));
    top->addWidget(m_directoryBox, 1);
    top->addSpacing(3);
    top->addWidget(strip(27, 0, m_filterBox, panel2));

    auto *inner = new QVBoxLayout(panel1);
    inner->setContentsMargins(0, 0, 0, 0);
    inner->setSpacing(0);
    inner->addWidget(panel2);
    inner->addWidget(m_fileBox, 1);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(panel1);

    connect(m_driveBox, &DriveComboBox::driveChosen, this, &TExplorerForm::DriveComboBoxOnChange);
    connect(m_directoryBox, &DirectoryListBox::directoryChanged, this,
            &TExplorerForm::DirectoryListBoxOnChange);
    connect(m_directoryBox, &DirectoryListBox::cannotEnter, this, &TExplorerForm::showCannotEnter);
    connect(m_fileBox, &FileListBox::cannotRead, this, &TExplorerForm::showCannotEnter);
    connect(m_filterBox, &FilterComboBox::maskChanged, m_fileBox, &FileListBox::setMask);
    connect(m_fileBox, &QListWidget::itemDoubleClicked, this, &TExplorerForm::FileListDblClick);
    connect(m_fileBox, &FileListBox::openRequested, this, &TExplorerForm::FileListDblClick);
}

void TExplorerForm::createMenus()
{
    ChildMenus::FileItems items;
    items.newCaption = QStringLiteral("New...");
    items.newForwards = false;
    items.saveShortcut = QKeySequence(Qt::Key_F5);
    items.saveAsShortcut = QKeySequence(Qt::Key_F6);
    // The explorer has nothing to save or print; the items stay for a
    // familiar menu.
    items.canSave = false;
    items.canPrint = false;
    m_fileMenu = ChildMenus::createFileMenu(this, items);
    connect(m_fileMenu.printerSetup, &QAction::triggered, this,
            [this] { m_services.printing.setUpPrinter(this); });
    m_editMenu = ChildMenus::createEditMenu(this);
}

QList<QMenu *> TExplorerForm::mergedMenus() const
{
    return {m_fileMenu.menu, m_editMenu.menu};
}

int TExplorerForm::filterIndex() const
{
    return m_filterBox->currentIndex();
}

void TExplorerForm::setFilterIndex(int index)
{
    if (index >= 0 && index < m_filterBox->count())
        m_filterBox->setCurrentIndex(index);
}

void TExplorerForm::FollowCurrentDirectory()
{
    const QString current = QDir::currentPath();
    // The current folder may have been deleted under us; there is nothing
    // to show then, and the lists keep what they had.
    if (current.isEmpty())
        return;
    m_directoryBox->setDirectory(current);
    m_driveBox->setDrive(DriveComboBox::driveOf(m_directoryBox->directory()));
}

void TExplorerForm::RereadFileList()
{
    m_fileBox->reread();
}

void TExplorerForm::FileListDblClick()
{
    const QString path = m_fileBox->fileName();
    if (path.isEmpty())
        return;
    const ProgramSettings &settings = m_services.settings;
    switch (Explorer::windowForFile(path, settings.CommandFileExtension, settings.OutputFileExtension)) {
    case Explorer::TargetWindow::Command:
        emit openCommandRequested(path);
        break;
    case Explorer::TargetWindow::Output:
        emit openOutputRequested(path);
        break;
    case Explorer::TargetWindow::Another:
        emit openAnotherRequested(path);
        break;
    }
}

void TExplorerForm::DriveComboBoxOnChange(const QString &root)
{
    // A drive that cannot be entered leaves the window on the folder it showed.
    if (!m_directoryBox->setDrive(root))
        m_driveBox->setDrive(DriveComboBox::driveOf(m_directoryBox->directory()));
}

void TExplorerForm::DirectoryListBoxOnChange(const QString &path)
{
    m_fileBox->setDirectory(path);
    // On Linux a subfolder may be another volume's root.
    m_driveBox->setDrive(DriveComboBox::driveOf(path));
}

void TExplorerForm::showCannotEnter(const QString &path, const QString &reason)
{
    m_services.dialogs.error(
        this, QStringLiteral("Directory"),
        QStringLiteral("Cannot open directory %1: %2.").arg(QDir::toNativeSeparators(path), reason));
}
