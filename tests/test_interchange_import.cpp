// Other timers' files read for import: the three formats, the program's own
// export read back exactly, every case found from a scramble however the
// cube is held, what is left out and why, the files refused whole, and
// cancelling.
#include "core/caseidentity.h"
#include "core/lastlayer.h"
#include "interchange/export.h"
#include "interchange/importread.h"
#include "interchange/scramblecase.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

namespace {

const CaseIdentityTable& Cases()
{
    static const CaseIdentityTable table = [] {
        QFile file(QStringLiteral(TESSELO_SOURCE_DIR "/resources/cases.csv"));
        if (!file.open(QIODevice::ReadOnly))
            qFatal("resources/cases.csv is missing");
        return CaseIdentityTable::Parse(file.readAll());
    }();
    return table;
}

ScrambleCase Find(const std::string& scramble) { return CaseOfScramble(scramble); }

// The standard name of the case a scramble sets up, "" when none.
QString StandardOf(const std::string& scramble)
{
    const ScrambleCase found = Find(scramble);
    const CaseIdentity* identity = Cases().Find(found.set, found.caseNumber);
    return found.verdict == ScrambleVerdict::Case && identity ? identity->standard : QString();
}

std::string Undo(const char* algorithm) { return cube::ToText(cube::Inverse(cube::MustParse(algorithm))); }

QStringList Reasons(const ImportReading& reading)
{
    QStringList reasons;
    for (const SkippedSolve& skipped : reading.skipped)
        reasons << skipped.where + QStringLiteral(": ") + skipped.reason;
    return reasons;
}

bool HasCyrillic(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x400 && c.unicode() < 0x500; });
}

QByteArray Repeated(const QByteArray& line, int times)
{
    QByteArray out;
    out.reserve(line.size() * times);
    for (int i = 0; i < times; ++i)
        out += line;
    return out;
}

// csTimer JSON with one session of the given solves.
QByteArray CsTimerFile(const QByteArray& solves)
{
    return "{\"session1\":[" + solves
           + "],\"properties\":{\"sessionData\":\"{\\\"1\\\":{\\\"name\\\":\\\"LL\\\",\\\"opt\\\":{\\\"scrType\\\":\\\"oll\\\"}}}\"}}";
}

const QByteArray kSune = "R U2 R' U' R U' R'";           // sets up OLL 27
const QByteArray kTPerm = "R U R' U' R' F R2 U' R' U' R U R' F'";  // its own inverse

} // namespace

class ImportReadTest : public QObject {
    Q_OBJECT

private slots:
    // Case n's hint undone sets up case n, from every side, after and before
    // any turn of the top; and well-known algorithms undone set up the cases
    // the case table names for them.
    void everyCaseFoundHoweverHeld()
    {
        const char* turns[] = {"", "U", "U2", "U'"};
        std::vector<std::string> holds;   // each of the six faces down, turned four ways
        for (const char* down : {"", "x", "x2", "x'", "z", "z'"})
            for (const char* turn : {"", "y", "y2", "y'"})
                holds.push_back(std::string(down) + " " + turn);
        for (const auto& [hintSet, set] : {std::pair{cube::HintSet::Oll, CaseSet::OLL}, {cube::HintSet::Pll, CaseSet::PLL}})
            for (int n = 1; n <= CaseCount(set); ++n) {
                // Turned first as the hint leaves the cube turned, so that the
                // top stays on top.
                const cube::Algorithm hint = cube::Hint(hintSet, n);
                const std::string undone = cube::ToText(cube::Concat(cube::NetRotation(hint), cube::Inverse(hint)));
                for (const std::string& hold : holds)
                    for (const char* before : turns)
                        for (const char* after : turns) {
                            const std::string scramble = hold + " " + before + " " + undone + " " + after;
                            const ScrambleCase found = Find(scramble);
                            QVERIFY2(found.verdict == ScrambleVerdict::Case && found.set == set && found.caseNumber == n,
                                     scramble.c_str());
                        }
            }
        QCOMPARE(StandardOf(Undo("R U R' U R U2 R'")), QStringLiteral("27"));
        QCOMPARE(StandardOf(Undo("R U2 R' U' R U' R'")), QStringLiteral("26"));
        QCOMPARE(StandardOf(Undo("F R U R' U' F'")), QStringLiteral("45"));
        QCOMPARE(StandardOf(Undo("R U R' U' R' F R F'")), QStringLiteral("33"));
        QCOMPARE(StandardOf(Undo("R U' R U R U R U' R' U' R2")), QStringLiteral("Ua"));
        QCOMPARE(StandardOf(Undo("R2 U R U R' U' R' U' R' U R'")), QStringLiteral("Ub"));
        QCOMPARE(StandardOf(Undo(kTPerm.constData())), QStringLiteral("T"));
        QCOMPARE(StandardOf(Undo("R U R' F' R U R' U' R' F R2 U' R'")), QStringLiteral("Jb"));
        QCOMPARE(StandardOf(Undo("M2 U M2 U2 M2 U M2")), QStringLiteral("H"));
    }

