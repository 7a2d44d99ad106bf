#include "documents/EditorWindow.h"

#include "core/ErrorGuard.h"
#include "core/FileError.h"
#include "core/FileNames.h"
#include "core/Icons.h"
#include "core/PathHelpers.h"
#include "core/TextFile.h"
#include "core/WorkProgress.h"
#include "documents/DiskChangeBar.h"
#include "documents/EditorPreferences.h"
#include "documents/FileHistory.h"
#include "documents/FileSnapshot.h"
#include "documents/FindBar.h"
#include "documents/GoToLineBar.h"
#include "documents/InfoBar.h"
#include "documents/KeyWords.h"
#include "documents/TextEditor.h"
#include "documents/WindowPrinting.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
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
    createBars();
    createMenus();
    setFocusProxy(m_editor);
    m_editor->installEventFilter(this);

    showLineNumbers(services.editorPreferences.lineNumbers());
    connect(&services.editorPreferences, &EditorPreferences::lineNumbersChanged, this,
            &TEditForm::showLineNumbers);
    // The save point alone: the mark and the undo items need no word of
    // every edit.
    connect(m_editor, &QsciScintilla::modificationChanged, this, [this] {
        updateUnsavedMark();
        updateUndoItems();
    });
}

void TEditForm::createToolBar()
{
    auto *speedBar = new QWidget(this);
    speedBar->setObjectName(QStringLiteral("SpeedBar"));
    speedBar->setFixedHeight(SpeedBarHeight);

    m_openButton = addButton(speedBar, QStringLiteral("OpenButton"), 5, m_kind.openHint, Icons::Open);
    m_saveButton = addButton(speedBar, QStringLiteral("SaveButton"), 30, m_kind.saveHint, Icons::Save);
    m_printButton = addButton(speedBar, QStringLiteral("PrintButton"), 55, m_kind.printHint, Icons::Print);
    QToolButton *cut =
        addButton(speedBar, QStringLiteral("CutButton"), 86, QStringLiteral("Cut|"), Icons::Cut);
    QToolButton *copy =
        addButton(speedBar, QStringLiteral("CopyButton"), 111, QStringLiteral("Copy|"), Icons::Copy);
    QToolButton *paste =
        addButton(speedBar, QStringLiteral("PasteButton"), 136, QStringLiteral("Paste|"), Icons::Paste);
    if (m_kind.hasRunButton) {
        m_runButton = addButton(speedBar, QStringLiteral("RunQuelmButton"), 167, QStringLiteral("Run Quelm|"),
                                Icons::Run);
        connect(m_runButton, &QToolButton::clicked, this, [this] { RunButtonClick(); });
    }
    if (m_kind.hasStopButton) {
        m_stopButton = addButton(speedBar, QStringLiteral("StopQuelmButton"), StopButtonLeft,
                                 QStringLiteral("Stop Quelm|"), Icons::Stop);
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

void TEditForm::createBars()
{
    m_diskBar = new DiskChangeBar(this);
    m_findBar = new FindBar(m_editor, this);
    m_goToLineBar = new GoToLineBar(m_editor, this);
    m_piecesBar = new InfoBar(QStringLiteral("LongLinesBar"), QStringLiteral("LongLinesMessage"), this);
    m_piecesBar->setMessage(QStringLiteral("Lines over %L1 characters are shown in pieces "
                                           "and cannot be edited.")
                                .arg(LinePieces::LongestWholeLine));
    m_wholeLinesButton =
        m_piecesBar->addButton(QStringLiteral("WholeLinesButton"), QStringLiteral("Show Whole &Lines"));
    auto *column = static_cast<QVBoxLayout *>(layout());
    column->addWidget(m_diskBar);
    column->addWidget(m_piecesBar);
    column->addWidget(m_editor, 1);
    column->addWidget(m_goToLineBar);
    column->addWidget(m_findBar);

    m_diskWatcher = new DiskWatcher(this);
    connect(m_diskWatcher, &DiskWatcher::stateChanged, this, &TEditForm::diskStateChanged);
    connect(m_diskBar, &DiskChangeBar::reloadClicked, this, [this] { reloadFromDisk(false); });
    connect(m_diskBar, &DiskChangeBar::keepClicked, m_diskWatcher, &DiskWatcher::acceptDiskVersion);
    connect(m_wholeLinesButton, &QToolButton::clicked, this, [this] {
        // Slow for such lines, but the text can be edited then.
        m_editor->setCutsLongLines(false);
        reloadFromDisk(false);
    });
}

QToolButton *TEditForm::addButton(QWidget *bar, const QString &name, int x, const QString &hint,
                                  Icons::Name icon)
{
    auto *button = new QToolButton(bar);
    button->setObjectName(name);
    button->setGeometry(x, ButtonTop, ButtonSize, ButtonSize);
    button->setIcon(Icons::icon(icon));
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

    m_editMenu = ChildMenus::createEditMenu(this, true);
    connect(m_editMenu.menu, &QMenu::aboutToShow, this, &TEditForm::EditClick);
    connect(m_editMenu.cut, &QAction::triggered, this, &TEditForm::CutClick);
    connect(m_editMenu.copy, &QAction::triggered, this, &TEditForm::CopyClick);
    connect(m_editMenu.paste, &QAction::triggered, this, &TEditForm::PasteClick);
    connect(m_editMenu.selectAll, &QAction::triggered, this, &TEditForm::SelectallClick);
    connectTextCommands();
}

void TEditForm::connectTextCommands()
{
    connect(m_editMenu.undo, &QAction::triggered, this, [this] {
        m_editor->undo();
        updateUndoItems();
    });
    connect(m_editMenu.redo, &QAction::triggered, this, [this] {
        m_editor->redo();
        updateUndoItems();
    });
    connect(m_editMenu.find, &QAction::triggered, m_findBar, &FindBar::openFind);
    connect(m_editMenu.findNext, &QAction::triggered, m_findBar, &FindBar::findNext);
    connect(m_editMenu.findPrevious, &QAction::triggered, m_findBar, &FindBar::findPrevious);
    connect(m_editMenu.replace, &QAction::triggered, m_findBar, &FindBar::openReplace);
    connect(m_editMenu.goToLine, &QAction::triggered, m_goToLineBar, &GoToLineBar::open);
    connect(m_editMenu.lineNumbers, &QAction::triggered, this,
            [this](bool checked) { m_services.editorPreferences.setLineNumbers(checked); });
    updateUndoItems();
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
    for (QWidget *control :
         {static_cast<QWidget *>(m_runButton), static_cast<QWidget *>(m_fileCombo),
          static_cast<QWidget *>(m_saveButton), static_cast<QWidget *>(m_openButton),
          static_cast<QWidget *>(m_printButton), static_cast<QWidget *>(m_wholeLinesButton)}) {
        if (control)
            control->setEnabled(!locked);
    }
    for (QAction *item : {m_fileMenu.save, m_fileMenu.saveAs, m_fileMenu.openCommand, m_fileMenu.openOutput,
                          m_fileMenu.print, m_fileMenu.printPreview, m_fileMenu.exportPdf})
        item->setEnabled(!locked);
    if (m_kind.runWritesFile)
        m_diskWatcher->setPaused(locked);
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
    // Whole lines, when asked for, are for the file they were asked for.
    if (path != FileName)
        m_editor->setCutsLongLines(true);
    FileName = path;
    setCaption(Paths::filePart(path).left(255));
    FileSnapshot seen;
    try {
        // The stamp before the bytes: a change while they are read then
        // shows as a stamp that is no longer the file's.
        seen.stamp = FileStamp::of(path);
        const std::unique_ptr<WorkProgress> progress =
            m_services.progress.start(QStringLiteral("Opening %1").arg(windowTitle()));
        const TextEditor::LoadedFile loaded = m_editor->loadFile(path, progress.get());
        m_encoding = loaded.encoding;
        seen.hash = loaded.hash;
    } catch (const FileError &) {
        // The window keeps its old text, so it keeps its old name too: a
        // later save must not write that text over the file that failed.
        FileName = previousName;
        setCaption(previousCaption);
        throw;
    }
    m_diskWatcher->setFile(path, seen);
    m_piecesBar->setVisible(m_editor->showsLinesInPieces());
    m_editor->fitLineNumbers();
    updateUndoItems();
}

void TEditForm::clearText()
{
    m_editor->clearText();
    m_piecesBar->hide();
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

void TEditForm::askToOverwriteChange()
{
    const QString question =
        QStringLiteral("%1 was changed on disk since it was loaded or saved.\nOverwrite it?").arg(FileName);
    if (!m_services.dialogs.proceed(this, QStringLiteral("Confirm"), question, QStringLiteral("&Overwrite")))
        throw FileError::cancelled();
}

void TEditForm::writeFile()
{
    if (m_diskWatcher->wouldOverwriteChange(FileName))
        askToOverwriteChange();
    // The text is read in place: nothing here lets an event change it.
    const std::optional<QByteArray> encoded =
        TextCodec::fromUtf8(TextFile::withCrLf(m_editor->bytesInPlace()), m_encoding);
    if (!encoded)
        askToSaveAsUtf8();
    // The question let events through, so the text is taken again.
    const QByteArray bytes = encoded ? *encoded : TextFile::withCrLf(m_editor->bytes());
    TextFile::writeBytes(FileName, bytes);
    m_diskWatcher->setFile(FileName, FileSnapshot{FileStamp::of(FileName), ContentHash::of(bytes)});
    // A text that had to become UTF-8 stays UTF-8 from now on.
    if (!encoded)
        m_encoding = TextEncoding::Utf8;
    m_editor->setModified(false);
}

void TEditForm::makeUntitled()
{
    FileName = UntitledName;
    clearText();
    m_diskWatcher->clear();
    updateUndoItems();
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
    updateUndoItems();
}

void TEditForm::updateUndoItems()
{
    m_editMenu.undo->setEnabled(m_editor->isUndoAvailable());
    m_editMenu.redo->setEnabled(m_editor->isRedoAvailable());
}

void TEditForm::updateUnsavedMark()
{
    const bool modified = isModified();
    setWindowModified(modified);
    // The caption itself stays as it is; the frame around the window shows
    // it with Qt's mark, which "[*]" places and a doubled one escapes.
    auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (!frame)
        return;
    QString title = windowTitle();
    title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    title += QStringLiteral("[*]");
    if (frame->windowTitle() != title)
        frame->setWindowTitle(title);
    frame->setWindowModified(modified);
}

bool TEditForm::event(QEvent *event)
{
    // Taken first: a deferred delete ends the window inside the base's handler.
    const QEvent::Type type = event->type();
    const bool handled = TChildForm::event(event);
    // The frame copies the caption whenever it changes, and takes it when
    // the window is put into it.
    if ((type == QEvent::WindowTitleChange || type == QEvent::ParentChange) && m_editor)
        updateUnsavedMark();
    return handled;
}

void TEditForm::showLineNumbers(bool shown)
{
    const QSignalBlocker blocker(m_editMenu.lineNumbers);
    m_editMenu.lineNumbers->setChecked(shown);
    m_editor->setLineNumbersShown(shown);
}

void TEditForm::diskStateChanged(DiskWatcher::State state)
{
    switch (state) {
    case DiskWatcher::State::Unchanged:
        m_diskBar->hide();
        break;
    case DiskWatcher::State::Deleted:
        m_diskBar->showDeleted();
        break;
    case DiskWatcher::State::NotAFile:
        m_diskBar->showNotAFile();
        break;
    case DiskWatcher::State::Changed:
        // Without unsaved changes nothing of the user's is lost by loading
        // the file again.
        if (isModified())
            m_diskBar->showChanged();
        else
            reloadFromDisk(true);
        break;
    }
}

void TEditForm::reloadFromDisk(bool automatic)
{
    const QString caption = windowTitle();
    const TextEditor::Place place = m_editor->place();
    const auto reload = [this] { LoadFile(FileName); };
    if (automatic) {
        try {
            reload();
        } catch (const FileError &) {
            m_diskBar->showChanged();
            return;
        }
    } else if (!guarded(reload)) {
        return;
    }
    setCaption(caption);
    m_editor->setPlace(place);
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
