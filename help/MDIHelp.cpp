#include "help/MDIHelp.h"

#include "app/ChildMenus.h"
#include "app/FileError.h"
#include "app/MDIFrame.h"
#include "app/PathHelpers.h"
#include "app/TextFile.h"
#include "documents/WindowPrinting.h"
#include "help/KeyWordIndex.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextLayout>
#include <QVBoxLayout>

namespace {
constexpr int SpeedBarHeight = 33;
constexpr int KeyWordWidth = 161;
constexpr int ButtonWidth = 60;
constexpr int HistoryRows = 10;
const QColor PaleYellow(255, 255, 215);

// Qt lays out a wrapped paragraph in a time that grows with the square of its
// length: a line of a million characters would stop the program for minutes.
// The viewer breaks longer lines into pieces of this length; on the screen
// they wrap as they would anyway.
constexpr qsizetype MaxViewerLineLength = 1024;

QString withLinesBroken(const QString &text)
{
    QString result;
    qsizetype copied = 0;
    qsizetype lineLength = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lineLength = 0;
        } else if (++lineLength > MaxViewerLineLength && !c.isLowSurrogate()) {
            result += QStringView(text).mid(copied, i - copied);
            result += QLatin1Char('\n');
            copied = i;
            lineLength = 1;
        }
    }
    if (copied == 0)
        return text;
    result += QStringView(text).mid(copied);
    return result;
}

const QString HelpTitle = QStringLiteral("Quelm Help");
const QString NotFound = QStringLiteral("Keyword not found.");
} // namespace

THelpEditForm::THelpEditForm(QWidget *parent) : TChildForm(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Help"));
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    createControls();
    createMenus();
}

THelpEditForm::~THelpEditForm()
{
    // A window that goes without being closed (the frame ending) must not
    // stay known to the frame.
    if (FrameForm && FrameForm->HelpWindow == this) {
        FrameForm->HelpWindow = nullptr;
        FrameForm->HelpWindowOpen = false;
    }
}

void THelpEditForm::createControls()
{
    auto *speedBar = new QWidget(this);
    speedBar->setObjectName(QStringLiteral("SpeedBar"));
    speedBar->setFixedHeight(SpeedBarHeight);
    auto *bar = new QHBoxLayout(speedBar);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->setSpacing(0);

    KeyWordCombo = new QComboBox(speedBar);
    KeyWordCombo->setObjectName(QStringLiteral("KeyWordCombo"));
    KeyWordCombo->setEditable(true);
    // The history grows only through the searches, and typing completes nothing.
    KeyWordCombo->setInsertPolicy(QComboBox::NoInsert);
    KeyWordCombo->setCompleter(nullptr);
    KeyWordCombo->setDuplicatesEnabled(true);
    KeyWordCombo->setMaxVisibleItems(HistoryRows);
    KeyWordCombo->setFixedWidth(KeyWordWidth);
    KeyWordCombo->lineEdit()->setMaxLength(MaxKeyWordLength);
    KeyWordCombo->lineEdit()->installEventFilter(this);
    bar->addWidget(KeyWordCombo);

    SearchKeyWordButton = addButton(QStringLiteral("SearchKeyWordButton"), QStringLiteral("&Search"));
    BackKeyWord = addButton(QStringLiteral("BackKeyWord"), QStringLiteral("&Back"));
    PrintKeyWord = addButton(QStringLiteral("PrintKeyWord"), QStringLiteral("&Print"));
    Button1 = addButton(QStringLiteral("Button1"), QStringLiteral("&<<"));
    Button2 = addButton(QStringLiteral("Button2"), QStringLiteral("&>>"));
    for (QPushButton *button : {SearchKeyWordButton, BackKeyWord, PrintKeyWord, Button1, Button2})
        bar->addWidget(button);
    bar->addStretch(1);

    KeyWordList = new QListWidget(this);
    KeyWordList->setObjectName(QStringLiteral("KeyWordList"));
    KeyWordList->setSelectionMode(QAbstractItemView::SingleSelection);
    KeyWordList->setFixedWidth(KeyWordWidth);
    // Help files with many thousands of keywords: one row height for all.
    KeyWordList->setUniformItemSizes(true);
    KeyWordList->setTextElideMode(Qt::ElideRight);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::Box);
    Panel1->setLineWidth(1);
    Panel1->setAutoFillBackground(true);
    QPalette yellow = Panel1->palette();
    yellow.setColor(QPalette::Window, PaleYellow);
    yellow.setColor(QPalette::Base, PaleYellow);
    Panel1->setPalette(yellow);

    Editor = new QPlainTextEdit(Panel1);
    Editor->setObjectName(QStringLiteral("Editor"));
    Editor->setFrameShape(QFrame::NoFrame);
    Editor->setPalette(yellow);
    Editor->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Editor->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto *panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(1, 1, 1, 1);
    panelLayout->addWidget(Editor);

    auto *body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    body->addWidget(KeyWordList);
    body->addWidget(Panel1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(speedBar);
    layout->addLayout(body, 1);

    connect(KeyWordCombo, &QComboBox::activated, this, &THelpEditForm::KeyWordSearchClick);
    connect(SearchKeyWordButton, &QPushButton::clicked, this, &THelpEditForm::KeyWordSearchClick);
    connect(BackKeyWord, &QPushButton::clicked, this, &THelpEditForm::KeyWordBackClick);
    connect(PrintKeyWord, &QPushButton::clicked, this, &THelpEditForm::PrintClick);
    connect(Button1, &QPushButton::clicked, this, &THelpEditForm::BeforeClick);
    connect(Button2, &QPushButton::clicked, this, &THelpEditForm::NextClick);
    connect(KeyWordList, &QListWidget::currentRowChanged, this, &THelpEditForm::KeyWordListClick);
    setFocusProxy(KeyWordCombo);
}

