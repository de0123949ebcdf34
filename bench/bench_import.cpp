// Reading another timer's file for import: 50,000 solves of last-layer
// training in csTimer's JSON export and in TwistyTimer's backup, from the
// disk, each solve's case found from its scramble. The scrambles are the
// program's own setup scrambles, one in twenty a full 3x3 scramble (which
// is looked at from all 24 sides before it is left out).
#include "benchstats.h"
#include "interchange/importread.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <random>

namespace {

constexpr int kSolves = 50000;
constexpr qint64 kStart = 1700000000;

QList<QByteArray> SetupScrambles()
{
    QFile file(QStringLiteral(TESSELO_SOURCE_DIR "/resources/scramble-pool.txt"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("resources/scramble-pool.txt is missing");
    QList<QByteArray> scrambles;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> words = line.trimmed().split(' ');
        if (words.size() > 2)
            scrambles << words.mid(2).join(' ');
    }
    return scrambles;
}

QByteArray FullScramble(std::mt19937& random)
{
    static const char* turns[] = {"R", "R'", "R2", "L", "L'", "L2", "U", "U'", "U2",
                                  "D", "D'", "D2", "F", "F'", "F2", "B", "B'", "B2"};
    QByteArray scramble;
    for (int i = 0; i < 20; ++i)
        scramble += QByteArray(turns[random() % 18]) + (i < 19 ? " " : "");
    return scramble;
}

std::vector<QByteArray> Scrambles()
{
    const QList<QByteArray> pool = SetupScrambles();
    std::mt19937 random(27);
    std::vector<QByteArray> scrambles;
    for (int i = 0; i < kSolves; ++i)
        scrambles.push_back(i % 20 == 19 ? FullScramble(random) : pool[random() % pool.size()]);
    return scrambles;
}

QByteArray CsTimerFile(const std::vector<QByteArray>& scrambles)
{
    QByteArray json = "{\"session1\":[";
    for (int i = 0; i < kSolves; ++i)
        json += (i ? ",[[0," : "[[0,") + QByteArray::number(1000 + i % 4000) + "],\"" + scrambles[size_t(i)] + "\",\"\","
                + QByteArray::number(kStart + i * 60) + "]";
    return json + "],\"properties\":{\"sessionData\":\"{\\\"1\\\":{\\\"name\\\":\\\"OLL\\\"}}\"}}";
}

QByteArray TwistyTimerFile(const std::vector<QByteArray>& scrambles)
{
    QByteArray backup = "Puzzle,Category,Time(millis),Date(millis),Scramble,Penalty,Comment\n";
    for (int i = 0; i < kSolves; ++i)
        backup += "\"333\";\"Normal\";\"" + QByteArray::number(1000 + i % 4000) + "\";\""
                  + QByteArray::number((kStart + i * 60) * 1000) + "\";\"" + scrambles[size_t(i)] + "\";\"0\";\"\"\n";
    return backup;
}

void Measure(const QString& name, const QByteArray& content)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("export")));
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write the file to import");
    file.close();
    std::vector<double> seconds;
    size_t found = 0;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        found = ReadImportFile(file.fileName(), false).solves.size();
        seconds.push_back(double(timer.nsecsElapsed()) / 1e9);
    }
    const double median = Median(seconds);
    PrintRow(QStringLiteral("Import: reading %1 solves of %2 (%3 MiB) and finding their cases (median of 3)")
                 .arg(kSolves)
                 .arg(name)
                 .arg(Fixed(double(content.size()) / (1 << 20), 1)),
             QStringLiteral("%1 s, %2 solves/s; %3 cases found").arg(Fixed(median, 2)).arg(qRound(kSolves / median)).arg(found),
             QStringLiteral("< 5 s"), median < 5);
}

} // namespace

int main()
{
    const std::vector<QByteArray> scrambles = Scrambles();
    Measure(QStringLiteral("a csTimer export"), CsTimerFile(scrambles));
    Measure(QStringLiteral("a TwistyTimer backup"), TwistyTimerFile(scrambles));
    return 0;
}
