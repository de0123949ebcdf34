// Program entry: the application titled "Tesselo", its four windows, the
// message loop until the main window closes.
#include "app/program.h"
#include "window/tform1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    QApplication::setApplicationDisplayName(QString::fromLatin1(kApplicationTitle));
    Program program(Environment::Default());
    program.form1->show();
    return application.exec();
}
