// The training session without a window: a whole cycle, and its records
// against the way they were kept before, as three-decimal texts folded at
// every Accept.
#include "core/trainingsession.h"
#include "core/errors.h"
#include "core/summary.h"
#include "core/timetext.h"

#include <QSignalSpy>
#include <QTest>

#include <map>
#include <random>
#include <set>

namespace {

struct HistoryCall {
    double seconds;
    bool exam;
    QString scramble;
    std::optional<qint64> splitMs;
};

struct Texts {
    QString average = ZeroTimeText();
    QString best = ZeroTimeText();
    QString count = QStringLiteral("0");
    bool operator==(const Texts&) const = default;
};

// The old Accept: the record read back from its texts, the running mean over
// the stored average, the texts written again. Throws as it did.
Texts OldFoldTime(const Texts& stored, double time)
{
    const double average = ParseTimeTextOrThrow(stored.average);
    const int count = ParseCountOrThrow(stored.count);
    if (count < 0)
        throw TesseloError(QStringLiteral("'%1' is not a valid integer value").arg(stored.count));
    const double best = ParseTimeTextOrThrow(stored.best);
    const long double mean = (static_cast<long double>(average) * count + time) / (static_cast<qint64>(count) + 1);
    Texts folded;
    folded.average = MakeTimeText(static_cast<double>(mean));
    folded.best = (best == 0 || time < best) ? MakeTimeText(time) : stored.best;
    folded.count = QString::number(static_cast<qint64>(count) + 1);
    return folded;
}

Texts TextsOf(const CaseRecord& record)
{
    return {record.AverageText(), record.BestText(), record.CountText()};
}

struct Fixture {
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    std::shared_ptr<SeededRandom> random;
    TrainingSession session;
    std::vector<HistoryCall> history;
    QString refuseHistoryWith;   // the text a refused History.csv write gives

    explicit Fixture(std::uint32_t seed = 7)
        : random(std::make_shared<SeededRandom>(seed)), session(clock, random)
    {
        session.LinkHistory([this](double seconds, bool exam, const QString& scramble, std::optional<qint64> splitMs) {
            history.push_back({seconds, exam, scramble, splitMs});
            return refuseHistoryWith;
        });
    }
    void Enable(std::initializer_list<int> cases)
    {
        session.state.enabledCases.clear();
        for (int n : cases)
            session.state.enabledCases << QString::number(n);
    }
    // Start, the countdown's draw, Stop after ms.
    int Time(qint64 ms)
    {
        session.state.currentCase = session.ChooseCase(nullptr).value_or(0);
        session.ShowTime(ms);
        return session.state.currentCase;
    }
};

// Stored texts as users and older versions left them in Settings.ini.
const QStringList kStoredAverages = {"0,000", "1,470", "12", " 7,0 ", "2,0005", "abc", "-3,000", "59,999"};
const QStringList kStoredCounts = {"0", "1", "18", " 5", "lots", "-2", "2147483646"};

} // namespace

