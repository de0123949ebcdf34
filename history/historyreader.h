#pragma once
// Reading History.csv: the one parser of its lines, and the reader that feeds
// it the file piece by piece as it comes off the disk. No widgets.
//
// A header line names the columns, and the lines after it are read in the
// order it gives (today's "time,set,case,level,recognition,seconds,exam,
// scramble,mode,split,answer,result", in any order, columns of other names
// passed over). Lines before any header are read in today's order. The
// program never rewrites an older header: it appends today's lines under it,
// so the fields of a line beyond the header's columns are today's columns the
// header does not name, in today's order (the scramble, then mode, split,
// answer and result under the seven-column header of the first files). A line
// may also stop before the header's last columns when only optional ones
// (all but the first seven) are missing: a line written before they existed.

#include "history/historyfile.h"

#include <array>
#include <cstddef>
#include <cstdint>

class HistoryLineParser {
public:
    enum class Line { Attempt, Header, Blank, Damaged };

    // One line, begin..end, without its line end (a CR before it is dropped
    // here). A header line sets the column order for the lines after it. The
    // scramble, when asked for, comes back as FormatAttempt wrote it.
    // The detail, when asked for, is set for every line read (empty for a
    // plain timed attempt).
    Line Read(const char* begin, const char* end, Attempt& attempt, QString* scramble = nullptr,
              AttemptDetail* detail = nullptr);

    // The quick way splits a line without quotes where it lies, with no
    // allocation; off, every line is unquoted into copies first, as a quoted
    // line always is. The fuzzer checks that both read alike.
    void SetQuickPath(bool on) { quickPath_ = on; }

    static constexpr int kMostColumns = 16;   // that a header may name
    enum class Column : std::uint8_t {
        Time, Set, Case, Level, Recognition, Seconds, Exam,   // required
        Scramble, Mode, Split, Answer, Result,                // optional, in today's order
        Other
    };
    static constexpr int kTodaysColumns = static_cast<int>(Column::Other);
    static constexpr int kRequiredColumns = static_cast<int>(Column::Scramble);
    // A line under a header: its columns, and today's it does not name.
    static constexpr int kMostFields = kMostColumns + kTodaysColumns - kRequiredColumns;
    struct Field {   // left uninitialised in arrays: a line's fields are set before they are read
        const char* begin;
        const char* end;
        size_t size() const { return static_cast<size_t>(end - begin); }
    };
    // The lines of one day share the date: its day number is worked out once.
    struct DayCache {
        char date[10] = {};   // "2026-12-09" of the last line read
        qint64 number = 0;    // its days since 1970-01-01
    };

private:
    struct Layout {
        std::array<Column, kMostFields> columns{};   // the header's, then today's it lacks
        int leastFields = 0;   // up to the last required column
        int mostFields = 0;
    };
    static Layout ProgramLayout();

    Line ReadFields(const Field* fields, int count, const char* begin, const char* end, Attempt& attempt,
                    QString* scramble, AttemptDetail* detail);
    bool ReadAttempt(const Field* fields, int count, Attempt& attempt, QString* scramble, AttemptDetail* detail);
    bool ReadHeader(const Field* fields, int count);

    Layout layout_ = ProgramLayout();
    DayCache day_;
    bool quickPath_ = true;
};

class HistoryReader {
public:
    // Room for about this many attempts up front, so that a long file is
    // kept without the copies of a growing vector; bounded, whatever is asked.
    void Reserve(size_t attempts);
    // Any piece of the file; a line may continue in the next piece. A UTF-8
    // byte order mark at the start of the file (spreadsheets save one) reads
    // as nothing. A line longer than 64 KiB is skipped unread.
    void Feed(const char* data, size_t size);
    // What was read. The last line without its line end is counted as
    // damaged: it may be an append cut short. A lone CR at its end shows the
    // line itself whole; it reads.
    HistoryContent Finish();
    // So many bytes without a line end that this is no History.csv (a file of
    // NUL bytes, a disk image): the caller stops reading.
    bool GaveUp() const { return bytesWithoutLineEnd_ > kMostBytesWithoutLineEnd; }

    HistoryLineParser& Parser() { return parser_; }

    static constexpr size_t kMostReserved = size_t(1) << 23;   // 8 Mi attempts: 128 MiB of address space
    static constexpr qint64 kMostBytesWithoutLineEnd = 16LL << 20;

private:
    void ReadLine(const char* begin, const char* end);
    void Keep(const char* begin, const char* end);
    void Keep(const Attempt& attempt, AttemptDetail&& detail);

    HistoryLineParser parser_;
    bool atFileStart_ = true;   // a byte order mark may come first
    bool overlong_ = false;     // the line being read is too long to be one of ours: skipped
    qint64 bytesWithoutLineEnd_ = 0;
    QByteArray unfinished_;     // the start of a line the next piece completes
    HistoryContent content_;
};
