// Program entry: the application titled "Tesselo", its four windows, the
// message loop until the main window closes; or, with --export, an export
// of History.csv and no window at all.
#include "app/program.h"
#include "interchange/exportcommand.h"
#include "window/fonts.h"
#include "window/tform1.h"

#include "resources/resources.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>

int main(int argc, char* argv[])
{
    // Before any window system is contacted: an export needs no display.
    if (AsksForExport(argc, argv))
        return RunExportCommand(argc, argv);
    StartLoadingFontSystem();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    // No display name of its own: it would be appended to every window title.
    QPixmap icon;
    if (icon.loadFromData(EmbeddedResource(QStringLiteral("Icon"))))
        QApplication::setWindowIcon(QIcon(icon));
    Program program(Environment::Default(), Program::Dialogs::AfterFirstFrame);
    if (!program.Started())
        return 0;   // another copy runs from this folder; it was brought to the front
    program.FollowTheSession();
    program.form1->show();
    return application.exec();
}