    // Every scramble the program shows for a case is found as that case.
    void setupScramblesFoundAsTheirCase()
    {
        QFile file(QStringLiteral(TESSELO_SOURCE_DIR "/resources/scramble-pool.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        int checked = 0;
        for (const QByteArray& line : file.readAll().split('\n')) {
            const QList<QByteArray> words = line.trimmed().split(' ');
            if (words.size() < 3)
                continue;
            const ScrambleCase found = Find(line.mid(words[0].size() + words[1].size() + 2).toStdString());
            QCOMPARE(found.verdict, ScrambleVerdict::Case);
            QCOMPARE(SetName(found.set), QString::fromLatin1(words[0]));
            QCOMPARE(found.caseNumber, words[1].toInt());
            ++checked;
        }
        QVERIFY(checked > 1000);
    }

    void scramblesThatAreNoCase()
    {
        QCOMPARE(Find("").verdict, ScrambleVerdict::NotLastLayer);
        QCOMPARE(Find("U2 y").verdict, ScrambleVerdict::NotLastLayer);   // solved but for a turn of the top
        QCOMPARE(Find("R U R' U' F2 D L2 B' R2 U2 F L'").verdict, ScrambleVerdict::NotLastLayer);
        QCOMPARE(Find("R U R++ D--").verdict, ScrambleVerdict::UnknownNotation);   // Megaminx
        QCOMPARE(Find("UR3+ DL2-").verdict, ScrambleVerdict::UnknownNotation);     // Clock
        std::string longWayRound;
        for (int i = 0; i < 1100; ++i)
            longWayRound += "U U U U ";
        QCOMPARE(Find(longWayRound + kSune.toStdString()).verdict, ScrambleVerdict::NotLastLayer);
    }

    // csTimer's JSON: DNFs, +2 (the time as csTimer shows it, with the two
    // seconds in), two phases, the start, and each reason to leave one out.
    void csTimerJson()
    {
        const QByteArray file = CsTimerFile("[[0,1500],\"" + kSune + "\",\"\",1700000000],"
                                            "[[2000,1400,600],\"" + kTPerm + "\",\"hi\",1700000100],"
                                            "[[-1,1300],\"" + kSune + "\",\"\",1700000200],"
                                            "[[0,1200],\"R U R' U' F2 D L2 B' R2 U2 F L'\",\"\",1700000300],"
                                            "[[0,1100],\"R++ D--\",\"\",1700000400],"
                                            "[[0,-5],\"" + kSune + "\",\"\",1700000500],"
                                            "[[0,86400001],\"" + kSune + "\",\"\",1700000600],"
                                            "[[0,900],\"\",\"\",1700000700],"
                                            "[[0,900,1000],\"" + kSune + "\",\"\",1700000800],"
                                            "[[2000,-500],\"" + kSune + "\",\"\",1700000900]");
        const ImportReading reading = ReadImport(file, false);
        QCOMPARE(reading.error, QString());
        QCOMPARE(reading.format, QStringLiteral("csTimer"));
        QCOMPARE(reading.solves.size(), size_t(2));
        const ImportedSolve& sune = reading.solves[0];
        QCOMPARE(Cases().Title(sune.set, sune.caseNumber), QStringLiteral("OLL 27 Sune"));
        QCOMPARE(sune.totalMs, 1500);
        QCOMPARE(sune.splitMs, std::nullopt);
        QCOMPARE(sune.startUnixMs, Q_INT64_C(1700000000000));
        QCOMPARE(sune.source, QStringLiteral("cstimer"));
        QCOMPARE(sune.scramble, QString::fromLatin1(kSune));
        const ImportedSolve& tPerm = reading.solves[1];
        QCOMPARE(Cases().Title(tPerm.set, tPerm.caseNumber), QStringLiteral("PLL T"));
        QCOMPARE(tPerm.totalMs, 3400);
        QCOMPARE(tPerm.splitMs, std::optional<qint64>(600));
        QCOMPARE(Reasons(reading), QStringList({"session 1 (LL), solve 3: a DNF",
                                                "session 1 (LL), solve 4: not a last-layer case",
                                                "session 1 (LL), solve 5: unknown scramble notation",
                                                "session 1 (LL), solve 6: a time below zero or over a day",
                                                "session 1 (LL), solve 7: a time below zero or over a day",
                                                "session 1 (LL), solve 8: no scramble",
                                                "session 1 (LL), solve 9: unreadable",
                                                "session 1 (LL), solve 10: a time below zero or over a day"}));
        const ImportReading russian = ReadImport(file, true);
        QCOMPARE(russian.skipped.front().where, QStringLiteral("сессия 1 (LL), сборка 3"));
        QVERIFY(HasCyrillic(russian.skipped[1].reason));
    }

    // A session's scramble type tells other puzzles, and drills whose solve
    // is more than an OLL or a PLL although its scramble sets one up (a ZBLL
    // or a whole last layer), from the program's cases.
    void csTimerSessionKinds()
    {
        const QByteArray sune = "[[0,1500],\"" + kSune + "\",\"\",1700000000]";
        const QByteArray file =
            "{\"session1\":[" + sune + "],\"session2\":[" + sune + "],\"session3\":[" + sune + "],\"session4\":["
            + sune + "],\"session5\":[[[0,60000],\"R++ D-- U'\",\"\",1700000000]],\"session6\":[" + sune
            + "],\"properties\":{\"sessionData\":\"{"
              "\\\"1\\\":{\\\"name\\\":\\\"a\\\",\\\"opt\\\":{\\\"scrType\\\":\\\"oll\\\"}},"
              "\\\"2\\\":{\\\"name\\\":\\\"b\\\",\\\"opt\\\":{\\\"scrType\\\":\\\"333\\\"}},"
              "\\\"3\\\":{\\\"name\\\":\\\"c\\\",\\\"opt\\\":{\\\"scrType\\\":\\\"zbll\\\"}},"
              "\\\"4\\\":{\\\"name\\\":\\\"d\\\",\\\"opt\\\":{\\\"scrType\\\":\\\"ll\\\"}},"
              "\\\"5\\\":{\\\"name\\\":\\\"e\\\",\\\"opt\\\":{\\\"scrType\\\":\\\"mgmp\\\"}},"
              "\\\"6\\\":{\\\"name\\\":\\\"f\\\"}}\"}}";
        const ImportReading reading = ReadImport(file, false);
        QCOMPARE(reading.error, QString());
        QCOMPARE(reading.solves.size(), size_t(3));   // the OLL, the 3x3 and the untyped session's
        QCOMPARE(Reasons(reading), QStringList({"session 3 (c), solve 1: a drill other than OLL and PLL",
                                                "session 4 (d), solve 1: a drill other than OLL and PLL",
                                                "session 5 (e), solve 1: another puzzle"}));
        QVERIFY(HasCyrillic(ReadImport(file, true).skipped.front().reason));
    }

    // csTimer's CSV: the time as shown (+2 in, DNF), the local date, the
    // first of two phases, quoted fields.
    void csTimerCsv()
    {
        const QByteArray file = "No.;Time;Comment;Scramble;Date;P.1;P.2\n"
                                "1;1.50;;" + kSune + ";2023-11-14 22:13:20;0.50;1.00\r\n"
                                "2;1:02.345+;\"a; \"\"b\"\"\";" + kTPerm + ";2023-11-14 22:15:00;1.000;59.345\n"
                                "3;DNF(1.30);;" + kSune + ";2023-11-14 22:16:00;1.30;0\n"
                                "4;fast;;" + kSune + ";2023-11-14 22:17:00;1;0\n"
                                "5;1.10;;" + kSune + ";yesterday;1;0\n"
                                "\n"
                                "6;1.10;;" + kSune + "\n";
        const ImportReading reading = ReadImport(file, false);
        QCOMPARE(reading.error, QString());
        QCOMPARE(reading.format, QStringLiteral("csTimer CSV"));
        QCOMPARE(reading.solves.size(), size_t(2));
        QCOMPARE(reading.solves[0].totalMs, 1500);
        QCOMPARE(reading.solves[0].splitMs, std::optional<qint64>(500));
        QCOMPARE(reading.solves[0].startUnixMs,
                 QDateTime(QDate(2023, 11, 14), QTime(22, 13, 20)).toMSecsSinceEpoch());
        QCOMPARE(Cases().Title(reading.solves[1].set, reading.solves[1].caseNumber), QStringLiteral("PLL T"));
        QCOMPARE(reading.solves[1].totalMs, 62345);
        QCOMPARE(reading.solves[1].splitMs, std::optional<qint64>(1000));
        QCOMPARE(Reasons(reading), QStringList({"line 4: a DNF", "line 5: unreadable", "line 6: unreadable",
                                                "line 8: unreadable"}));
        QVERIFY(ReadImport("No.;Time;Comment;Date\n1;1.00;;2023-11-14 22:13:20\n", false).error.contains("Scramble"));
    }

    // TwistyTimer's backup: the time with a +2 already in, the date when the
    // solve was saved, other puzzles, a comment over two lines.
    void twistyTimerBackup()
    {
        const QByteArray file = "Puzzle,Category,Time(millis),Date(millis),Scramble,Penalty,Comment\n"
                                "\"333\";\"Normal\";\"1500\";\"1700000001500\";\"" + kSune + "\";\"0\";\"\"\n"
                                "\"333\";\"OLL\";\"3400\";\"1700000003400\";\"" + kTPerm + "\";\"1\";\"two\nlines\"\n"
                                "\"333\";\"Normal\";\"1300\";\"1700000001300\";\"" + kSune + "\";\"2\";\"\"\n"
                                "\"222\";\"Normal\";\"1300\";\"1700000001300\";\"R U R'\";\"0\";\"\"\n"
                                "\"333\";\"Normal\";\"x\";\"1700000001300\";\"" + kSune + "\";\"0\";\"\"\n"
                                "\"333\";\"Normal\";\"1300\"\n";
        const ImportReading reading = ReadImport(file, false);
        QCOMPARE(reading.error, QString());
        QCOMPARE(reading.format, QStringLiteral("TwistyTimer"));
        QCOMPARE(reading.solves.size(), size_t(2));
        QCOMPARE(reading.solves[0].startUnixMs, Q_INT64_C(1700000000000));
        QCOMPARE(reading.solves[1].totalMs, 3400);
        QCOMPARE(reading.solves[1].startUnixMs, Q_INT64_C(1700000000000));
        QCOMPARE(reading.solves[1].source, QStringLiteral("twistytimer"));
        QCOMPARE(Reasons(reading), QStringList({"line 5: a DNF", "line 6: another puzzle", "line 7: unreadable",
                                                "line 8: unreadable"}));
    }

    // The program's export read back: times, scrambles, starts, cases, the
    // level and flags, also for attempts timed without a scramble.
    void ownExportReadsBack()
    {
        const QByteArray sune = QByteArray::fromStdString(Undo("R U R' U R U2 R'"));
        const QByteArray history = "time,set,case,level,recognition,seconds,exam,scramble\r\n"
                                   "2026-12-09T11:32:05Z,OLL,4,Easy,top,1.470,0,\"" + sune + "\"\r\n"
                                   "2026-12-09T11:33:00Z,PLL,1,Hard,2-side,2.000,1,\r\n"
                                   "2026-12-09T11:34:00Z,OLL,57,Hard,top,0.999,0,\r\n"
                                   "2026-12-09T11:35:00Z,PLL,10,Easy,top,86400.000,0,\"" + kTPerm + "\"\r\n";
        struct Expected {
            CaseSet set;
            int caseNumber;
            qint64 ms;
            qint64 utcSeconds;
            Level level;
            bool twoSide, exam;
            QString scramble;
        };
        const QList<Expected> expected = {
            {CaseSet::OLL, 4, 1470, 1796815925, Level::Easy, false, false, QString::fromLatin1(sune)},
            {CaseSet::PLL, 1, 2000, 1796815980, Level::Hard, true, true, QString()},
            {CaseSet::OLL, 57, 999, 1796816040, Level::Hard, false, false, QString()},
            {CaseSet::PLL, 10, 86400000, 1796816100, Level::Easy, false, false, QString::fromLatin1(kTPerm)},
        };
        for (const ExportFormat format : {ExportFormat::CsTimer, ExportFormat::TwistyTimer}) {
            const ImportReading reading = ReadImport(ExportHistory(format, history, CaseIdentities()), false);
            QCOMPARE(reading.error, QString());
            QCOMPARE(reading.skipped.size(), size_t(0));
            QCOMPARE(reading.solves.size(), size_t(expected.size()));
            // csTimer's session per set puts the OLL times first.
            QList<Expected> order = expected;
            if (format == ExportFormat::CsTimer)
                std::stable_sort(order.begin(), order.end(), [](const Expected& a, const Expected& b) { return a.set < b.set; });
            for (size_t i = 0; i < reading.solves.size(); ++i) {
                const ImportedSolve& solve = reading.solves[i];
                const Expected& want = order[static_cast<qsizetype>(i)];
                QCOMPARE(solve.set, want.set);
                QCOMPARE(solve.caseNumber, want.caseNumber);
                QCOMPARE(solve.totalMs, want.ms);
                QCOMPARE(solve.level, want.level);
                QCOMPARE(solve.twoSide, want.twoSide);
                QCOMPARE(solve.exam, want.exam);
                QCOMPARE(solve.scramble, want.scramble);
                // The second the time was accepted comes back from the start.
                const qint64 accepted = (solve.startUnixMs + solve.totalMs + 999) / 1000;
                QCOMPARE(format == ExportFormat::CsTimer ? accepted : (solve.startUnixMs + solve.totalMs) / 1000,
                         want.utcSeconds);
            }
        }
    }

    // Files refused whole, each with its reason in both languages and no solves.
    void filesRefusedWhole_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("says");
        const QByteArray good = CsTimerFile("[[0,1500],\"" + kSune + "\",\"\",1700000000]");
        QTest::newRow("truncated JSON") << good.left(good.size() - 30) << "cut short";
        QTest::newRow("broken JSON") << QByteArray("{\"session1\": [}, 1]") << "broken";
        QTest::newRow("no sessions") << QByteArray("{\"sessions\": []}") << "no sessions";
        QTest::newRow("JSON list") << QByteArray("[1, 2]") << "not a csTimer export";
        QTest::newRow("session of a number") << QByteArray("{\"session1\": 5}") << "session 1 is not a list";
        QTest::newRow("time as text") << CsTimerFile("[[0,\"1.5\"],\"R\",\"\",1700000000]") << "solve 1 is not a csTimer solve";
        QTest::newRow("scramble as number") << CsTimerFile("[[0,1500],7,\"\",1700000000]") << "solve 1 is not";
        QTest::newRow("session data") << QByteArray("{\"session1\":[],\"properties\":{\"sessionData\":5}}") << "sessionData";
        QTest::newRow("binary") << QByteArray("No.;Time;\0\x01\x02", 12) << "not text";
        QTest::newRow("not UTF-8") << QByteArray("No.;Time;\xff\xfe") << "not text";
        QTest::newRow("other text") << QByteArray("hello") << "not a csTimer export";
        QTest::newRow("too big") << QByteArray(64 * 1024 * 1024 + 1, ' ') << "64 MiB";
        QTest::newRow("100,000 solves, CSV")
            << "No.;Time;Comment;Scramble;Date\n" + Repeated("1;1.00;;R;2023-11-14 22:13:20\n", 100000) << "100,000";
        QTest::newRow("100,000 solves, JSON")
            << CsTimerFile(Repeated("[[0,1],\"R\",\"\",1],", 99999) + "[[0,1],\"R\",\"\",1]") << "100,000";
        QTest::newRow("nothing but skipped")
            << CsTimerFile("[[-1,1500],\"" + kSune + "\",\"\",1700000000],[[0,-1],\"R\",\"\",1700000000]")
            << "Nothing to import: a DNF (1), a time below zero or over a day (1).";
        QTest::newRow("no solves") << CsTimerFile("") << "Nothing to import: the file holds no solves.";
    }
    void filesRefusedWhole()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, says);
        const ImportReading english = ReadImport(content, false);
        QVERIFY2(english.error.contains(says), qPrintable(english.error));
        QCOMPARE(english.solves.size(), size_t(0));
        const ImportReading russian = ReadImport(content, true);
        QVERIFY2(HasCyrillic(russian.error), qPrintable(russian.error));
        QCOMPARE(russian.solves.size(), size_t(0));
    }

    void filesThatDoNotRead()
    {
        QTemporaryDir dir;
        QVERIFY(ReadImportFile(dir.filePath("missing.json"), false).error.contains("does not exist"));
        QVERIFY(HasCyrillic(ReadImportFile(dir.filePath("missing.json"), true).error));
        QVERIFY(ReadImportFile(dir.path(), false).error.contains("is a folder"));
        QVERIFY(::mkfifo(QFile::encodeName(dir.filePath("pipe")).constData(), 0600) == 0);
        QVERIFY(ReadImportFile(dir.filePath("pipe"), false).error.contains("not a regular file"));
        QFile big(dir.filePath("big.json"));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(200 * 1024 * 1024));
        big.close();
        QVERIFY(ReadImportFile(big.fileName(), false).error.contains("64 MiB"));
        QFile good(dir.filePath("good.json"));
        QVERIFY(good.open(QIODevice::WriteOnly));
        good.write(CsTimerFile("[[0,1500],\"" + kSune + "\",\"\",1700000000]"));
        good.close();
        QCOMPARE(ReadImportFile(good.fileName(), false).solves.size(), size_t(1));
    }

    // Progress comes every few hundred solves up to the whole; a cancel
    // leaves nothing read.
    void progressAndCancel()
    {
        const QByteArray file = CsTimerFile(Repeated("[[0,1500],\"" + kSune + "\",\"\",1700000000],", 999)
                                            + "[[0,1500],\"" + kSune + "\",\"\",1700000000]");
        QList<qint64> seen;
        const ImportReading read = ReadImport(file, false, [&](qint64 done, qint64 total) {
            seen << done;
            return total == 1000;
        });
        QCOMPARE(read.solves.size(), size_t(1000));
        QCOMPARE(seen, QList<qint64>({0, 256, 512, 768, 1000}));
        const ImportReading cancelled = ReadImport(file, false, [](qint64 done, qint64) { return done < 500; });
        QVERIFY(cancelled.cancelled);
        QCOMPARE(cancelled.solves.size(), size_t(0));
        QCOMPARE(cancelled.error, QString());
    }
};

QTEST_MAIN(ImportReadTest)
#include "test_interchange_import.moc"