QPushButton *THelpEditForm::addButton(const QString &name, const QString &caption)
{
    auto *button = new QPushButton(caption, KeyWordCombo->parentWidget());
    button->setObjectName(name);
    button->setFixedWidth(ButtonWidth);
    // Enter belongs to the keyword box, not to a default button.
    button->setAutoDefault(false);
    return button;
}

void THelpEditForm::createMenus()
{
    ChildMenus::FileItems items;
    items.newCaption = QStringLiteral("New...");
    items.saveShortcut = QKeySequence(Qt::Key_F5);
    items.saveAsShortcut = QKeySequence(Qt::Key_F6);
    const ChildMenus::FileMenu file = ChildMenus::createFileMenu(this, items);
    m_fileMenu = file.menu;
    // The help text is never saved.
    file.save->setEnabled(false);
    file.saveAs->setEnabled(false);
    connect(file.print, &QAction::triggered, this, &THelpEditForm::PrintClick);
    connect(file.printerSetup, &QAction::triggered, this, &THelpEditForm::PrintersetupClick);

    const ChildMenus::EditMenu edit = ChildMenus::createEditMenu(this);
    m_editMenu = edit.menu;
    m_cut = edit.cut;
    m_copy = edit.copy;
    m_paste = edit.paste;
    connect(m_editMenu, &QMenu::aboutToShow, this, &THelpEditForm::EditClick);
    connect(m_cut, &QAction::triggered, Editor, &QPlainTextEdit::cut);
    connect(m_copy, &QAction::triggered, Editor, &QPlainTextEdit::copy);
    connect(m_paste, &QAction::triggered, Editor, &QPlainTextEdit::paste);
    connect(edit.selectAll, &QAction::triggered, Editor, &QPlainTextEdit::selectAll);
}

QList<QMenu *> THelpEditForm::mergedMenus() const
{
    return {m_fileMenu, m_editMenu};
}

void THelpEditForm::setViewerFont(const QFont &font)
{
    Editor->setFont(font);
    Editor->viewport()->update();
}

