#include "interchange/importreport.h"

#include "core/errors.h"
#include "core/language.h"

#include <QDir>
#include <QHash>
#include <map>

namespace {

// The summary lists this many left-out solves; the rest are counted.
constexpr int kMostListed = 20;

QString SetLine(CaseSet set, const std::map<int, int>& perCase, const CaseIdentityTable& cases)
{
    QStringList parts;
    for (const auto& [caseNumber, count] : perCase)
        parts << QStringLiteral("%1: %2").arg(cases.Title(set, caseNumber)).arg(count);
    return parts.join(QStringLiteral(", "));
}

// Per set, each case with how many of its times went in.
QString AddedByCase(const ImportOutcome& outcome, const CaseIdentityTable& cases)
{
    std::map<int, int> perCase[2];
    for (const size_t index : outcome.write.addedSolves) {
        const ImportedSolve& solve = outcome.reading.solves[index];
        ++perCase[solve.set == CaseSet::PLL][solve.caseNumber];
    }
    QStringList lines;
    for (const CaseSet set : {CaseSet::OLL, CaseSet::PLL})
        if (!perCase[set == CaseSet::PLL].empty())
            lines << SetLine(set, perCase[set == CaseSet::PLL], cases);
    return lines.join(QLatin1Char('\n'));
}

int CountOf(const ImportOutcome& outcome, CaseSet set)
{
    int count = 0;
    for (const size_t index : outcome.write.addedSolves)
        count += outcome.reading.solves[index].set == set;
    return count;
}

QString LeftOut(const ImportOutcome& outcome, bool russian)
{
    const std::vector<SkippedSolve>& skipped = outcome.reading.skipped;
    const int unfit = outcome.write.unfit;
    if (skipped.empty() && unfit == 0)
        return {};
    // How many for each reason, in the order the reasons first come.
    QStringList reasons;
    QHash<QString, int> perReason;
    for (const SkippedSolve& solve : skipped)
        if (perReason[solve.reason]++ == 0)
            reasons << solve.reason;
    QStringList counts;
    for (const QString& reason : reasons)
        counts << QStringLiteral("%1: %2").arg(reason).arg(perReason[reason]);
    QStringList lines;
    lines << Tr(russian, QStringLiteral("Не импортировано: %1"), QStringLiteral("Left out: %1"))
                     .arg(qsizetype(skipped.size()) + unfit)
                 + (counts.isEmpty() ? QString() : QStringLiteral(" (") + counts.join(QStringLiteral("; ")) + QLatin1Char(')'))
                 + QLatin1Char('.');
    for (size_t i = 0; i < skipped.size() && i < size_t(kMostListed); ++i)
        lines << QStringLiteral("  %1: %2").arg(skipped[i].where, skipped[i].reason);
    if (skipped.size() > size_t(kMostListed))
        lines << Tr(russian, QStringLiteral("  … и ещё %1."), QStringLiteral("  … and %1 more."))
                     .arg(qsizetype(skipped.size()) - kMostListed);
    if (unfit > 0)
        lines << Tr(russian, QStringLiteral("  Времена, которые History.csv не может хранить (больше суток, "
                                            "отметка после конца): %1."),
                    QStringLiteral("  Times History.csv cannot hold (over a day, a mark after the end): %1."))
                     .arg(unfit);
    return lines.join(QLatin1Char('\n'));
}

QString AddedLine(const ImportOutcome& outcome, bool russian)
{
    const QString from = outcome.reading.format.isEmpty() ? QDir::toNativeSeparators(outcome.file)
                                                          : outcome.reading.format;
    if (outcome.write.added == 0)
        return Tr(russian, QStringLiteral("Из %1 нечего добавить: все времена (%2) уже в History.csv."),
                  QStringLiteral("Nothing new from %1: all %2 times are in History.csv already."))
            .arg(from)
            .arg(outcome.write.alreadyThere);
    QString line = Tr(russian, QStringLiteral("Импортировано из %1 в History.csv: OLL %2, PLL %3."),
                      QStringLiteral("Imported from %1 into History.csv: %2 OLL and %3 PLL times."))
                       .arg(from)
                       .arg(CountOf(outcome, CaseSet::OLL))
                       .arg(CountOf(outcome, CaseSet::PLL));
    if (outcome.write.alreadyThere > 0)
        line += QLatin1Char(' ')
                + Tr(russian, QStringLiteral("Уже были в History.csv и не добавлены снова: %1."),
                     QStringLiteral("Already in History.csv, not added again: %1."))
                      .arg(outcome.write.alreadyThere);
    return line;
}

} // namespace

