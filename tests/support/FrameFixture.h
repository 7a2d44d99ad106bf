#pragma once

#include "ScriptedDialogs.h"
#include "app/MDIFrame.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class TEditForm;

// A frame of 599 x 415 pixels, shown and started, in a home folder of its own
// (or in home, when given) that the test's files go in too. The process's
// current folder is restored when the fixture ends. It starts as with
// --no-session unless session is set; then the session is back, too, when
// the constructor returns.
class FrameFixture
{
public:
    // proceedAnswers answer the questions that start-up itself asks.
    explicit FrameFixture(const QStringList &arguments = {}, const QByteArray &iniFile = QByteArray(),
                          const QString &home = QString(), const QList<bool> &proceedAnswers = {},
                          bool session = false);
    ~FrameFixture();

    TFrameForm &frame() { return *m_frame; }
    ScriptedDialogs dialogs;

    // Gives the frame this outer size, frame margins included.
    void resizeOuter(const QSize &size);

    QString home() const { return m_homePath; }
    // Writes a file below the home folder and returns its full path.
    QString writeFile(const QString &name, const QByteArray &bytes) const;
    QByteArray readFile(const QString &path) const;

    // Types text into a window's editor as the user would.
    static void type(TEditForm *window, const QString &text);

private:
    QTemporaryDir m_home;
    QTemporaryDir m_userSettings;
    QString m_homePath;
    QString m_previousDir;
    std::unique_ptr<TFrameForm> m_frame;
};
