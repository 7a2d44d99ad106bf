#include "FrameFixture.h"

#include "app/CommandLine.h"
#include "app/Defaults.h"
#include "app/MDIFrame.h"
#include "app/PrefDialog.h"
#include "app/SingleInstance.h"
#include "app/Version.h"
#include "core/FileNames.h"
#include "core/PathHelpers.h"
#include "core/RecentFiles.h"
#include "core/TextFile.h"
#include "core/UserSettings.h"
#include "documents/MDICommand.h"
#include "editor/TextEditor.h"
#include "ui/Icons.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString NoEngineStatus = QStringLiteral("No Quelm engine found: choose one under File, Preferences.");

// Puts PATH back when a test has changed it.
class PathGuard
{
public:
    PathGuard() : m_saved(qgetenv("PATH")) {}
    ~PathGuard() { qputenv("PATH", m_saved); }

private:
    QByteArray m_saved;
};

QString makeFile(const QString &path, bool executable)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write("#!/bin/sh\n");
    file.close();
    QFileDevice::Permissions permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (executable)
        permissions |= QFileDevice::ExeOwner;
    file.setPermissions(permissions);
    return path;
}

// An icon theme in root that holds the given icon names.
void writeIconTheme(const QString &root, const QStringList &names)
{
    const QString folder = root + QStringLiteral("/testtheme/16x16/apps");
    QDir().mkpath(folder);
    QFile index(root + QStringLiteral("/testtheme/index.theme"));
    QVERIFY(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=testtheme\nDirectories=16x16/apps\n\n"
                "[16x16/apps]\nSize=16\nType=Fixed\n");
    index.close();
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::red);
    for (const QString &name : names)
        QVERIFY(image.save(folder + QLatin1Char('/') + name + QStringLiteral(".png")));
}

const QList<std::pair<QString, Icons::Name>> ThemedIcons = {
    {QStringLiteral("ostrel"), Icons::Program},     {QStringLiteral("document-open"), Icons::Open},
    {QStringLiteral("document-save"), Icons::Save}, {QStringLiteral("document-print"), Icons::Print},
    {QStringLiteral("edit-cut"), Icons::Cut},       {QStringLiteral("edit-copy"), Icons::Copy},
    {QStringLiteral("edit-paste"), Icons::Paste},   {QStringLiteral("media-playback-start"), Icons::Run},
    {QStringLiteral("process-stop"), Icons::Stop},
};

// Ostrel programs started as a desktop starts them, in a session of their own:
// their runtime folder (where the socket goes) and their Qt settings (where
// the files they open are listed) are the test's. Ended when it ends.
class Desktop
{
public:
    Desktop()
    {
        QDir().mkpath(runtime());
        QFile::setPermissions(runtime(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        setUserSettingsFolder(m_root.filePath(QStringLiteral("config")));
    }
    ~Desktop()
    {
        for (QProcess *program : std::as_const(m_programs)) {
            program->kill();
            program->waitForFinished();
            delete program;
        }
    }
    Desktop(const Desktop &) = delete;
    Desktop &operator=(const Desktop &) = delete;

    QString runtime() const { return m_root.filePath(QStringLiteral("run")); }
    QString file(const QString &name, const QByteArray &bytes = "1\n2\n3\n") const
    {
        QFile out(m_root.filePath(name));
        if (out.open(QIODevice::WriteOnly))
            out.write(bytes);
        return out.fileName();
    }
    QProcess *start(const QStringList &arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_root.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        auto *program = new QProcess;
        program->setProcessEnvironment(environment);
        program->setWorkingDirectory(m_root.path());
        program->start(QStringLiteral(OSTREL_EXECUTABLE), arguments);
        m_programs.append(program);
        return program;
    }
    // The files the programs opened, newest first.
    static QStringList opened()
    {
        QStringList paths;
        for (const RecentFiles::Entry &entry : RecentFiles::read())
            paths.append(entry.path);
        return paths;
    }
    // A start that handed its files over ends by itself, at once.
    static bool handedOver(QProcess *program)
    {
        if (program->state() != QProcess::NotRunning && !program->waitForFinished(30000))
            return false;
        return program->exitStatus() == QProcess::NormalExit && program->exitCode() == 0;
    }

private:
    QTemporaryDir m_root;
    QList<QProcess *> m_programs;
};

} // namespace

// The program as a desktop program: its command line, the engine it finds on
// a first start, and icons from the desktop's theme.
class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void answersWithoutWindow_data();
    void answersWithoutWindow();
    void fileArguments_data();
    void fileArguments();
    void filesAtLines_data();
    void filesAtLines();
    void secondStartHandsFilesOver();
    void twoStartsAtOnceEndAsOne();
    void argumentNotUtf8OpensAndSavesBack();
    void engineOnPath_data();
    void engineOnPath();
    void firstStart_data();
    void firstStart();
    void themeIcons_data();
    void themeIcons();
    void paintedIconsShowOnDarkAndLight_data();
    void paintedIconsShowOnDarkAndLight();
    void settingsFolder_data();
    void settingsFolder();
};

