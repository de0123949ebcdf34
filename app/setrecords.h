#pragma once
// Helpers of the set's records on the tiles, shared by start-up, the set
// switch and shut-down.

#include "core/catalogue.h"
#include "settings/setkeys.h"

#include <QString>

class TForm1;

// Shows the tiles of the set's cases and hides the rest.
void ShowTilesOf(TForm1& form, CaseSet set);

// A made tile shows the session's record, or its case's enabled flag and
// look; a tile not made yet is left to be filled when it is made.
void ShowRecordOnTile(TForm1& form, int caseNumber);
void ShowEnabledOnTile(TForm1& form, int caseNumber);
// All the session shows on a tile made after the set was loaded: thumbnail,
// record and enabled look (the bars follow with RefreshTileBars).
void ShowSessionOnTile(TForm1& form, int caseNumber);
