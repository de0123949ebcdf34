#include "interchange/importread.h"

#include "core/caseidentity.h"
#include "core/language.h"
#include "interchange/importformats.h"
#include "interchange/scramblecase.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <map>

namespace {

constexpr qint64 kMaxImportBytes = 64 * 1024 * 1024;
constexpr qint64 kMaxSolveMs = 24 * 3600 * 1000;   // a day, as History.csv allows
constexpr qint64 kProgressStep = 256;

enum class SkipReason { Unreadable, Dnf, AnotherPuzzle, AnotherDrill, TimeOutOfRange, NoScramble, UnknownNotation, NotLastLayer };

QString ReasonText(SkipReason reason, bool russian)
{
    switch (reason) {
    case SkipReason::Unreadable:
        return Tr(russian, QStringLiteral("не читается"), QStringLiteral("unreadable"));
    case SkipReason::Dnf:
        return Tr(russian, QStringLiteral("DNF"), QStringLiteral("a DNF"));
    case SkipReason::AnotherPuzzle:
        return Tr(russian, QStringLiteral("другая головоломка"), QStringLiteral("another puzzle"));
    case SkipReason::AnotherDrill:
        return Tr(russian, QStringLiteral("тренировка не OLL и не PLL"), QStringLiteral("a drill other than OLL and PLL"));
    case SkipReason::TimeOutOfRange:
        return Tr(russian, QStringLiteral("время меньше нуля или больше суток"),
                  QStringLiteral("a time below zero or over a day"));
    case SkipReason::NoScramble:
        return Tr(russian, QStringLiteral("нет скрамбла"), QStringLiteral("no scramble"));
    case SkipReason::UnknownNotation:
        return Tr(russian, QStringLiteral("незнакомая запись скрамбла"), QStringLiteral("unknown scramble notation"));
    case SkipReason::NotLastLayer:
        return Tr(russian, QStringLiteral("не случай последнего слоя"), QStringLiteral("not a last-layer case"));
    }
    return QString();
}

SkipReason ReasonOf(SolveRefusal refusal)
{
    switch (refusal) {
    case SolveRefusal::Dnf: return SkipReason::Dnf;
    case SolveRefusal::AnotherPuzzle: return SkipReason::AnotherPuzzle;
    case SolveRefusal::AnotherDrill: return SkipReason::AnotherDrill;
    default: return SkipReason::Unreadable;
    }
}

// ---- The program's own export: the case, level and flags in the comment ----

struct CommentCase {
    CaseSet set = CaseSet::OLL;
    int caseNumber = 0;
    Level level = Level::Easy;
    bool twoSide = false;
    bool exam = false;
};

const QHash<QString, std::pair<CaseSet, int>>& CasesByTitle()
{
    static const auto titles = [] {
        QHash<QString, std::pair<CaseSet, int>> found;
        for (const CaseSet set : {CaseSet::OLL, CaseSet::PLL})
            for (int n = 1; n <= CaseCount(set); ++n)
                found.insert(CaseIdentities().Title(set, n), {set, n});
        return found;
    }();
    return titles;
}

// "OLL 27 Sune, Hard, 2-side, exam" as the program's export writes it;
// nothing for any other comment.
std::optional<CommentCase> ReadProgramComment(const QString& comment)
{
    const QStringList parts = comment.split(QStringLiteral(", "));
    if (parts.size() < 2 || parts.size() > 4)
        return std::nullopt;
    const auto found = CasesByTitle().constFind(parts[0]);
    if (found == CasesByTitle().constEnd() || (parts[1] != QLatin1String("Easy") && parts[1] != QLatin1String("Hard")))
        return std::nullopt;
    CommentCase read{found->first, found->second, parts[1] == QLatin1String("Hard") ? Level::Hard : Level::Easy};
    qsizetype next = 2;
    if (next < parts.size() && parts[next] == QLatin1String("2-side")) {
        read.twoSide = true;
        ++next;
    }
    if (next < parts.size() && parts[next] == QLatin1String("exam")) {
        read.exam = true;
        ++next;
    }
    if (next != parts.size())
        return std::nullopt;
    return read;
}

// ---- One solve: imported, or left out with the reason ----

std::optional<SkipReason> Identify(const RawSolve& raw, ImportedSolve& solve)
{
    if (raw.refused != SolveRefusal::None)
        return ReasonOf(raw.refused);
    if (raw.totalMs < 0 || raw.totalMs > kMaxSolveMs)
        return SkipReason::TimeOutOfRange;
    const std::optional<CommentCase> comment = ReadProgramComment(raw.comment);
    const QString scramble = raw.scramble.trimmed();
    if (scramble.isEmpty() && !comment)
        return SkipReason::NoScramble;
    if (!scramble.isEmpty()) {
        const ScrambleCase found = CaseOfScramble(scramble.toStdString());
        if (found.verdict == ScrambleVerdict::UnknownNotation)
            return SkipReason::UnknownNotation;
        if (found.verdict == ScrambleVerdict::NotLastLayer)
            return SkipReason::NotLastLayer;
        solve.set = found.set;
        solve.caseNumber = found.caseNumber;
    } else {
        solve.set = comment->set;
        solve.caseNumber = comment->caseNumber;
    }
    // The level and flags are the program's own only where its comment
    // names the case the scramble sets up.
    if (comment && comment->set == solve.set && comment->caseNumber == solve.caseNumber) {
        solve.level = comment->level;
        solve.twoSide = comment->twoSide;
        solve.exam = comment->exam;
    }
    solve.totalMs = raw.totalMs;
    solve.splitMs = raw.splitMs;
    solve.startUnixMs = raw.startUnixMs;
    solve.scramble = raw.scramble;
    return std::nullopt;
}

// "Nothing to import: not a last-layer case (12), a DNF (3)."
QString NothingToImport(const std::vector<SkippedSolve>& skipped, bool russian)
{
    const QString start = Tr(russian, QStringLiteral("Нечего импортировать: "), QStringLiteral("Nothing to import: "));
    if (skipped.empty())
        return start + Tr(russian, QStringLiteral("в файле нет сборок."), QStringLiteral("the file holds no solves."));
    std::map<QString, int> counts;
    QStringList order;
    for (const SkippedSolve& solve : skipped)
        if (counts[solve.reason]++ == 0)
            order << solve.reason;
    QStringList reasons;
    for (const QString& reason : order)
        reasons << QStringLiteral("%1 (%2)").arg(reason).arg(counts[reason]);
    return start + reasons.join(QStringLiteral(", ")) + QLatin1Char('.');
}

void Cancel(ImportReading& reading)
{
    reading.cancelled = true;
    reading.solves.clear();
    reading.skipped.clear();
}

bool LooksBinary(const QByteArray& content)
{
    return content.contains('\0') || !QByteArrayView(content).isValidUtf8();
}

QString TooLarge(bool russian)
{
    return Tr(russian, QStringLiteral("Файл больше 64 МиБ: это не экспорт тренировок последнего слоя."),
              QStringLiteral("The file is larger than 64 MiB: it is no export of last-layer training."));
}

// Why the file at a path is not even opened; empty when it may be.
QString RefusedBeforeReading(const QFileInfo& info, bool russian)
{
    const QString path = info.filePath();
    if (!info.exists())
        return Tr(russian, QStringLiteral("Файла «%1» нет."), QStringLiteral("The file \"%1\" does not exist.")).arg(path);
    if (info.isDir())
        return Tr(russian, QStringLiteral("«%1» — папка, а не файл."), QStringLiteral("\"%1\" is a folder, not a file."))
            .arg(path);
    // A pipe or a device would block the reading or never end.
    if (!info.isFile())
        return Tr(russian, QStringLiteral("«%1» — не обычный файл."), QStringLiteral("\"%1\" is not a regular file."))
            .arg(path);
    if (info.size() > kMaxImportBytes)
        return TooLarge(russian);
    return QString();
}

}  // namespace

