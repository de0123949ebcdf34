#pragma once
// One export from History.csv to a file, as the menu and the command line
// run it: History.csv read whole, the export made, and the target replaced
// atomically, so that it holds its old bytes or the whole export. No widgets.

#include "interchange/export.h"

#include <QString>

struct ExportOutcome {
    bool written = false;
    QString error;          // why nothing was written, in the interface's language
    ExportCounts counts;
};

// A missing History.csv exports no times. The target may not be History.csv
// itself.
ExportOutcome ExportHistoryFile(const QString& historyPath, ExportFormat format, const QString& target,
                                const CaseIdentityTable& cases, bool russian);

// "Exported 12 OLL and 3 PLL times to FILE." and, when some lines of
// History.csv did not read, how many were left out.
QString ExportReport(const ExportOutcome& outcome, const QString& target, bool russian);
