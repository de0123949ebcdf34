#pragma once
// What runs killed half-way left in the program folder: the temporaries of
// the files the program replaces whole, and the first-run draft of older
// versions. No widgets.

#include "platform/filelocations.h"

// Removes them; only names that are exactly a temporary of one of the
// program's own files, never a file of the user's. Call while holding the
// data folder's lock (app/singlecopy.h), so that no copy using this
// folder can be writing them; the temporaries of a Settings.ini or
// History.csv reached through a link are removed only under that file's own
// lock, which copies from other folders take too.
void RemoveProgramLeftovers(const FileLocations& files);
