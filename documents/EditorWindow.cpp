#include "documents/EditorWindow.h"

#include "core/ErrorGuard.h"
#include "core/FileError.h"
#include "core/FileNames.h"
#include "core/Icons.h"
#include "core/PathHelpers.h"
#include "core/TextFile.h"
#include "documents/FileHistory.h"
#include "documents/KeyWords.h"
#include "documents/TextEditor.h"
#include "documents/WindowPrinting.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

const QString TEditForm::UntitledName = QStringLiteral("Untitled");

namespace {
constexpr int SpeedBarHeight = 34;
constexpr int ButtonSize = 25;
constexpr int ButtonTop = 5;
constexpr int FileComboLeft = 200;
constexpr int FileComboTop = 7;
constexpr int FileComboWidth = 297;
constexpr int FileComboMargin = 209;
constexpr int StopButtonLeft = 192;
} // namespace

TEditForm::TEditForm(const EditorKind &kind, const WindowServices &services, QWidget *parent)
    : TChildForm(parent), m_kind(kind), m_services(services)
{
    FileName = UntitledName;
    setWindowTitle(kind.designCaption);
    resize(kind.designSize);

    m_editor = new TextEditor(this);
    m_editor->setTabInserts(kind.tabInserts);
    m_editor->setScrollBarsAlwaysOn(kind.scrollBarsAlwaysOn);

    createToolBar();
    createMenus();
    setFocusProxy(m_editor);
    m_editor->installEventFilter(this);
}

void TEditForm::createToolBar()
{
    auto *speedBar = new QWidget(this);
    speedBar->setObjectName(QStringLiteral("SpeedBar"));
    speedBar->setFixedHeight(SpeedBarHeight);

    m_openButton = addButton(speedBar, QStringLiteral("OpenButton"), 5, m_kind.openHint, Icons::open());
    m_saveButton = addButton(speedBar, QStringLiteral("SaveButton"), 30, m_kind.saveHint, Icons::save());
    m_printButton = addButton(speedBar, QStringLiteral("PrintButton"), 55, m_kind.printHint, Icons::print());
    QToolButton *cut =
        addButton(speedBar, QStringLiteral("CutButton"), 86, QStringLiteral("Cut|"), Icons::cut());
    QToolButton *copy =
        addButton(speedBar, QStringLiteral("CopyButton"), 111, QStringLiteral("Copy|"), Icons::copy());
    QToolButton *paste =
        addButton(speedBar, QStringLiteral("PasteButton"), 136, QStringLiteral("Paste|"), Icons::paste());
    if (m_kind.hasRunButton) {
        m_runButton = addButton(speedBar, QStringLiteral("RunQuelmButton"), 167, QStringLiteral("Run Quelm|"),
                                Icons::run());
        connect(m_runButton, &QToolButton::clicked, this, [this] { RunButtonClick(); });
    }
    if (m_kind.hasStopButton) {
        m_stopButton = addButton(speedBar, QStringLiteral("StopQuelmButton"), StopButtonLeft,
                                 QStringLiteral("Stop Quelm|"), Icons::stop());
        // Only a run in progress can be stopped (setRunLocked).
        m_stopButton->setEnabled(false);
        connect(m_stopButton, &QToolButton::clicked, this, &TChildForm::stopClicked);
    }

    connect(m_openButton, &QToolButton::clicked, this, [this] { OpenButtonClick(); });
    connect(m_saveButton, &QToolButton::clicked, this, &TEditForm::SaveClick);
    connect(m_printButton, &QToolButton::clicked, this, &TEditForm::PrintClick);
    connect(cut, &QToolButton::clicked, this, &TEditForm::CutClick);
    connect(copy, &QToolButton::clicked, this, &TEditForm::CopyClick);
    connect(paste, &QToolButton::clicked, this, &TEditForm::PasteClick);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(speedBar);
    layout->addWidget(m_editor, 1);

    if (m_kind.hasFileCombo) {
        // The output window's history stands on the window itself, over the
        // tool bar; the others' on the tool bar. Both look the same.
        m_fileCombo = new QComboBox(m_kind.fileComboOnToolBar ? speedBar : static_cast<QWidget *>(this));
        m_fileCombo->setObjectName(QStringLiteral("FileCombo"));
        m_fileCombo->setEditable(false);
        m_fileCombo->setMaxVisibleItems(m_kind.fileComboRows);
        // Styles that drop the list down as a menu show every entry, and a
        // long history would run off the screen.
        m_fileCombo->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
        m_fileCombo->setGeometry(FileComboLeft + fileComboShift(), FileComboTop, FileComboWidth,
                                 m_fileCombo->sizeHint().height());
        m_fileCombo->raise();
        connect(m_fileCombo, &QComboBox::activated, this,
                [this](int index) { emit historyEntryPicked(m_fileCombo->itemText(index)); });
    }
}

