#pragma once
// The integer forms of the values Settings.ini holds. No widgets.

#include <QString>

// The integer reading of the file's value forms ("$1F", "x1f", "0x1f", "-12",
// " 7"): false when the text is not an integer in any of them.
bool ParseProfileInteger(const QString& text, int& value);
