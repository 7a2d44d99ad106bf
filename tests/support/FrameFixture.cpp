#include "FrameFixture.h"

#include "core/UserSettings.h"
#include "documents/EditorWindow.h"
#include "editor/TextEditor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

FrameFixture::FrameFixture(const QStringList &arguments, const QByteArray &iniFile, const QString &home,
                           const QList<bool> &proceedAnswers, bool session)
    : m_homePath(home.isEmpty() ? m_home.path() : home), m_previousDir(QDir::currentPath())
{
    for (const bool answer : proceedAnswers)
        dialogs.proceedAnswers.enqueue(answer);
    if (!iniFile.isNull())
        writeFile(QStringLiteral("ostrel.ini"), iniFile);
    // The user's own Qt settings are the test's, so that no test reads or
    // changes the settings of whoever runs it: beside the home folder, whose
    // files the tests count, or in a given home, where a later frame finds
    // what this one remembered.
    setUserSettingsFolder(home.isEmpty() ? m_userSettings.path() : m_homePath + QStringLiteral("/user"));
    m_frame = std::make_unique<TFrameForm>(dialogs, m_homePath, arguments);
    m_frame->setSessionKept(session);
    QSignalSpy restored(m_frame.get(), &TFrameForm::sessionRestored);
    // The start-up layout works from the frame's outer size; the platform adds
    // its frame margins to the size given to resize().
    m_frame->resize(599, 415);
    m_frame->winId();
    resizeOuter(QSize(599, 415));
    m_frame->show();
    // A constructor cannot fail a test and stop it; a frame that never shows
    // leaves nothing to test.
    if (!QTest::qWaitForWindowExposed(m_frame.get()))
        qFatal("FrameFixture: the frame was never shown");
    if (session && restored.isEmpty() && !restored.wait(20000))
        qFatal("FrameFixture: the session never came back");
}

void FrameFixture::resizeOuter(const QSize &size)
{
    const QSize margins = m_frame->frameGeometry().size() - m_frame->geometry().size();
    m_frame->resize(size - margins);
}

FrameFixture::~FrameFixture()
{
    m_frame.reset();
    QDir::setCurrent(m_previousDir);
}

QString FrameFixture::writeFile(const QString &name, const QByteArray &bytes) const
{
    const QString path = QDir(m_homePath).filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

QByteArray FrameFixture::readFile(const QString &path) const
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void FrameFixture::type(TEditForm *window, const QString &text)
{
    window->editor()->setFocus();
    QTest::keyClicks(window->editor(), text);
}
