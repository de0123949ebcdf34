#pragma once
// History.csv: every recorded time, one RFC 4180 line each, beside
// Settings.ini. The program only ever appends to it. No widgets.

#include "core/attempt.h"
#include "core/catalogue.h"
#include "platform/filelock.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <functional>
#include <optional>
#include <vector>

// A line of the naming drill: kept apart from the attempts, whose tiles and
// statistics it never enters. A miss or a give-up has no time (0 here, an
// empty "seconds" in the file, which older readers skip).
struct DrillRecord {
    Attempt attempt;
    AttemptDetail detail;

    bool operator==(const DrillRecord&) const = default;
};

// "time,set,case,level,recognition,seconds,exam,scramble,mode,split,answer,result"
QByteArray HistoryHeader();
// The header of files written before the scramble column existed:
// "time,set,case,level,recognition,seconds,exam". Their lines still read.
QByteArray HistoryHeaderWithoutScramble();

// One field as RFC 4180 writes it: quoted, with doubled quotes, when it
// holds a comma, a quote or a line break.
QByteArray CsvField(const QByteArray& text);

// Splits one line into its fields, undoing the quoting; false when the
// quotes do not pair up.
bool SplitCsvLine(const QByteArray& line, std::vector<QByteArray>& fields);

// "2026-12-09T11:32:05Z,OLL,21,Easy,top,1.470,0,R U R' U',split,0.880,,"
// without the line end; the scramble is empty when no setup scramble was
// shown. Runs of blanks and line breaks in the scramble and the answer become
// single blanks, so that the line stays one line. A drill's miss or give-up
// has an empty "seconds".
QByteArray FormatAttempt(const Attempt& attempt, const QString& scramble = QString(),
                         const AttemptDetail& detail = AttemptDetail());
// The reverse, for a line in the program's column order, of today or of an
// older file; false for anything that is not a well-formed line. The
// scramble and the detail, when asked for, come back as FormatAttempt wrote
// them. One line of HistoryLineParser (historyreader.h).
bool ParseAttempt(const QByteArray& line, Attempt& attempt, QString* scramble = nullptr,
                  AttemptDetail* detail = nullptr);

// "1.470" for 1470 ms.
QString SecondsText(int milliseconds);

struct HistoryContent {
    std::vector<Attempt> attempts;      // timed attempts, in the order of the file
    std::vector<AttemptSplit> splits;   // the marks of the split attempts among them
    std::vector<DrillRecord> drill;     // the naming drill's lines, in the order of the file
    int skippedLines = 0;               // lines that could not be read
};

// Reads a whole file's bytes, as HistoryReader reads it piece by piece:
// header lines set the column order, blank lines are passed over, any other
// line that does not read (and a last line without its line end) is skipped
// and counted.
HistoryContent ParseHistory(const QByteArray& content);

// --- The file itself (historyfileio.cpp) ---
// Only a regular file, or a link to one, is ever opened: a pipe, a device or
// a folder at the name is refused without waiting on it.

enum class HistoryOpening { Opened, Missing, Refused };

// Opens the file for reading: its descriptor (the caller closes it), or -1.
int OpenHistoryForReading(const QString& path, HistoryOpening& opening);

// An append waits for the file's lock as LockWait says; BoundedLockWait()
// for tools and benchmarks (the window never waits on the lock).

// One attempt as a whole line of the file, its line end included.
QByteArray HistoryLine(const Attempt& attempt, const QString& scramble = QString(),
                       const AttemptDetail& detail = AttemptDetail());

enum class AppendOutcome {
    Written,     // every line is on the disk
    LockTaken,   // another copy holds the file: nothing written, try later
    Refused,     // the system refused (no room, no rights, not a regular file): nothing written
};

// Appends whole lines (each with its line end) to the file at path in a
// single write on a file opened for appending, under an exclusive lock, and
// waits for the data to reach the disk. All of them are written, or none:
// a write cut short is undone. A missing or empty file (or one holding only
// a byte order mark, which stays) gets the header first; a file whose last
// line was torn off gets a line end first (or just the LF after a lone CR),
// so the lines start on a line of their own. The file is never rewritten: a
// file that starts with an older header keeps it (the store brings it up to
// date apart, in the background: UpgradeHistoryHeader).
AppendOutcome AppendLines(const QString& path, const QByteArray& lines, const LockWait& wait = LockWait());

// The whole file rewritten under the lock the appends take: change gets the
// file's bytes (empty when there is no file yet; it is created empty to be
// locked) and returns the new bytes, or nothing to leave the file as it is.
// The new bytes replace the file atomically (old bytes or new, whatever
// happens), at the file a symbolic link points to. A change that throws
// writes nothing. A file larger than largest is Refused, unread.
enum class ReplaceOutcome { Written, Unchanged, LockTaken, Refused };
using HistoryChange = std::function<std::optional<QByteArray>(const QByteArray& content)>;
ReplaceOutcome ReplaceHistory(const QString& path, const HistoryChange& change, const LockWait& wait,
                              qsizetype largest = qsizetype(1) << 30);

// The bytes of a file whose first line (after a byte order mark) is an older
// header of the program, its columns a strict start of today's, with that
// line made today's header and every other byte as it was; nothing for any
// other file (a header of another program's, or one already today's).
std::optional<QByteArray> WithTodaysHeader(const QByteArray& content);

// Larger files keep their older header: the upgrade holds the file in memory.
constexpr qsizetype kLargestHeaderUpgrade = qsizetype(256) << 20;

// Brings an older header up to date through ReplaceHistory, never waiting
// for the lock: Unchanged when there is nothing to do (or abandoned turned
// true before the write), LockTaken or Refused leaving the file as it was.
// The start of the file is looked at first, so that a file already up to
// date is not read whole. Meant for a worker thread.
ReplaceOutcome UpgradeHistoryHeader(const QString& path, const std::atomic<bool>* abandoned = nullptr);

// One attempt's line, waiting on the lock boundedly: true when written.
bool AppendAttempt(const QString& path, const Attempt& attempt, const QString& scramble = QString());
bool AppendAttempt(const QString& path, const Attempt& attempt, const QString& scramble, const LockWait& wait);
