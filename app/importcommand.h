#pragma once
// `tesselo --import FILE`: a csTimer or TwistyTimer file imported into
// History.csv from the command line, with no window and no display. The
// program must not be running from the same folder: the command holds the
// program's single-copy lock while it imports, so that no window can start
// on the file meanwhile, and refuses when a window holds it.

// True when the first argument is "--import".
bool AsksForImport(int argc, char* argv[]);

// Runs the import and gives the exit code: 0 when the solves are in
// History.csv (also when all were there already), 1 when nothing was
// imported (the file refused, nothing in it to import, the program running,
// History.csv not written), 2 for wrong arguments. The summary goes to
// stdout, errors to stderr.
int RunImportCommand(int argc, char* argv[]);
