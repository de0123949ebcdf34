#pragma once
// Times kept by other timers, read for History.csv: csTimer's JSON export,
// csTimer's CSV export and TwistyTimer's backup, told apart by their content.
// Each solve's case is found from its scramble on the cube model. No widgets.

#include "core/catalogue.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

// One solve of another timer that is a last-layer case of the program.
struct ImportedSolve {
    CaseSet set = CaseSet::OLL;
    int caseNumber = 0;                 // the program's own number
    qint64 totalMs = 0;                 // the timer's own whole milliseconds
    std::optional<qint64> splitMs;      // csTimer's first phase, when it kept two
    qint64 startUnixMs = 0;             // when the solve began
    QString scramble;                   // as the timer kept it
    QString source;                     // "cstimer" or "twistytimer"
    // What the program's own export wrote in the comment ("OLL 27 Sune, Hard,
    // 2-side, exam"), read back; Easy, one-side and no exam for anything else.
    Level level = Level::Easy;
    bool twoSide = false;
    bool exam = false;
};

// Solves left out, by reason ("a DNF", "not a last-layer case", ...), in the
// language asked for; where: the solve's place for the summary ("session 2,
// solve 14", "line 31").
struct SkippedSolve {
    QString where;
    QString reason;
};

struct ImportReading {
    QString format;                       // "csTimer", "csTimer CSV", "TwistyTimer"
    std::vector<ImportedSolve> solves;
    std::vector<SkippedSolve> skipped;
    QString error;                        // the whole file refused: why, for the user; empty when read
    bool cancelled = false;
};

// done, total: solves looked at so far; returning false cancels the reading.
using ImportProgress = std::function<bool(qint64 done, qint64 total)>;

// The solves of a file's content; russian: the language of the reasons and
// the error.
ImportReading ReadImport(const QByteArray& content, bool russian, const ImportProgress& progress = {});
// The same from a file, with the file's own errors (missing, unreadable, too big).
ImportReading ReadImportFile(const QString& path, bool russian, const ImportProgress& progress = {});
