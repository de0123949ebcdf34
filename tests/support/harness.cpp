#include "support/harness.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <QPushButton>

void UseDesktopSizedOffscreenScreen()
{
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen")
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" TESSELO_SOURCE_DIR "/tests/support/offscreen-desktop.json");
}

Harness::Harness(QString language) : systemLanguage(std::move(language)) {}

Harness::~Harness() { Stop(); }

QString Harness::Path(const QString& relative) const { return InFolder(dir.path(), relative); }

void Harness::WriteSettings(const QByteArray& content)
{
    QByteArray text = content;
    text.replace("\r\n", "\n");
    text.replace("\n", "\r\n");
    QFile file(Path(QStringLiteral("Settings.ini")));
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(text);
}

QByteArray Harness::ReadSettings() const
{
    QFile file(Path(QStringLiteral("Settings.ini")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

TForm1* Harness::Start()
{
    Environment env;
    env.files = FileLocations::Portable(dir.path());
    env.clock = clock;
    env.random = random;
    env.messages = messages;
    const QString language = systemLanguage;
    env.systemLanguage = [language] { return language; };
    program = std::make_unique<Program>(env);
    form = program->form1.get();
    form->show();
    return form;
}

void Harness::Stop()
{
    if (!program)
        return;
    form->close();
    program.reset();
    form = nullptr;
}

TForm1* Harness::Restart()
{
    Stop();
    return Start();
}

void Harness::StartAttempt()
{
    form->BitBtn1Click();
    while (form->Timer2->isActive()) {
        clock->Advance(1000);
        form->Timer2Timer();
    }
}

void Harness::Tick(qint64 ms)
{
    clock->Advance(ms);
    form->Timer1Timer();
}

void StartTool(QProcess& process, const QString& program, const QStringList& arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("LD_PRELOAD"));
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
}

bool RunTool(const QString& program, const QStringList& arguments, QByteArray* output, int timeoutMs)
{
    QProcess process;
    StartTool(process, program, arguments);
    const bool done = process.waitForFinished(timeoutMs) && process.exitStatus() == QProcess::NormalExit
                      && process.exitCode() == 0;
    if (output)
        *output = process.readAllStandardOutput();
    return done;
}

bool StartWindowManager(QProcess& openbox, int timeoutMs)
{
    StartTool(openbox, QStringLiteral("openbox"), {});
    if (!openbox.waitForStarted(timeoutMs))
        return false;
    const auto managing = [] {
        QByteArray output;
        return RunTool(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")},
                       &output)
               && output.contains("window id");
    };
    return QTest::qWaitFor(managing, timeoutMs);
}

QStringList FilesBelow(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}
