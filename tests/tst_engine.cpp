#include "RunHelpers.h"

#include "core/PathHelpers.h"
#include "core/TextFile.h"
#include "engine/EngineLauncher.h"
#include "engine/LaunchScript.h"
#include "engine/OutputName.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

// Output file names, both launch script forms, and real engine runs through
// /bin/sh with small shell scripts as engines.
class TestEngine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void outputFileName_data();
    void outputFileName();
    void windowsScriptIsTheQuotedLine_data();
    void windowsScriptIsTheQuotedLine();
    void posixScript_data();
    void posixScript();

    void pathsReachTheEngineUnchanged_data();
    void pathsReachTheEngineUnchanged();
    void runEndsWithTheEngine_data();
    void runEndsWithTheEngine();
    void engineThatCannotRun_data();
    void engineThatCannotRun();
    void unwritableScriptFolderStartsNothing();
    void missingWorkingFolderStartsNothing();
    void waitKeepsEventsFlowing();
    void laterRunLeavesEarlierRunAlone();
    void demoEngineComputes_data();
    void demoEngineComputes();

private:
    QString makeEngine(const QString &folder, const QString &name, const QByteArray &body,
                       bool executable = true);
    QString gatedEngine(const QString &gate);
    QByteArray readAll(const QString &path);

    QTemporaryDir m_dir;
};

void TestEngine::initTestCase()
{
    QVERIFY(m_dir.isValid());
    if (LaunchScript::platformShell() != LaunchScript::Shell::Posix)
        QSKIP("the engine runs here are written for /bin/sh");
}

QString TestEngine::makeEngine(const QString &folder, const QString &name, const QByteArray &body,
                               bool executable)
{
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write("#!/bin/sh\n" + body);
    file.close();
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (executable)
        permissions |= QFile::ExeOwner;
    file.setPermissions(permissions);
    return path;
}

// An engine that runs until the file gate appears, so that a test decides
// when it ends.
QString TestEngine::gatedEngine(const QString &gate)
{
    const QByteArray quotedGate = QFile::encodeName(LaunchScript::posixQuoted(gate));
    return makeEngine(m_dir.filePath(QStringLiteral("engines")), QStringLiteral("gated"),
                      "while [ ! -e " + quotedGate + " ]; do sleep 0.05; done\necho gated\n");
}

QByteArray TestEngine::readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void TestEngine::outputFileName_data()
{
    QTest::addColumn<QString>("separators");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("output");

    const QString win = Paths::windowsSeparators();
    const QString posix = Paths::posixSeparators();
    QTest::newRow("win replaced") << win << "C:\\data\\run.cf"
                                  << ".out"
                                  << "C:\\data\\run.out";
    QTest::newRow("win appended") << win << "C:\\data\\run"
                                  << ".out"
                                  << "C:\\data\\run.out";
    QTest::newRow("win dotted folder") << win << "C:\\proj.2\\run"
                                       << ".out"
                                       << "C:\\proj.2\\run.out";
    QTest::newRow("win last dot only") << win << "run.old.cf"
                                       << ".out"
                                       << "run.old.out";
    QTest::newRow("win drive colon") << win << "C:run.x\\..y"
                                     << ".out"
                                     << "C:run.x\\..out";
    QTest::newRow("posix replaced") << posix << "/data/run.cf"
                                    << ".out"
                                    << "/data/run.out";
    QTest::newRow("posix appended") << posix << "/data/run"
                                    << ".out"
                                    << "/data/run.out";
    QTest::newRow("posix dotted folder") << posix << "/proj.2/run"
                                         << ".out"
                                         << "/proj.2/run.out";
    QTest::newRow("posix last dot only") << posix << "run.old.cf"
                                         << ".out"
                                         << "run.old.out";
    QTest::newRow("posix longer extension") << posix << "/d/a.c"
                                            << ".result"
                                            << "/d/a.result";
    QTest::newRow("posix backslash is no separator") << posix << "/d/a.b\\c"
                                                     << ".out"
                                                     << "/d/a.out";
}

void TestEngine::outputFileName()
{
    QFETCH(QString, separators);
    QFETCH(QString, command);
    QFETCH(QString, extension);
    QFETCH(QString, output);
    QCOMPARE(Engine::outputFileName(command, extension, separators), output);
}

