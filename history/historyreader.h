#pragma once
// Reads History.csv piece by piece, as it comes off the disk, with the rules
// of ParseHistory (but a line longer than 64 KiB is skipped unread): a file of millions of lines is read without holding its
// text and without allocating per line. No widgets.

#include "history/historyfile.h"

#include <cstddef>

class HistoryReader {
public:
    // Room for about this many attempts, so that a long file is kept
    // without the copies of a growing vector.
    void Reserve(size_t attempts) { content_.attempts.reserve(attempts); }
    // Any piece of the file; a line may continue in the next piece.
    void Feed(const char* data, size_t size);
    // The last line, even without a line end, and what was read.
    HistoryContent Finish();

    struct DayCache {
        char date[10] = {};   // "2026-12-09" of the last line read
        qint64 number = 0;    // its days since 1970-01-01
    };

private:
    void ReadLine(const char* begin, const char* end);
    // A line exactly as the program writes it, read without allocating;
    // false for anything else, which ParseAttempt then decides on.
    bool ReadWrittenLine(const char* begin, const char* end, Attempt& attempt);
    void Keep(const char* begin, const char* end);

    bool overlong_ = false;   // the line being read is too long to be one of ours: skipped

    DayCache day_;
    QByteArray unfinished_;   // the start of a line the next piece completes
    HistoryContent content_;
};
