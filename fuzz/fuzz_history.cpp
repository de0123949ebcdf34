// History.csv as a power cut, a hand edit or another program may leave it:
// reading never crashes, every line is either read or counted as skipped,
// and a line that reads is written back in a form that reads the same.
#include "fuzz_check.h"
#include "history/historyfile.h"
#include "history/historyreader.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const HistoryContent history = ParseHistory(content);
    const qsizetype lines = content.count('\n') + 1;
    FuzzCheck(static_cast<qsizetype>(history.attempts.size()) + history.skippedLines <= lines,
              "no more attempts and skipped lines than there are lines", QString::fromLatin1(content.toHex()));
    // The background reader, fed in two pieces cut anywhere, reads the same
    // (lines beyond its 64 KiB bound aside).
    if (size < 64 * 1024) {
        HistoryReader reader;
        const size_t cut = size == 0 ? 0 : data[0] % size;
        reader.Feed(content.constData(), cut);
        reader.Feed(content.constData() + cut, size - cut);
        const HistoryContent pieces = reader.Finish();
        FuzzCheck(pieces.attempts == history.attempts && pieces.skippedLines == history.skippedLines,
                  "the piecewise reader agrees", QString::fromLatin1(content.toHex()));
    }
    for (const Attempt& attempt : history.attempts) {
        FuzzCheck(attempt.caseNumber >= 1 && attempt.caseNumber <= CaseCount(attempt.set), "a read case exists");
        const QByteArray line = FormatAttempt(attempt);
        Attempt again;
        FuzzCheck(ParseAttempt(line, again) && again == attempt, "a read line writes back the same",
                  QString::fromLatin1(line));
    }
    return 0;
}
