// Recognition in the Progress figures: the split means of a case, the
// naming drill's ranking, and the store keeping both as times are recorded.
#include "history/historyfile.h"
#include "history/historystore.h"
#include "history/progressstats.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// OLL case 4 split twice, timed whole once, at both levels; a split of
// case 5 between them; a whole-timed exam of case 4.
const QByteArray kSplitHistory = "time,set,case,level,recognition,seconds,exam,scramble,mode,split,answer,result\n"
                                 "2026-12-09T11:40:00Z,OLL,4,Easy,top,1.500,0,,split,0.620,,\n"
                                 "2026-12-09T11:40:10Z,OLL,5,Easy,top,3.000,0,,split,2.000,,\n"
                                 "2026-12-09T11:40:20Z,OLL,4,Easy,top,1.400,0,,time,,,\n"
                                 "2026-12-09T11:40:30Z,OLL,4,Hard,top,2.101,0,,split,0.901,,\n"
                                 "2026-12-09T11:40:40Z,OLL,4,Easy,top,1.000,1,,time,,,\n";

QByteArray DrillLine(int caseNumber, const char* seconds, const char* answer, const char* result,
                     const char* level = "Easy")
{
    return QByteArray("2026-12-09T12:00:00Z,PLL,") + QByteArray::number(caseNumber) + ',' + level + ",top," + seconds
           + ",0,,name," + seconds + ',' + answer + ',' + result + '\n';
}

Attempt Sample(int caseNumber, int milliseconds, AttemptMode mode = AttemptMode::Time)
{
    Attempt attempt;
    attempt.utcSeconds = 1796815925;
    attempt.caseNumber = caseNumber;
    attempt.milliseconds = milliseconds;
    attempt.mode = mode;
    return attempt;
}

AttemptDetail SplitAt(int milliseconds)
{
    AttemptDetail detail;
    detail.splitMilliseconds = milliseconds;
    return detail;
}

AttemptDetail Answer(AttemptResult result)
{
    AttemptDetail detail;
    detail.answer = QStringLiteral("Ga");
    detail.result = result;
    return detail;
}

} // namespace

class RecognitionTest : public QObject {
    Q_OBJECT

private slots:
    // Each listed time gets its own split, whatever lies between; the means
    // are over the split times only, and follow the filter.
    void splitMeansOfACase()
    {
        const HistoryContent content = ParseHistory(kSplitHistory);
        QCOMPARE(content.skippedLines, 0);
        const std::vector<Attempt> shown = CaseAttempts(content.attempts, CaseSet::OLL, 4, {});
        const std::vector<std::optional<int>> splits = CaseSplits(content.attempts, content.splits, CaseSet::OLL, 4, {});
        QCOMPARE(splits, (std::vector<std::optional<int>>{620, std::nullopt, 901}));
        QCOMPARE(splits.size(), shown.size());
        const SplitFigures both = SplitMeans(TimesOf(shown), splits);
        QCOMPARE(both.count, 2);
        QCOMPARE(both.recognitionMs, 760);    // 760.5, to the even 760
        QCOMPARE(both.executionMs, 1040);     // (880 + 1200) / 2

        AttemptFilter easy;
        easy.level = Level::Easy;
        easy.withExam = true;
        const std::vector<std::optional<int>> easySplits = CaseSplits(content.attempts, content.splits, CaseSet::OLL, 4, easy);
        QCOMPARE(easySplits, (std::vector<std::optional<int>>{620, std::nullopt, std::nullopt}));
        const SplitFigures easyFigures = SplitMeans(TimesOf(CaseAttempts(content.attempts, CaseSet::OLL, 4, easy)), easySplits);
        QCOMPARE(easyFigures.recognitionMs, 620);
        QCOMPARE(easyFigures.executionMs, 880);

        QCOMPARE(SplitMeans({1000, 2000}, {std::nullopt, std::nullopt}).count, 0);   // timed whole: no means
    }