void TestDesktop::answersWithoutWindow_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    const QString usage = QStringLiteral("Usage: ostrel [options] [file]\n");
    const QString version = QStringLiteral("Ostrel " OSTREL_VERSION "\nLicense GPLv3+");
    QTest::newRow("--help") << QStringList{"--help"} << 0 << usage << "";
    QTest::newRow("-h") << QStringList{"-h"} << 0 << usage << "";
    QTest::newRow("--help before a file") << QStringList{"--help", "x.cf"} << 0 << usage << "";
    QTest::newRow("--version") << QStringList{"--version"} << 0 << version << "";
    QTest::newRow("-v") << QStringList{"-v"} << 0 << version << "";
    QTest::newRow("unknown long option")
        << QStringList{"--frobnicate"} << 2 << ""
        << "ostrel: Unknown option 'frobnicate'.\nTry 'ostrel --help' for more information.\n";
    QTest::newRow("unknown short option") << QStringList{"-q", "x.cf"} << 2 << ""
                                          << "ostrel: Unknown option 'q'.\n";
    QTest::newRow("Qt option without its value") << QStringList{"-style"} << 2 << ""
                                                 << "ostrel: Missing value after '-style'.\n";
}

void TestDesktop::answersWithoutWindow()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);

    // No display at all: a program that tried to open a window would abort.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    QProcess ostrel;
    ostrel.setProcessEnvironment(environment);
    ostrel.start(QStringLiteral(OSTREL_EXECUTABLE), arguments);
    QVERIFY(ostrel.waitForStarted());
    if (!ostrel.waitForFinished(30000)) {
        ostrel.kill();
        ostrel.waitForFinished();
        QFAIL("ostrel did not exit");
    }
    const QString standardOutput = QString::fromLocal8Bit(ostrel.readAllStandardOutput());
    const QString standardError = QString::fromLocal8Bit(ostrel.readAllStandardError());
    QCOMPARE(ostrel.exitStatus(), QProcess::NormalExit);
    QCOMPARE(ostrel.exitCode(), exitCode);
    if (out.isEmpty())
        QCOMPARE(standardOutput, QString());
    else
        QVERIFY2(standardOutput.startsWith(out), qPrintable(standardOutput));
    if (err.isEmpty())
        QCOMPARE(standardError, QString());
    else
        QVERIFY2(standardError.startsWith(err), qPrintable(standardError));
    if (arguments.contains(QStringLiteral("--help"))) {
        for (const char *option : {"--help", "--version", "file"})
            QVERIFY2(standardOutput.contains(QLatin1String(option)), option);
        QVERIFY(!standardOutput.contains(QStringLiteral("platform")));
    }
}

void TestDesktop::fileArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("files");

    QTest::newRow("none") << QStringList{"ostrel"} << QStringList{};
    QTest::newRow("a file") << QStringList{"ostrel", "/w/run.cf"} << QStringList{"/w/run.cf"};
    QTest::newRow("Qt's options are left to Qt")
        << QStringList{"ostrel", "-style", "fusion", "-reverse", "-platform=offscreen", "run.cf"}
        << QStringList{"run.cf"};
    QTest::newRow("a name that starts with a dash")
        << QStringList{"ostrel", "--", "-odd.cf", "b"} << QStringList{"-odd.cf", "b"};
}

