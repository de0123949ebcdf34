// The board's arithmetic: summary values, bar levels, total time and the
// five status texts.
#include "core/summary.h"

#include <QtTest>

#include <cmath>

namespace {

CaseTimes Times(const char* average, const char* best, const char* count)
{
    return {QString::fromLatin1(average), QString::fromLatin1(best), QString::fromLatin1(count)};
}

} // namespace

class SummaryTest : public QObject {
    Q_OBJECT

private slots:
    void emptyBoardReadsZeros()
    {
        const BoardSummary summary = ComputeSummary(QVector<CaseTimes>(57, Times("0,000", "0,000", "0")));
        QCOMPARE(summary.maxAverage, 0.0);
        QCOMPARE(summary.minAverage, 1000.0);
        QCOMPARE(summary.bestTime, 1000.0);
        QCOMPARE(summary.totalSeconds, 0.0);
        QCOMPARE(summary.attemptCount, 0);
        QCOMPARE(StatusTexts(summary, false),
                 QStringList({"Global best:  0,000", "Min avg:  0,000", "Max avg:  0,000",
                              "Total time:  00:00:00     ", "Attempts:  0"}));
        QCOMPARE(StatusTexts(summary, true),
                 QStringList({QStringLiteral("Абс. рекорд:  0,000"), QStringLiteral("Мин. среднее:  0,000"),
                              QStringLiteral("Макс. среднее:  0,000"), QStringLiteral("Общее время:  00:00:00     "),
                              QStringLiteral("Попыток:  0")}));
    }

    void summaryOverResults()
    {
        QVector<CaseTimes> cases(21, Times("0,000", "0,000", "0"));
        cases[0] = Times("4,546", "3,912", "12");
        cases[5] = Times("6,842", "2,434", "3");
        cases[9] = Times("0,000", "1,500", "0");   // averages deleted, best kept
        cases[20] = Times("5,000", "0", "1");
        const BoardSummary summary = ComputeSummary(cases);
        QCOMPARE(summary.maxAverage, 6.842);
        QCOMPARE(summary.minAverage, 4.546);
        QCOMPARE(summary.bestTime, 1.5);
        QCOMPARE(summary.attemptCount, 16);
        QVERIFY(std::fabs(summary.totalSeconds - (4.546 * 12 + 6.842 * 3 + 5.0)) < 1e-9);
        QCOMPARE(StatusTexts(summary, false),
                 QStringList({"Global best:  1,500", "Min avg:  4,546", "Max avg:  6,842",
                              "Total time:  00:01:20     ", "Attempts:  16"}));
    }

    void textsThatDoNotParseCountAsZero()
    {
        const BoardSummary summary = ComputeSummary({Times("", "abc", "x"), Times("nan", "1,2,3", "-"),
                                                    Times("2,000", "1,000", "2")});
        QCOMPARE(summary.maxAverage, 2.0);
        QCOMPARE(summary.minAverage, 2.0);
        QCOMPARE(summary.bestTime, 1.0);
        QCOMPARE(summary.attemptCount, 2);
        QCOMPARE(summary.totalSeconds, 4.0);
    }

    void timesOfAThousandSecondsNeverBecomeTheMinimum()
    {
        const BoardSummary summary = ComputeSummary({Times("1000,000", "1500,000", "1")});
        QCOMPARE(summary.maxAverage, 1000.0);
        QCOMPARE(StatusTexts(summary, false)[0], QStringLiteral("Global best:  0,000"));
        QCOMPARE(StatusTexts(summary, false)[1], QStringLiteral("Min avg:  0,000"));
        QCOMPARE(StatusTexts(summary, false)[2], QStringLiteral("Max avg:  1000,000"));
    }

    void hugeCountsSaturateInsteadOfWrapping()
    {
        const BoardSummary summary = ComputeSummary(QVector<CaseTimes>(3, Times("1,000", "1,000", "2000000000")));
        QCOMPARE(summary.attemptCount, 2147483647);
        QCOMPARE(summary.totalSeconds, 6e9);
    }

    void barLevels_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("maxValue");
        QTest::addColumn<int>("level");
        QTest::newRow("no result") << 0.0 << 9.0 << 0;
        QTest::newRow("the slowest") << 9.0 << 9.0 << 100;
        QTest::newRow("12.5 to even") << 1.125 << 9.0 << 12;
        QTest::newRow("37.5 to even") << 3.375 << 9.0 << 38;
        QTest::newRow("a twentieth is raised to 10") << 0.45 << 9.0 << 10;
        QTest::newRow("just below 10") << 0.855 << 9.0 << 10;
        QTest::newRow("ordinary") << 4.546 << 6.842 << 66;
        // Decimal ties that binary arithmetic sees a hair off.
        QTest::newRow("54.5 (binary 54.50000000000001)") << 0.545 << 1.0 << 54;
        QTest::newRow("57.5 (binary 57.49999999999999)") << 0.575 << 1.0 << 58;
        QTest::newRow("37.5 (binary 37.49999999999999)") << 0.417 << 1.112 << 38;
        QTest::newRow("62.5 (binary 62.50000000000001)") << 0.73 << 1.168 << 62;
        QTest::newRow("more decimals than a time") << 1.0 / 3.0 << 1.0 << 33;
        QTest::newRow("no maximum") << 1.0 << 0.0 << 0;
        QTest::newRow("not a number") << std::nan("") << 1.0 << 0;
    }
    void barLevels()
    {
        QFETCH(double, value);
        QFETCH(double, maxValue);
        QFETCH(int, level);
        QCOMPARE(BarLevel(value, maxValue), level);
    }

    void litSegments()
    {
        const QList<QPair<int, int>> table = {{0, 0}, {9, 0}, {10, 1}, {19, 1}, {20, 2}, {99, 9}, {100, 10}, {150, 10}, {-5, 0}};
        for (const auto& [level, lit] : table)
            QCOMPARE(LitSegments(level), lit);
    }

    void totalTime_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("nothing") << 0.0 << "00:00:00";
        QTest::newRow("example") << 3725.0 << "01:02:05";
        QTest::newRow("3599.5 to even") << 3599.5 << "01:00:00";
        QTest::newRow("3598.5 to even") << 3598.5 << "00:59:58";
        QTest::newRow("half a second") << 0.5 << "00:00:00";
        QTest::newRow("a second and a half") << 1.5 << "00:00:02";
        QTest::newRow("last second of a day") << 86399.4 << "23:59:59";
        QTest::newRow("a day and an hour") << 90000.0 << "25:00:00";
        QTest::newRow("a thousand hours") << 3600000.0 << "1000:00:00";
        QTest::newRow("not a number") << std::nan("") << "00:00:00";
        QTest::newRow("negative") << -20.0 << "00:00:00";
    }
    void totalTime()
    {
        QFETCH(double, seconds);
        QFETCH(QString, text);
        QCOMPARE(TotalTimeText(seconds), text);
    }
};

QTEST_GUILESS_MAIN(SummaryTest)
#include "test_core_summary.moc"
