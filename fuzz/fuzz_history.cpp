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
        FuzzCheck(attempt.milliseconds <= 24 * 3600 * 1000, "a read time is a day at most");
    }
    // Each line on its own, with its scramble: one that reads is written back
    // as one line that reads the same.
    qsizetype start = 0;
    while (start <= content.size()) {
        qsizetype end = content.indexOf('\n', start);
        if (end < 0)
            end = content.size();
        QByteArray line = content.mid(start, end - start);
        start = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        Attempt attempt;
        QString scramble;
        if (!ParseAttempt(line, attempt, &scramble))
            continue;
        const QByteArray written = FormatAttempt(attempt, scramble);
        Attempt again;
        QString scrambleAgain;
        FuzzCheck(!written.contains('\n') && !written.contains('\r'), "a written line is one line",
                  QString::fromLatin1(written.toHex()));
        FuzzCheck(ParseAttempt(written, again, &scrambleAgain) && again == attempt && scrambleAgain == scramble,
                  "a read line writes back the same", QString::fromLatin1(written.toHex()));
    }
    return 0;
}
