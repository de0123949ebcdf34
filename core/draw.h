#pragma once
// How the next case is chosen outside an exam: uniformly among the enabled
// cases, more often for the cases that hold the user back, or in rounds that
// show every enabled case once before any comes again; and the exam's own
// rule, every enabled case once. No widgets: the window hands in the enabled
// cases, the recorded times and the random generator.

#include "core/attempt.h"
#include "core/recentmean.h"
#include "core/seams.h"

#include <QHash>
#include <QString>
#include <array>
#include <optional>
#include <vector>

enum class DrawRule { Random, Weak, Round };

// The value of Draw= in [Settings]: "random", "weak" or "round" in any
// letter case; anything else, the empty text included, is Random.
DrawRule DrawRuleFromText(const QString& text);
QString DrawRuleText(DrawRule rule);

// The last twelve times and the last practice of every case of both sets,
// from the lines of History.csv that are not exam lines, whatever the level.
// It reads only the lines added since its previous look, so keeping it
// current after an accepted time costs next to nothing.
class RecentTimes {
public:
    static constexpr int kKept = kRecentTimes;
    struct Case {
        std::array<int, kKept> milliseconds{};   // a ring: the newest at (count - 1) % kKept
        int count = 0;                           // every time ever recorded
        qint64 lastUtc = 0;
        double MeanMs() const;                   // of the last min(count, kKept) times
    };

    // Takes in the attempts appended since the previous call. A shorter list
    // than last time is a different history: it is read again from the start.
    void CatchUp(const std::vector<Attempt>& attempts);
    const Case& Of(CaseSet set, int caseNumber) const;

private:
    void Take(const Attempt& attempt);
    std::array<std::array<Case, kMaxCases + 1>, 2> cases_{};
    size_t seen_ = 0;
};

// The weak rule. A case with at least three times weighs
//   clamp(t / M, 0.5, 2)² × (1 + min(d, 7) / 7)
// with t the mean of its last twelve times, d the whole days since its last
// time and M the median of t over the given cases with three times or more;
// a case with fewer weighs 8, the most any case can. One weight per entry of
// cases, in their order; nothing when no case has three times (the draw is
// then uniform).
std::optional<std::vector<double>> WeakWeights(const RecentTimes& recent, CaseSet set,
                                               const std::vector<int>& cases, qint64 nowUtc);

// Each case's chance under the weak rule (0..1, summing to 1), for showing
// beside its bar; uniform when no case has three times.
QHash<int, double> WeakShares(const RecentTimes& recent, CaseSet set, const std::vector<int>& cases,
                              qint64 nowUtc);

// An index drawn with probability weights[i] / sum; the weights are >= 0
// with a positive sum.
int WeightedIndex(const std::vector<double>& weights, RandomSource& random);

// Rounds without repetition: a random order of the enabled cases, taken one
// by one. A case enabled during a round joins the cases still to come, a
// disabled one leaves the round, and a case put back comes again later in
// the same round. Once every case is taken, the next draw starts a new round.
class CaseRound {
public:
    // 0 when no case is enabled.
    int Next(const std::vector<int>& enabled, RandomSource& random);
    // Takes a case drawn by another rule into the round, as if the round had
    // drawn it (starting a round when none runs). False when the case is
    // not among the cases still to come.
    bool Take(int caseNumber, const std::vector<int>& enabled, RandomSource& random);
    // A drawn case that was not attempted after all (discarded, aborted,
    // drawn in advance and then disabled) goes back among the cases to come.
    void PutBack(int caseNumber, RandomSource& random);

    int Number() const { return number_ > 0 ? number_ : 1; }   // the first round before its first draw
    // The enabled cases already taken in this round.
    int Taken(const std::vector<int>& enabled) const;

private:
    void Follow(const std::vector<int>& enabled, RandomSource& random);
    void BeginRound(const std::vector<int>& enabled, RandomSource& random);
    int number_ = 0;
    std::vector<int> ahead_;   // still to come, in order
    std::vector<int> taken_;
};

// The exam's rule: one of the enabled cases not drawn yet; 0 when none is left.
int UndrawnCase(const std::vector<int>& enabled, const std::vector<int>& drawn, RandomSource& random);

// The chooser the cycle asks for every case outside an exam. It remembers
// the case it handed out until the attempt is accepted, so that a discarded
// or aborted attempt returns its case to the round.
class CaseDraw {
public:
    DrawRule rule = DrawRule::Random;
    // In the naming drill the weak rule weighs the cases by the answers'
    // times (the history handed in is then the drill's), else by the solves'.
    bool weighNaming = false;

    // history: the recorded attempts, or nothing while they are not read
    // (a weak draw is then uniform). Returns 0 when no case is enabled. A
    // case handed out earlier and neither kept nor put back is put back first.
    int Choose(CaseSet set, const std::vector<int>& enabled, const std::vector<Attempt>* history,
               qint64 nowUtc, RandomSource& random);
    // A case drawn before the rounds began (waiting under its setup
    // scramble) becomes the handed-out case of its set's round. False when
    // the round cannot take it: it was shown in this round already.
    bool Adopt(CaseSet set, int caseNumber, const std::vector<int>& enabled, RandomSource& random);
    // The attempt of the handed-out case counted.
    void Kept() { outstanding_ = 0; }
    // The handed-out case was not attempted: it goes back into its round.
    void PutBack(RandomSource& random);

    // The weak rule's shares over the given cases of a set, from the history.
    QHash<int, double> Shares(CaseSet set, const std::vector<int>& enabled, const std::vector<Attempt>& history,
                              qint64 nowUtc);
    const CaseRound& RoundOf(CaseSet set) const { return rounds_[static_cast<int>(set)]; }

private:
    RecentTimes& Recent() { return recent_[weighNaming ? 1 : 0]; }
    std::array<RecentTimes, 2> recent_;   // the solves', the drill's answers'
    std::array<CaseRound, 2> rounds_;   // one per set, kept while the program runs
    CaseSet outstandingSet_ = CaseSet::OLL;
    int outstanding_ = 0;               // the case handed out and not yet kept
};
