#include "help/MDIHelp.h"

#include "core/FileError.h"
#include "core/FrameState.h"
#include "core/TextFile.h"
#include "help/HelpText.h"
#include "help/KeyWordBox.h"
#include "help/KeyWordIndex.h"
#include "help/KeyWordModel.h"
#include "printing/WindowPrinting.h"
#include "ui/UserDialogs.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
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

THelpEditForm::THelpEditForm(const WindowServices &services, HelpText &helpText, QWidget *parent)
    : TChildForm(parent), m_services(services), m_helpText(helpText)
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

void THelpEditForm::createControls()
{
    auto *speedBar = new QWidget(this);
    speedBar->setObjectName(QStringLiteral("SpeedBar"));
    speedBar->setFixedHeight(SpeedBarHeight);
    auto *bar = new QHBoxLayout(speedBar);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->setSpacing(0);

    m_keyWordCombo = new KeyWordBox(speedBar);
    m_keyWordCombo->setObjectName(QStringLiteral("KeyWordCombo"));
    // The history grows only through the searches, and typing completes nothing.
    m_keyWordCombo->setInsertPolicy(QComboBox::NoInsert);
    m_keyWordCombo->setCompleter(nullptr);
    m_keyWordCombo->setDuplicatesEnabled(true);
    m_keyWordCombo->setMaxVisibleItems(HistoryRows);
    m_keyWordCombo->setFixedWidth(KeyWordWidth);
    m_keyWordCombo->lineEdit()->setMaxLength(MaxKeyWordLength);
    bar->addWidget(m_keyWordCombo);

    m_searchButton = addButton(QStringLiteral("SearchKeyWordButton"), QStringLiteral("&Search"));
    m_backButton = addButton(QStringLiteral("BackKeyWord"), QStringLiteral("&Back"));
    m_printButton = addButton(QStringLiteral("PrintKeyWord"), QStringLiteral("&Print"));
    m_previousButton = addButton(QStringLiteral("Button1"), QStringLiteral("&<<"));
    m_nextButton = addButton(QStringLiteral("Button2"), QStringLiteral("&>>"));
    for (QPushButton *button : {m_searchButton, m_backButton, m_printButton, m_previousButton, m_nextButton})
        bar->addWidget(button);
    bar->addStretch(1);

    m_keyWordModel = new KeyWordModel(MaxKeyWordLength, this);
    m_keyWordList = new KeyWordListView(this);
    m_keyWordList->setObjectName(QStringLiteral("KeyWordList"));
    m_keyWordList->setModel(m_keyWordModel);
    m_keyWordList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_keyWordList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_keyWordList->setFixedWidth(KeyWordWidth);
    // Help files with many thousands of keywords: one row height for all.
    m_keyWordList->setUniformItemSizes(true);
    m_keyWordList->setTextElideMode(Qt::ElideRight);

    m_viewerPanel = new QFrame(this);
    m_viewerPanel->setObjectName(QStringLiteral("Panel1"));
    m_viewerPanel->setFrameShape(QFrame::Box);
    m_viewerPanel->setLineWidth(1);
    m_viewerPanel->setAutoFillBackground(true);
    QPalette yellow = m_viewerPanel->palette();
    yellow.setColor(QPalette::Window, PaleYellow);
    yellow.setColor(QPalette::Base, PaleYellow);
    // The text colour goes with the background: a dark desktop palette
    // would write light grey on the pale yellow.
    yellow.setColor(QPalette::Text, Qt::black);
    yellow.setColor(QPalette::WindowText, Qt::black);
    m_viewerPanel->setPalette(yellow);

    m_viewer = new QPlainTextEdit(m_viewerPanel);
    m_viewer->setObjectName(QStringLiteral("Editor"));
    m_viewer->setFrameShape(QFrame::NoFrame);
    m_viewer->setPalette(yellow);
    m_viewer->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_viewer->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_viewer->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto *panelLayout = new QVBoxLayout(m_viewerPanel);
    panelLayout->setContentsMargins(1, 1, 1, 1);
    panelLayout->addWidget(m_viewer);

    auto *body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    body->addWidget(m_keyWordList);
    body->addWidget(m_viewerPanel, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(speedBar);
    layout->addLayout(body, 1);

    // activated: an entry chosen from the drop-down list; the box itself
    // activates nothing when the focus leaves it.
    connect(m_keyWordCombo, &QComboBox::activated, this, &THelpEditForm::KeyWordSearchClick);
    connect(m_keyWordCombo, &KeyWordBox::enterPressed, this, &THelpEditForm::KeyWordKeyDown);
    connect(m_searchButton, &QPushButton::clicked, this, &THelpEditForm::KeyWordSearchClick);
    connect(m_backButton, &QPushButton::clicked, this, &THelpEditForm::KeyWordBackClick);
    connect(m_printButton, &QPushButton::clicked, this, &THelpEditForm::PrintClick);
    connect(m_previousButton, &QPushButton::clicked, this, &THelpEditForm::BeforeClick);
    connect(m_nextButton, &QPushButton::clicked, this, &THelpEditForm::NextClick);
    // A mouse press makes the row current before it selects it: only the
    // selection tells that the user chose a keyword.
    connect(m_keyWordList, &KeyWordListView::keyWordSelectionChanged, this, &THelpEditForm::KeyWordListClick);
    setFocusProxy(m_keyWordCombo);
}

QPushButton *THelpEditForm::addButton(const QString &name, const QString &caption)
{
    auto *button = new QPushButton(caption, m_keyWordCombo->parentWidget());
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
    // The help text is never saved.
    items.canSave = false;
    m_fileMenu = ChildMenus::createFileMenu(this, items);
    connect(m_fileMenu.print, &QAction::triggered, this, &THelpEditForm::PrintClick);
    connect(m_fileMenu.printerSetup, &QAction::triggered, this, &THelpEditForm::PrintersetupClick);
    connect(m_fileMenu.printPreview, &QAction::triggered, this,
            [this] { m_services.printing.preview(this, HelpTitle, viewerLines()); });
    connect(m_fileMenu.exportPdf, &QAction::triggered, this,
            [this] { m_services.printing.exportPdf(this, HelpTitle, viewerLines()); });

    m_editMenu = ChildMenus::createEditMenu(this);
    connect(m_editMenu.menu, &QMenu::aboutToShow, this, &THelpEditForm::EditClick);
    connect(m_editMenu.cut, &QAction::triggered, m_viewer, &QPlainTextEdit::cut);
    connect(m_editMenu.copy, &QAction::triggered, m_viewer, &QPlainTextEdit::copy);
    connect(m_editMenu.paste, &QAction::triggered, m_viewer, &QPlainTextEdit::paste);
    connect(m_editMenu.selectAll, &QAction::triggered, m_viewer, &QPlainTextEdit::selectAll);
}

QList<QMenu *> THelpEditForm::mergedMenus() const
{
    return {m_fileMenu.menu, m_editMenu.menu};
}

void THelpEditForm::setViewerFont(const QFont &font)
{
    m_viewer->setFont(font);
    m_viewer->viewport()->update();
}

QStringList THelpEditForm::viewerLines() const
{
    QTextDocument *document = m_viewer->document();
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

std::optional<QByteArray> THelpEditForm::readHelpFile()
{
    const QString path = m_services.settings.HelpFilePath;
    try {
        return m_helpText.read(path);
    } catch (const FileError &) {
        m_services.dialogs.error(
            this, HelpTitle,
            QStringLiteral("Cannot read Quelm Help File %1.\nCheck the help file in the "
                           "Preferences; the keyword search goes on with the file found there.")
                .arg(path));
        return std::nullopt;
    }
}

void THelpEditForm::FillList()
{
    const std::optional<QByteArray> helpText = readHelpFile();
    {
        const QSignalBlocker blocker(m_keyWordList);
        m_keyWordModel->setHelpText(helpText.value_or(QByteArray()));
    }
    if (m_keyWordModel->count() == 0) {
        // Nothing to start from: an empty search would find a stray "##" that
        // opens no keyword.
        showInViewer(NotFound);
        return;
    }
    pushHistory(m_keyWordModel->keyWord(0));
    selectHistory(0);
    searchIn(*helpText);
}

void THelpEditForm::KeyWordSearchClick()
{
    if (const std::optional<QByteArray> helpText = readHelpFile())
        searchIn(*helpText);
}

void THelpEditForm::searchIn(const QByteArray &helpText)
{
    const QString text = boxText();
    const std::optional<QString> entry = FindHelpEntry(helpText, text);
    if (!entry) {
        showInViewer(NotFound);
        return;
    }
    const QString newest = m_keyWordCombo->count() > 0 ? m_keyWordCombo->itemText(0) : QString();
    if (newest != text)
        pushHistory(text);
    selectKeyWord(findKeyWord(text));
    showInViewer(*entry);
}

void THelpEditForm::showInViewer(const QString &text)
{
    m_viewer->setPlainText(withLinesBroken(text));
    m_viewer->moveCursor(QTextCursor::Start);
    m_viewer->show();
    m_viewer->setFocus();
}

QString THelpEditForm::boxText() const
{
    return m_keyWordCombo->currentText();
}

void THelpEditForm::pushHistory(const QString &text)
{
    const int selected = m_keyWordCombo->currentIndex();
    const QString typed = boxText();
    const QSignalBlocker blocker(m_keyWordCombo);
    m_keyWordCombo->insertItem(0, text);
    // The combo box selects the first item put into an empty history; the
    // history's own rule keeps "none selected" as it was.
    m_keyWordCombo->setCurrentIndex(selected < 0 ? -1 : selected + 1);
    m_keyWordCombo->setEditText(typed);
}

void THelpEditForm::selectHistory(int index)
{
    const QSignalBlocker blocker(m_keyWordCombo);
    m_keyWordCombo->setCurrentIndex(index);
    // Also when the index was selected already and the box was edited since.
    m_keyWordCombo->setEditText(m_keyWordCombo->itemText(index));
}

int THelpEditForm::findKeyWord(const QString &text) const
{
    return m_keyWordModel->find(text);
}

void THelpEditForm::selectKeyWord(int row)
{
    const QSignalBlocker blocker(m_keyWordList);
    if (row < 0) {
        m_keyWordList->setCurrentIndex(QModelIndex());
        m_keyWordList->clearSelection();
        return;
    }
    const QModelIndex index = m_keyWordModel->index(row);
    m_keyWordList->setCurrentIndex(index);
    m_keyWordList->scrollTo(index);
}

int THelpEditForm::selectedKeyWord() const
{
    // Not the current item: the keyboard moves the selection before it makes
    // the row current.
    const QModelIndexList selected = m_keyWordList->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.constFirst().row();
}

void THelpEditForm::KeyWordListClick()
{
    const int row = selectedKeyWord();
    if (row < 0)
        return;
    chooseKeyWord(m_keyWordModel->keyWord(row));
    KeyWordSearchClick();
}

void THelpEditForm::chooseKeyWord(const QString &keyWord)
{
    if (keyWord != boxText())
        pushHistory(keyWord);
    selectHistory(0);
}

bool THelpEditForm::showKeyWord(const QString &word)
{
    const int row = findKeyWord(word);
    if (row < 0)
        return false;
    const std::optional<QByteArray> helpText = readHelpFile();
    if (!helpText)
        return true;
    const QString keyWord = m_keyWordModel->keyWord(row);
    chooseKeyWord(keyWord);
    // A search for "s" would stop at an earlier "scale"; the word asked for
    // shows its own entry.
    const std::optional<QString> entry = FindKeyWordEntry(*helpText, keyWord);
    if (!entry) {
        searchIn(*helpText);
        return true;
    }
    selectKeyWord(row);
    showInViewer(*entry);
    return true;
}

void THelpEditForm::KeyWordBackClick()
{
    const int next = m_keyWordCombo->currentIndex() + 1;
    if (next >= m_keyWordCombo->count())
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
    if (target >= 0 && target < m_keyWordModel->count())
        m_keyWordCombo->setEditText(m_keyWordModel->keyWord(target));
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
    m_services.printing.print(this, HelpTitle, viewerLines());
}

void THelpEditForm::PrintersetupClick()
{
    m_services.printing.setUpPrinter(this);
}

void THelpEditForm::EditClick()
{
    ChildMenus::enableEditItems(m_editMenu, m_viewer->textCursor().hasSelection());
}

void THelpEditForm::KeyWordKeyDown()
{
    KeyWordSearchClick();
}