QStringList THelpEditForm::viewerLines() const
{
    QTextDocument *document = Editor->document();
    auto *layout = qobject_cast<QPlainTextDocumentLayout *>(document->documentLayout());
    QStringList lines;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        // The viewer lays out only what it has shown; printing needs every block.
        if (layout)
            layout->ensureBlockLayout(block);
        const QString text = block.text();
        const QTextLayout *textLayout = block.layout();
        if (!textLayout || textLayout->lineCount() == 0) {
            lines.append(text);
            continue;
        }
        for (int i = 0; i < textLayout->lineCount(); ++i) {
            const QTextLine line = textLayout->lineAt(i);
            lines.append(text.mid(line.textStart(), line.textLength()));
        }
    }
    // A line break at the very end opens no line of its own.
    if (document->blockCount() > 1 && document->lastBlock().text().isEmpty())
        lines.removeLast();
    return lines;
}

std::optional<QString> THelpEditForm::readHelpFile()
{
    const QString path = FrameForm->HelpFilePath;
    try {
        return QString::fromUtf8(TextFile::readText(path).utf8);
    } catch (const FileError &) {
        FrameForm->dialogs().error(
            this, HelpTitle,
            QStringLiteral("Cannot read Quelm Help File %1.\nCheck the help file in the "
                           "Preferences; the keyword search goes on with the file found there.")
                .arg(path));
        return std::nullopt;
    }
}

void THelpEditForm::FillList()
{
    const std::optional<QString> helpText = readHelpFile();
    m_keyWords = helpText ? BuildKeyWordList(*helpText) : QStringList();
    for (QString &keyWord : m_keyWords) {
        if (keyWord.size() > MaxKeyWordLength)
            keyWord.truncate(MaxKeyWordLength);
    }
    {
        const QSignalBlocker blocker(KeyWordList);
        KeyWordList->clear();
        KeyWordList->addItems(m_keyWords);
    }
    if (m_keyWords.isEmpty()) {
        // Nothing to start from: an empty search would find a stray "##" that
        // opens no keyword.
        showInViewer(NotFound);
        return;
    }
    pushHistory(m_keyWords.constFirst());
    selectHistory(0);
    searchIn(*helpText);
}

void THelpEditForm::KeyWordSearchClick()
{
    if (const std::optional<QString> helpText = readHelpFile())
        searchIn(*helpText);
}

void THelpEditForm::searchIn(const QString &helpText)
{
    const QString text = boxText();
    const std::optional<QString> entry = FindHelpEntry(helpText, text);
    if (!entry) {
        showInViewer(NotFound);
        return;
    }
    const QString newest = KeyWordCombo->count() > 0 ? KeyWordCombo->itemText(0) : QString();
    if (newest != text)
        pushHistory(text);
    selectKeyWord(findKeyWord(text));
    showInViewer(*entry);
}

void THelpEditForm::showInViewer(const QString &text)
{
    Editor->setPlainText(withLinesBroken(text));
    Editor->moveCursor(QTextCursor::Start);
    Editor->show();
    Editor->setFocus();
}

QString THelpEditForm::boxText() const
{
    return KeyWordCombo->currentText();
}

void THelpEditForm::pushHistory(const QString &text)
{
    const int selected = KeyWordCombo->currentIndex();
    const QString typed = boxText();
    const QSignalBlocker blocker(KeyWordCombo);
    KeyWordCombo->insertItem(0, text);
    // The combo box selects the first item put into an empty history; the
    // history's own rule keeps "none selected" as it was.
    KeyWordCombo->setCurrentIndex(selected < 0 ? -1 : selected + 1);
    KeyWordCombo->setEditText(typed);
}

void THelpEditForm::selectHistory(int index)
{
    const QSignalBlocker blocker(KeyWordCombo);
    KeyWordCombo->setCurrentIndex(index);
    // Also when the index was selected already and the box was edited since.
    KeyWordCombo->setEditText(KeyWordCombo->itemText(index));
}

