// The recorded time must follow the monotonic clock: setting the system
// clock back or forward during an attempt (by hand, by NTP, at a change of
// summer time) must not change it.
#include "core/seams.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>
#include <chrono>

namespace {

qint64 SteadyNowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Calls that read the time of day or the calendar.
const QRegularExpression& WallClockReads()
{
    static const QRegularExpression reads(QStringLiteral(
        R"(QTime::currentTime|QDateTime::current|system_clock|high_resolution_clock|gettimeofday|CLOCK_REALTIME|\btime\s*\(\s*(nullptr|NULL|0)\s*\)|\blocaltime\s*\()"));
    return reads;
}

// Seeding the random generator may use any clock: it times nothing.
bool IsSeeding(const QString& line) { return line.contains(QLatin1String(".seed(")); }

// The date written beside each recorded time in History.csv is the time of
// day by nature: the Clock seam reads it in this one place, and times nothing.
bool IsHistoryDate(const QString& fileName, const QString& line)
{
    return fileName.endsWith(QLatin1String("core/seams.cpp")) && line.contains(QLatin1String("currentSecsSinceEpoch"));
}

QStringList WallClockReadsIn(const QString& folder)
{
    QStringList found;
    QDirIterator files(folder, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files);
    while (files.hasNext()) {
        QFile file(files.next());
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        int number = 0;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine());
            ++number;
            if (line.contains(WallClockReads()) && !IsSeeding(line) && !IsHistoryDate(file.fileName(), line))
                found << QStringLiteral("%1:%2: %3").arg(file.fileName()).arg(number).arg(line.trimmed());
        }
    }
    return found;
}

} // namespace

class CoreFaultClockTest : public QObject {
    Q_OBJECT

private slots:
    // The production clock reads the same clock as std::chrono::steady_clock
    // (CLOCK_MONOTONIC), not the time of day: a reading falls between two
    // steady readings taken around it, which no wall-clock reading would.
    void productionClockIsTheSteadyClock()
    {
        SteadyClock clock;
        for (int i = 0; i < 1000; ++i) {
            const qint64 before = SteadyNowMs();
            const qint64 reading = clock.MonotonicMs();
            const qint64 after = SteadyNowMs();
            QVERIFY2(before <= reading && reading <= after,
                     qPrintable(QStringLiteral("%1 not within [%2, %3]").arg(reading).arg(before).arg(after)));
        }
    }

    // Nothing that times an attempt, a countdown or a fling reads the time of
    // day: every elapsed time goes through Clock.
    void noCodeReadsTheTimeOfDay()
    {
        QStringList found;
        for (const char* folder : {"trainer", "board", "app", "window", "about", "settings", "history"})
            found << WallClockReadsIn(QStringLiteral(TESSELO_SOURCE_DIR "/") + QLatin1String(folder));
        QVERIFY2(found.isEmpty(), qPrintable(found.join(u'\n')));
    }

    // The scan above would miss nothing it should catch.
    void theScanRecognisesWallClockReads_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("isRead");
        QTest::newRow("QTime") << "const QTime now = QTime::currentTime();" << true;
        QTest::newRow("QDateTime") << "auto t = QDateTime::currentMSecsSinceEpoch();" << true;
        QTest::newRow("system_clock") << "std::chrono::system_clock::now()" << true;
        QTest::newRow("time(nullptr)") << "const auto t = time(nullptr);" << true;
        QTest::newRow("realtime") << "clock_gettime(CLOCK_REALTIME, &ts);" << true;
        QTest::newRow("monotonic") << "clock_gettime(CLOCK_MONOTONIC, &ts);" << false;
        QTest::newRow("steady") << "std::chrono::steady_clock::now()" << false;
        QTest::newRow("the Clock seam") << "const qint64 now = env.clock->MonotonicMs();" << false;
        QTest::newRow("a word with time in it") << "startTime(0)" << false;
    }
    void theScanRecognisesWallClockReads()
    {
        QFETCH(QString, line);
        QFETCH(bool, isRead);
        QCOMPARE(line.contains(WallClockReads()), isRead);
    }
};

QTEST_GUILESS_MAIN(CoreFaultClockTest)
#include "test_core_fault_clock.moc"
