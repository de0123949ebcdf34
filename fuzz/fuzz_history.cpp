// History.csv as a power cut, a hand edit or another program may leave it:
// reading never crashes, every line is either read or counted as skipped,
// the quick path (lines split where they lie) reads every line as the
// general path (every line unquoted into copies) does, the file fed in
// pieces cut anywhere reads as the whole, and a line that reads is written
// back in a form that reads the same (the split and the drill's answer too).
#include "fuzz_check.h"
#include "history/historyfile.h"
#include "history/historyreader.h"

#include <cstdint>
#include <vector>

namespace {

QString Story(const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex()); }

HistoryContent ReadInPieces(const QByteArray& content, const std::vector<size_t>& cuts, bool quick)
{
    HistoryReader reader;
    reader.Parser().SetQuickPath(quick);
    size_t from = 0;
    for (const size_t cut : cuts) {
        reader.Feed(content.constData() + from, cut - from);
        from = cut;
    }
    reader.Feed(content.constData() + from, static_cast<size_t>(content.size()) - from);
    return reader.Finish();
}

// Up to eight cuts, at places the input's own bytes choose, in order.
std::vector<size_t> Cuts(const std::uint8_t* data, size_t size)
{
    std::vector<size_t> cuts;
    size_t at = 0;
    for (size_t i = 0; i < 8 && i < size && size > 0; ++i) {
        at += data[size - 1 - i] * 131u % (size / 4 + 1);
        if (at > size)
            break;
        cuts.push_back(at);
    }
    return cuts;
}

bool Same(const HistoryContent& a, const HistoryContent& b)
{
    return a.attempts == b.attempts && a.splits == b.splits && a.drill == b.drill && a.skippedLines == b.skippedLines;
}

// Each line through two parsers that have seen the same lines before it,
// one the quick way and one the general way.
void EachLineBothWays(const QByteArray& content)
{
    HistoryLineParser quick, general;
    general.SetQuickPath(false);
    qsizetype start = 0;
    while (start <= content.size()) {
        qsizetype end = content.indexOf('\n', start);
        if (end < 0)
            end = content.size();
        QByteArray line = content.mid(start, end - start);
        start = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        Attempt quickAttempt, generalAttempt;
        QString quickScramble, generalScramble;
        AttemptDetail quickDetail, generalDetail;
        const auto quickKind = quick.Read(line.constBegin(), line.constEnd(), quickAttempt, &quickScramble, &quickDetail);
        const auto generalKind =
            general.Read(line.constBegin(), line.constEnd(), generalAttempt, &generalScramble, &generalDetail);
        FuzzCheck(quickKind == generalKind, "the quick path sorts a line as the general path does", Story(line));
        if (quickKind == HistoryLineParser::Line::Attempt)
            FuzzCheck(quickAttempt == generalAttempt && quickScramble == generalScramble && quickDetail == generalDetail,
                      "the quick path reads a line as the general path does", Story(line));
    }
}

// A line that reads is written back as one line that reads the same.
void WrittenBackReadsTheSame(const QByteArray& content)
{
    for (QByteArray line : content.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        Attempt attempt;
        QString scramble;
        AttemptDetail detail;
        if (!ParseAttempt(line, attempt, &scramble, &detail))
            continue;
        FuzzCheck(attempt.caseNumber >= 1 && attempt.caseNumber <= CaseCount(attempt.set), "a read case exists");
        FuzzCheck(attempt.milliseconds <= 24 * 3600 * 1000, "a read time is a day at most");
        FuzzCheck(detail.splitMilliseconds <= 24 * 3600 * 1000, "a read split is a day at most");
        const QByteArray written = FormatAttempt(attempt, scramble, detail);
        Attempt again;
        QString scrambleAgain;
        AttemptDetail detailAgain;
        FuzzCheck(!written.contains('\n') && !written.contains('\r'), "a written line is one line", Story(written));
        FuzzCheck(ParseAttempt(written, again, &scrambleAgain, &detailAgain) && again == attempt
                      && scrambleAgain == scramble && detailAgain == detail,
                  "a read line writes back the same", Story(written));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const HistoryContent history = ParseHistory(content);
    const qsizetype lines = content.count('\n') + 1;
    FuzzCheck(history.splits.size() <= history.attempts.size(), "a split belongs to an attempt", Story(content));
    FuzzCheck(static_cast<qsizetype>(history.attempts.size() + history.drill.size()) + history.skippedLines <= lines,
              "no more attempts and skipped lines than there are lines", Story(content));
    // Lines beyond the reader's 64 KiB bound are skipped unread: below it,
    // pieces cut anywhere and either path read alike.
    if (size < 64 * 1024) {
        const std::vector<size_t> cuts = Cuts(data, size);
        FuzzCheck(Same(ReadInPieces(content, cuts, true), history), "the piecewise reader agrees", Story(content));
        FuzzCheck(Same(ReadInPieces(content, cuts, false), history), "the general path agrees", Story(content));
        EachLineBothWays(content);
    }
    WrittenBackReadsTheSame(content);
    return 0;
}
