// "Import…" in the tiles' popup menu: under "Export…" and only between
// attempts; the imported times reach the Progress window's store and the weak
// draw while the tiles keep their own; Cancel writes nothing.
#include "support/harness.h"

#include "core/draw.h"
#include "interchange/importmenu.h"
#include "trainer/drawchoice.h"
#include "window/progresshub.h"

#include <QAction>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// Every OLL case has three times of a second, an hour before the clock's now.
constexpr size_t kOwnTimes = 3 * 57;
QByteArray History()
{
    QByteArray history = HistoryHeader() + "\r\n";
    for (const char* minute : {"30", "31", "32"})
        for (int caseNumber = 1; caseNumber <= 57; ++caseNumber)
            history += "2026-12-09T10:" + QByteArray(minute) + ":05Z,OLL," + QByteArray::number(caseNumber)
                       + ",Easy,top,1.000,0,,time,,,\r\n";
    return history;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The reading stand-in: five slow solves of OLL case 7, and one left out.
ImportReading SlowCaseSeven(const QString&, bool, const ImportProgress&)
{
    ImportReading reading;
    reading.format = "csTimer";
    for (int i = 0; i < 5; ++i) {
        ImportedSolve solve;
        solve.caseNumber = 7;
        solve.totalMs = 9000;
        solve.startUnixMs = (1796815925LL - 600 + i * 60) * 1000;
        solve.scramble = "R U R'";
        solve.source = "cstimer";
        reading.solves.push_back(solve);
    }
    reading.skipped.push_back({"session 1, solve 6", "a DNF"});
    return reading;
}

ImportMenu* StartWithHistory(Harness& h)
{
    QFile history(h.Path("History.csv"));
    if (!history.open(QIODevice::WriteOnly) || history.write(History()) != History().size())
        qFatal("History.csv not written");
    history.close();
    h.Start();
    auto* menu = h.form->findChild<ImportMenu*>("ImportMenu");
    menu->chooseFile = [] { return QStringLiteral("times.json"); };
    menu->read = SlowCaseSeven;
    return menu;
}

} // namespace

class ImportMenuTest : public QObject {
    Q_OBJECT

private slots:
    void underExportOnlyBetweenAttempts()
    {
        for (const char* language : {"en_US", "ru_RU"}) {
            Harness h(QString::fromLatin1(language));
            h.Start();
            const QList<QAction*> items = h.form->PopupMenu1->actions();
            const qsizetype exportAt = items.indexOf(h.form->findChild<QAction*>("exportItem"));
            QVERIFY(exportAt >= 0 && exportAt + 1 < items.size());
            QCOMPARE(items[exportAt + 1]->objectName(), QString("importItem"));
            QCOMPARE(items[exportAt + 1]->text(), QString(language[0] == 'r' ? "Импорт…" : "Import…"));
        }
        Harness h;
        ImportMenu* menu = StartWithHistory(h);
        bool asked = false;
        menu->chooseFile = [&asked] { asked = true; return QString(); };
        h.StartAttempt();
        emit h.form->PopupMenu1->aboutToShow();
        QVERIFY(!menu->menuItem->isEnabled());
        menu->Run();
        QVERIFY(!asked);
    }

    void importedTimesReachProgressAndTheWeakDrawNotTheTiles()
    {
        Harness h;
        ImportMenu* menu = StartWithHistory(h);
        HistoryStore& store = h.form->progress->Store();
        store.EnsureLoaded();
        h.form->caseDraw.rule = DrawRule::Weak;
        const double shareBefore = DrawSharesOfActiveSet(*h.form).value(7);
        const QByteArray settings = h.ReadSettings();
        const QString average = h.form->Tile(7)->avoll->text();

        QSignalSpy finished(menu, &ImportMenu::Finished);
        QSignalSpy loaded(&store, &HistoryStore::Loaded);
        menu->menuItem->trigger();
        QVERIFY(finished.count() == 1 || finished.wait(10000));
        QCOMPARE(finished.front().front().toBool(), true);
        // The bar and its timer are gone before the summary's box runs its own loop.
        QVERIFY(!h.form->findChild<QProgressDialog*>("importProgress"));
        QVERIFY(!h.form->findChild<QTimer*>("importProgressTicker"));
        QVERIFY(loaded.count() == 1 || loaded.wait(10000));

        QCOMPARE(store.Attempts().size(), kOwnTimes + 5);
        QVERIFY(DrawSharesOfActiveSet(*h.form).value(7) > shareBefore);
        QCOMPARE(h.ReadSettings(), settings);
        QCOMPARE(h.form->Tile(7)->avoll->text(), average);
        QCOMPARE(h.messages->shown.size(), 1);
        const QString summary = h.messages->shown.front();
        QVERIFY2(summary.startsWith("Imported from csTimer into History.csv: 5 OLL and 0 PLL times."), qPrintable(summary));
        QVERIFY(summary.contains("\n" + CaseTitle(CaseSet::OLL, 7) + ": 5\n"));
        QVERIFY(summary.contains("session 1, solve 6: a DNF"));
        QVERIFY(summary.contains("not in the tiles' averages"));

        // Again: nothing new, and said so.
        menu->menuItem->trigger();
        QVERIFY(finished.count() == 2 || finished.wait(10000));
        QVERIFY(h.messages->shown.back().startsWith("Nothing new from csTimer"));
        QCOMPARE(ParseHistory(ReadAll(h.Path("History.csv"))).attempts.size(), kOwnTimes + 5);
    }

    // The test holds History.csv's lock, so the import cannot have written
    // before the Cancel.
    void cancelWritesNothing()
    {
        Harness h;
        ImportMenu* menu = StartWithHistory(h);
        const int holder = ::open(QFile::encodeName(h.Path("History.csv")).constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(holder >= 0 && ::flock(holder, LOCK_EX) == 0);
        QSignalSpy finished(menu, &ImportMenu::Finished);
        menu->menuItem->trigger();
        QVERIFY(menu->Busy());
        auto* bar = h.form->findChild<QProgressDialog*>("importProgress");
        QVERIFY(bar);
        QVERIFY(bar->findChild<QPushButton*>());
        bar->findChild<QPushButton*>()->click();   // as the user presses Cancel
        QVERIFY(finished.count() == 1 || finished.wait(10000));
        ::close(holder);
        QCOMPARE(finished.front().front().toBool(), false);
        QVERIFY2(h.messages->shown.isEmpty() && h.messages->errors.isEmpty(),
                 qPrintable(h.messages->shown.join('|') + h.messages->errors.join('|')));
        QCOMPARE(ReadAll(h.Path("History.csv")), History());
        QVERIFY(menu->menuItem->isEnabled());
    }
};

QTEST_MAIN(ImportMenuTest)
#include "test_app_import_menu.moc"
