// The naming drill without a window: whole cycles answered right, wrong and
// given up, what they write to History.csv (read back by its header), the
// tiles' records left alone, the rounds, and the weak rule fed by the
// drill's answers.
#include "core/trainingsession.h"
#include "history/historyfile.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

namespace {

const CaseIdentityTable& Cases()
{
    static const CaseIdentityTable table = [] {
        QFile file(QStringLiteral(TESSELO_SOURCE_DIR "/resources/cases.csv"));
        return file.open(QIODevice::ReadOnly) ? CaseIdentityTable::Parse(file.readAll()) : CaseIdentityTable();
    }();
    return table;
}

int CaseNamed(CaseSet set, const QString& standard)
{
    for (int n = 1; n <= CaseCount(set); ++n)
        if (Cases().Find(set, n)->standard == standard)
            return n;
    return 0;
}

struct Fixture {
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    TrainingSession session{clock, std::make_shared<SeededRandom>(3)};
    QByteArray file = HistoryHeader() + "\r\n";   // History.csv as the link appends to it

    explicit Fixture(CaseSet set)
    {
        session.state.currentSet = set;
        session.naming.UseCases(Cases());
        session.naming.SetActive(true);
        session.naming.LinkHistory([this](const Attempt& line, const QString& scramble, const AttemptDetail& detail) {
            file += HistoryLine(line, scramble, detail);
            return QString();
        });
    }
    // The countdown's draw of the given case and its picture shown.
    void Show(int caseNumber)
    {
        session.state.currentCase = caseNumber;
        session.naming.Ask();
    }
};

Attempt NamedLine(CaseSet set, int caseNumber, qint32 ms)
{
    Attempt line;
    line.set = set;
    line.caseNumber = caseNumber;
    line.mode = AttemptMode::Name;
    line.milliseconds = ms;
    return line;
}

} // namespace

class NamingDrillTest : public QObject {
    Q_OBJECT

private slots:
    void tableReads() { QVERIFY(!Cases().IsEmpty()); }

    // PLL by letters, OLL by number and Enter, a tile, Escape: each verdict,
    // the lines History.csv gets, and no record touched.
    void cyclesRightWrongAndGivenUpReachHistory()
    {
        Fixture pll(CaseSet::PLL);
        const int jb = CaseNamed(CaseSet::PLL, QStringLiteral("Jb"));
        pll.Show(jb);
        QVERIFY(!pll.session.naming.Key(u'j', 700));
        QCOMPARE(pll.session.naming.Typed(), QStringLiteral("J"));
        QVERIFY(!pll.session.naming.Key(u'x', 800));   // no Jx: passed over
        const std::optional<NamingVerdict> right = pll.session.naming.Key(u'b', 1240);
        QVERIFY(right && right->result == AttemptResult::Ok);
        QCOMPARE(right->answerMs, qint64(1240));
        QVERIFY(!pll.session.naming.Asking());
        QVERIFY(!pll.session.naming.Key(u't', 1300));   // answered: nothing waits

        pll.Show(jb);
        const std::optional<NamingVerdict> wrong = pll.session.naming.Key(u't', 905);   // T is whole at once
        QVERIFY(wrong && wrong->result == AttemptResult::Wrong);
        QCOMPARE(wrong->answer, QStringLiteral("T"));
        QCOMPARE(wrong->rightCase, jb);

        pll.Show(jb);
        const std::optional<NamingVerdict> tile = pll.session.naming.AnswerWithCase(jb, 2000);
        QVERIFY(tile && tile->result == AttemptResult::Ok && tile->answer == QStringLiteral("Jb"));

        pll.session.state.currentScramble = QStringLiteral("R U R'");
        pll.Show(jb);
        QCOMPARE(pll.session.naming.GiveUp(3000)->result, AttemptResult::GaveUp);

        const HistoryContent read = ParseHistory(pll.file);
        QCOMPARE(read.skippedLines, 0);
        QVERIFY(read.attempts.empty());   // nothing the tiles or the statistics count
        QCOMPARE(read.drill.size(), size_t(4));
        const std::vector<std::pair<qint32, AttemptDetail>> expected = {
            {1240, {1240, QStringLiteral("Jb"), AttemptResult::Ok}},
            {0, {905, QStringLiteral("T"), AttemptResult::Wrong}},
            {2000, {2000, QStringLiteral("Jb"), AttemptResult::Ok}},
            {0, {-1, QString(), AttemptResult::GaveUp}},
        };
        for (size_t i = 0; i < expected.size(); ++i) {
            QCOMPARE(read.drill[i].attempt.mode, AttemptMode::Name);
            QCOMPARE(read.drill[i].attempt.caseNumber, jb);
            QCOMPARE(read.drill[i].attempt.set, CaseSet::PLL);
            QCOMPARE(read.drill[i].attempt.milliseconds, expected[i].first);
            QCOMPARE(read.drill[i].detail, expected[i].second);
        }
        QVERIFY(pll.file.endsWith(",R U R',name,,,gave-up\r\n"));
        for (int n = 1; n <= kMaxCases; ++n)
            QCOMPARE(pll.session.Record(n), CaseRecord());

        Fixture oll(CaseSet::OLL);
        const int sune = CaseNamed(CaseSet::OLL, QStringLiteral("27"));
        oll.Show(sune);
        QVERIFY(!oll.session.naming.Enter(100));   // nothing typed
        QVERIFY(!oll.session.naming.Key(u'2', 400));
        QVERIFY(!oll.session.naming.Key(u'7', 600));
        const std::optional<NamingVerdict> number = oll.session.naming.Enter(1500);
        QVERIFY(number && number->result == AttemptResult::Ok && number->answer == QStringLiteral("27"));
        QVERIFY(!oll.session.naming.GiveUp(1600));   // nothing waits: nothing written
        QCOMPARE(ParseHistory(oll.file).drill.size(), size_t(1));
    }

