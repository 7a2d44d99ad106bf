// The frame's side of the help: the help window and F1 on a word of an
// editor window.
#include "app/MDIFrame.h"
#include "core/PathHelpers.h"
#include "core/StatusTexts.h"
#include "documents/WindowServices.h"
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
    auto *window = new THelpEditForm(*m_services);
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
