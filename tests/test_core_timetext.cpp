// Time texts: the two-step rounding of MakeTimeText checked against an exact
// model on integers, parsing with a comma whatever the locale, and the
// stopwatch reading.
#include "core/errors.h"
#include "core/timetext.h"

#include <QLocale>
#include <QtTest>

#include <clocale>
#include <cmath>
#include <cstdlib>

namespace {

using Wide = __int128;

int BitLength(Wide value)
{
    int bits = 0;
    while (value > 0) {
        value >>= 1;
        ++bits;
    }
    return bits;
}

// value / 2^shift, rounded to the nearest integer, ties to even.
Wide ShiftRoundHalfEven(Wide value, int shift)
{
    if (shift <= 0)
        return value << -shift;
    if (shift >= 100)
        return 0;
    const Wide quotient = value >> shift;
    const Wide remainder = value - (quotient << shift);
    const Wide half = Wide(1) << (shift - 1);
    const bool up = remainder > half || (remainder == half && (quotient & 1));
    return quotient + (up ? 1 : 0);
}

// The exact binary value of a non-negative double times 10000, first rounded
// to a 64-bit mantissa (the extended-precision product), then to an integer
// with ties to even; then three decimals, the fourth deciding half up.
QString ExpectedTimeText(double seconds)
{
    int exponent = 0;
    const double fraction = std::frexp(seconds, &exponent);
    Wide product = static_cast<Wide>(static_cast<long long>(std::ldexp(fraction, 53))) * 10000;
    int scale = exponent - 53;
    const int excess = BitLength(product) - 64;
    if (excess > 0) {
        product = ShiftRoundHalfEven(product, excess);
        scale += excess;
    }
    const long long tenThousandths = static_cast<long long>(ShiftRoundHalfEven(product, -scale));
    const long long thousandths = (tenThousandths + 5) / 10;
    return QStringLiteral("%1,%2").arg(thousandths / 1000).arg(thousandths % 1000, 3, 10, QLatin1Char('0'));
}

void UseLocale(const char* name)
{
    qputenv("LANG", name);
    qputenv("LC_ALL", name);
    std::setlocale(LC_ALL, name);
    QLocale::setDefault(QLocale(QString::fromLatin1(name).section(u'.', 0, 0)));
}

} // namespace

class TimeTextTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { UseLocale("C"); }

    void makeTimeTextExamples_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0 << "0,000";
        QTest::newRow("whole") << 7.0 << "7,000";
        QTest::newRow("pre-rounding carries") << 2.00049 << "2,001";
        QTest::newRow("fourth decimal 4") << 15.4294 << "15,429";
        QTest::newRow("fourth decimal 5") << 15.4295 << "15,430";
        QTest::newRow("three decimals") << 7.045 << "7,045";
        QTest::newRow("below one second") << 0.5 << "0,500";
        // Exact binary ties at the fourth decimal go to the even neighbour.
        QTest::newRow("tie down to even") << 0.03125 << "0,031";
        QTest::newRow("tie up to even") << 0.09375 << "0,094";
        QTest::newRow("tie 5/32") << 0.15625 << "0,156";
        QTest::newRow("tie 7/32") << 0.21875 << "0,219";
        QTest::newRow("carry into seconds") << 59.9995 << "60,000";
    }
    void makeTimeTextExamples()
    {
        QFETCH(double, seconds);
        QFETCH(QString, text);
        QCOMPARE(MakeTimeText(seconds), text);
    }

    void makeTimeTextMatchesExactModelAcrossBoundaries()
    {
        int checked = 0;
        for (const int whole : {0, 2, 15, 59, 123}) {
            for (int hundredThousandths = 0; hundredThousandths < 100000; ++hundredThousandths) {
                const int lastTwo = hundredThousandths % 100;
                // x.xxx45, x.xxx5, x.xxx95 and their neighbours
                if (lastTwo % 5 != 0 && lastTwo % 10 != 4 && lastTwo % 10 != 9)
                    continue;
                const double x = whole + hundredThousandths / 100000.0;
                for (const double probe : {x, std::nextafter(x, 0.0), std::nextafter(x, 1e9)}) {
                    if (MakeTimeText(probe) != ExpectedTimeText(probe))
                        QFAIL(qPrintable(QStringLiteral("%1: got %2, expected %3")
                                             .arg(probe, 0, 'g', 17)
                                             .arg(MakeTimeText(probe), ExpectedTimeText(probe))));
                    ++checked;
                }
            }
        }
        QVERIFY(checked > 500000);
    }

    void makeTimeTextNeverFailsOnNonsense()
    {
        QCOMPARE(MakeTimeText(std::nan("")), QStringLiteral("0,000"));
        QCOMPARE(MakeTimeText(INFINITY), QStringLiteral("0,000"));
        QCOMPARE(MakeTimeText(-1.5), QStringLiteral("-1,500"));
        QCOMPARE(MakeTimeText(1e20), QStringLiteral("100000000000000000000,000"));
    }

    void parseReadsCommaWhateverTheLocale_data()
    {
        QTest::addColumn<QByteArray>("locale");
        QTest::newRow("C") << QByteArray("C");
        QTest::newRow("en_US") << QByteArray("en_US.UTF-8");
        QTest::newRow("de_DE") << QByteArray("de_DE.UTF-8");
        QTest::newRow("ru_RU") << QByteArray("ru_RU.UTF-8");
    }
    void parseReadsCommaWhateverTheLocale()
    {
        QFETCH(QByteArray, locale);
        UseLocale(locale.constData());
        QCOMPARE(ParseTimeText(QStringLiteral("4,546")), std::optional<double>(4.546));
        QCOMPARE(ParseTimeText(QStringLiteral("0")), std::optional<double>(0.0));
        QCOMPARE(ParseTimeText(QStringLiteral("12")), std::optional<double>(12.0));
        QCOMPARE(ParseTimeText(QStringLiteral(" 7,0 ")), std::optional<double>(7.0));
        QCOMPARE(ParseTimeText(QStringLiteral("\t15,429\t")), std::optional<double>(15.429));
        QCOMPARE(ParseTimeText(QStringLiteral("59,000")), std::optional<double>(59.0));
        QCOMPARE(ParseTimeText(MakeTimeText(3.912)), std::optional<double>(3.912));
        QCOMPARE(ZeroTimeText(), QStringLiteral("0,000"));
        QCOMPARE(MakeTimeText(1234.5), QStringLiteral("1234,500"));
    }

    void parseRejectsWhatIsNotATime_data()
    {
        QTest::addColumn<QString>("text");
        for (const char* bad : {"", "   ", "abc", "1,2,3", "nan", "NaN", "inf", "-inf", "1e5", "4.546",
                                "1 000", "12abc", ",", "-", "+", "99999999999999999999", "1000000000001",
                                "0x10", "$10"})
            QTest::newRow(bad) << QString::fromLatin1(bad);
    }
    void parseRejectsWhatIsNotATime()
    {
        QFETCH(QString, text);
        QVERIFY(!ParseTimeText(text).has_value());
        try {
            ParseTimeTextOrThrow(text);
            QFAIL("no error");
        } catch (const TesseloError& error) {
            QCOMPARE(error.text(), QStringLiteral("'%1' is not a valid floating point value").arg(text));
        }
    }

    void countsReadAsIntegers()
    {
        QCOMPARE(ParseCount(QStringLiteral("18")), std::optional<int>(18));
        QCOMPARE(ParseCountOrThrow(QStringLiteral(" 0 ")), 0);
        QVERIFY(!ParseCount(QStringLiteral("1,5")).has_value());
        QVERIFY(!ParseCount(QStringLiteral("99999999999")).has_value());
        try {
            ParseCountOrThrow(QStringLiteral("abc"));
            QFAIL("no error");
        } catch (const TesseloError& error) {
            QCOMPARE(error.text(), QStringLiteral("'abc' is not a valid integer value"));
        }
    }

    void stopwatchText_data()
    {
        QTest::addColumn<qint64>("elapsedMs");
        QTest::addColumn<QString>("text");
        QTest::newRow("start") << qint64(0) << "0,000";
        QTest::newRow("45 ms") << qint64(45) << "0,045";
        QTest::newRow("9.5 s") << qint64(9500) << "9,500";
        QTest::newRow("limit") << qint64(59000) << "59,000";
        QTest::newRow("past a minute") << qint64(61234) << "61,234";
        QTest::newRow("clock went back") << qint64(-5) << "0,000";
    }
    void stopwatchText()
    {
        QFETCH(qint64, elapsedMs);
        QFETCH(QString, text);
        QCOMPARE(StopwatchText(elapsedMs), text);
        QCOMPARE(ParseTimeText(text), std::optional<double>(std::max<qint64>(elapsedMs, 0) / 1000.0));
    }
};

QTEST_GUILESS_MAIN(TimeTextTest)
#include "test_core_timetext.moc"
