// The cost of a piece of work's settings writes against the size of
// Settings.ini: the writes are kept in memory, and the file is replaced once
// when the piece of work closes (a fresh temporary beside it, flushed and
// renamed over it, the folder flushed).
#include "benchstats.h"
#include "settings/settingsfile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

namespace {

QByteArray FileOfSize(qsizetype size)
{
    QByteArray text = "[Results]\r\navg1=0,000\r\n[Filler]\r\n";
    const QByteArray line = "note=a line of a settings file, about sixty bytes long\r\n";
    while (text.size() + line.size() <= size)
        text += line;
    return text;
}

struct WorkCost {
    std::vector<double> writesMs;    // the piece of work's writes, kept in memory
    std::vector<double> replaceMs;   // the file replaced once when it closes: disk dependent
};

// As a set switch does: 230 writes, then the one replacement of the file.
WorkCost Measure(const QString& path, qsizetype size, int pieces)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(FileOfSize(size));
    file.close();
    WorkCost cost;
    QElapsedTimer timer;
    for (int piece = 0; piece < pieces; ++piece) {
        SettingsFile settings(path, SettingsFile::Commit::AtClose);
        timer.start();
        for (int i = 0; i < 230; ++i)
            settings.WriteString(QStringLiteral("Results"), QStringLiteral("avg%1").arg(i % 57 + 1),
                                 QStringLiteral("%1,%2").arg(piece % 60).arg(i % 1000, 3, 10, QLatin1Char('0')));
        cost.writesMs.push_back(double(timer.nsecsElapsed()) / 1e6);
        timer.start();
        settings.Close();
        cost.replaceMs.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return cost;
}

QString SizeName(qsizetype size)
{
    return size >= 1024 * 1024 ? QStringLiteral("%1 MB").arg(size / (1024 * 1024)) : QStringLiteral("%1 KB").arg(size / 1024);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QTemporaryDir dir(QCoreApplication::applicationDirPath() + QStringLiteral("/settings-XXXXXX"));
    const QString path = dir.filePath(QStringLiteral("Settings.ini"));
    for (const qsizetype size : {qsizetype(1024), qsizetype(6 * 1024), qsizetype(10 * 1024), qsizetype(100 * 1024),
                                 qsizetype(1024 * 1024)}) {
        const int pieces = size >= 1024 * 1024 ? 9 : 25;
        const WorkCost cost = Measure(path, size, pieces);
        const double workMs = Median(cost.writesMs) + Median(cost.replaceMs);
        const bool isNormalSize = size <= 10 * 1024;
        PrintRow(QStringLiteral("Settings: a piece of work of 230 writes, file of %1 (median of %2)").arg(SizeName(size)).arg(pieces),
                 QStringLiteral("writes %1 ms; the one replacement %2 ms (max %3 ms); together ≈ %4 ms")
                     .arg(Fixed(Median(cost.writesMs), 2), Fixed(Median(cost.replaceMs), 2), Fixed(Largest(cost.replaceMs), 1),
                          Fixed(workMs, 1)),
                 isNormalSize ? QStringLiteral("< 30 ms") : QStringLiteral("(for information)"),
                 !isNormalSize || workMs < 30);
    }
    return 0;
}
