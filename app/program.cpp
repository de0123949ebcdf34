#include "app/program.h"

#include "core/language.h"
#include "app/leftovers.h"
#include "app/sessionend.h"
#include "app/singlecopy.h"

#include "about/tfrmgl.h"
#include "board/tform2.h"
#include "board/tform3.h"
#include "window/progresshub.h"
#include "interchange/exportmenu.h"
#include "interchange/importmenu.h"
#include "settings/settingsfile.h"
#include "window/firstframe.h"
#include "window/fonts.h"
#include "trainer/drawchoice.h"
#include "window/messageboxes.h"
#include "window/tform1.h"

#include <QApplication>

namespace {

// The language the interface would have: the file's, else the system's.
bool RussianInterface(const Environment& environment)
{
    const QString systemValue = LanguageValueForSystem(environment.systemLanguage ? environment.systemLanguage() : QString());
    const SettingsFile file(environment.files.SettingsPath());
    // A file without the key reads as the start-up reads it.
    return IsRussianLanguageValue(file.Exists() ? file.ReadString(QStringLiteral("Settings"), QStringLiteral("Language"),
                                                                  QStringLiteral("ru"))
                                                : systemValue);
}

// A minimised window comes back as it was (maximised or not).
void BringToFront(QWidget& window)
{
    if (window.isMinimized())
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
}

}   // namespace

Program::Program(Environment environment, Making making) : files_(environment.files)
{
    // An installed program's first run makes its folders; a failure shows
    // later, as a folder that cannot be written does.
    if (files_.mode == FileLocations::Mode::Installed)
        files_.MakeFolders();
    // Before anything is read or written, so that a second copy reads
    // nothing half-written and writes nothing at all.
    folderLock_ = std::make_unique<ProgramFolderLock>(files_.dataFolder);
    if (folderLock_->state() == ProgramFolderLock::State::HeldByAnother) {
        DeferToTheRunningCopy(environment);
        return;
    }
    if (folderLock_->state() == ProgramFolderLock::State::Held)
        RemoveProgramLeftovers(files_);
    terminationSignals = std::make_unique<TerminationSignals>();
    QObject::connect(terminationSignals.get(), &TerminationSignals::received, terminationSignals.get(),
                     [this](int, bool duringStartUp) {
                         if (duringStartUp)
                             EndDuringStartUp();
                     });
    auto boxes = std::make_shared<QtMessages>();
    if (!environment.messages)
        environment.messages = boxes;
    form1 = std::make_unique<TForm1>(std::move(environment), nullptr,
                                     making == Making::AllNow ? TForm1::Making::AllNow : TForm1::Making::FirstFrameFirst);
    boxes->SetParent(form1.get());
    if (making == Making::AllNow) {
        MakeDialogs();
    } else {
        AfterFirstFrame(form1.get(), [this] {
            CompleteAfterFirstFrame(*form1);
            MakeDialogs();
        });
    }
    InstallProgress(*form1);
    InstallExport(*form1);   // under "Progress…"
    InstallImport(*form1);   // under "Export…"
    raiseRequests_ = std::make_unique<RaiseRequests>(files_.dataFolder, [form = form1.get()] { BringToFront(*form); });
    ConnectDrawToProgress(*form1);
    startingUp_ = false;
    TerminationSignals::StartUpDone();
}

void Program::MakeDialogs()
{
    form2 = std::make_unique<TForm2>(form1.get());
    frmGL = std::make_unique<TfrmGL>(form1.get(), form1.get());
    form3 = std::make_unique<TForm3>(form1.get());
    AttachDialogs(*form1, form2.get(), frmGL.get(), form3.get());
}

void Program::DeferToTheRunningCopy(const Environment& environment)
{
    const std::shared_ptr<Messages> messages = environment.messages ? environment.messages : std::make_shared<QtMessages>();
    messages->Inform(AlreadyRunningText(RussianInterface(environment)));
    // After the box: the running copy's window is what the user sees next.
    AskRunningCopyToRaise(files_.dataFolder);
}

Program::~Program()
{
    raiseRequests_.reset();
    terminationSignals.reset();
    // The dialogs are children of the main window: release them first.
    form3.reset();
    frmGL.reset();
    form2.reset();
    form1.reset();
}

void Program::EndDuringStartUp()
{
    EndRunUnsaved(form1.get(), frmGL.get(), files_.FontFilePath(), startingUp_);
}

void Program::FollowTheSession()
{
    FollowDesktopSession(form1.get(), terminationSignals.get());
}

int RunWindowedProgram(int& argc, char* argv[], const std::function<void(TForm1&)>& beforeShow)
{
    StartLoadingFontSystem();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    // No display name of its own: it would be appended to every window title.
    Program program(Environment::Default(), Program::Making::FirstFrameFirst);
    if (!program.Started())
        return 0;   // another copy runs from this folder; it was brought to the front
    // The other windows take the main window's icon, decoded while it was made.
    QApplication::setWindowIcon(program.form1->windowIcon());
    program.FollowTheSession();
    if (beforeShow)
        beforeShow(*program.form1);
    program.form1->show();
    return application.exec();
}
