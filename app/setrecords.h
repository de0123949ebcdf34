#pragma once
// Helpers of the set's records on the tiles, shared by start-up, the set
// switch and shut-down.

#include "core/catalogue.h"
#include "settings/setkeys.h"

#include <QString>

class TForm1;

// Shows the tiles of the set's cases and hides the rest.
void ShowTilesOf(TForm1& form, CaseSet set);
