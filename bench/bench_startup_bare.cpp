// The yardstick for start-up: a bare Qt Widgets window of the main window's
// size, started the way the program starts. With an argument N the window
// shows N small labels of text (for the analysis: the first text loads the
// font system, which the empty window never does; 600 labels stand for the
// main window's count of controls).
#include "shown.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tesselo"));
    QWidget window;
    window.resize(800, 644);
    window.setWindowTitle(QStringLiteral("Tesselo"));
    const int labels = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 0;
    for (int i = 0; i < labels; ++i) {
        auto* label = new QLabel(QStringLiteral("Avg: %1").arg(i), &window);
        label->setGeometry(300 + (i % 30) * 16, (i / 30) * 20, 40, 13);
    }
    new ShownReporter(&window, [&window] { window.close(); });
    window.show();
    return application.exec();
}
