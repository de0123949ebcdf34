#pragma once
// Enabling cases by shape group (the Dots, the T cases, the G perms ...):
// the "Groups…" button beside the bulk operations and its dialog.

#include <QString>

class TForm1;

// Group actions wait while an attempt or an exam runs.
bool GroupActionsAllowed(const TForm1& form);

// How many of the active set's cases of the group are enabled, and of how many.
struct GroupCount {
    int enabled = 0;
    int total = 0;
};
GroupCount CountGroup(const TForm1& form, const QString& group);

// Each action changes the enabled flags of the active set as Enable all
// does, then writes them with one replacement of Settings.ini.
// Exactly the group's cases enabled, every other case disabled.
void EnableOnlyGroup(TForm1& form, const QString& group);
// The whole group enabled, or disabled when it is enabled already.
void ToggleGroup(TForm1& form, const QString& group);