void TestDesktop::fileArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, files);
    const CommandLineOutcome outcome = parseCommandLine(arguments);
    QVERIFY(outcome.startWindow);
    QCOMPARE(outcome.files, files);
    QCOMPARE(outcome.standardOutput + outcome.standardError, QString());
}

void TestDesktop::filesAtLines_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("opened");
    QTest::addColumn<bool>("newInstance");
    QTest::addColumn<bool>("session");

    const auto row = [](const char *name, const QStringList &arguments, const QStringList &opened) {
        QTest::newRow(name) << arguments << opened << false << true;
    };
    row("a file", {"a.cf"}, {"a.cf"});
    row("FILE:LINE", {"a.cf:12"}, {"a.cf@12"});
    row("FILE:LINE:COLUMN", {"a.cf:12:5"}, {"a.cf@12:5"});
    row("a compiler's colon after the numbers", {"a.cf:12:5:"}, {"a.cf@12:5"});
    row("+LINE FILE", {"+7", "a.cf"}, {"a.cf@7"});
    row("a name that ends in :3 is that file", {"r.cf:3"}, {"r.cf:3"});
    row("the longest name that exists wins", {"r.cf:3:9"}, {"r.cf:3@9"});
    row("colons and digits in the name", {"x:1:2.out:4"}, {"x:1:2.out@4"});
    row("a file named +5 as the last word", {"+5"}, {"+5"});
    row("+5 before a file is its line", {"+5", "b.txt"}, {"b.txt@5"});
    row("after -- +5 is a name", {"--", "+5", "b.txt"}, {"+5", "b.txt"});
    row("several files, +LINE for the next only", {"+2", "a.cf", "b.txt:3", "dir/c.out"},
        {"a.cf@2", "b.txt@3", "dir/c.out"});
    row("a missing file goes, its line with it", {"+4", "nope.cf", "b.txt", "nope.txt:2"}, {"b.txt"});
    row("line 0 is the first, too many digits the last", {"a.cf:0", "b.txt:99999999999"},
        {"a.cf@1", "b.txt@2147483647"});
    row("a file's own line wins over +LINE", {"+3", "a.cf:8"}, {"a.cf@8"});
    row("words that are no number stay the name", {"a.cf:x", "a.cf:-3", "a.cf:+3"}, {});
    QTest::newRow("--new-instance") << QStringList{"--new-instance", "a.cf"} << QStringList{"a.cf"} << true
                                    << true;
    QTest::newRow("--no-session") << QStringList{"a.cf", "--no-session"} << QStringList{"a.cf"} << false
                                  << false;
}

void TestDesktop::filesAtLines()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, opened);
    QFETCH(bool, newInstance);
    QFETCH(bool, session);

    const QStringList existing{"a.cf", "r.cf:3", "+5", "x:1:2.out", "b.txt", "dir/c.out"};
    const CommandLineOutcome outcome = parseCommandLine(QStringList{"ostrel"} + arguments);
    QVERIFY(outcome.startWindow);
    QCOMPARE(outcome.newInstance, newInstance);
    QCOMPARE(outcome.restoreSession, session);
    QStringList found;
    const auto exists = [&existing](const QString &path) { return existing.contains(path); };
    for (const FileAtLine &file : ::filesAtLines(outcome.files, exists, outcome.namesFrom)) {
        QString text = file.path;
        if (file.line > 0)
            text += QStringLiteral("@%1").arg(file.line);
        if (file.column > 0)
            text += QStringLiteral(":%1").arg(file.column);
        found.append(text);
    }
    QCOMPARE(found, opened);
}

