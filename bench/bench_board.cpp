// The board and the file work around it, on the real main window:
// RefreshBoard over 57 tiles, the case-set switch OLL -> PLL -> OLL with its
// file writes, and shut-down's writes.
#include "benchprogram.h"
#include "benchstats.h"
#include "busycore.h"
#include "settings/defaults.h"
#include "settings/settingsfile.h"
#include "window/tform1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTemporaryDir>
#include <random>

namespace {

// Results on every case of both sets, as after some weeks of practice.
void WritePractisedSettings(const QString& path)
{
    SettingsFile file(path, SettingsFile::Commit::AtClose);
    WriteFirstRunContent(file, QStringLiteral("en"));
    std::mt19937 random(3);
    const auto time = [&] { return QStringLiteral("%1,%2").arg(2 + random() % 20).arg(random() % 1000, 3, 10, QLatin1Char('0')); };
    for (int n = 1; n <= 57; ++n) {
        file.WriteString(QStringLiteral("Results"), QStringLiteral("avg%1").arg(n), time());
        file.WriteString(QStringLiteral("Results"), QStringLiteral("bes%1").arg(n), time());
        file.WriteString(QStringLiteral("Results"), QStringLiteral("nes%1").arg(n), QString::number(random() % 300));
        file.WriteInteger(QStringLiteral("Settings"), QStringLiteral("al%1").arg(n), n % 9 == 0);
    }
    for (int n = 1; n <= 21; ++n) {
        file.WriteString(QStringLiteral("Results"), QStringLiteral("pavg%1").arg(n), time());
        file.WriteString(QStringLiteral("Results"), QStringLiteral("pbes%1").arg(n), time());
        file.WriteString(QStringLiteral("Results"), QStringLiteral("pnes%1").arg(n), QString::number(random() % 300));
    }
    file.Close();
}

void BenchRefreshBoard(TForm1& form)
{
    std::vector<double> ms;
    for (int i = 0; i < 3000; ++i)
        ms.push_back(TimeMs([&] { RefreshBoard(form); }));
    PrintRow(QStringLiteral("`RefreshBoard` over 57 tiles (median of 3000)"),
             QStringLiteral("%1 ms (p99 %2 ms)").arg(Fixed(Median(ms), 3), Fixed(Quantile(ms, 0.99), 3)),
             QStringLiteral("median < 0.2 ms"), Median(ms) < 0.2);
}

struct Switches {
    std::vector<double> toPll, toOll;
};

// One more attempt accepted on a case of the active set, as between two
// real switches: the switch then has a record to write.
void AcceptOneMore(TForm1& form, int round)
{
    const int caseNumber = 1 + round % 21;
    const CaseRecord& record = form.session.Record(caseNumber);
    form.session.SetRecord(
        caseNumber,
        CaseRecord::FromTexts(QStringLiteral("%1,%2").arg(5 + round % 7).arg(round % 1000, 3, 10, QLatin1Char('0')),
                              record.BestText(), QString::number(record.CountText().toInt() + 1)));
}

// decodeAgain forgets the kept thumbnails before every switch: each switch
// then decodes the other set's pictures, as every switch did before they
// were kept.
Switches MeasureSwitches(TForm1& form, int count, bool decodeAgain)
{
    Switches measured;
    for (int i = 0; i < count; ++i) {
        for (std::vector<double>* into : {&measured.toPll, &measured.toOll}) {
            AcceptOneMore(form, i);
            if (decodeAgain)
                form.thumbnails = ThumbnailCache();
            into->push_back(TimeMs([&] { form.BitBtn6Click(); }));
            QApplication::processEvents();
        }
    }
    return measured;
}

QString Spread(const std::vector<double>& ms)
{
    return QStringLiteral("median %1 ms, p90 %2 ms, max %3 ms")
        .arg(Fixed(Median(ms), 1), Fixed(Quantile(ms, 0.9), 1), Fixed(Largest(ms), 1));
}

void ReportSwitch(const QString& what, const std::vector<double>& ms)
{
    PrintRow(what, Spread(ms), QStringLiteral("median < 15 ms, p90 < 30 ms"),
             Median(ms) < 15 && Quantile(ms, 0.9) < 30);
}

void BenchSetSwitch(TForm1& form)
{
    const Switches kept = MeasureSwitches(form, 25, false);
    ReportSwitch(QStringLiteral("Set switch OLL → PLL with its file writes (25 switches)"), kept.toPll);
    ReportSwitch(QStringLiteral("Set switch PLL → OLL with its file writes (25 switches)"), kept.toOll);
    const pid_t busy = StartBusyCore();
    const Switches loaded = MeasureSwitches(form, 25, false);
    ::kill(busy, SIGKILL);
    ::waitpid(busy, nullptr, 0);
    ReportSwitch(QStringLiteral("Set switch OLL → PLL, other core busy (25 switches)"), loaded.toPll);
    const Switches decoding = MeasureSwitches(form, 15, true);
    std::printf("| Set switch with every thumbnail decoded again, as before they were kept (15 switches) | "
                "OLL → PLL %s; PLL → OLL %s | (for information) | |\n",
                qPrintable(Spread(decoding.toPll)), qPrintable(Spread(decoding.toOll)));
    std::fflush(stdout);
}

// Where a switch's time goes: the records written, the file's one
// replacement when it closes, the other set's thumbnails and records loaded,
// the board refreshed.
void BenchSwitchParts(TForm1& form)
{
    std::vector<double> save, flush, load, refresh;
    for (int i = 0; i < 15; ++i) {
        AcceptOneMore(form, i);
        SettingsFile file(SettingsPath(form), SettingsFile::Commit::AtClose);
        save.push_back(TimeMs([&] { SaveSetRecords(form, file, CaseSet::OLL); }));
        flush.push_back(TimeMs([&] { file.Close(); }));
        load.push_back(TimeMs([&] { LoadSetRecords(form, file, CaseSet::PLL); }));
        load.back() += TimeMs([&] { LoadSetRecords(form, file, CaseSet::OLL); });
        refresh.push_back(TimeMs([&] { RefreshBoard(form); }));
    }
    std::printf("| Set switch, its parts (median of 15) | SaveSetRecords of OLL %s ms; the file replaced once at the close %s ms; "
                "LoadSetRecords of PLL and OLL %s ms; RefreshBoard %s ms | (for information) | |\n",
                qPrintable(Fixed(Median(save), 1)), qPrintable(Fixed(Median(flush), 1)),
                qPrintable(Fixed(Median(load), 1)), qPrintable(Fixed(Median(refresh), 2)));
}

// Only the shut-down handler is timed, not the windows' destruction after it.
void BenchShutdown(const QString& folder)
{
    std::vector<double> ms;
    for (int i = 0; i < 9; ++i) {
        std::unique_ptr<Program> program = StartIn(folder);
        ms.push_back(TimeMs([&] { program->form1->close(); }));
    }
    PrintRow(QStringLiteral("Shut-down's writes (median of 9)"),
             QStringLiteral("%1 ms (max %2 ms)").arg(Fixed(Median(ms), 1), Fixed(Largest(ms), 1)),
             QStringLiteral("< 30 ms"), Median(ms) < 30);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QTemporaryDir dir(QCoreApplication::applicationDirPath() + QStringLiteral("/board-XXXXXX"));
    WritePractisedSettings(dir.filePath(QStringLiteral("Settings.ini")));
    {
        std::unique_ptr<Program> program = StartIn(dir.path());
        BenchRefreshBoard(*program->form1);
        BenchSetSwitch(*program->form1);
        BenchSwitchParts(*program->form1);
        program->form1->close();
    }
    BenchShutdown(dir.path());
    return 0;
}