QToolButton *TEditForm::addButton(QWidget *bar, const QString &name, int x, const QString &hint,
                                  const QIcon &icon)
{
    auto *button = new QToolButton(bar);
    button->setObjectName(name);
    button->setGeometry(x, ButtonTop, ButtonSize, ButtonSize);
    button->setIcon(icon);
    button->setAutoRaise(true);
    // A hint is the tool tip, then "|" and the status text, which is empty.
    const QString tip = hint.section(QLatin1Char('|'), 0, 0);
    button->setToolTip(tip);
    button->setProperty("hint", hint);
    return button;
}

void TEditForm::createMenus()
{
    ChildMenus::FileItems items;
    items.openMaster = m_kind.hasOpenMaster;
    m_fileMenu = ChildMenus::createFileMenu(this, items);
    connect(m_fileMenu.save, &QAction::triggered, this, &TEditForm::SaveClick);
    connect(m_fileMenu.saveAs, &QAction::triggered, this, &TEditForm::SaveAsClick);
    connect(m_fileMenu.print, &QAction::triggered, this, &TEditForm::PrintClick);
    connect(m_fileMenu.printerSetup, &QAction::triggered, this, &TEditForm::PrintersetupClick);
    connect(m_fileMenu.printPreview, &QAction::triggered, this,
            [this] { m_services.printing.preview(this, FileName, m_editor->lines()); });
    connect(m_fileMenu.exportPdf, &QAction::triggered, this,
            [this] { m_services.printing.exportPdf(this, FileName, m_editor->lines()); });

    m_editMenu = ChildMenus::createEditMenu(this);
    connect(m_editMenu.menu, &QMenu::aboutToShow, this, &TEditForm::EditClick);
    connect(m_editMenu.cut, &QAction::triggered, this, &TEditForm::CutClick);
    connect(m_editMenu.copy, &QAction::triggered, this, &TEditForm::CopyClick);
    connect(m_editMenu.paste, &QAction::triggered, this, &TEditForm::PasteClick);
    connect(m_editMenu.selectAll, &QAction::triggered, this, &TEditForm::SelectallClick);
}

QList<QMenu *> TEditForm::mergedMenus() const
{
    return {m_fileMenu.menu, m_editMenu.menu};
}

bool TEditForm::isModified() const
{
    return m_editor->isModified();
}

bool TEditForm::guarded(const std::function<void()> &action)
{
    return runGuarded(m_services.dialogs, this, action);
}

int TEditForm::fileComboShift() const
{
    // The Stop button stands where the history begins elsewhere; the history
    // moves right by the button and the gap before it.
    return m_kind.hasStopButton ? StopButtonLeft + ButtonSize + 8 - FileComboLeft : 0;
}

void TEditForm::setRunLocked(bool locked)
{
    if (m_stopButton)
        m_stopButton->setEnabled(locked);
    for (QWidget *control : {static_cast<QWidget *>(m_runButton), static_cast<QWidget *>(m_fileCombo),
                             static_cast<QWidget *>(m_saveButton), static_cast<QWidget *>(m_openButton),
                             static_cast<QWidget *>(m_printButton)}) {
        if (control)
            control->setEnabled(!locked);
    }
    for (QAction *item : {m_fileMenu.save, m_fileMenu.saveAs, m_fileMenu.openCommand, m_fileMenu.openOutput,
                          m_fileMenu.print, m_fileMenu.printPreview, m_fileMenu.exportPdf})
        item->setEnabled(!locked);
}

void TEditForm::setCaption(const QString &caption)
{
    // A file name that is not valid UTF-8 keeps its bytes in FileName only.
    setWindowTitle(FileNames::forDisplay(caption));
}

void TEditForm::LoadFile(const QString &path)
{
    const QString previousName = FileName;
    const QString previousCaption = windowTitle();
    FileName = path;
    setCaption(Paths::filePart(path).left(255));
    try {
        m_encoding = m_editor->loadFile(path);
    } catch (const FileError &) {
        // The window keeps its old text, so it keeps its old name too: a
        // later save must not write that text over the file that failed.
        FileName = previousName;
        setCaption(previousCaption);
        throw;
    }
}

void TEditForm::clearText()
{
    m_editor->clearText();
    m_encoding = TextEncoding::Utf8;
}

void TEditForm::askToSaveAsUtf8()
{
    // Anything but a question would lose the characters the file's encoding
    // cannot hold.
    const QString question =
        QStringLiteral("%1 holds characters that Windows-1252 cannot store.\nSave it as UTF-8?")
            .arg(FileName);
    if (!m_services.dialogs.proceed(this, QStringLiteral("Confirm"), question,
                                    QStringLiteral("Save as &UTF-8")))
        throw FileError::cancelled();
}

void TEditForm::writeFile()
{
    // The text is read in place: nothing here lets an event change it.
    const std::optional<QByteArray> encoded =
        TextCodec::fromUtf8(TextFile::withCrLf(m_editor->bytesInPlace()), m_encoding);
    if (!encoded)
        askToSaveAsUtf8();
    // The question let events through, so the text is taken again.
    TextFile::writeBytes(FileName, encoded ? *encoded : TextFile::withCrLf(m_editor->bytes()));
    // A text that had to become UTF-8 stays UTF-8 from now on.
    if (!encoded)
        m_encoding = TextEncoding::Utf8;
    m_editor->setModified(false);
}

