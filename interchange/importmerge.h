#pragma once
// Other timers' solves written into History.csv: each becomes a line with its
// own time, the second it was accepted, its split and its scramble, and the
// column "source" ("cstimer", "twistytimer"; empty for the program's own
// lines) after the program's columns. The lines are sorted into place by
// date in one atomic replacement of the file, under the lock the appends
// take. No widgets.

#include "interchange/importread.h"
#include "history/historyfile.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

// Today's header with "source" after the program's columns.
QByteArray HistoryHeaderWithSource();

// The second History.csv keeps: the one the time was accepted in, the start
// plus the time (a start in whole seconds gives the time rounded up, as the
// export took it away).
qint64 AcceptedSecond(const ImportedSolve& solve);

// The solve as a whole line of the file, its line end included; empty when
// it would not read back as written (a time over a day, a split after the
// end of the time), which is then not imported.
QByteArray ImportedLine(const ImportedSolve& solve);

struct HistoryMerge {
    std::optional<QByteArray> content;   // the new file; nothing when no solve is new or columns are foreign
    int added = 0;
    int alreadyThere = 0;                // the same date, time and scramble from the same timer, or the program's own
    int unfit = 0;                       // lines History.csv could not hold
    std::vector<size_t> addedSolves;     // which of the solves are new, in their order
    bool foreignColumns = false;         // a header in an order of its own: the file is left alone
};

// The file's bytes with the new solves among its lines. Its own lines keep
// their bytes and their order, blank and damaged ones too; each new one goes
// before the first line of a later second, those of one file in the order of
// their dates. The headers give way to one at the top that names "source".
HistoryMerge MergeSolves(const QByteArray& history, const std::vector<ImportedSolve>& solves);

enum class ImportWriteResult {
    Written,          // the new lines are in the file
    NothingNew,       // every solve was there already: the file is untouched
    Cancelled,        // nothing written
    Busy,             // another program held the file's lock all the while
    ForeignColumns,   // History.csv's columns are in an order of its own
    Refused,          // the system refused: the old file is intact
};

struct ImportWrite {
    ImportWriteResult result = ImportWriteResult::Refused;
    int added = 0;
    int alreadyThere = 0;
    int unfit = 0;
    std::vector<size_t> addedSolves;     // which of the solves went in
};

// The merge, under the lock, as one replacement; cancelled, asked last before
// the replacement, drops it.
ImportWrite WriteImport(const QString& historyPath, const std::vector<ImportedSolve>& solves, const LockWait& wait,
                        const std::function<bool()>& cancelled = {});
