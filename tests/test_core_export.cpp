// History.csv exported for csTimer and TwistyTimer: the exact bytes, the
// start csTimer recognises, exact milliseconds, valid JSON, and the file
// written whole or not at all.
#include "interchange/export.h"
#include "interchange/exportfile.h"
#include "interchange/historylines.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

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

// OLL case 4 is OLL 27 Sune, PLL case 1 the Ub perm. 11:32:05Z is 1796815925.
const QByteArray kHistory = "time,set,case,level,recognition,seconds,exam,scramble\r\n"
                            "2026-12-09T11:32:05Z,OLL,4,Easy,top,1.470,0,R U R' U'\r\n"
                            "2026-12-09T11:33:00Z,PLL,1,Hard,2-side,2.000,1,\r\n"
                            "not a line of the file\r\n"
                            "2026-12-09T11:34:00Z,OLL,4,Hard,top,0.999,0,\"F \"\"x\"\" R\"\r\n";

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QJsonObject ParsedObject(const QByteArray& json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        qFatal("not a JSON object: %s", qPrintable(error.errorString()));
    return document.object();
}

// Under today's header: a split OLL 27, a timed one, and the naming drill's
// right and wrong answers, which are no solves.
const QByteArray kSplitAndDrill = "time,set,case,level,recognition,seconds,exam,scramble,mode,split,answer,result\n"
                                  "2026-12-09T11:40:00Z,OLL,4,Easy,top,1.500,0,,split,0.620,,\n"
                                  "2026-12-09T11:41:00Z,OLL,4,Easy,top,1.400,0,U,time,,,\n"
                                  "2026-12-09T11:42:00Z,PLL,1,Easy,top,0.800,0,,name,0.800,Ub,ok\n"
                                  "2026-12-09T11:43:00Z,PLL,1,Easy,top,,0,,name,,Ua,wrong\n";

} // namespace

class ExportTest : public QObject {
    Q_OBJECT

private slots:
    // The starts: 1796815925 - 1.470 s is 1796815923.53, down to ...923;
    // 1796815980 - 2 s is ...978 exactly; 1796816040 - 0.999 s is ...039.001.
    // The OLL mean is (1470 + 999) / 2 = 1234.5, rounded to 1235.
    void csTimerBytes()
    {
        ExportCounts counts;
        const QByteArray json = ExportHistory(ExportFormat::CsTimer, kHistory, Cases(), &counts);
        const QByteArray expected =
            "{\"session1\":[[[0,1470],\"R U R' U'\",\"OLL 27 Sune, Easy\",1796815923],"
            "[[0,999],\"F \\\"x\\\" R\",\"OLL 27 Sune, Hard\",1796816039]],"
            "\"session2\":[[[0,2000],\"\",\"PLL Ub, Hard, 2-side, exam\",1796815978]],"
            "\"properties\":{\"sessionData\":\"{\\\"1\\\":{\\\"name\\\":\\\"Tesselo OLL\\\",\\\"opt\\\":{\\\"scrType\\\":\\\"oll\\\"},"
            "\\\"rank\\\":1,\\\"stat\\\":[2,0,1235],\\\"date\\\":[1796815923,1796816039]},"
            "\\\"2\\\":{\\\"name\\\":\\\"Tesselo PLL\\\",\\\"opt\\\":{\\\"scrType\\\":\\\"pll\\\"},"
            "\\\"rank\\\":2,\\\"stat\\\":[1,0,2000],\\\"date\\\":[1796815978,1796815978]}}\"}}";
        QCOMPARE(json, expected);
        QCOMPARE(counts.oll, 2);
        QCOMPARE(counts.pll, 1);
        QCOMPARE(counts.skippedLines, 1);
    }

    void twistyTimerBytes()
    {
        const QByteArray expected = "Puzzle,Category,Time(millis),Date(millis),Scramble,Penalty,Comment\n"
                                    "\"333\";\"Tesselo OLL\";\"1470\";\"1796815925000\";\"R U R' U'\";\"0\";\"OLL 27 Sune, Easy\"\n"
                                    "\"333\";\"Tesselo PLL\";\"2000\";\"1796815980000\";\"\";\"0\";\"PLL Ub, Hard, 2-side, exam\"\n"
                                    "\"333\";\"Tesselo OLL\";\"999\";\"1796816040000\";\"F \"\"x\"\" R\";\"0\";\"OLL 27 Sune, Hard\"\n";
        QCOMPARE(ExportHistory(ExportFormat::TwistyTimer, kHistory, Cases()), expected);
    }

