#pragma once

#include <QString>

class TEditForm;
class TFrameForm;
class QComboBox;

// The frame's flows that put files into the editor windows: new, open, the
// file histories, other-file and master windows, and the file named on the
// command line.
class DocumentFlows
{
public:
    explicit DocumentFlows(TFrameForm &frame) : m_frame(frame) {}

    void NewCommandClick();
    void OpenCommandClick();
    void OpenCommand(const QString &path);
    void CommandFileComboChanged();
    void OpenOutputClick();
    void OpenOutput(const QString &path);
    void OutputFileComboChanged();
    void OpenAnotherClick();
    void OpenAnother(const QString &path);
    void OpenMasterClick();
    // The first command-line argument, when it names an existing file.
    void openArgument(const QString &path);

private:
    // The parts that the command and output windows share.
    struct Target
    {
        TEditForm &window;
        QString &frameFileName;
        QString question;
        QString openTitle;
        QString filter;
        QString extension;
        QString captionPrefix;
    };
    Target commandTarget();
    Target outputTarget();
    void openClick(const Target &target, void (DocumentFlows::*open)(const QString &));
    void open(const Target &target, const QString &path);
    void historyPicked(const Target &target, void (DocumentFlows::*open)(const QString &));
    // The history shows the entry of the file in the window (none when untitled).
    static void selectShownFile(TEditForm &window);

    TFrameForm &m_frame;
};
