#pragma once
// The stopwatch font: written beside the program as digital.ttf from the
// embedded "MyWave", registered for this process only, and released at the
// end of the run.

#include <QFont>
#include <QString>

class Messages;

struct StopwatchFont {
    int id = -1;          // the registration, -1 when none
    QString family;       // the font's own face name
};

// Writes and registers the font file; reports a failure of either step with
// its Russian-only message (the interface language is not known yet).
StopwatchFont InstallStopwatchFont(const QString& programFolder, Messages& messages);

// Unregisters the font and deletes digital.ttf; failures are ignored.
void ReleaseStopwatchFont(const QString& programFolder, StopwatchFont& font);

// The largest size up to maxPixelSize at which the full segment pattern
// "88,888" fits the given box, so a face wider than the one the panel was
// drawn for still shows every digit.
QFont FittedStopwatchFont(const QString& family, int maxPixelSize, const QSize& box);

// The path of the font file in the program folder.
QString StopwatchFontPath(const QString& programFolder);
