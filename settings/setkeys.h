#pragma once
// Where Settings.ini keeps a set's records and which set is active.

#include "core/catalogue.h"

#include <QString>

class SettingsFile;

// The settings keys of a set: "al"/"pal", "avg"/"pavg", ..., "OLL hints"/"PLL hints".
struct SetKeys {
    QString enabled, average, best, count, hintSection;
    static SetKeys Of(CaseSet set);
};

// The set the file makes active ("mode"): OLL unless it says otherwise.
CaseSet ActiveSetIn(const SettingsFile& file);