class SessionTest : public QObject {
    Q_OBJECT
private slots:
    void wholeCycleWithoutAWindow()
    {
        Fixture f;
        f.Enable({3, 8});
        QSignalSpy accepted(&f.session, &TrainingSession::AttemptAccepted);
        QSignalSpy changed(&f.session, &TrainingSession::RecordChanged);

        const int first = f.Time(1470);
        QVERIFY(first == 3 || first == 8);
        QCOMPARE(f.session.state.lastTimeText, QStringLiteral("1,470"));
        QCOMPARE(f.session.Accept().kind, TrainingSession::AcceptOutcome::Recorded);
        QCOMPARE(TextsOf(f.session.Record(first)), (Texts{"1,470", "1,470", "1"}));
        QCOMPARE(f.session.Record(first).Average(), std::optional<double>(1.47));
        QCOMPARE(changed.takeFirst().at(0).toInt(), first);
        QCOMPARE(accepted.size(), 1);
        QCOMPARE(accepted.first().at(1).toInt(), first);
        QCOMPARE(f.history.size(), size_t(1));
        QCOMPARE(f.history[0].seconds, 1.47);
        QVERIFY(!f.history[0].exam);

        // A slower second time: the mean over the stored average, the best kept.
        f.session.state.currentCase = first;
        f.session.ShowTime(2001);
        f.refuseHistoryWith = QStringLiteral("disk full");
        const TrainingSession::AcceptOutcome second = f.session.Accept();
        QCOMPARE(second.historyFailure, QStringLiteral("disk full"));
        QCOMPARE(TextsOf(f.session.Record(first)), (Texts{"1,736", "1,470", "2"}));

        // Stopped before any tick: nothing kept anywhere.
        f.session.ForgetTime();
        QCOMPARE(f.session.Accept().kind, TrainingSession::AcceptOutcome::NoTime);
        QCOMPARE(f.history.size(), size_t(2));

        // A stored record that does not read refuses the time and stays.
        f.session.SetRecord(8, CaseRecord::FromTexts("abc", "1,000", "3"));
        f.session.state.currentCase = 8;
        f.session.ShowTime(900);
        const TrainingSession::AcceptOutcome refused = f.session.Accept();
        QCOMPARE(refused.kind, TrainingSession::AcceptOutcome::Refused);
        QCOMPARE(refused.refusal, QStringLiteral("'abc' is not a valid floating point value"));
        QCOMPARE(TextsOf(f.session.Record(8)), (Texts{"abc", "1,000", "3"}));
        QCOMPARE(f.history.size(), size_t(2));

        // An exam time goes to History.csv only, marked as such.
        f.session.state.examActive = true;
        f.session.state.currentCase = 3;
        f.session.ShowTime(3000);
        const Texts before = TextsOf(f.session.Record(3));
        QCOMPARE(f.session.Accept().kind, TrainingSession::AcceptOutcome::Exam);
        QCOMPARE(TextsOf(f.session.Record(3)), before);
        QVERIFY(f.history.back().exam);

        // A tile pressed off and all on again: the flags and the count.
        QSignalSpy flagged(&f.session, &TrainingSession::CaseEnabledChanged);
        f.session.state.enabledCount = CaseCount(CaseSet::OLL);
        f.session.ToggleCase(8);
        QVERIFY(!f.session.CaseEnabled(8));
        QCOMPARE(f.session.state.enabledCount, CaseCount(CaseSet::OLL) - 1);
        QCOMPARE(flagged.takeFirst().at(0).toInt(), 8);
        f.session.SetAllCasesEnabled(false);
        QCOMPARE(f.session.state.enabledCount, 0);
        f.session.state.currentSet = CaseSet::PLL;
        f.session.SetAllCasesEnabled(true);
        QVERIFY(f.session.CaseEnabled(57));
        QCOMPARE(f.session.state.enabledCount, CaseCount(CaseSet::PLL));
    }

    // Rounds through the session: a discarded or given-up case comes again
    // in the same round, an accepted one does not.
    // The first recognition mark counts; the record takes in the total as
    // without it; a new attempt starts unmarked.
    void recognitionMarkGoesWithTheTotal()
    {
        Fixture f;
        f.Enable({5});
        f.session.ForgetTime();
        QVERIFY(f.session.MarkRecognition(880));
        QVERIFY(!f.session.MarkRecognition(1200));
        f.Time(2310);
        QCOMPARE(f.session.Accept().kind, TrainingSession::AcceptOutcome::Recorded);
        QCOMPARE(TextsOf(f.session.Record(5)), (Texts{"2,310", "2,310", "1"}));
        QCOMPARE(f.history.back().splitMs, std::optional<qint64>(880));

        f.session.ForgetTime();   // the next Start
        QCOMPARE(f.session.SplitMs(), std::nullopt);
        f.Time(1000);
        f.session.Accept();
        QCOMPARE(f.history.back().splitMs, std::nullopt);
        // A mark read after the stop's clock reading is the whole time.
        f.session.ForgetTime();
        f.session.MarkRecognition(1500);
        f.Time(1400);
        f.session.Accept();
        QCOMPARE(f.history.back().splitMs, std::optional<qint64>(1400));
    }

