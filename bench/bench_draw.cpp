// The weak draw on 100,000 recorded times: the first draw, which takes in
// every line, and a draw after one more accepted time, which takes in only
// that one; beside them, what reading such a History.csv costs (written as
// the program writes it, half the lines with a scramble).
#include "benchstats.h"
#include "historylines.h"
#include "history/historyfile.h"
#include "core/draw.h"

#include <QElapsedTimer>
#include <random>

namespace {

constexpr int kLines = 100000;
constexpr qint64 kNow = 1796815925;

std::vector<Attempt> History()
{
    std::mt19937 random(9);
    std::vector<Attempt> attempts;
    attempts.reserve(kLines + 2000);
    for (int i = 0; i < kLines; ++i) {
        Attempt attempt;
        attempt.utcSeconds = kNow - (kLines - i) * 60;
        attempt.set = random() % 3 ? CaseSet::OLL : CaseSet::PLL;
        attempt.caseNumber = 1 + static_cast<int>(random() % CaseCount(attempt.set));
        attempt.milliseconds = 1200 + static_cast<int>(random() % 4000);
        attempt.exam = random() % 20 == 0;
        attempts.push_back(attempt);
    }
    return attempts;
}

template <typename Work> double Us(Work&& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1000;
}

std::vector<int> AllOll()
{
    std::vector<int> cases;
    for (int n = 1; n <= kOllCases; ++n)
        cases.push_back(n);
    return cases;
}

} // namespace

int main()
{
    std::vector<Attempt> history = History();
    const std::vector<int> enabled = AllOll();
    SeededRandom random(1);

    std::vector<double> firstUs;
    for (int run = 0; run < 7; ++run) {
        CaseDraw draw;
        draw.rule = DrawRule::Weak;
        firstUs.push_back(Us([&] { draw.Choose(CaseSet::OLL, enabled, &history, kNow, random); }));
    }
    PrintRow(QStringLiteral("Weak draw on %1 lines in memory: the first, taking in every line (median of 7)").arg(kLines),
             QStringLiteral("%1 ms (max %2 ms)").arg(Fixed(Median(firstUs) / 1000, 3), Fixed(Largest(firstUs) / 1000, 3)),
             QStringLiteral("< 1 ms"), Median(firstUs) < 1000);

    CaseDraw draw;
    draw.rule = DrawRule::Weak;
    draw.Choose(CaseSet::OLL, enabled, &history, kNow, random);
    std::vector<double> nextUs;
    for (int i = 0; i < 1000; ++i) {
        Attempt accepted = history.back();
        accepted.caseNumber = 1 + i % kOllCases;
        accepted.set = CaseSet::OLL;
        accepted.exam = false;
        history.push_back(accepted);
        nextUs.push_back(Us([&] { draw.Choose(CaseSet::OLL, enabled, &history, kNow, random); }));
    }
    PrintRow(QStringLiteral("Weak draw on %1 lines after one more accepted time (median of 1,000)").arg(kLines),
             QStringLiteral("%1 ms (max %2 ms)").arg(Fixed(Median(nextUs) / 1000, 4), Fixed(Largest(nextUs) / 1000, 3)),
             QStringLiteral("< 1 ms"), Median(nextUs) < 1000);

    WrittenHistory written(9);
    QByteArray file = WrittenHistory::Header();
    for (int i = 0; i < kLines; ++i)
        file += written.Line(history[static_cast<size_t>(i)]);
    std::vector<double> readMs;
    for (int run = 0; run < 5; ++run)
        readMs.push_back(Us([&] { ParseHistory(file); }) / 1000);
    PrintRow(QStringLiteral("Reading %1 lines of History.csv, once, before the first weak draw (median of 5)").arg(kLines),
             QStringLiteral("%1 ms").arg(Fixed(Median(readMs), 1)), QStringLiteral("—"), true);
    return 0;
}