    // Right answers give the times; wrong ones and give-ups are misses. The
    // largest share missed comes first, then the slowest; a case never
    // named right counts as slowest; other sets and levels stay out.
    void namingRankingWorstFirst()
    {
        const QByteArray drill = HistoryHeader() + '\n'
                                 + DrillLine(13, "1.000", "Ga", "ok") + DrillLine(13, "", "Gb", "wrong")
                                 + DrillLine(13, "1.500", "Ga", "ok") + DrillLine(13, "", "", "gave-up")   // 2 of 4
                                 + DrillLine(2, "3.000", "Ua", "ok") + DrillLine(2, "", "Ub", "wrong")      // 1 of 2, slow
                                 + DrillLine(3, "0.700", "Ub", "ok") + DrillLine(3, "", "Ua", "wrong")      // 1 of 2, quick
                                 + DrillLine(4, "", "E", "wrong")                                           // never right
                                 + DrillLine(5, "0.500", "H", "ok")
                                 + DrillLine(6, "0.400", "Z", "ok", "Hard");
        const HistoryContent content = ParseHistory(drill);
        QCOMPARE(content.drill.size(), size_t(11));
        QVERIFY(content.attempts.empty());
        const NamingRanking ranking = RankNaming(content.drill, CaseSet::PLL, {});
        std::vector<int> order;
        for (const NamingFigures& f : ranking.worstFirst)
            order.push_back(f.caseNumber);
        QCOMPARE(order, (std::vector<int>{4, 2, 13, 3, 5, 6}));
        QCOMPARE(ranking.worstFirst[0].meanMs, std::nullopt);
        QCOMPARE(ranking.worstFirst[2].answers, 4);
        QCOMPARE(ranking.worstFirst[2].misses, 2);
        QCOMPARE(*ranking.worstFirst[2].meanMs, 1250);
        QCOMPARE(ranking.neverDrilled.size(), size_t(21 - 6));
        QCOMPARE(ranking.neverDrilled.front(), 1);

        AttemptFilter hard;
        hard.level = Level::Hard;
        const NamingRanking hardOnly = RankNaming(content.drill, CaseSet::PLL, hard);
        QCOMPARE(hardOnly.worstFirst.size(), size_t(1));
        QCOMPARE(hardOnly.worstFirst[0].caseNumber, 6);
        QCOMPARE(RankNaming(content.drill, CaseSet::OLL, {}).neverDrilled.size(), size_t(57));
    }

    // Splits and answers recorded while the file is read, and after, are
    // kept once each, a split beside its own time.
    void storeKeepsSplitsAndAnswersAsRecorded()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("History.csv"));
        QByteArray content = HistoryHeader() + "\n";
        for (int i = 0; i < 20000; ++i)
            content += FormatAttempt(Sample(1 + i % 57, 1000 + i)) + "\n";
        content += FormatAttempt(Sample(7, 2000, AttemptMode::Split), QString(), SplitAt(800)) + "\n";
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();

        HistoryStore store(path);
        QSignalSpy loaded(&store, &HistoryStore::Loaded);
        store.StartLoading();
        store.Record(Sample(9, 1500, AttemptMode::Split), QString(), SplitAt(500));
        store.Record(Sample(9, 900, AttemptMode::Name), QString(), Answer(AttemptResult::Ok));
        QVERIFY(loaded.wait(10000));
        store.Record(Sample(3, 1200, AttemptMode::Split), QString(), SplitAt(300));
        store.Record(Sample(9, 4000, AttemptMode::Name), QString(), Answer(AttemptResult::GaveUp));   // no time kept

        QCOMPARE(store.Attempts().size(), size_t(20003));
        QCOMPARE(store.Splits(), (std::vector<AttemptSplit>{{20000, 800}, {20001, 500}, {20002, 300}}));
        QCOMPARE(store.Attempts()[20001], Sample(9, 1500, AttemptMode::Split));
        QCOMPARE(store.Drill().size(), size_t(2));
        QCOMPARE(store.Drill().back().detail.result, AttemptResult::GaveUp);

        HistoryStore reread(path);   // what the file took reads back the same
        reread.EnsureLoaded();
        QCOMPARE(reread.Splits(), store.Splits());
        QCOMPARE(reread.Drill(), store.Drill());
    }
};

QTEST_GUILESS_MAIN(RecognitionTest)
#include "test_core_recognition.moc"
