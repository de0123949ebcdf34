#pragma once
// Helpers of the set's records on the tiles, shared by start-up, the set
// switch and shut-down.

#include "core/catalogue.h"

#include <QString>

class TForm1;

// Starts decoding the thumbnails of the set Settings.ini makes active, on a
// thread of their own, while start-up builds the window (app/startup.cpp).
void PrefetchActiveSetThumbnails(TForm1& form);

// Shows the tiles of the set's cases and hides the rest.
void ShowTilesOf(TForm1& form, CaseSet set);

// The settings keys of a set: "al"/"pal", "avg"/"pavg", ..., "OLL hints"/"PLL hints".
struct SetKeys {
    QString enabled, average, best, count, hintSection;
    static SetKeys Of(CaseSet set);
};
