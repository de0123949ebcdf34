#pragma once
// What an import tells its user, in the window's summary and on the command
// line: what went into History.csv per set and case, what was left out and
// why, and where imported times count. No widgets.

#include "core/caseidentity.h"
#include "interchange/importmerge.h"
#include "interchange/importread.h"

#include <QString>

// The solves read from a file and what their writing did.
struct ImportOutcome {
    QString file;              // the file imported
    ImportReading reading;
    ImportWrite write;
    bool written = false;      // reading and writing went through (even with nothing new)
};

// "Imported times go to the Progress window and the weak draw; ..."
QString ImportedTimesNote(bool russian);

// The summary of an import that went through.
QString ImportSummary(const ImportOutcome& outcome, const CaseIdentityTable& cases, bool russian);

// Why nothing was imported: the file refused, nothing in it to import,
// History.csv busy, refused or in a column order of its own; empty when the
// import went through or was cancelled.
QString ImportFailure(const ImportOutcome& outcome, const QString& historyPath, bool russian);

// Reads the file and writes its solves into History.csv, waiting on the
// file's lock as wait says. progress sees the reading (the writing is
// quick); returning false cancels, and nothing is written.
// read: the reading of the file (tests put their own in its place).
using ImportReader = std::function<ImportReading(const QString& path, bool russian, const ImportProgress& progress)>;
ImportOutcome ImportFile(const QString& file, const QString& historyPath, const LockWait& wait, bool russian,
                         const ImportProgress& progress = {}, const ImportReader& read = ReadImportFile);
