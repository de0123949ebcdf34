// Where start-up's time goes, in one process: the application object, the
// main window with its start-up handler, the three other windows (the About
// window makes its OpenGL context), and the first show until the window
// system has exposed the main window. Prints
// "parts <application> <main window> <other windows> <About window> <show>" in ms.
#include "about/tfrmgl.h"
#include "board/tform2.h"
#include "board/tform3.h"
#include "window/fonts.h"
#include "window/tform1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>
#include <cstdio>
#include <utility>

int main(int argc, char* argv[])
{
    QElapsedTimer clock;
    clock.start();
    double last = 0;
    const auto since = [&](double& mark) {
        const double now = double(clock.nsecsElapsed()) / 1e6;
        const double part = now - mark;
        mark = now;
        return part;
    };
    StartLoadingFontSystem();   // as app/main.cpp
    QApplication application(argc, argv);
    const double app = since(last);
    Environment env = Environment::Default();
    env.messages = std::make_shared<RecordingMessages>();
    auto form1 = std::make_unique<TForm1>(env, nullptr, TForm1::Making::FirstFrameFirst);   // as the program a user starts
    const double main = since(last);
    auto form2 = std::make_unique<TForm2>(form1.get());
    double dialogs = since(last);
    auto frmGL = std::make_unique<TfrmGL>(form1.get(), form1.get());
    const double about = since(last);
    auto form3 = std::make_unique<TForm3>(form1.get());
    dialogs += since(last);
    AttachDialogs(*form1, form2.get(), frmGL.get(), form3.get());
    form1->show();
    while (!form1->windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QApplication::processEvents();
    const double show = since(last);
    std::printf("parts %.2f %.2f %.2f %.2f %.2f\n", app, main, dialogs, about, show);
    std::fflush(stdout);
    form1->close();
    frmGL.reset();
    form3.reset();
    form2.reset();
    return 0;
}
