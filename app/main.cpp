// Program entry: the application titled "Tesselo", its four windows, the
// message loop until the main window closes; or, with --export or --import,
// an export of History.csv or an import into it, and no window at all.
#include "app/importcommand.h"
#include "app/program.h"
#include "interchange/exportcommand.h"

int main(int argc, char* argv[])
{
    // Before any window system is contacted: an export or an import needs no display.
    if (AsksForExport(argc, argv))
        return RunExportCommand(argc, argv);
    if (AsksForImport(argc, argv))
        return RunImportCommand(argc, argv);
    return RunWindowedProgram(argc, argv);
}
