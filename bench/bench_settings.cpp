// The cost of one settings write against the size of Settings.ini. Every
// write replaces the whole file atomically (a temporary beside it swapped into
// place); the flush to the disk comes once, when the piece of work closes.
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

struct WriteCost {
    std::vector<double> writeUs;
    std::vector<double> closeUs;   // the flush that ends a piece of work: disk dependent, so several
};

WriteCost Measure(const QString& path, qsizetype size, int writes)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(FileOfSize(size));
    file.close();
    WriteCost cost;
    SettingsFile settings(path);
    settings.ReadString(QStringLiteral("Results"), QStringLiteral("avg1"), QString());
    QElapsedTimer timer;
    for (int i = 0; i < writes; ++i) {
        timer.start();
        settings.WriteString(QStringLiteral("Results"), QStringLiteral("avg1"), QStringLiteral("%1,%2").arg(i % 60).arg(i % 1000, 3, 10, QLatin1Char('0')));
        cost.writeUs.push_back(double(timer.nsecsElapsed()) / 1000);
    }
    for (int piece = 0; piece < 9; ++piece) {
        settings.WriteString(QStringLiteral("Results"), QStringLiteral("avg1"), QStringLiteral("1,%1").arg(piece, 3, 10, QLatin1Char('0')));
        timer.start();
        settings.Close();
        cost.closeUs.push_back(double(timer.nsecsElapsed()) / 1000);
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
        const int writes = size >= 1024 * 1024 ? 60 : 300;
        const WriteCost cost = Measure(path, size, writes);
        // A set switch writes some 230 keys: that many at this size must stay under 30 ms.
        const double switchMs = Median(cost.writeUs) * 230 / 1000 + Median(cost.closeUs) / 1000;
        const bool isNormalSize = size <= 10 * 1024;
        PrintRow(QStringLiteral("Settings write, file of %1 (median of %2)").arg(SizeName(size)).arg(writes),
                 QStringLiteral("%1 µs a write (p90 %2 µs); closing flush %3 µs (median of 9, max %4 µs); "
                                "230 writes and a flush ≈ %5 ms")
                     .arg(Fixed(Median(cost.writeUs), 0), Fixed(Quantile(cost.writeUs, 0.9), 0), Fixed(Median(cost.closeUs), 0),
                          Fixed(Largest(cost.closeUs), 0), Fixed(switchMs, 1)),
                 isNormalSize ? QStringLiteral("230 writes < 30 ms") : QStringLiteral("(for information)"),
                 !isNormalSize || switchMs < 30);
    }
    return 0;
}