int THelpEditForm::findKeyWord(const QString &text) const
{
    for (int row = 0; row < m_keyWords.size(); ++row) {
        if (m_keyWords.at(row).compare(text, Qt::CaseInsensitive) == 0)
            return row;
    }
    return -1;
}

void THelpEditForm::selectKeyWord(int row)
{
    const QSignalBlocker blocker(KeyWordList);
    if (row < 0) {
        KeyWordList->setCurrentRow(-1);
        KeyWordList->clearSelection();
        return;
    }
    KeyWordList->setCurrentRow(row);
    KeyWordList->scrollToItem(KeyWordList->item(row));
}

int THelpEditForm::selectedKeyWord() const
{
    const QListWidgetItem *item = KeyWordList->currentItem();
    return item && item->isSelected() ? KeyWordList->row(item) : -1;
}

void THelpEditForm::KeyWordListClick()
{
    const int row = selectedKeyWord();
    if (row < 0)
        return;
    const QString chosen = KeyWordList->item(row)->text();
    if (chosen != boxText())
        pushHistory(chosen);
    selectHistory(0);
    KeyWordSearchClick();
}

void THelpEditForm::KeyWordBackClick()
{
    const int next = KeyWordCombo->currentIndex() + 1;
    if (next >= KeyWordCombo->count())
        return;
    selectHistory(next);
    KeyWordSearchClick();
}

void THelpEditForm::stepKeyWord(int step)
{
    const int same = findKeyWord(boxText());
    if (same >= 0)
        selectKeyWord(same);
    const int row = selectedKeyWord();
    // With nothing selected, stepping forward starts at the first keyword.
    const int target = row < 0 ? (step > 0 ? 0 : -1) : row + step;
    if (target >= 0 && target < KeyWordList->count())
        KeyWordCombo->setEditText(KeyWordList->item(target)->text());
    KeyWordSearchClick();
}

void THelpEditForm::BeforeClick()
{
    stepKeyWord(-1);
}

void THelpEditForm::NextClick()
{
    stepKeyWord(1);
}

void THelpEditForm::PrintClick()
{
    PrintWindowLines(this, HelpTitle, viewerLines());
}

void THelpEditForm::PrintersetupClick()
{
    SetUpWindowPrinter(this);
}

void THelpEditForm::EditClick()
{
    const QMimeData *clip = QApplication::clipboard()->mimeData();
    m_paste->setEnabled(clip && clip->hasText());
    const bool selection = Editor->textCursor().hasSelection();
    m_cut->setEnabled(selection);
    m_copy->setEnabled(selection);
}

bool THelpEditForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == KeyWordCombo->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            KeyWordSearchClick();
            return true;
        }
    }
    return TChildForm::eventFilter(watched, event);
}

void THelpEditForm::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (FrameForm && FrameForm->HelpWindow == this) {
        FrameForm->HelpWindow = nullptr;
        FrameForm->HelpWindowOpen = false;
    }
}

void ShowHelpWindow(TFrameForm &frame)
{
    if (frame.HelpWindowOpen && frame.HelpWindow) {
        if (auto *sub = qobject_cast<QMdiSubWindow *>(frame.HelpWindow->parentWidget())) {
            if (sub->isMinimized())
                sub->showNormal();
            sub->show();
            frame.mdiArea()->setActiveSubWindow(sub);
            sub->raise();
        }
        return;
    }
    if (!Paths::fileExists(frame.HelpFilePath)) {
        frame.dialogs().error(&frame, HelpTitle, QStringLiteral("Cannot find Quelm Help File"));
        return;
    }
    auto *window = new THelpEditForm;
    frame.HelpWindow = window;
    frame.addChild(window, QRect());
    window->setWindowTitle(HelpTitle);
    window->setViewerFont(frame.screenFont());
    window->repaint();
    frame.setStatusText(QStringLiteral("Initializing Key Word List..."));
    window->FillList();
    frame.setStatusText(QStringLiteral("Ready."));
    frame.HelpWindowOpen = true;
}
