// The draw rules: the weights of the weak rule, its distribution under a
// fixed seed, and rounds that never repeat a case.
#include "core/draw.h"

#include <QtTest/QtTest>
#include <cmath>
#include <set>

namespace {

constexpr qint64 kNow = 1796815925;
constexpr qint64 kDay = 86400;

Attempt Time(int caseNumber, int ms, qint64 utc = kNow, bool exam = false, CaseSet set = CaseSet::OLL)
{
    Attempt attempt;
    attempt.set = set;
    attempt.caseNumber = caseNumber;
    attempt.milliseconds = ms;
    attempt.utcSeconds = utc;
    attempt.exam = exam;
    return attempt;
}

void AddTimes(std::vector<Attempt>& history, int caseNumber, int count, int ms, qint64 utc = kNow)
{
    for (int i = 0; i < count; ++i)
        history.push_back(Time(caseNumber, ms, utc));
}

std::vector<double> Weights(const std::vector<Attempt>& history, const std::vector<int>& cases)
{
    RecentTimes recent;
    recent.CatchUp(history);
    return WeakWeights(recent, CaseSet::OLL, cases, kNow).value_or(std::vector<double>{});
}

} // namespace

class DrawTest : public QObject {
    Q_OBJECT
private slots:
    void weightsFollowTheFormula();
    void weightsIgnoreExamsOtherSetsAndOldTimes();
    void weakDrawFavoursTheSlowCase();
    void catchingUpLineByLineEqualsReadingAtOnce();
    void roundsNeverRepeat();
    void roundsFollowEnabledCasesAndPutBacks();
    void unknownSettingMeansRandom();
};

void DrawTest::weightsFollowTheFormula()
{
    std::vector<Attempt> history;
    AddTimes(history, 1, 3, 1000);                 // the median case
    AddTimes(history, 2, 3, 2000);                 // twice as slow: 2² = 4
    AddTimes(history, 3, 3, 8000);                 // far slower: capped at 2² = 4
    AddTimes(history, 4, 3, 200);                  // far faster: capped at 0.5² = 0.25
    AddTimes(history, 5, 3, 1000, kNow - 3 * kDay - 5);    // three whole days: × 10/7
    AddTimes(history, 6, 3, 1000, kNow - 30 * kDay);       // a month: × 2, no more
    AddTimes(history, 7, 2, 9000);                 // only two times: new, 8
    // Case 8 has no time at all: new, 8. Median of 1, 2, 8, 0.2, 1, 1 s = 1 s.
    const std::vector<double> w = Weights(history, {1, 2, 3, 4, 5, 6, 7, 8});
    const std::vector<double> expected = {1, 4, 4, 0.25, 10.0 / 7, 2, 8, 8};
    QCOMPARE(w.size(), expected.size());
    for (size_t i = 0; i < w.size(); ++i)
        QVERIFY2(std::abs(w[i] - expected[i]) < 1e-9, qPrintable(QStringLiteral("case %1: %2").arg(i + 1).arg(w[i])));

    // No case with three times: no weights, the draw stays uniform.
    QVERIFY(Weights({Time(1, 1000), Time(1, 1000), Time(2, 3000)}, {1, 2}).empty());
    RecentTimes none;
    const QHash<int, double> shares = WeakShares(none, CaseSet::OLL, {4, 9}, kNow);
    QCOMPARE(shares.value(4), 0.5);
    QCOMPARE(shares.value(9), 0.5);
}

void DrawTest::weightsIgnoreExamsOtherSetsAndOldTimes()
{
    std::vector<Attempt> history;
    AddTimes(history, 1, 3, 1000);
    AddTimes(history, 2, 20, 9000);     // long ago slow ...
    AddTimes(history, 2, 12, 1000);     // ... the last twelve as fast as case 1
    for (int i = 0; i < 5; ++i) {
        history.push_back(Time(1, 50000, kNow, true));                          // exam lines
        history.push_back(Time(1, 50000, kNow, false, CaseSet::PLL));           // the other set
    }
    history.push_back(Time(3, 1000, kNow, true));   // an exam time does not make case 3 timed
    const std::vector<double> w = Weights(history, {1, 2, 3});
    QCOMPARE(w, (std::vector<double>{1, 1, 8}));
}