    // In rounds a named case (right or wrong) was seen; a given-up one comes
    // again in the same round.
    void givenUpCaseComesAgainInItsRound()
    {
        Fixture drill(CaseSet::PLL);
        drill.session.draw.rule = DrawRule::Round;
        drill.session.state.enabledCases = QStringList{QStringLiteral("1"), QStringLiteral("2")};
        QSignalSpy changed(&drill.session, &TrainingSession::DrawChanged);
        drill.Show(drill.session.ChooseCase(nullptr).value());
        drill.session.naming.GiveUp(500);
        QCOMPARE(drill.session.draw.RoundOf(CaseSet::PLL).Taken({1, 2}), 0);
        drill.Show(drill.session.ChooseCase(nullptr).value());
        drill.session.naming.Key(u'z', 700);   // right or wrong, the case was seen
        QCOMPARE(drill.session.draw.RoundOf(CaseSet::PLL).Taken({1, 2}), 1);
        QCOMPARE(changed.count(), 2);
    }

    // The weak rule in the drill weighs by answer times, a miss as a slow
    // answer; the solves' weighting is untouched and comes back outside it.
    void weakRuleWeighsMissesInTheDrill()
    {
        Fixture drill(CaseSet::PLL);
        std::vector<Attempt> answers;
        for (int i = 0; i < 4; ++i) {
            answers.push_back(AnswerTimeForDraw(NamedLine(CaseSet::PLL, 1, 1000), AttemptResult::Ok));
            answers.push_back(AnswerTimeForDraw(NamedLine(CaseSet::PLL, 2, 0), i == 0 ? AttemptResult::Wrong : AttemptResult::Ok));
            answers.push_back(AnswerTimeForDraw(NamedLine(CaseSet::PLL, 3, 1000), AttemptResult::Ok));
        }
        QCOMPARE(answers[1].milliseconds, kMissedAnswerMs);
        // The solves: case 1 is the slow one.
        std::vector<Attempt> solves;
        for (int n : {1, 2, 3})
            for (int i = 0; i < 3; ++i)
                solves.push_back(NamedLine(CaseSet::PLL, n, n == 1 ? 9000 : 2000));
        for (Attempt& solve : solves)
            solve.mode = AttemptMode::Time;

        CaseDraw& draw = drill.session.draw;
        QVERIFY(draw.weighNaming);
        const QHash<int, double> named = draw.Shares(CaseSet::PLL, {1, 2, 3}, answers, 0);
        QVERIFY(named[2] > named[1] && named[1] == named[3]);
        drill.session.naming.SetActive(false);
        const QHash<int, double> solved = draw.Shares(CaseSet::PLL, {1, 2, 3}, solves, 0);
        QVERIFY(solved[1] > solved[2] && solved[2] == solved[3]);
        drill.session.naming.SetActive(true);
        QCOMPARE(draw.Shares(CaseSet::PLL, {1, 2, 3}, answers, 0), named);
    }
};

QTEST_GUILESS_MAIN(NamingDrillTest)
#include "test_core_namingdrill.moc"