QString ImportedTimesNote(bool russian)
{
    return Tr(russian,
              QStringLiteral("Импортированные времена видны в окне «Прогресс» и учитываются при выборе слабых "
                             "случаев, но не входят в средние на плитках: там только времена, засечённые в Tesselo."),
              QStringLiteral("Imported times show in the Progress window and count in the weak draw, but not in "
                             "the tiles' averages: those stay the times Tesselo itself took."));
}

QString ImportSummary(const ImportOutcome& outcome, const CaseIdentityTable& cases, bool russian)
{
    QStringList parts;
    parts << AddedLine(outcome, russian);
    const QString byCase = AddedByCase(outcome, cases);
    if (!byCase.isEmpty())
        parts << byCase;
    const QString leftOut = LeftOut(outcome, russian);
    if (!leftOut.isEmpty())
        parts << leftOut;
    parts << ImportedTimesNote(russian);
    return parts.join(QStringLiteral("\n\n"));
}

QString ImportFailure(const ImportOutcome& outcome, const QString& historyPath, bool russian)
{
    const QString file = QDir::toNativeSeparators(outcome.file);
    const QString history = QDir::toNativeSeparators(historyPath);
    if (outcome.written || outcome.reading.cancelled || outcome.write.result == ImportWriteResult::Cancelled)
        return {};
    if (!outcome.reading.error.isEmpty())
        return Tr(russian, QStringLiteral("Не удалось импортировать %1: %2"), QStringLiteral("Cannot import %1: %2"))
            .arg(file, outcome.reading.error);
    if (outcome.reading.solves.empty()) {
        QString text = Tr(russian, QStringLiteral("Нечего импортировать: в %1 нет решений случаев OLL или PLL."),
                          QStringLiteral("Nothing to import: %1 holds no solve of an OLL or PLL case."))
                           .arg(file);
        const QString leftOut = LeftOut(outcome, russian);
        return leftOut.isEmpty() ? text : text + QStringLiteral("\n\n") + leftOut;
    }
    switch (outcome.write.result) {
    case ImportWriteResult::Busy:
        return Tr(russian, QStringLiteral("%1 занят другой программой. Ничего не импортировано; попробуйте ещё раз."),
                  QStringLiteral("%1 is in use by another program. Nothing was imported; try again."))
            .arg(history);
    case ImportWriteResult::ForeignColumns:
        return Tr(russian,
                  QStringLiteral("Столбцы %1 переставлены (файл сохраняли в электронной таблице?). Импорт не "
                                 "переписывает их: ничего не импортировано."),
                  QStringLiteral("The columns of %1 are in an order of their own (was it saved by a spreadsheet?). "
                                 "The import does not rewrite them: nothing was imported."))
            .arg(history);
    case ImportWriteResult::Refused:
        return UnableToWriteText(history) + QStringLiteral(". ")
               + Tr(russian, QStringLiteral("Ничего не импортировано, файл не изменён."),
                    QStringLiteral("Nothing was imported; the file is as it was."));
    case ImportWriteResult::Written:
    case ImportWriteResult::NothingNew:
    case ImportWriteResult::Cancelled:
        break;
    }
    return {};
}

ImportOutcome ImportFile(const QString& file, const QString& historyPath, const LockWait& wait, bool russian,
                         const ImportProgress& progress, const ImportReader& read)
{
    ImportOutcome outcome;
    outcome.file = file;
    outcome.reading = read(file, russian, progress);
    if (!outcome.reading.error.isEmpty() || outcome.reading.cancelled || outcome.reading.solves.empty())
        return outcome;
    // The last word of a cancel comes before the file is replaced.
    const auto cancelled = [&progress, &outcome] {
        const qint64 total = qint64(outcome.reading.solves.size());
        return progress && !progress(total, total);
    };
    outcome.write = WriteImport(historyPath, outcome.reading.solves, wait, cancelled);
    outcome.written = outcome.write.result == ImportWriteResult::Written
                      || outcome.write.result == ImportWriteResult::NothingNew;
    return outcome;
}