    void roundsKeepOnlyAcceptedCases()
    {
        Fixture f;
        f.Enable({1, 2, 3, 4});
        QVERIFY(f.session.SetRule(DrawRule::Round));
        const int discarded = f.Time(500);
        f.session.Discard();
        const int givenUp = f.Time(500);
        f.session.GiveUp();
        std::multiset<int> shown;
        for (int i = 0; i < 4; ++i) {
            shown.insert(f.Time(1000));
            QCOMPARE(f.session.Accept().kind, TrainingSession::AcceptOutcome::Recorded);
        }
        QCOMPARE(shown, (std::multiset<int>{1, 2, 3, 4}));
        QCOMPARE(f.session.draw.RoundOf(CaseSet::OLL).Number(), 1);
        QVERIFY(shown.count(discarded) == 1 && shown.count(givenUp) == 1);
    }

    // Stop keeps the time of the press, none within the first millisecond,
    // and gives up an attempt past the limit.
    void stopKeepsThePressTime()
    {
        Fixture f;
        f.session.state.startTimeUs = 5'000'000;
        f.session.Start();
        QVERIFY(f.session.state.attemptActive);
        QCOMPARE(f.session.Stop(5'000'999), TrainingSession::StopOutcome::NoTime);
        QVERIFY(!f.session.TimeMs());
        QCOMPARE(f.session.Stop(6'470'900), TrainingSession::StopOutcome::TimeKept);
        QCOMPARE(f.session.TimeMs(), std::optional<qint64>(1470));
        QCOMPARE(f.session.state.lastTimeText, QStringLiteral("1,470"));
        QCOMPARE(f.session.Stop(64'000'999), TrainingSession::StopOutcome::TimeKept);
        QCOMPARE(f.session.Stop(64'001'000), TrainingSession::StopOutcome::Overlong);
        f.session.Start();   // the next attempt begins without the last time
        QVERIFY(!f.session.TimeMs());
    }

    // A set switch: the set's flags, records and count of enabled cases come
    // in as stored, and the left set's go out as they were.
    void setSwitchCarriesTheStoredCases()
    {
        Fixture f;
        std::vector<TrainingSession::StoredCase> pll(static_cast<size_t>(CaseCount(CaseSet::PLL)));
        pll[1] = {false, CaseRecord::FromTexts("2,500", "1,900", "4")};
        pll[20] = {false, CaseRecord::FromTexts("abc", "0,000", "-2")};
        f.session.SwitchSet(CaseSet::PLL, pll);
        QCOMPARE(f.session.state.currentSet, CaseSet::PLL);
        QCOMPARE(f.session.state.enabledCount, CaseCount(CaseSet::PLL) - 2);
        QVERIFY(f.session.CaseEnabled(1) && !f.session.CaseEnabled(2) && !f.session.CaseEnabled(21));
        QCOMPARE(TextsOf(f.session.Record(2)), (Texts{"2,500", "1,900", "4"}));

        const std::vector<TrainingSession::StoredCase> kept = f.session.StoredSet(CaseSet::PLL);
        QCOMPARE(kept.size(), pll.size());
        for (size_t index = 0; index < kept.size(); ++index) {
            QCOMPARE(kept[index].enabled, pll[index].enabled);
            QVERIFY(kept[index].record == pll[index].record);
        }
    }

