#pragma once
// The stopwatch font, the embedded "MyWave", registered for this process
// only and released at the end of the run. A portable program writes it
// beside itself as digital.ttf first, as it always has; an installed one
// registers it from memory and writes nothing (platform/filelocations.h).

#include <QFont>
#include <QString>

class Messages;

struct StopwatchFont {
    int id = -1;          // the registration, -1 when none
    QString family;       // the font's own face name
};

// Writes the font to fontFile and registers that file, or registers the font
// from memory when fontFile is empty; reports a failure of either step with
// its Russian-only message (the interface language is not known yet).
StopwatchFont InstallStopwatchFont(const QString& fontFile, Messages& messages);

// Unregisters the font and deletes fontFile (if any); failures are ignored.
void ReleaseStopwatchFont(const QString& fontFile, StopwatchFont& font);

// The largest size up to maxPixelSize at which the full segment pattern
// "88,888" fits the given box, so a face wider than the one the panel was
// drawn for still shows every digit.
QFont FittedStopwatchFont(const QString& family, int maxPixelSize, const QSize& box);

