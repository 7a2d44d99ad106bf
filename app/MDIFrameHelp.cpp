// The frame's side of the help: the help window, F1 on a word of an editor
// window, and the help file's keywords that the editor windows colour.
#include "app/MDIFrame.h"
#include "core/FileError.h"
#include "core/PathHelpers.h"
#include "core/StatusTexts.h"
#include "documents/DocumentWindows.h"
#include "documents/WindowServices.h"
#include "editor/KeyWords.h"
#include "help/HelpText.h"
#include "help/KeyWordHintsBuilder.h"
#include "help/MDIHelp.h"

void TFrameForm::Contents1Click()
{
    if (m_helpWindow) {
        m_helpWindow->bringToFront();
        return;
    }
    if (!Paths::fileExists(HelpFilePath)) {
        m_dialogs.error(this, QStringLiteral("Quelm Help"), QStringLiteral("Cannot find Quelm Help File"));
        return;
    }
    auto *window = new THelpEditForm(*m_services, *m_helpText);
    addChild(window);
    window->setWindowTitle(QStringLiteral("Quelm Help"));
    window->setViewerFont(m_screenFont);
    window->repaint();
    setStatusText(QStringLiteral("Initializing Key Word List..."));
    window->FillList();
    setStatusText(StatusTexts::Ready);
    m_helpWindow = window;
}

void TFrameForm::KeyWordHelpClick(const QString &word)
{
    Contents1Click();
    if (m_helpWindow)
        m_helpWindow->showKeyWord(word);
}

void TFrameForm::readHelpKeyWords()
{
    // A help file that is missing or unreadable colours nothing; the help
    // window says why when the user asks for it. The hints and the index
    // that completion searches are built once, away from the window, and
    // kept.
    QByteArray text;
    if (Paths::fileExists(HelpFilePath)) {
        try {
            text = m_helpText->read(HelpFilePath);
        } catch (const FileError &) {
            text.clear();
        }
    }
    m_keyWordHints->build(text);
}