void TestEngine::windowsScriptIsTheQuotedLine_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QByteArray>("script");

    QTest::newRow("blank in folder")
        << "c:\\quelm63\\quelm.exe"
        << "C:\\My Data\\run.cf"
        << "C:\\My Data\\run.out"
        << QByteArray("\"c:\\quelm63\\quelm.exe\" cf=\"C:\\My Data\\run.cf\" >\"C:\\My Data\\run.out\"\r\n");
    QTest::newRow("nothing escaped")
        << "c:\\q&a\\quelm.exe"
        << "C:\\100%\\a^b.cf"
        << "C:\\100%\\a^b.out"
        << QByteArray("\"c:\\q&a\\quelm.exe\" cf=\"C:\\100%\\a^b.cf\" >\"C:\\100%\\a^b.out\"\r\n");
}

void TestEngine::windowsScriptIsTheQuotedLine()
{
    QFETCH(QString, engine);
    QFETCH(QString, command);
    QFETCH(QString, output);
    QFETCH(QByteArray, script);
    const auto shell = LaunchScript::Shell::WindowsCmd;
    QCOMPARE(LaunchScript::scriptFileName(shell), QStringLiteral("QuelmExec.bat"));
    QCOMPARE(LaunchScript::scriptBytes(shell, engine, command, output), script);
}

void TestEngine::posixScript_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QByteArray>("script");

    QTest::newRow("plain")
        << "/opt/quelm/quelm"
        << "/home/u/run.cf"
        << "/home/u/run.out"
        << QByteArray("exec '/opt/quelm/quelm' cf='/home/u/run.cf' >'/home/u/run.out' </dev/null\n");
    QTest::newRow("single quote")
        << "/o/quelm"
        << "/h/it's.cf"
        << "/h/it's.out" << QByteArray("exec '/o/quelm' cf='/h/it'\\''s.cf' >'/h/it'\\''s.out' </dev/null\n");
    QTest::newRow("relative engine is not searched for")
        << "bin/quelm"
        << "a.cf"
        << "a.out" << QByteArray("exec './bin/quelm' cf='a.cf' >'a.out' </dev/null\n");
    QTest::newRow("engine with a leading dash")
        << "-quelm"
        << "a.cf"
        << "a.out" << QByteArray("exec './-quelm' cf='a.cf' >'a.out' </dev/null\n");
    QTest::newRow("non-ASCII in file-name encoding")
        << QString::fromUtf8("/é/q") << QString::fromUtf8("/é/ä.cf") << QString::fromUtf8("/é/ä.out")
        << QByteArray("exec '/\xc3\xa9/q' cf='/\xc3\xa9/\xc3\xa4.cf' >'/\xc3\xa9/\xc3\xa4.out' </dev/null\n");
}

void TestEngine::posixScript()
{
    QFETCH(QString, engine);
    QFETCH(QString, command);
    QFETCH(QString, output);
    QFETCH(QByteArray, script);
    const auto shell = LaunchScript::Shell::Posix;
    QCOMPARE(LaunchScript::scriptFileName(shell), QStringLiteral("QuelmExec.sh"));
    QCOMPARE(LaunchScript::scriptBytes(shell, engine, command, output), script);
}

void TestEngine::pathsReachTheEngineUnchanged_data()
{
    QTest::addColumn<QString>("name");

    QTest::newRow("blanks") << "my data  here";
    QTest::newRow("single quotes") << "it's 'quoted'";
    QTest::newRow("double quotes") << "say \"hi\"";
    QTest::newRow("dollar") << "$HOME $(touch canary) ${x}";
    QTest::newRow("semicolon and ampersand") << "a;touch canary;b & touch canary &";
    QTest::newRow("backquotes") << "`touch canary`";
    QTest::newRow("glob and redirection") << "* ? [a] > canary < |";
    QTest::newRow("backslash") << "back\\slash\\";
    QTest::newRow("line break") << "two\nlines";
    QTest::newRow("leading dash") << "-rf";
    QTest::newRow("non-ASCII") << QString::fromUtf8("Größe ñ 数据");
}