ImportReading ReadImport(const QByteArray& content, bool russian, const ImportProgress& progress)
{
    ImportReading reading;
    if (content.size() > kMaxImportBytes) {
        reading.error = TooLarge(russian);
        return reading;
    }
    if (LooksBinary(content)) {
        reading.error = Tr(russian, QStringLiteral("Файл не текстовый: это не экспорт csTimer или TwistyTimer."),
                           QStringLiteral("The file is not text: it is not an export of csTimer or TwistyTimer."));
        return reading;
    }
    const std::optional<ImportFormat> format = DetectImportFormat(content);
    if (!format) {
        reading.error = Tr(russian,
                           QStringLiteral("Файл не является экспортом csTimer (JSON или CSV) или резервной копией TwistyTimer."),
                           QStringLiteral("The file is not a csTimer export (JSON or CSV) or a TwistyTimer backup."));
        return reading;
    }
    RawReading raw = ReadImportFormat(*format, content, russian);
    reading.format = raw.format;
    if (!raw.error.isEmpty()) {
        reading.error = raw.error;
        return reading;
    }
    const qint64 total = static_cast<qint64>(raw.solves.size());
    for (qint64 done = 0; done < total; ++done) {
        if (progress && done % kProgressStep == 0 && !progress(done, total)) {
            Cancel(reading);
            return reading;
        }
        const RawSolve& solve = raw.solves[static_cast<size_t>(done)];
        ImportedSolve imported;
        imported.source = raw.source;
        if (const std::optional<SkipReason> reason = Identify(solve, imported))
            reading.skipped.push_back({solve.where, ReasonText(*reason, russian)});
        else
            reading.solves.push_back(std::move(imported));
    }
    if (progress && !progress(total, total)) {
        Cancel(reading);
        return reading;
    }
    if (reading.solves.empty())
        reading.error = NothingToImport(reading.skipped, russian);
    return reading;
}

ImportReading ReadImportFile(const QString& path, bool russian, const ImportProgress& progress)
{
    ImportReading refused;
    refused.error = RefusedBeforeReading(QFileInfo(path), russian);
    if (!refused.error.isEmpty())
        return refused;
    QFile file(path);
    const QString unreadable = Tr(russian, QStringLiteral("Файл «%1» не читается: %2"),
                                  QStringLiteral("The file \"%1\" cannot be read: %2"));
    if (!file.open(QIODevice::ReadOnly)) {
        refused.error = unreadable.arg(path, file.errorString());
        return refused;
    }
    // Read one byte past the bound: a file that grew since it was looked at
    // is still refused.
    const QByteArray content = file.read(kMaxImportBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        refused.error = unreadable.arg(path, file.errorString());
        return refused;
    }
    return ReadImport(content, russian, progress);
}
