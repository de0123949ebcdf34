#pragma once
// History.csv: every recorded time, one RFC 4180 line each, beside
// Settings.ini. The program only ever appends to it. No widgets.

#include "trainer/catalogue.h"

#include <QByteArray>
#include <QString>
#include <vector>

// One recorded time, as a line of History.csv holds it. Packed into 16
// bytes: a history of millions of times is kept in memory whole.
struct Attempt {
    qint64 utcSeconds = 0;       // seconds since 1970-01-01T00:00:00Z
    qint32 milliseconds = 0;     // the time, exact to the thousandth
    CaseSet set : 2 = CaseSet::OLL;
    int caseNumber : 8 = 0;
    Level level : 2 = Level::Easy;
    bool twoSide : 1 = false;    // PLL Hard recognised from two faces
    bool exam : 1 = false;

    bool operator==(const Attempt&) const = default;
};
static_assert(sizeof(Attempt) == 16);

// "time,set,case,level,recognition,seconds,exam"
QByteArray HistoryHeader();

// One field as RFC 4180 writes it: quoted, with doubled quotes, when it
// holds a comma, a quote or a line break.
QByteArray CsvField(const QByteArray& text);

// Splits one line into its fields, undoing the quoting; false when the
// quotes do not pair up.
bool SplitCsvLine(const QByteArray& line, std::vector<QByteArray>& fields);

// "2026-12-09T11:32:05Z,OLL,21,Easy,top,1.470,0" without the line end.
QByteArray FormatAttempt(const Attempt& attempt);
// The reverse; false for anything that is not a well-formed line.
bool ParseAttempt(const QByteArray& line, Attempt& attempt);

// "1.470" for 1470 ms.
QString SecondsText(int milliseconds);

struct HistoryContent {
    std::vector<Attempt> attempts;   // in the order of the file
    int skippedLines = 0;            // lines that could not be read
};

// Reads a whole file's bytes. Header lines and blank lines are passed over;
// any other line that does not read is skipped and counted.
HistoryContent ParseHistory(const QByteArray& content);

// Appends one attempt to the file at path in a single write on a file
// opened for appending, under an exclusive lock, and waits for the data to
// reach the disk. A missing or empty file gets the header first; a file
// whose last line was torn off gets a line end first, so the new line
// starts on a line of its own. Returns false when the system refused.
bool AppendAttempt(const QString& path, const Attempt& attempt);