// A start from the file manager while Ostrel runs: the running program opens
// the files, and the start ends.
void TestDesktop::secondStartHandsFilesOver()
{
    Desktop desktop;
    const QString first = desktop.file(QStringLiteral("first.cf"));
    QProcess *running = desktop.start({first});
    QTRY_COMPARE_WITH_TIMEOUT(Desktop::opened(), QStringList{first}, 30000);

    const QString named = desktop.file(QStringLiteral("results:3"));
    const QString text = desktop.file(QStringLiteral("notes.txt"));
    QVERIFY(Desktop::handedOver(desktop.start({QStringLiteral("results:3"), QStringLiteral("+2"), text})));
    QTRY_COMPARE(Desktop::opened(), (QStringList{text, named, first}));
    QCOMPARE(running->state(), QProcess::Running);
}

// Two starts at the same moment end as one program, and one that was killed
// leaves a socket that is no obstacle to the next start.
void TestDesktop::twoStartsAtOnceEndAsOne()
{
    Desktop desktop;
    const QString one = desktop.file(QStringLiteral("one.txt"));
    const QString two = desktop.file(QStringLiteral("two.txt"));
    QProcess *first = desktop.start({one});
    QProcess *second = desktop.start({two});
    QTRY_VERIFY_WITH_TIMEOUT(
        first->state() == QProcess::NotRunning || second->state() == QProcess::NotRunning, 30000);
    QProcess *running = first->state() == QProcess::Running ? first : second;
    QVERIFY(Desktop::handedOver(running == first ? second : first));
    QTRY_COMPARE_WITH_TIMEOUT(Desktop::opened().size(), 2, 30000);
    QCOMPARE(running->state(), QProcess::Running);

    running->kill();
    QVERIFY(running->waitForFinished());
    const QStringList sockets = QDir(desktop.runtime()).entryList({QStringLiteral("*.socket")}, QDir::System);
    QCOMPARE(sockets.size(), 1);
    const QString three = desktop.file(QStringLiteral("three.txt"));
    const QString four = desktop.file(QStringLiteral("four.txt"));
    running = desktop.start({three});
    QTRY_COMPARE_WITH_TIMEOUT(Desktop::opened().constFirst(), three, 30000);
    QVERIFY(Desktop::handedOver(desktop.start({four})));
    QTRY_COMPARE(Desktop::opened().constFirst(), four);
    QCOMPARE(running->state(), QProcess::Running);
}

// A file named under another encoding than UTF-8, given as a file manager
// gives it: it opens, and a save goes back to that name.
void TestDesktop::argumentNotUtf8OpensAndSavesBack()
{
    QTemporaryDir folder;
    const QByteArray native = QFile::encodeName(folder.path()) + "/r\xe9sultat.cf";
    QVERIFY(FileNames::writeNative(FileNames::fromNative(native), "1+1\r\n"));
    const char *const argv[] = {"ostrel", native.constData()};
    FrameFixture f(parseCommandLine(nativeArguments(2, argv)).files);
    TCommandEditForm *window = f.frame().CommandWindow();
    QCOMPARE(window->editor()->bytes(), QByteArray("1+1\r\n"));
    window->editor()->append(QStringLiteral("2+2"));
    window->findChild<QAction *>(QStringLiteral("Save1"))->trigger();
    QCOMPARE(TextFile::readBytes(FileNames::fromNative(native)), QByteArray("1+1\r\n2+2"));
}

void TestDesktop::engineOnPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("help");

    // Folders under the test's temporary folder, written as "@/".
    QTest::newRow("no quelm anywhere") << "@/empty:/nonexistent"
                                       << ""
                                       << "";
    QTest::newRow("empty PATH") << ""
                                << ""
                                << "";
    QTest::newRow("the first of two wins") << "@/empty:@/bin:@/other"
                                           << "@/bin/quelm"
                                           << "@/bin/quelm.hlp";
    QTest::newRow("help path given even when missing") << "@/other:@/bin"
                                                       << "@/other/quelm"
                                                       << "@/other/quelm.hlp";
    QTest::newRow("not executable") << "@/plain:@/bin"
                                    << "@/bin/quelm"
                                    << "@/bin/quelm.hlp";
    QTest::newRow("a folder named quelm") << "@/folder:@/bin"
                                          << "@/bin/quelm"
                                          << "@/bin/quelm.hlp";
    QTest::newRow("relative entry ignored") << "bin"
                                            << ""
                                            << "";
    QTest::newRow("trailing slash") << "@/bin/"
                                    << "@/bin/quelm"
                                    << "@/bin/quelm.hlp";
    QTest::newRow("help beside a linked engine's target") << "@/links"
                                                          << "@/links/quelm"
                                                          << "@/opt/quelm.hlp";
}