void DrawTest::weakDrawFavoursTheSlowCase()
{
    // Three cases at 1 s, one at 3 s: weights 1, 1, 1, 4 (the median is 1 s).
    std::vector<Attempt> history;
    for (int n = 1; n <= 4; ++n)
        AddTimes(history, n, 5, n == 3 ? 3000 : 1000);
    CaseDraw draw;
    draw.rule = DrawRule::Weak;
    SeededRandom random(20261209);
    constexpr int kDraws = 10000;
    int slow = 0;
    for (int i = 0; i < kDraws; ++i)
        slow += draw.Choose(CaseSet::OLL, {1, 2, 3, 4}, &history, kNow, random) == 3;
    // Within four binomial standard deviations of n p: fails by chance about
    // once in 16,000 seeds, and the seed is fixed.
    const double p = 4.0 / 7;
    const double deviation = std::sqrt(kDraws * p * (1 - p));
    QVERIFY2(std::abs(slow - kDraws * p) < 4 * deviation, qPrintable(QString::number(slow)));

    // Before the history is read the same draw is uniform.
    slow = 0;
    for (int i = 0; i < kDraws; ++i)
        slow += draw.Choose(CaseSet::OLL, {1, 2, 3, 4}, nullptr, kNow, random) == 3;
    QVERIFY2(std::abs(slow - kDraws / 4.0) < 4 * std::sqrt(kDraws * 0.25 * 0.75), qPrintable(QString::number(slow)));
}

void DrawTest::catchingUpLineByLineEqualsReadingAtOnce()
{
    std::vector<Attempt> history;
    SeededRandom random(7);
    for (int i = 0; i < 300; ++i)
        history.push_back(Time(1 + random.Uniform(5), 500 + random.Uniform(5000), kNow - random.Uniform(10) * kDay));
    RecentTimes atOnce;
    atOnce.CatchUp(history);
    RecentTimes growing;
    std::vector<Attempt> sofar;
    for (const Attempt& attempt : history) {
        sofar.push_back(attempt);
        growing.CatchUp(sofar);
    }
    const std::vector<int> cases = {1, 2, 3, 4, 5};
    QCOMPARE(WeakWeights(growing, CaseSet::OLL, cases, kNow), WeakWeights(atOnce, CaseSet::OLL, cases, kNow));
    // A shorter history (another file) is read again from its start.
    growing.CatchUp({Time(2, 700), Time(2, 700), Time(2, 700)});
    QCOMPARE(growing.Of(CaseSet::OLL, 1).count, 0);
    QCOMPARE(growing.Of(CaseSet::OLL, 2).MeanMs(), 700.0);
}

void DrawTest::roundsNeverRepeat()
{
    std::vector<int> enabled;
    for (int n = 1; n <= 21; ++n)
        enabled.push_back(n);
    CaseRound round;
    SeededRandom random(3);
    QCOMPARE(round.Number(), 1);
    std::vector<int> previous;
    for (int r = 1; r <= 5; ++r) {
        std::vector<int> order;
        for (int i = 0; i < 21; ++i)
            order.push_back(round.Next(enabled, random));
        QCOMPARE(round.Number(), r);
        QCOMPARE(round.Taken(enabled), 21);
        QCOMPARE(std::set<int>(order.begin(), order.end()).size(), size_t(21));
        QVERIFY(order != previous);   // a new order every round
        previous = order;
    }
    QCOMPARE(round.Next({}, random), 0);
}

void DrawTest::roundsFollowEnabledCasesAndPutBacks()
{
    CaseRound round;
    SeededRandom random(11);
    std::vector<int> enabled = {1, 2, 3, 4};
    std::vector<int> shown = {round.Next(enabled, random), round.Next(enabled, random)};
    // The second case was discarded: it comes again in this round.
    round.PutBack(shown.back(), random);
    shown.pop_back();
    QCOMPARE(round.Taken(enabled), 1);
    // One case still to come is disabled, a new one enabled.
    const int dropped = shown.front() == 4 ? 3 : 4;
    std::erase(enabled, dropped);
    enabled.push_back(9);
    while (round.Number() == 1 && shown.size() < 10) {
        const int next = round.Next(enabled, random);
        if (round.Number() == 1)
            shown.push_back(next);
    }
    QCOMPARE(std::multiset<int>(shown.begin(), shown.end()),
             std::multiset<int>(enabled.begin(), enabled.end()));
}

void DrawTest::unknownSettingMeansRandom()
{
    for (DrawRule rule : {DrawRule::Random, DrawRule::Weak, DrawRule::Round})
        QCOMPARE(DrawRuleFromText(DrawRuleText(rule)), rule);
    QCOMPARE(DrawRuleFromText(QStringLiteral("Weak")), DrawRule::Weak);   // as hand-written: any letter case
    QCOMPARE(DrawRuleFromText(QStringLiteral("ROUND")), DrawRule::Round);
    QCOMPARE(DrawRuleFromText(QStringLiteral("weakest")), DrawRule::Random);
    QCOMPARE(DrawRuleFromText(QString()), DrawRule::Random);
}

QTEST_APPLESS_MAIN(DrawTest)
#include "test_core_draw.moc"
