// The yardstick for start-up: a bare Qt Widgets window of the main window's
// size, started the way the program starts.
#include "shown.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tesselo"));
    QWidget window;
    window.resize(800, 644);
    window.setWindowTitle(QStringLiteral("Tesselo"));
    new ShownReporter(&window, [&window] { window.close(); });
    window.show();
    return application.exec();
}
