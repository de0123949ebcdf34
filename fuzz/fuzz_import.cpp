// Files handed to the import, whatever they hold: reading never crashes, a
// refused file gives no solves, every solve read is a case of the program
// with a time History.csv can keep, the two languages read the same solves,
// a cancel leaves nothing, and a scramble's case does not depend on how the
// cube is held when it starts.
#include "core/caseidentity.h"
#include "fuzz_check.h"
#include "interchange/importread.h"
#include "interchange/scramblecase.h"

#include <QFile>
#include <cstdint>

// The case table the program embeds, read from the sources.
const CaseIdentityTable& CaseIdentities()
{
    static const CaseIdentityTable table = [] {
        QFile file(QStringLiteral(TESSELO_ROOT "/resources/cases.csv"));
        file.open(QIODevice::ReadOnly);
        return CaseIdentityTable::Parse(file.readAll());
    }();
    return table;
}

namespace {

QString Story(const QByteArray& bytes) { return QString::fromLatin1(bytes.left(4096).toHex()); }

void EachSolveKeepable(const ImportReading& reading, const QByteArray& content)
{
    FuzzCheck(reading.error.isEmpty() || reading.solves.empty(), "a refused file gives no solves", Story(content));
    for (const ImportedSolve& solve : reading.solves) {
        FuzzCheck(solve.caseNumber >= 1 && solve.caseNumber <= CaseCount(solve.set), "a solve is a case", Story(content));
        FuzzCheck(solve.totalMs >= 0 && solve.totalMs <= 24 * 3600 * 1000, "a time is a day at most", Story(content));
        FuzzCheck(!solve.splitMs || (*solve.splitMs >= 0 && *solve.splitMs <= solve.totalMs),
                  "a split lies within its time", Story(content));
        FuzzCheck(solve.startUnixMs >= 0, "a start is after 1970", Story(content));
        FuzzCheck(solve.source == QLatin1String("cstimer") || solve.source == QLatin1String("twistytimer"),
                  "a solve names its timer", Story(content));
    }
}

void ScrambleCaseWhateverTheHold(const QByteArray& content)
{
    if (content.size() > 512)
        return;
    const std::string scramble = content.toStdString();
    const ScrambleCase found = CaseOfScramble(scramble);
    const ScrambleCase held = CaseOfScramble("x2 y' " + scramble);
    FuzzCheck(found.verdict == held.verdict && found.set == held.set && found.caseNumber == held.caseNumber,
              "a scramble's case is the same however the cube is held", Story(content));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const ImportReading english = ReadImport(content, false);
    EachSolveKeepable(english, content);
    const ImportReading russian = ReadImport(content, true);
    FuzzCheck(russian.solves.size() == english.solves.size() && russian.skipped.size() == english.skipped.size()
                  && russian.error.isEmpty() == english.error.isEmpty(),
              "both languages read the same", Story(content));
    const ImportReading cancelled = ReadImport(content, false, [](qint64, qint64) { return false; });
    FuzzCheck(cancelled.solves.empty(), "a cancel leaves no solves", Story(content));
    ScrambleCaseWhateverTheHold(content);
    return 0;
}