    // The store's reader and the export's keep and skip the same lines: a
    // byte order mark, a header in another column order, a torn last line.
    void readsTheLinesTheStoreReads_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("scrambles");
        QTest::newRow("program's order") << kHistory + "2026-12-09T11:35:00Z,OLL,4,Easy,top,3.1,0\n\n"
                                         << QStringList({"R U R' U'", "", "F \"x\" R", ""});
        QTest::newRow("reordered, torn") << QByteArray("\xEF\xBB\xBFscramble,seconds,time,set,case,level,recognition,exam\r\n"
                                                       "U2,1.200,2026-12-09T11:32:05Z,PLL,2,Easy,top,0\r\n"
                                                       "U,1.300,2026-12-09T11:32:09Z,PLL,2,Easy,top,0")
                                         << QStringList({"U2"});
        QTest::newRow("with drill answers") << kHistory + kSplitAndDrill << QStringList({"R U R' U'", "", "F \"x\" R", "", "U"});
    }
    void readsTheLinesTheStoreReads()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, scrambles);
        std::vector<Attempt> visited;
        QStringList visitedScrambles;
        const int skipped = ForEachAttempt(content, [&](const Attempt& attempt, const QString& scramble, const AttemptDetail&) {
            visited.push_back(attempt);
            visitedScrambles << scramble;
        });
        const HistoryContent parsed = ParseHistory(content);
        QVERIFY(visited == parsed.attempts);
        QCOMPARE(skipped, parsed.skippedLines);
        QCOMPARE(visitedScrambles, scrambles);
    }

    // The file's thousandths go out as they are, in both formats.
    void millisecondsExact()
    {
        const QList<QByteArray> seconds = {"0.001", "1.005", "12.345", "59.999", "1.47", "12", "86400.000"};
        const QList<qint64> expected = {1, 1005, 12345, 59999, 1470, 12000, 86400000};
        QByteArray history;
        for (const QByteArray& s : seconds)
            history += "2026-12-09T11:32:05Z,PLL,3,Easy,top," + s + ",0,U\n";
        const QJsonArray solves = ParsedObject(ExportHistory(ExportFormat::CsTimer, history, Cases()))
                                      .value("session1").toArray();
        QCOMPARE(solves.size(), expected.size());
        const QList<QByteArray> lines = ExportHistory(ExportFormat::TwistyTimer, history, Cases()).split('\n');
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QCOMPARE(solves[i].toArray()[0].toArray()[1].toInteger(), expected[i]);
            QCOMPARE(lines[i + 1].split(';')[2], '"' + QByteArray::number(expected[i]) + '"');
        }
    }

    // Valid JSON throughout, sessions for the sets that have times, and a
    // start csTimer knows its files by, also with one set or none.
    void csTimerStructure_data()
    {
        QTest::addColumn<QByteArray>("history");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("both") << kHistory << QStringList({"Tesselo OLL", "Tesselo PLL"});
        QTest::newRow("PLL only") << QByteArray("2026-12-09T11:33:00Z,PLL,1,Easy,top,2.000,0,\"a\tb\"\n")
                                  << QStringList({"Tesselo PLL"});
        QTest::newRow("empty") << QByteArray() << QStringList({"Tesselo OLL", "Tesselo PLL"});
    }
    void csTimerStructure()
    {
        QFETCH(QByteArray, history);
        QFETCH(QStringList, names);
        const QByteArray json = ExportHistory(ExportFormat::CsTimer, history, Cases());
        QVERIFY(json.startsWith("{\"session1\""));
        const QJsonObject top = ParsedObject(json);
        QCOMPARE(top.size(), names.size() + 1);
        const QJsonObject sessionData = ParsedObject(top["properties"]["sessionData"].toString().toUtf8());
        QCOMPARE(sessionData.size(), names.size());
        for (qsizetype i = 0; i < names.size(); ++i) {
            const QString id = QString::number(i + 1);
            const QJsonObject session = sessionData[id].toObject();
            QCOMPARE(session["name"].toString(), names[i]);
            QCOMPARE(session["opt"]["scrType"].toString(), names[i].endsWith("OLL") ? "oll" : "pll");
            QCOMPARE(session["stat"][0].toInt(), top["session" + id].toArray().size());
        }
    }

    // csTimer shows a split solve's two phases: recognition (the split) and
    // execution (the rest). The session of the split solves has two phases;
    // the other keeps csTimer's one. Drill answers go to neither format.
    void splitsAsPhases()
    {
        ExportCounts counts;
        const QJsonObject top = ParsedObject(ExportHistory(ExportFormat::CsTimer, kSplitAndDrill, Cases(), &counts));
        QCOMPARE(counts.oll, 2);
        QCOMPARE(counts.pll, 0);
        QCOMPARE(top.size(), 2);   // one session and the properties
        const QJsonArray solves = top["session1"].toArray();
        QCOMPARE(solves.size(), 2);
        QCOMPARE(solves[0][0].toArray(), QJsonArray({0, 1500, 620}));
        QCOMPARE(solves[1][0].toArray(), QJsonArray({0, 1400}));
        const QJsonObject session = ParsedObject(top["properties"]["sessionData"].toString().toUtf8())["1"].toObject();
        QCOMPARE(session["opt"]["phases"].toInt(), 2);
        QCOMPARE(session["stat"][0].toInt(), 2);

        const QJsonObject plain = ParsedObject(ExportHistory(ExportFormat::CsTimer, kHistory, Cases()));
        const QJsonObject plainData = ParsedObject(plain["properties"]["sessionData"].toString().toUtf8());
        QVERIFY(!plainData["1"]["opt"].toObject().contains("phases"));

        const QList<QByteArray> lines = ExportHistory(ExportFormat::TwistyTimer, kSplitAndDrill, Cases()).split('\n');
        QCOMPARE(lines.size(), 4);   // the header, two solves, the empty end
    }

    void emptyTwistyTimer()
    {
        QCOMPARE(ExportHistory(ExportFormat::TwistyTimer, QByteArray(), Cases()),
                 QByteArray("Puzzle,Category,Time(millis),Date(millis),Scramble,Penalty,Comment\n"));
    }

    // The target holds the whole export or what it held before.
    void exportFile()
    {
        QTemporaryDir dir;
        const QString history = dir.filePath("History.csv");
        const QString target = dir.filePath("out.json");
        Write(target, "old");

        QVERIFY(QDir(dir.path()).mkdir("History.csv"));   // something that is not a file
        ExportOutcome outcome = ExportHistoryFile(history, ExportFormat::CsTimer, target, Cases(), false);
        QVERIFY(!outcome.written);
        QVERIFY2(outcome.error.contains("Cannot read") && outcome.error.contains("not a regular file"),
                 qPrintable(outcome.error));
        QCOMPARE(ReadAll(target), QByteArray("old"));
        QVERIFY(QDir(dir.path()).rmdir("History.csv"));

        outcome = ExportHistoryFile(history, ExportFormat::TwistyTimer, target, Cases(), false);   // no History.csv
        QVERIFY(outcome.written);
        QCOMPARE(ReadAll(target), ExportHistory(ExportFormat::TwistyTimer, QByteArray(), Cases()));

        Write(history, kHistory);
        outcome = ExportHistoryFile(history, ExportFormat::CsTimer, dir.filePath("no/such/folder.json"), Cases(), true);
        QVERIFY(!outcome.written);
        QVERIFY2(outcome.error.startsWith("Не удалось записать"), qPrintable(outcome.error));

        outcome = ExportHistoryFile(history, ExportFormat::CsTimer, dir.path() + "/./History.csv", Cases(), false);
        QVERIFY(!outcome.written);
        QCOMPARE(ReadAll(history), kHistory);

        outcome = ExportHistoryFile(history, ExportFormat::CsTimer, target, Cases(), false);
        QVERIFY(outcome.written);
        QCOMPARE(ReadAll(target), ExportHistory(ExportFormat::CsTimer, kHistory, Cases()));
        QCOMPARE(ExportReport(outcome, "out.json", false),
                 QString("Exported 2 OLL and 1 PLL times to out.json. Unreadable lines of History.csv left out: 1."));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);   // no temporary left
    }
};

QTEST_GUILESS_MAIN(ExportTest)
#include "test_core_export.moc"