    // Random sequences of actions through the session and through the old
    // text arithmetic: equal texts and equal numbers at every step.
    void recordsMatchTheTextRoundTrip()
    {
        for (std::uint32_t seed = 1; seed <= 40; ++seed) {
            Fixture f(seed);
            std::mt19937 pick(seed);
            const auto below = [&pick](int bound) { return static_cast<int>(pick() % static_cast<unsigned>(bound)); };
            std::map<std::pair<int, int>, Texts> stored;   // (set, case) -> the texts Settings.ini holds
            std::array<Texts, kMaxCases + 1> shown{};     // the old tiles
            CaseSet set = CaseSet::OLL;
            QStringList enabled;
            for (int n = 1; n <= CaseCount(set); ++n)
                enabled << QString::number(n);
            f.session.state.enabledCases = enabled;
            for (int step = 0; step < 400; ++step) {
                const int action = below(10);
                if (action <= 3) {   // Start, Stop, Accept
                    const qint64 ms = below(5) == 0 ? below(20) : 300 + below(58700);
                    const int drawn = f.Time(ms);
                    if (drawn == 0)
                        continue;
                    std::optional<Texts> expected;
                    try {
                        expected = OldFoldTime(shown[drawn], ParseTimeText(StopwatchText(ms)).value());
                    } catch (const TesseloError&) {
                    }
                    const auto outcome = f.session.Accept();
                    QCOMPARE(outcome.kind == TrainingSession::AcceptOutcome::Recorded, expected.has_value());
                    if (expected)
                        shown[drawn] = *expected;
                } else if (action == 4) {   // Discard
                    f.Time(below(59000));
                    f.session.Discard();
                } else if (action == 5) {   // give-up
                    f.Time(below(59000));
                    f.session.GiveUp();
                } else if (action == 6 && !enabled.isEmpty()) {   // a tile pressed off, or all on again
                    if (below(4) == 0) {
                        enabled.clear();
                        for (int n = 1; n <= CaseCount(set); ++n)
                            enabled << QString::number(n);
                    } else {
                        enabled.removeAt(below(static_cast<int>(enabled.size())));
                    }
                    f.session.state.enabledCases = enabled;
                } else if (action == 7) {   // set switch: written out, the other set read in
                    for (int n = 1; n <= CaseCount(set); ++n)
                        stored[{int(set), n}] = TextsOf(f.session.Record(n));
                    set = OtherSet(set);
                    f.session.state.currentSet = set;
                    for (int n = 1; n <= CaseCount(set); ++n) {
                        const Texts texts = stored.count({int(set), n}) ? stored[{int(set), n}] : Texts{};
                        shown[n] = texts;
                        f.session.SetRecord(n, CaseRecord::FromTexts(texts.average, texts.best, texts.count));
                    }
                    enabled.clear();
                    for (int n = 1; n <= CaseCount(set); ++n)
                        enabled << QString::number(n);
                    f.session.state.enabledCases = enabled;
                } else if (action == 8) {   // Settings.ini edited by hand, read at the next switch
                    const int n = 1 + below(CaseCount(set));
                    shown[n] = {kStoredAverages[below(kStoredAverages.size())],
                                kStoredAverages[below(kStoredAverages.size())],
                                kStoredCounts[below(kStoredCounts.size())]};
                    f.session.SetRecord(n, CaseRecord::FromTexts(shown[n].average, shown[n].best, shown[n].count));
                } else {   // results cleared, bests kept or not
                    const bool keepBests = below(2) == 0;
                    for (int n = 1; n <= kMaxCases; ++n)
                        shown[n] = {ZeroTimeText(), keepBests ? shown[n].best : ZeroTimeText(), QStringLiteral("0")};
                    f.session.ClearRecords(keepBests);
                }
                QVector<CaseRecord> records;
                QVector<CaseTimes> texts;
                for (int n = 1; n <= CaseCount(set); ++n) {
                    const CaseRecord& record = f.session.Record(n);
                    QCOMPARE(TextsOf(record), shown[n]);
                    QCOMPARE(record.Average(), ParseTimeText(shown[n].average));
                    QCOMPARE(record.Best(), ParseTimeText(shown[n].best));
                    records.append(record);
                    texts.append({shown[n].average, shown[n].best, shown[n].count});
                }
                // The status bar's figures from the numbers, as the texts read back gave them.
                const BoardSummary fromNumbers = ComputeSummary(records);
                const BoardSummary fromTexts = ComputeSummary(texts);
                QVERIFY(fromNumbers.maxAverage == fromTexts.maxAverage);
                QVERIFY(fromNumbers.minAverage == fromTexts.minAverage);
                QVERIFY(fromNumbers.bestTime == fromTexts.bestTime);
                QVERIFY(fromNumbers.totalSeconds == fromTexts.totalSeconds);
                QCOMPARE(fromNumbers.attemptCount, fromTexts.attemptCount);
            }
        }
    }
};

QTEST_GUILESS_MAIN(SessionTest)
#include "test_core_session.moc"
