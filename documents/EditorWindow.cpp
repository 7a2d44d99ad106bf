#include "documents/EditorWindow.h"

#include "core/FileError.h"
#include "core/FileNames.h"
#include "core/PathHelpers.h"
#include "core/TextFile.h"
#include "core/WorkProgress.h"
#include "diskchanges/DiskChangeBar.h"
#include "diskchanges/FileSnapshot.h"
#include "documents/FileHistory.h"
#include "editor/CaretPosition.h"
#include "editor/EditorPreferences.h"
#include "editor/KeyWords.h"
#include "editor/TextEditor.h"
#include "printing/WindowPrinting.h"
#include "search/FindBar.h"
#include "search/GoToLineBar.h"
#include "ui/ErrorGuard.h"
#include "ui/Icons.h"
#include "ui/InfoBar.h"

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
constexpr int OpenButtonLeft = 5;
constexpr int SaveButtonLeft = 30;
constexpr int PrintButtonLeft = 55;
constexpr int CutButtonLeft = 86;
constexpr int CopyButtonLeft = 111;
constexpr int PasteButtonLeft = 136;
constexpr int RunButtonLeft = 167;
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

    createMenus();
    createToolBar();
    createBars();
    connectTextCommands();
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
    // Cut, Copy and Paste are enabled by what they would act on only while
    // the menu is open: their buttons stay enabled, and do nothing where
    // there is nothing to act on.
    connect(m_editMenu.menu, &QMenu::aboutToHide, this, [this] {
        for (QAction *command : {m_editMenu.cut, m_editMenu.copy, m_editMenu.paste})
            command->setEnabled(true);
    });
    connect(m_editMenu.cut, &QAction::triggered, this, &TEditForm::CutClick);
    connect(m_editMenu.copy, &QAction::triggered, this, &TEditForm::CopyClick);
    connect(m_editMenu.paste, &QAction::triggered, this, &TEditForm::PasteClick);
    connect(m_editMenu.selectAll, &QAction::triggered, this, &TEditForm::SelectallClick);
    if (m_kind.knowsKeyWords)
        addCompletionItem();
}

void TEditForm::addCompletionItem()
{
    QAction *complete = ChildMenus::addItem(m_editMenu.menu, QStringLiteral("CompleteKeyWords1"),
                                            QStringLiteral("Complete &Keywords"));
    complete->setCheckable(true);
    complete->setStatusTip(QStringLiteral("Offer the help file's keywords after three typed characters "
                                          "(Ctrl+Space offers them always)"));
    EditorPreferences &preferences = m_services.editorPreferences;
    complete->setChecked(preferences.completeKeyWords());
    connect(complete, &QAction::triggered, &preferences, &EditorPreferences::setCompleteKeyWords);
    connect(&preferences, &EditorPreferences::completeKeyWordsChanged, complete, &QAction::setChecked);
}

void TEditForm::createToolBar()
{
    m_speedBar = new QWidget(this);
    m_speedBar->setObjectName(QStringLiteral("SpeedBar"));
    m_speedBar->setFixedHeight(SpeedBarHeight);

    addButton(QStringLiteral("SaveButton"), SaveButtonLeft, m_fileMenu.save, m_kind.saveHint, Icons::Save);
    addButton(QStringLiteral("PrintButton"), PrintButtonLeft, m_fileMenu.print, m_kind.printHint,
              Icons::Print);
    addButton(QStringLiteral("CutButton"), CutButtonLeft, m_editMenu.cut, QStringLiteral("Cut|"), Icons::Cut);
    addButton(QStringLiteral("CopyButton"), CopyButtonLeft, m_editMenu.copy, QStringLiteral("Copy|"),
              Icons::Copy);
    addButton(QStringLiteral("PasteButton"), PasteButtonLeft, m_editMenu.paste, QStringLiteral("Paste|"),
              Icons::Paste);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_speedBar);

    if (m_kind.hasFileCombo) {
        // The output window's history stands on the window itself, over the
        // tool bar; the others' on the tool bar. Both look the same.
        m_fileCombo = new QComboBox(m_kind.fileComboOnToolBar ? m_speedBar : static_cast<QWidget *>(this));
        m_fileCombo->setObjectName(QStringLiteral("FileCombo"));
        m_fileCombo->setEditable(false);
        m_fileCombo->setMaxVisibleItems(m_kind.fileComboRows);
        // Styles that drop the list down as a menu show every entry, and a
        // long history would run off the screen.
        m_fileCombo->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
        placeFileCombo();
        m_fileCombo->raise();
        connect(m_fileCombo, &QComboBox::activated, this,
                [this](int index) { emit historyEntryPicked(m_fileCombo->itemText(index)); });
    }
}