void TestDesktop::engineOnPath()
{
    QFETCH(QString, path);
    QFETCH(QString, engine);
    QFETCH(QString, help);

    QTemporaryDir root;
    const QString r = QFileInfo(root.path()).canonicalFilePath();
    QDir().mkpath(r + QStringLiteral("/empty"));
    makeFile(r + QStringLiteral("/bin/quelm"), true);
    makeFile(r + QStringLiteral("/bin/quelm.hlp"), false);
    makeFile(r + QStringLiteral("/other/quelm"), true);
    makeFile(r + QStringLiteral("/plain/quelm"), false);
    QDir().mkpath(r + QStringLiteral("/folder/quelm"));
    makeFile(r + QStringLiteral("/opt/quelm"), true);
    makeFile(r + QStringLiteral("/opt/quelm.hlp"), false);
    QDir().mkpath(r + QStringLiteral("/links"));
    QVERIFY(QFile::link(r + QStringLiteral("/opt/quelm"), r + QStringLiteral("/links/quelm")));

    const QString previous = QDir::currentPath();
    QDir::setCurrent(r);
    const EngineDefaults found = Defaults::searchPath(path.replace(QLatin1Char('@'), r));
    QDir::setCurrent(previous);
    QCOMPARE(found.enginePath, engine.replace(QLatin1Char('@'), r));
    QCOMPARE(found.helpFilePath, help.replace(QLatin1Char('@'), r));
}

void TestDesktop::firstStart_data()
{
    QTest::addColumn<bool>("fakeEngine");
    QTest::addColumn<QByteArray>("iniFile");
    QTest::addColumn<bool>("ready");

    QTest::newRow("engine on PATH") << true << QByteArray() << true;
    QTest::newRow("no engine: where to set one") << false << QByteArray() << false;
    QTest::newRow("no engine but settings file") << false << QByteArray("") << true;
}

void TestDesktop::firstStart()
{
#ifdef Q_OS_WIN
    QSKIP("Windows keeps the engine's install folder as the default");
#endif
    QFETCH(bool, fakeEngine);
    QFETCH(QByteArray, iniFile);
    QFETCH(bool, ready);

    PathGuard guard;
    QTemporaryDir bin;
    const QString engine = fakeEngine ? makeFile(bin.filePath(QStringLiteral("quelm")), true) : QString();
    qputenv("PATH", QFile::encodeName(bin.path()));

    FrameFixture f({}, iniFile);
    QCOMPARE(f.frame().EnginePath, engine);
    QCOMPARE(f.frame().HelpFilePath, fakeEngine ? bin.filePath(QStringLiteral("quelm.hlp")) : QString());
    QCOMPARE(f.frame().statusText(), ready ? QStringLiteral("Ready.") : NoEngineStatus);

    // Choosing an engine in the preferences takes the hint away; cancelling,
    // or choosing none that exists, leaves it.
    const QString chosen = makeFile(bin.filePath(QStringLiteral("chosen/engine")), true);
    for (const QString &choice : {QString(), bin.filePath(QStringLiteral("missing")), chosen}) {
        f.dialogs.onPreferences = [&](TPrefDialogForm &dialog) {
            PrefValues values = dialog.values();
            values.enginePath = choice;
            dialog.setValues(values);
            return !choice.isEmpty();
        };
        f.frame().PreferencesClick();
        const bool engineChosen = ready || choice == chosen;
        QCOMPARE(f.frame().statusText(), engineChosen ? QStringLiteral("Ready.") : NoEngineStatus);
    }
}

void TestDesktop::themeIcons_data()
{
    QTest::addColumn<bool>("themeHasIcons");
    QTest::newRow("theme has them") << true;
    QTest::newRow("theme lacks them: painted") << false;
}

