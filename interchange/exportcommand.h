#pragma once
// `tesselo --export cstimer FILE` and `tesselo --export twistytimer FILE`:
// History.csv exported from the command line, with no window and no display.
// Decided before any application object exists, so that no window system
// is ever contacted.

// True when the first argument is "--export".
bool AsksForExport(int argc, char* argv[]);

// Runs the export and gives the exit code: 0 when the file was written, 1
// when History.csv could not be read or the file not written, 2 for wrong
// arguments. The outcome is printed (errors on stderr).
int RunExportCommand(int argc, char* argv[]);
