#include "app/program.h"

#include "app/sessionend.h"

#include "about/tfrmgl.h"
#include "board/tform2.h"
#include "board/tform3.h"
#include "history/progresshub.h"
#include "trainer/drawchoice.h"
#include "window/messageboxes.h"
#include "window/tform1.h"

Program::Program(Environment environment) : programFolder_(environment.programFolder)
{
    terminationSignals = std::make_unique<TerminationSignals>();
    QObject::connect(terminationSignals.get(), &TerminationSignals::received, terminationSignals.get(),
                     [this](int, bool duringStartUp) {
                         if (duringStartUp)
                             EndDuringStartUp();
                     });
    auto boxes = std::make_shared<QtMessages>();
    if (!environment.messages)
        environment.messages = boxes;
    form1 = std::make_unique<TForm1>(std::move(environment));
    boxes->SetParent(form1.get());
    form2 = std::make_unique<TForm2>(form1.get());
    frmGL = std::make_unique<TfrmGL>(form1.get(), form1.get());
    form3 = std::make_unique<TForm3>(form1.get());
    form1->AttachDialogs(form2.get(), frmGL.get(), form3.get());
    InstallProgress(*form1);
    ConnectDrawToProgress(*form1);
    startingUp_ = false;
    TerminationSignals::StartUpDone();
}

Program::~Program()
{
    terminationSignals.reset();
    // The dialogs are children of the main window: release them first.
    form3.reset();
    frmGL.reset();
    form2.reset();
    form1.reset();
}
