#include "documents/WindowPrinting.h"

#include "app/MDIFrame.h"
#include "documents/TextPrinter.h"

void PrintWindowLines(QWidget *window, const QString &title, const QStringList &lines)
{
    RunPrintJob(window, FrameForm->dialogs(), FrameForm->printer(), FrameForm->printFont(), title, lines,
                [](const QString &text) { FrameForm->setStatusText(text); });
}

void SetUpWindowPrinter(QWidget *window)
{
    RunPrinterSetup(window, FrameForm->dialogs(), FrameForm->printer());
}
