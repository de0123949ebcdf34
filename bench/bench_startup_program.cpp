// The program's own start, the very path app/main.cpp runs, reporting when
// the main window is on screen; then a normal close (shut-down runs).
#include "app/program.h"
#include "shown.h"
#include "window/tform1.h"

int main(int argc, char* argv[])
{
    return RunWindowedProgram(argc, argv, [](TForm1& window) {
        new ShownReporter(&window, [&window] { window.close(); });
    });
}