void TEditForm::makeUntitled()
{
    FileName = UntitledName;
    clearText();
    setCaption(m_kind.untitledCaption);
}

bool TEditForm::SaveClick()
{
    if (isUntitled())
        return SaveAsClick();
    return guarded([this] { writeFile(); });
}

bool TEditForm::SaveAsClick()
{
    UserDialogs::FileRequest request = SaveFileDialog;
    request.initialName = FileName;
    const std::optional<QString> chosen = m_services.dialogs.saveFile(this, request);
    if (!chosen)
        return false;
    if (QFileInfo::exists(*chosen) &&
        m_services.dialogs.confirm(this, QStringLiteral("Overwrite existing File?")) !=
            UserDialogs::Answer::Yes)
        return false;
    // A window whose text was not written keeps its name, as a failed load
    // does: else the next save, and a run, would go to a file that does not
    // hold this text.
    const QString previousName = FileName;
    FileName = *chosen;
    if (!guarded([this] { writeFile(); })) {
        FileName = previousName;
        return false;
    }
    setCaption(m_kind.saveAsPrefix + FileName);
    if (m_kind.saveAsRecordsHistory) {
        historyInserted(FileName);
        emit savedAs(FileName);
    }
    return true;
}

bool TEditForm::askToSave(const QString &question)
{
    if (!isModified())
        return true;
    switch (m_services.dialogs.confirm(this, question)) {
    case UserDialogs::Answer::Cancel:
        return false;
    case UserDialogs::Answer::No:
        return true;
    case UserDialogs::Answer::Yes:
        // Going on without a saved text would throw the user's edits away.
        return SaveClick();
    }
    return false;
}

bool TEditForm::FormCloseQuery()
{
    return askToSave(QStringLiteral("Save changes to %1?").arg(FileName));
}

void TEditForm::EditClick()
{
    ChildMenus::enableEditItems(m_editMenu, m_editor->selectionLength() > 0);
}

void TEditForm::CutClick()
{
    m_editor->cut();
}

void TEditForm::CopyClick()
{
    m_editor->copy();
}

void TEditForm::PasteClick()
{
    m_editor->paste();
}

void TEditForm::SelectallClick()
{
    m_editor->selectAll();
}

void TEditForm::PrintClick()
{
    m_services.printing.print(this, FileName, m_editor->lines());
}

void TEditForm::PrintersetupClick()
{
    m_services.printing.setUpPrinter(this);
}

void TEditForm::MyResize()
{
    if (m_fileCombo) {
        const QWidget *outer = parentWidget() ? parentWidget() : this;
        m_fileCombo->resize(outer->width() - FileComboMargin - fileComboShift(), m_fileCombo->height());
    }
    m_editor->update();
}

void TEditForm::resizeEvent(QResizeEvent *event)
{
    TChildForm::resizeEvent(event);
    MyResize();
}

bool TEditForm::eventFilter(QObject *watched, QEvent *event)
{
    // F1 on a word asks help for it; elsewhere F1 is the frame's, as ever.
    const bool key = event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress;
    if (watched == m_editor && key) {
        const auto *press = static_cast<QKeyEvent *>(event);
        if (press->key() == Qt::Key_F1 && press->modifiers() == Qt::NoModifier) {
            const QString word = EditorWords::helpWord(*m_editor);
            if (!word.isEmpty()) {
                event->accept();
                if (event->type() == QEvent::KeyPress)
                    emit keyWordHelpClicked(word);
                return true;
            }
        }
    }
    return TChildForm::eventFilter(watched, event);
}

void TEditForm::setWindowBounds(const QRect &bounds)
{
    QWidget *outer = parentWidget() ? parentWidget() : this;
    outer->setGeometry(bounds);
}

QRect TEditForm::windowBounds() const
{
    const QWidget *outer = parentWidget() ? parentWidget() : this;
    return outer->geometry();
}

QStringList TEditForm::historyEntries() const
{
    QStringList entries;
    for (int i = 0; m_fileCombo && i < m_fileCombo->count(); ++i)
        entries.append(m_fileCombo->itemText(i));
    return entries;
}

void TEditForm::setHistoryList(const QStringList &entries, int selected)
{
    if (!m_fileCombo)
        return;
    const QSignalBlocker blocker(m_fileCombo);
    m_fileCombo->clear();
    m_fileCombo->addItems(entries);
    m_fileCombo->setCurrentIndex(selected);
}

void TEditForm::setHistory(const QStringList &entries)
{
    setHistoryList(entries, -1);
}

void TEditForm::historyOpened(const QString &path)
{
    setHistoryList(FileHistory::afterOpen(historyEntries(), path), 0);
}

void TEditForm::historyInserted(const QString &path)
{
    setHistoryList(FileHistory::afterInsert(historyEntries(), path), 0);
}

void TEditForm::selectShownFile()
{
    if (!m_fileCombo)
        return;
    const QSignalBlocker blocker(m_fileCombo);
    m_fileCombo->setCurrentIndex(isUntitled() ? -1 : m_fileCombo->findText(FileName));
}