// A recording engine lives in the awkward folder itself, is run with that
// folder current and writes its argument and folder to files of its own.
void TestEngine::pathsReachTheEngineUnchanged()
{
    QFETCH(QString, name);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString folder = root.filePath(name);
    const QString argRecord = root.filePath(QStringLiteral("arg.rec"));
    const QString dirRecord = root.filePath(QStringLiteral("dir.rec"));
    const QByteArray body = "printf '%s' \"$1\" >" + QFile::encodeName(LaunchScript::posixQuoted(argRecord)) +
                            "\nd=$(pwd -P)\nprintf '%s' \"$d\" >" +
                            QFile::encodeName(LaunchScript::posixQuoted(dirRecord)) + "\necho result\n";
    const QString engine = makeEngine(folder, name + QStringLiteral(" engine"), body);
    QVERIFY(!engine.isEmpty());
    const QString command = QDir(folder).filePath(name + QStringLiteral(".cf"));
    const QString output = Engine::outputFileName(command, QStringLiteral(".out"));
    TextFile::writeBytes(command, "1\r\n");

    ProcessEngineLauncher launcher;
    QVERIFY(launcher.writeScript(root.path(), {}, engine, command, output));
    auto run = launcher.start(folder);
    QVERIFY(run);
    RunHelpers::waitUntilEnded(*run);

    QCOMPARE(run->outcome().kind, RunOutcome::Kind::Exited);
    QCOMPARE(run->outcome().code, 0);
    QCOMPARE(QFile::decodeName(readAll(argRecord)), QStringLiteral("cf=") + command);
    QCOMPARE(QFile::decodeName(readAll(dirRecord)), QDir(folder).canonicalPath());
    QCOMPARE(readAll(output), QByteArray("result\n"));
    for (const QString &where : {root.path(), folder, QDir::currentPath()})
        QVERIFY2(!QFile::exists(QDir(where).filePath(QStringLiteral("canary"))), qPrintable(where));
}

void TestEngine::runEndsWithTheEngine_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QByteArray>("errors");
    QTest::addColumn<RunOutcome::Kind>("kind");
    QTest::addColumn<int>("code");

    const auto exited = RunOutcome::Kind::Exited;
    QTest::newRow("echoes") << QByteArray("echo \"$1\" | sed 's/.*\\///'\n") << QByteArray("run.cf\n")
                            << QByteArray() << exited << 0;
    QTest::newRow("exits non-zero") << QByteArray("echo partial\nexit 3\n") << QByteArray("partial\n")
                                    << QByteArray() << exited << 3;
    QTest::newRow("exits 2") << QByteArray("exit 2\n") << QByteArray() << QByteArray() << exited << 2;
    // The script hands over with exec: 126 and 127 are then the engine's own.
    QTest::newRow("exits 126") << QByteArray("echo kept\nexit 126\n") << QByteArray("kept\n") << QByteArray()
                               << exited << 126;
    QTest::newRow("exits 127") << QByteArray("echo kept\nexit 127\n") << QByteArray("kept\n") << QByteArray()
                               << exited << 127;
    QTest::newRow("writes nothing") << QByteArray(":\n") << QByteArray() << QByteArray() << exited << 0;
    QTest::newRow("errors go elsewhere")
        << QByteArray("echo oops >&2\necho fine\necho again >&2\n") << QByteArray("fine\n")
        << QByteArray("oops\nagain\n") << exited << 0;
    QTest::newRow("stdin is empty") << QByteArray("cat\necho after\n") << QByteArray("after\n")
                                    << QByteArray() << exited << 0;
    QTest::newRow("crashes") << QByteArray("echo before\nkill -SEGV $$\necho after\n")
                             << QByteArray("before\n") << QByteArray() << RunOutcome::Kind::Signalled << 11;
}

// However the engine ends, the run is over, its output file holds exactly
// the engine's standard output, its standard error comes separately, and
// the outcome says how it ended without reading anything into the status.
void TestEngine::runEndsWithTheEngine()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, output);
    QFETCH(QByteArray, errors);
    QFETCH(RunOutcome::Kind, kind);
    QFETCH(int, code);
    const QString folder = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
    const QString engine = makeEngine(folder, QStringLiteral("engine"), body);
    const QString command = QDir(folder).filePath(QStringLiteral("run.cf"));
    const QString outputFile = QDir(folder).filePath(QStringLiteral("run.out"));
    TextFile::writeBytes(command, QByteArray());

    ProcessEngineLauncher launcher;
    QVERIFY(launcher.writeScript(folder, {}, engine, command, outputFile));
    QCOMPARE(readAll(launcher.scriptPath()),
             LaunchScript::scriptBytes(LaunchScript::Shell::Posix, engine, command, outputFile));
    auto run = launcher.start(folder);
    QVERIFY(run);
    QByteArray written;
    connect(run.get(), &EngineRun::errorOutput, this,
            [&written](const QByteArray &bytes) { written += bytes; });
    RunHelpers::waitUntilEnded(*run);
    QVERIFY(!run->isRunning());
    QCOMPARE(readAll(outputFile), output);
    QCOMPARE(written, errors);
    QCOMPARE(run->outcome().kind, kind);
    QCOMPARE(run->outcome().code, code);
}