void TestDesktop::themeIcons()
{
    QFETCH(bool, themeHasIcons);
    QTemporaryDir themes;
    QStringList names;
    for (const auto &icon : ThemedIcons)
        names << icon.first;
    writeIconTheme(themes.path(), themeHasIcons ? names : QStringList{QStringLiteral("unrelated")});

    const QStringList savedPaths = QIcon::themeSearchPaths();
    const QString savedTheme = QIcon::themeName();
    QIcon::setThemeSearchPaths({themes.path()});
    QIcon::setThemeName(QStringLiteral("testtheme"));
    for (const auto &[name, kind] : ThemedIcons) {
        const QIcon icon = Icons::icon(kind);
        QVERIFY2(!icon.isNull(), qPrintable(name));
        QVERIFY2(!icon.pixmap(16, 16).isNull(), qPrintable(name));
        QCOMPARE(icon.name(), themeHasIcons ? name : QString());
    }
    QIcon::setThemeSearchPaths(savedPaths);
    QIcon::setThemeName(savedTheme);
}

void TestDesktop::paintedIconsShowOnDarkAndLight_data()
{
    QTest::addColumn<int>("icon");
    for (int i = 0; i < ThemedIcons.size(); ++i)
        QTest::newRow(qPrintable(ThemedIcons.at(i).first)) << i;
}

void TestDesktop::paintedIconsShowOnDarkAndLight()
{
    QFETCH(int, icon);
    QTemporaryDir themes;
    writeIconTheme(themes.path(), {QStringLiteral("unrelated")});
    const QStringList savedPaths = QIcon::themeSearchPaths();
    const QString savedTheme = QIcon::themeName();
    QIcon::setThemeSearchPaths({themes.path()});
    QIcon::setThemeName(QStringLiteral("testtheme"));
    const QPixmap drawn = Icons::icon(ThemedIcons.at(icon).second).pixmap(32, 32);
    QIcon::setThemeSearchPaths(savedPaths);
    QIcon::setThemeName(savedTheme);

    // A tool bar of a dark and of a light desktop: a good part of the icon
    // must stand out from either.
    for (const QColor background : {QColor(53, 53, 53), QColor(239, 239, 239)}) {
        QImage image(drawn.size(), QImage::Format_RGB32);
        image.fill(background);
        QPainter(&image).drawPixmap(0, 0, drawn);
        int standingOut = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                const int dr = c.red() - background.red();
                const int dg = c.green() - background.green();
                const int db = c.blue() - background.blue();
                if (dr * dr + dg * dg + db * db > 80 * 80)
                    ++standingOut;
            }
        }
        const int share = 100 * standingOut / (image.width() * image.height());
        QVERIFY2(share >= 15, qPrintable(QStringLiteral("%1% on %2").arg(share).arg(background.name())));
    }
}

void TestDesktop::settingsFolder_data()
{
    QTest::addColumn<QString>("home");
    QTest::addColumn<bool>("inHome");

    QTest::newRow("build folder") << "build" << true;
    QTest::newRow("bin folder without share/ostrel") << "usr/bin" << true;
    QTest::newRow("installed: share/ostrel beside bin") << "prefix/bin" << false;
}

// An installed program keeps its settings in the user's configuration folder
// even where it could write its own bin folder (as root can).
void TestDesktop::settingsFolder()
{
    QFETCH(QString, home);
    QFETCH(bool, inHome);
    QTemporaryDir root;
    for (const char *folder :
         {"build", "usr/bin", "usr/share/other", "prefix/bin", "prefix/share/ostrel/demo"})
        QVERIFY(QDir(root.path()).mkpath(QLatin1String(folder)));
    const QString homeDir = root.filePath(home) + QLatin1Char('/');

    const QString folder = Paths::dataFolder(homeDir);
    const QString config =
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)).absolutePath() +
        QLatin1Char('/');
    QCOMPARE(folder, inHome ? homeDir : config);
    QVERIFY(QFileInfo(folder).isDir());
}

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