void TEditForm::placeFileCombo()
{
    if (m_fileCombo)
        m_fileCombo->setGeometry(FileComboLeft + fileComboShift(), FileComboTop, FileComboWidth,
                                 m_fileCombo->sizeHint().height());
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
    // The history list fills the tool bar's right end, so the caret's
    // place goes below the text, at the right.
    m_caretPosition = new CaretPositionLabel(m_editor, this);
    m_caretPosition->setContentsMargins(4, 1, 6, 1);
    column->addWidget(m_caretPosition);

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

void TEditForm::addButton(const QString &name, int x, QAction *command, const QString &hint, Icons::Name icon)
{
    command->setToolTip(hint.section(QLatin1Char('|'), 0, 0));
    command->setStatusTip(hint.contains(QLatin1Char('|')) ? hint.section(QLatin1Char('|'), 1) : hint);
    command->setIcon(Icons::icon(icon));
    auto *button = new QToolButton(m_speedBar);
    button->setObjectName(name);
    button->setGeometry(x, ButtonTop, ButtonSize, ButtonSize);
    button->setAutoRaise(true);
    button->setDefaultAction(command);
}

void TEditForm::addOpenButton(QAction *command)
{
    addButton(QStringLiteral("OpenButton"), OpenButtonLeft, command, m_kind.openHint, Icons::Open);
}

void TEditForm::addRunButton(QAction *command)
{
    addButton(QStringLiteral("RunQuelmButton"), RunButtonLeft, command, QStringLiteral("Run Quelm|"),
              Icons::Run);
}

void TEditForm::addStopButton(QAction *command)
{
    addButton(QStringLiteral("StopQuelmButton"), StopButtonLeft, command, QStringLiteral("Stop Quelm|"),
              Icons::Stop);
    m_hasStopButton = true;
    placeFileCombo();
}

void TEditForm::addSubmitButton(QAction *command)
{
    addButton(QStringLiteral("SubmitButton"), StopButtonLeft, command,
              QStringLiteral("Submit Master File to Cluster|"), Icons::Submit);
    m_hasStopButton = true;
    placeFileCombo();
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
    return m_hasStopButton ? StopButtonLeft + ButtonSize + 8 - FileComboLeft : 0;
}

void TEditForm::setRunLocked(bool locked)
{
    for (QWidget *control :
         {static_cast<QWidget *>(m_fileCombo), static_cast<QWidget *>(m_wholeLinesButton)}) {
        if (control)
            control->setEnabled(!locked);
    }
    for (QAction *command :
         {m_fileMenu.save, m_fileMenu.saveAs, m_fileMenu.openCommand, m_fileMenu.openOutput, m_fileMenu.print,
          m_fileMenu.printPreview, m_fileMenu.exportPdf})
        command->setEnabled(!locked);
    if (m_kind.runWritesFile)
        m_diskWatcher->setPaused(locked);
}

void TEditForm::setCaption(const QString &caption)
{
    // A file name that is not valid UTF-8 keeps its bytes in FileName only.
    setWindowTitle(FileNames::forDisplay(caption));
}

bool TEditForm::LoadFile(const QString &path)
{
    const QString previousName = FileName;
    const QString previousCaption = windowTitle();
    // Whole lines, when asked for, are for the file they were asked for.
    if (path != FileName)
        m_editor->setCutsLongLines(true);
    FileName = path;
    setCaption(Paths::filePart(path).left(255));
    FileSnapshot seen;
    std::optional<TextEditor::LoadedFile> loaded;
    try {
        // The stamp before the bytes: a change while they are read then
        // shows as a stamp that is no longer the file's.
        seen.stamp = FileStamp::of(path);
        const std::unique_ptr<WorkProgress> progress =
            m_services.progress.start(QStringLiteral("Opening %1").arg(windowTitle()));
        loaded = m_editor->loadFile(path, progress.get());
    } catch (const FileError &) {
        // The window keeps its old text, so it keeps its old name too: a
        // later save must not write that text over the file that failed.
        FileName = previousName;
        setCaption(previousCaption);
        throw;
    }
    if (!loaded) {
        FileName = previousName;
        setCaption(previousCaption);
        return false;
    }
    m_encoding = loaded->encoding;
    seen.hash = loaded->hash;
    m_diskWatcher->setFile(path, seen);
    m_piecesBar->setVisible(m_editor->showsLinesInPieces());
    m_editor->fitLineNumbers();
    updateUndoItems();
    return true;
}

bool TEditForm::tryLoadFile(const QString &path)
{
    bool loaded = false;
    return guarded([&] { loaded = LoadFile(path); }) && loaded;
}

void TEditForm::clearText()
{
    m_editor->clearText();
    m_piecesBar->hide();
    m_encoding = TextEncoding::Utf8;
}

bool TEditForm::askToSaveAsUtf8()
{
    // Anything but a question would lose the characters the file's encoding
    // cannot hold.
    const QString question =
        QStringLiteral("%1 holds characters that Windows-1252 cannot store.\nSave it as UTF-8?")
            .arg(FileName);
    return m_services.dialogs.proceed(this, QStringLiteral("Confirm"), question,
                                      QStringLiteral("Save as &UTF-8"));
}

bool TEditForm::askToOverwriteChange()
{
    const QString question =
        QStringLiteral("%1 was changed on disk since it was loaded or saved.\nOverwrite it?").arg(FileName);
    return m_services.dialogs.proceed(this, QStringLiteral("Confirm"), question,
                                      QStringLiteral("&Overwrite"));
}

bool TEditForm::writeFile()
{
    if (m_diskWatcher->wouldOverwriteChange(FileName) && !askToOverwriteChange())
        return false;
    // The text is read in place: nothing here lets an event change it.
    const std::optional<QByteArray> encoded =
        TextCodec::fromUtf8(TextFile::withCrLf(m_editor->bytesInPlace()), m_encoding);
    if (!encoded && !askToSaveAsUtf8())
        return false;
    // The question let events through, so the text is taken again.
    const QByteArray bytes = encoded ? *encoded : TextFile::withCrLf(m_editor->bytes());
    TextFile::writeBytes(FileName, bytes);
    m_diskWatcher->setFile(FileName, FileSnapshot{FileStamp::of(FileName), ContentHash::of(bytes)});
    // A text that had to become UTF-8 stays UTF-8 from now on.
    if (!encoded)
        m_encoding = TextEncoding::Utf8;
    m_editor->setModified(false);
    return true;
}

void TEditForm::showUnsavedText(const QByteArray &text)
{
    // Text in pieces cannot take an edit: the recovered text is shown whole.
    if (m_editor->showsLinesInPieces()) {
        m_editor->clearText();
        m_piecesBar->hide();
    }
    // Replacing the text leaves the save point behind: the unsaved mark.
    m_editor->SendScintilla(QsciScintillaBase::SCI_SETTEXT, 0UL, text.constData());
    m_editor->caretToStart();
    updateUndoItems();
}

void TEditForm::makeUntitled()
{
    FileName = UntitledName;
    clearText();
    m_diskWatcher->clear();
    updateUndoItems();
    setCaption(m_kind.untitledCaption);
}

void TEditForm::showGrowingFile(const QString &path)
{
    FileName = path;
    m_editor->setCutsLongLines(true);
    m_editor->startGrowingText();
    m_piecesBar->hide();
    m_encoding = TextEncoding::Utf8;
    // The file changes under the window all the time now; what it holds at
    // the end is taken then.
    m_diskWatcher->clear();
    updateUndoItems();
}

void TEditForm::adoptGrowingFile(const FileSnapshot &seen)
{
    m_editor->finishGrowingText();
    m_encoding = TextEncoding::Utf8;
    m_diskWatcher->setFile(FileName, seen);
    m_editor->fitLineNumbers();
    updateUndoItems();
}

bool TEditForm::SaveClick()
{
    if (isUntitled())
        return SaveAsClick();
    return write();
}

bool TEditForm::write()
{
    bool written = false;
    return guarded([this, &written] { written = writeFile(); }) && written;
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
    if (!write()) {
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

TEditForm::SaveOutcome TEditForm::askToSave(const QString &question)
{
    if (!isModified())
        return SaveOutcome::NotSaved;
    switch (m_services.dialogs.confirm(this, question)) {
    case UserDialogs::Answer::Cancel:
        return SaveOutcome::Cancelled;
    case UserDialogs::Answer::No:
        return SaveOutcome::NotSaved;
    case UserDialogs::Answer::Yes:
        // Going on without a saved text would throw the user's edits away.
        return SaveClick() ? SaveOutcome::Saved : SaveOutcome::Cancelled;
    }
    return SaveOutcome::Cancelled;
}

bool TEditForm::FormCloseQuery()
{
    return askToSave(QStringLiteral("Save changes to %1?").arg(FileName)) != SaveOutcome::Cancelled;
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
    bool reloaded = false;
    const auto reload = [this, &reloaded] { reloaded = LoadFile(FileName); };
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
    if (!reloaded) {
        m_diskBar->showChanged();
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