void TestEngine::engineThatCannotRun_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("refusedAtStart");

    QTest::newRow("not executable") << "not executable" << true;
    QTest::newRow("a folder") << "folder" << true;
    QTest::newRow("missing") << "missing" << true;
    QTest::newRow("empty path") << "empty" << true;
    QTest::newRow("not a program") << "garbage" << false;
    QTest::newRow("missing interpreter") << "bad interpreter" << false;
}

// Refused by start() where it can be seen beforehand; otherwise the run ends
// with the shell's exit status and its complaint on standard error, for the
// run log to show.
void TestEngine::engineThatCannotRun()
{
    QFETCH(QString, kind);
    QFETCH(bool, refusedAtStart);
    const QString folder = m_dir.filePath(QStringLiteral("cannot ") + kind);
    QDir().mkpath(folder);
    QString engine = QDir(folder).filePath(QStringLiteral("engine"));
    if (kind == QLatin1String("not executable")) {
        engine = makeEngine(folder, QStringLiteral("engine"), "echo ran\n", false);
    } else if (kind == QLatin1String("folder")) {
        QDir().mkpath(engine);
    } else if (kind == QLatin1String("empty")) {
        engine.clear();
    } else if (kind == QLatin1String("garbage")) {
        TextFile::writeBytes(engine, QByteArray("\x7f"
                                                "ELF\x01\x02\x03\x00\xff\xfe",
                                                10));
        QFile::setPermissions(engine, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    } else if (kind == QLatin1String("bad interpreter")) {
        TextFile::writeBytes(engine, "#!/nonexistent/interpreter\necho ran\n");
        QFile::setPermissions(engine, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const QString outputFile = QDir(folder).filePath(QStringLiteral("run.out"));

    ProcessEngineLauncher launcher;
    QVERIFY(launcher.writeScript(folder, {}, engine, QDir(folder).filePath(QStringLiteral("run.cf")),
                                 outputFile));
    auto run = launcher.start(folder);
    if (refusedAtStart) {
        QVERIFY(!run);
        return;
    }
    QVERIFY(run);
    QByteArray written;
    connect(run.get(), &EngineRun::errorOutput, this,
            [&written](const QByteArray &bytes) { written += bytes; });
    RunHelpers::waitUntilEnded(*run);
    QVERIFY(!run->isRunning());
    QCOMPARE(run->outcome().kind, RunOutcome::Kind::Exited);
    QVERIFY(run->outcome().code != 0);
    QVERIFY2(!written.isEmpty(), written.constData());
}

void TestEngine::unwritableScriptFolderStartsNothing()
{
    const QString engine =
        makeEngine(m_dir.filePath(QStringLiteral("engines")), QStringLiteral("plain"), "echo x\n");
    ProcessEngineLauncher launcher;
    QVERIFY(launcher.writeScript(m_dir.path(), {}, engine, QStringLiteral("a.cf"), QStringLiteral("a.out")));
    QVERIFY(!launcher.writeScript(m_dir.filePath(QStringLiteral("no such folder")), {}, engine,
                                  QStringLiteral("a.cf"), QStringLiteral("a.out")));
    // The earlier script must not be started in place of the one that failed.
    QVERIFY(!launcher.start(m_dir.path()));
}

void TestEngine::missingWorkingFolderStartsNothing()
{
    const QString engine =
        makeEngine(m_dir.filePath(QStringLiteral("engines")), QStringLiteral("plain"), "echo x\n");
    ProcessEngineLauncher launcher;
    QVERIFY(launcher.writeScript(m_dir.path(), {}, engine, QStringLiteral("a.cf"), QStringLiteral("a.out")));
    QVERIFY(!launcher.start(m_dir.filePath(QStringLiteral("gone"))));

    ProcessEngineRun run(LaunchScript::Shell::Posix);
    QVERIFY(!run.start(launcher.scriptPath(), m_dir.filePath(QStringLiteral("gone"))));
    QVERIFY(!run.isRunning());
}

// The engine ends only when a timer, which runs only if the wait handles
// events, opens its gate.
void TestEngine::waitKeepsEventsFlowing()
{
    const QString gate = m_dir.filePath(QStringLiteral("gate for wait"));
    const QString engine = gatedEngine(gate);
    ProcessEngineLauncher launcher;
    QVERIFY(launcher.writeScript(m_dir.path(), {}, engine, QStringLiteral("a.cf"),
                                 m_dir.filePath(QStringLiteral("wait.out"))));
    auto run = launcher.start(m_dir.path());
    QVERIFY(run);
    QVERIFY(run->isRunning());
    QTimer::singleShot(0, this, [gate] { TextFile::writeBytes(gate, QByteArray()); });
    RunHelpers::waitUntilEnded(*run);
    QVERIFY(!run->isRunning());
    QCOMPARE(readAll(m_dir.filePath(QStringLiteral("wait.out"))), QByteArray("gated\n"));
    RunHelpers::waitUntilEnded(*run); // an ended run returns at once
}

// A master-file run starts engines while a command-file run may still be
// going; each run object follows its own process.
void TestEngine::laterRunLeavesEarlierRunAlone()
{
    const QString gate = m_dir.filePath(QStringLiteral("gate for first"));
    const QString gated = gatedEngine(gate);
    const QString quick =
        makeEngine(m_dir.filePath(QStringLiteral("engines")), QStringLiteral("quick"), "echo quick\n");
    ProcessEngineLauncher launcher;
    QVERIFY(launcher.writeScript(m_dir.path(), {}, gated, QStringLiteral("a.cf"),
                                 m_dir.filePath(QStringLiteral("first.out"))));
    auto first = launcher.start(m_dir.path());
    QVERIFY(first);

    QVERIFY(launcher.writeScript(m_dir.path(), {}, quick, QStringLiteral("b.cf"),
                                 m_dir.filePath(QStringLiteral("second.out"))));
    auto second = launcher.start(m_dir.path());
    QVERIFY(second);
    RunHelpers::waitUntilEnded(*second);
    QCOMPARE(readAll(m_dir.filePath(QStringLiteral("second.out"))), QByteArray("quick\n"));
    QVERIFY(first->isRunning());

    TextFile::writeBytes(gate, QByteArray());
    RunHelpers::waitUntilEnded(*first);
    QCOMPARE(readAll(m_dir.filePath(QStringLiteral("first.out"))), QByteArray("gated\n"));
}

void TestEngine::demoEngineComputes_data()
{
    QTest::addColumn<QString>("example");
    QTest::addColumn<QString>("folderName");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("primes") << "primes.cf"
                            << "demo" << QByteArray("25 primes below 100\n");
    QTest::newRow("sines") << "sines.cf"
                           << "demo" << QByteArray("30   .500000   .866025\n");
    QTest::newRow("interest") << "interest.cf"
                              << "demo" << QByteArray("10   1552.97   1566.99\n");
    QTest::newRow("awkward folder") << "primes.cf"
                                    << "it's $x; `y` & z" << QByteArray("25 primes below 100\n");
}

// The examples are run as the program saves them: with CR LF line ends.
void TestEngine::demoEngineComputes()
{
    QFETCH(QString, example);
    QFETCH(QString, folderName);
    QFETCH(QByteArray, expected);
    if (QStandardPaths::findExecutable(QStringLiteral("bc")).isEmpty())
        QSKIP("GNU bc is not installed");
    const QString demo = QStringLiteral(OSTREL_SOURCE_DIR "/demo");
    const QString folder = m_dir.filePath(folderName);
    QDir().mkpath(folder);
    const QString command = QDir(folder).filePath(example);
    TextFile::writeBytes(command, TextFile::withCrLf(readAll(QDir(demo).filePath(example))));
    const QString output = Engine::outputFileName(command, QStringLiteral(".out"));

    ProcessEngineLauncher launcher;
    QVERIFY(launcher.writeScript(m_dir.path(), {}, QDir(demo).filePath(QStringLiteral("quelm")), command,
                                 output));
    auto run = launcher.start(folder);
    QVERIFY(run);
    RunHelpers::waitUntilEnded(*run);
    QCOMPARE(run->outcome().code, 0);
    const QByteArray result = readAll(output);
    QVERIFY2(result.contains(expected), result.constData());
}

QTEST_GUILESS_MAIN(TestEngine)
#include "tst_engine.moc"
