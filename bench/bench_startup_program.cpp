// The program's own start, as app/main.cpp does it, reporting when the main
// window is on screen; then a normal close (shut-down runs).
#include "app/program.h"
#include "shown.h"
#include "window/fonts.h"
#include "window/tform1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    StartLoadingFontSystem();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    QApplication::setApplicationDisplayName(QString::fromLatin1(kApplicationTitle));
    Program program(Environment::Default(), Program::Dialogs::AfterFirstFrame);
    TForm1* window = program.form1.get();
    new ShownReporter(window, [window] { window->close(); });
    window->show();
    return application.exec();
}
