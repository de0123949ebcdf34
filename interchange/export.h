#pragma once
// History.csv in the files other timers import: csTimer's JSON export and
// TwistyTimer's backup. The times are the file's whole milliseconds, never
// rounded again. No widgets.
//
// csTimer: one session per set that has times ("Tesselo OLL", then
// "Tesselo PLL"), numbered from 1, so the file starts with {"session1" as
// csTimer's own files do and csTimer recognises it by. Each solve is
// [[0,ms],scramble,comment,start]: penalty 0, the time, the setup scramble
// (empty without one), the comment, and the start in whole Unix seconds. A
// time with its recognition split is [[0,ms,split],...], in a session of two
// phases. The naming drill's answers are no solves: neither format has them.
// TwistyTimer: its backup's header, then one line per time with every field
// quoted and ';' between them, puzzle "333", penalty 0, and the date in
// milliseconds of the moment the time was accepted.

#include "core/caseidentity.h"
#include "history/historyfile.h"

#include <QByteArray>
#include <QString>
#include <optional>

enum class ExportFormat { CsTimer, TwistyTimer };

// "cstimer" or "twistytimer", in any letter case; nothing for anything else.
std::optional<ExportFormat> ExportFormatNamed(const QString& name);

// "Tesselo OLL", "Tesselo PLL": the csTimer session and the TwistyTimer category.
QString ExportedSetName(CaseSet set);

// "OLL 27 Sune, Easy", "PLL Ub, Hard, 2-side, exam": the case's standard
// identity and name, the level, two-face recognition and the exam.
QString AttemptComment(const Attempt& attempt, const CaseIdentityTable& cases);

// When the solve began, in whole seconds: History.csv keeps the second the
// time was accepted, so the start is that less the time, rounded down. The
// accepted second comes back as start + the time rounded up to a second.
qint64 StartSeconds(const Attempt& attempt);

struct ExportCounts {
    int oll = 0;
    int pll = 0;
    int skippedLines = 0;   // lines of History.csv that did not read
};

// The export of History.csv's bytes (its attempts in the order of the file).
QByteArray ExportHistory(ExportFormat format, const QByteArray& historyContent, const CaseIdentityTable& cases,
                         ExportCounts* counts = nullptr);
