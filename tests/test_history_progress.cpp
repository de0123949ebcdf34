// History.csv and the Progress window through the real program: what an
// Accept appends, the case view, the set view and the keyboard.
#include "test_trainer_support.h"

#include "window/progresshub.h"
#include "history/progressview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLegendMarker>
#include <QListWidget>
#include <QPushButton>
#include <QChart>
#include <QChartView>
#include <QMenu>
#include <QStackedWidget>
#include <QXYSeries>
#include <QKeyEvent>
#include <QAbstractEventDispatcher>
#include <QToolTip>

using namespace trainertest;

namespace {

QByteArray Line(int caseNumber, const char* seconds, const char* level = "Easy")
{
    return QByteArray("2026-12-01T10:00:00Z,OLL,") + QByteArray::number(caseNumber) + "," + level + ",top," + seconds
           + ",0\r\n";
}

// A line under today's header: a split time ("split", the mark) or a
// naming drill's answer ("name", the answer and its result).
QByteArray TodaysLine(int caseNumber, const char* seconds, const char* mode, const char* split,
                      const char* answer = "", const char* result = "")
{
    return QByteArray("2026-12-01T10:00:00Z,OLL,") + QByteArray::number(caseNumber) + ",Easy,top," + seconds + ",0,,"
           + mode + ',' + split + ',' + answer + ',' + result + "\r\n";
}

void AcceptOneTime(Harness& h, qint64 ms)
{
    h.StartAttempt();
    h.Tick(ms);
    h.form->BitBtn1Click();
    h.form->BitBtn2Click();
}

QByteArray HistoryFile(const Harness& h)
{
    QFile file(h.Path(QStringLiteral("History.csv")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

template <typename T> T* Part(ProgressView* view, const char* name)
{
    T* part = view->Widget()->findChild<T*>(QString::fromLatin1(name));
    if (!part)
        qFatal("the Progress window has no %s", name);
    return part;
}

QString Text(ProgressView* view, const char* name) { return Part<QLabel>(view, name)->text(); }

// The dots of the times, and of the exam times.
qsizetype SinglePoints(ProgressView* view, int series = 0)
{
    return static_cast<QXYSeries*>(Part<QChartView>(view, "caseChart")->chart()->series().at(series))->count();
}

// The window opens on its reading page; the file is read in the background.
void WaitForReading(Harness& h, ProgressView* view)
{
    QCOMPARE(Part<QStackedWidget>(view, "pages")->currentWidget()->findChild<QLabel*>("readingNote") != nullptr, true);
    QSignalSpy loaded(&h.form->progress->Store(), &HistoryStore::Loaded);
    QVERIFY(h.form->progress->Store().IsLoaded() || loaded.wait(5000));
}

QChartView* CaseChartOf(ProgressView* view) { return Part<QChartView>(view, "caseChart"); }

// Where the chart draws a value, in its viewport.
QPoint InView(QChartView* chart, const QPointF& value)
{
    const QPointF inChart = chart->chart()->mapToPosition(value, chart->chart()->series().first());
    return chart->mapFromScene(chart->chart()->mapToScene(inChart));
}

// The pixels of a colour within the chart's plot area (the legend lies outside it).
int PixelsInPlot(QChartView* chart, const QColor& colour)
{
    const QImage image = chart->viewport()->grab().toImage();
    const QRectF plot = chart->chart()->plotArea();
    const QRect area(InView(chart, chart->chart()->mapToValue(plot.topLeft())),
                     InView(chart, chart->chart()->mapToValue(plot.bottomRight())));
    int found = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            found += image.pixelColor(x, y) == colour;
    return found;
}

// Timers about to close the tooltip: its hiding is one such timer of 300 ms.
int ShortTimersOfTooltip()
{
    int timers = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->inherits("QTipLabel"))
            for (const auto& timer : QAbstractEventDispatcher::instance()->registeredTimers(widget))
                timers += timer.interval < 5000;
    return timers;
}

// Shortcuts are matched for the active window only.
// Under a Russian layout alone: the H key (X key code 43) gives Р.
void PressCtrlH(TForm1* form)
{
    QApplication::setActiveWindow(form);
    QKeyEvent event(QEvent::KeyPress, 0x420, Qt::ControlModifier, 43, 0, 0x4, QStringLiteral("р"));
    QApplication::sendEvent(form->focusWidget() ? form->focusWidget() : form, &event);
}

} // namespace

class ProgressTest : public QObject {
    Q_OBJECT

private slots:
    void acceptAppendsTheRowSettingsIniHolds()
    {
        Harness h;
        TForm1* f = h.Start();
        EnableOnly(f, {7});
        QVERIFY(!QFile::exists(h.Path(QStringLiteral("History.csv"))));   // start-up neither reads nor creates it
        AcceptOneTime(h, 1470);
        h.StartAttempt();
        f->BitBtn3Click();                                                 // a discard writes nothing
        f->BitBtn7Click();                                                 // an exam over case 7
        AcceptOneTime(h, 2005);
        f->BitBtn7Click();
        QCOMPARE(HistoryFile(h), QByteArray("time,set,case,level,recognition,seconds,exam,scramble,mode,split,answer,result\r\n"
                                            "2026-12-09T11:32:05Z,OLL,7,Easy,top,1.470,0,,time,,,\r\n"
                                            "2026-12-09T11:32:05Z,OLL,7,Easy,top,2.005,1,,time,,,\r\n"));
        h.Stop();
        const QByteArray settings = h.ReadSettings();
        QVERIFY(settings.contains("avg7=1,470\r\n"));
        QVERIFY(settings.contains("nes7=1\r\n"));
    }

    void closingTheWindowWhileReadingDropsTheReading()
    {
        Harness h;
        WriteBytes(h.Path(QStringLiteral("History.csv")), "time,set,case,level,recognition,seconds,exam\r\n" + Line(5, "2.000"));
        TForm1* f = h.Start();
        f->progress->OpenSet(CaseSet::OLL);
        HistoryStore& store = f->progress->Store();
        QVERIFY(store.Loading());                   // its end comes through the event loop, not yet run
        f->progress->Window()->Widget()->close();
        QVERIFY(!store.Loading() && !store.IsLoaded());
        f->progress->OpenSet(CaseSet::OLL);         // opened again: read again
        QSignalSpy loaded(&store, &HistoryStore::Loaded);
        QVERIFY(loaded.wait(5000));
        QCOMPARE(store.Attempts().size(), size_t(1));
    }

    // Minimising the main window hides the Progress window with it: the
    // reading goes on, and is taken up again if it was dropped.
    void aWindowHiddenWithItsOwnerKeepsReading()
    {
        Harness h;
        WriteBytes(h.Path(QStringLiteral("History.csv")), HistoryHeader() + "\r\n" + Line(5, "2.000"));
        TForm1* f = h.Start();
        f->progress->OpenSet(CaseSet::OLL);
        HistoryStore& store = f->progress->Store();
        QWidget* window = f->progress->Window()->Widget();
        QVERIFY(store.Loading());
        window->hide();
        QVERIFY(store.Loading());
        QSignalSpy loaded(&store, &HistoryStore::Loaded);
        QVERIFY(loaded.wait(5000));
        window->show();
        QCOMPARE(Part<QWidget>(f->progress->Window(), "setBars")->property("labels").toStringList(),
                 QStringList{"OLL 26 Anti-Sune · 2,000"});

        Harness again;
        WriteBytes(again.Path(QStringLiteral("History.csv")), HistoryHeader() + "\r\n" + Line(5, "2.000"));
        TForm1* g = again.Start();
        g->progress->OpenSet(CaseSet::OLL);
        g->progress->Window()->Widget()->close();   // dropped...
        QVERIFY(!g->progress->Store().Loading());
        g->progress->Window()->Widget()->show();    // ...and shown again by the window system: read again
        QVERIFY(g->progress->Store().Loading());
        WaitForReading(again, g->progress->Window());
    }

    // The dot's tooltip stays while the pointer rests on it; the first
    // average of each kind is drawn though it is a single point.
    void caseChartShowsItsTooltipAndFirstAverages()
    {
        Harness h;
        QByteArray lines = HistoryHeader() + "\r\n";
        for (int i = 0; i < 11; ++i)
            lines += Line(7, i % 2 ? "2.000" : "3.000");
        WriteBytes(h.Path(QStringLiteral("History.csv")), lines);
        TForm1* f = h.Start();
        EnableOnly(f, {7});
        f->progress->OpenCase(CaseSet::OLL, 7);
        ProgressView* window = f->progress->Window();
        WaitForReading(h, window);
        QChartView* chart = CaseChartOf(window);
        window->Widget()->resize(900, 600);
        QApplication::processEvents();

        const QPoint dot = InView(chart, QPointF(1, 3.0));
        QMouseEvent move(QEvent::MouseMove, dot, chart->viewport()->mapToGlobal(dot), Qt::NoButton, Qt::NoButton, {});
        QApplication::sendEvent(chart->viewport(), &move);
        QVERIFY(QToolTip::isVisible());
        QVERIFY(QToolTip::text().startsWith(QStringLiteral("3,000 · ")));
        QHelpEvent resting(QEvent::ToolTip, dot, chart->viewport()->mapToGlobal(dot));
        QApplication::sendEvent(chart->viewport(), &resting);
        QVERIFY(QToolTip::isVisible());
        QCOMPARE(ShortTimersOfTooltip(), 0);
        QToolTip::hideText();

        const QColor ao12(0x42, 0xBB, 0x42);
        QCOMPARE(PixelsInPlot(chart, ao12), 0);     // eleven times: no ao12 yet
        AcceptOneTime(h, 2500);                     // the twelfth, added to the drawn chart
        QVERIFY(PixelsInPlot(chart, ao12) > 0);
        Part<QCheckBox>(window, "examBox")->setChecked(true);   // drawn again whole
        QVERIFY(PixelsInPlot(chart, ao12) > 0);
    }

    void refusedWriteIsReportedOnceAndTheTimeStillCounts()
    {
        Harness h;
        QVERIFY(QDir(h.Folder()).mkpath(QStringLiteral("History.csv")));   // a folder in the file's place
        TForm1* f = h.Start();
        EnableOnly(f, {3});
        AcceptOneTime(h, 2000);
        AcceptOneTime(h, 3000);
        QCOMPARE(h.messages->errors, QStringList{"Unable to write to " + h.Path(QStringLiteral("History.csv"))});
        h.Stop();
        QVERIFY(h.ReadSettings().contains("nes3=2\r\n"));
    }

    void caseViewFollowsAcceptsAndLeavesKeysToTheCycle()
    {
        Harness h;
        WriteBytes(h.Path(QStringLiteral("History.csv")),
                   "time,set,case,level,recognition,seconds,exam\r\n" + Line(7, "3.000") + Line(7, "2.000", "Hard")
                       + "damaged\r\n" + Line(7, "4.000"));
        TForm1* f = h.Start();
        EnableOnly(f, {7});
        AcceptOneTime(h, 1000);
        f->BitBtn7Click();                          // an exam time: left out by default
        AcceptOneTime(h, 500);
        f->BitBtn7Click();
        PressCtrlH(f);
        ProgressView* window = f->progress->Window();
        QVERIFY(window && window->Widget()->isVisible());
        QVERIFY(window->Widget()->windowFlags().testFlag(Qt::Tool));   // stays above the main window
        QVERIFY(f->screen()->availableGeometry().contains(window->Widget()->geometry()));
        WaitForReading(h, window);
        QCOMPARE(window->Widget()->windowTitle(), QStringLiteral("Progress"));
        QCOMPARE(Text(window, "caseTitle"), QStringLiteral("OLL 21 H"));   // the program's case 7
        QCOMPARE(SinglePoints(window), 4);
        QVERIFY(Text(window, "figures").startsWith(QStringLiteral("Attempts: 4\nBest: 1,000\nMean: 2,500\n")));
        QCOMPARE(Text(window, "skippedNote"), QStringLiteral("Damaged lines of History.csv skipped: 1"));
        Part<QCheckBox>(window, "examBox")->setChecked(true);
        QCOMPARE(SinglePoints(window), 4);
        QCOMPARE(SinglePoints(window, 1), 1);      // the exam time, drawn hollow
        QVERIFY(Text(window, "figures").startsWith(QStringLiteral("Attempts: 5\nBest: 0,500\nMean: 2,100\n")));
        Part<QCheckBox>(window, "examBox")->setChecked(false);

        Part<QComboBox>(window, "levelFilter")->setCurrentIndex(2);   // Hard only
        QCOMPARE(SinglePoints(window), 1);
        Part<QComboBox>(window, "levelFilter")->setCurrentIndex(0);

        // Space on the Progress window starts the next attempt in the main window.
        QTest::keyClick(window->Widget(), Qt::Key_Space);
        QVERIFY(f->Timer2->isActive());
        window->Widget()->hide();
        PressCtrlH(f);                              // no window in the middle of an attempt
        QVERIFY(!window->Widget()->isVisible());
        window->Widget()->show();
        while (f->Timer2->isActive()) {
            h.clock->Advance(1000);
            f->Timer2Timer();
        }
        h.Tick(5000);
        f->BitBtn1Click();
        f->BitBtn2Click();
        QCOMPARE(SinglePoints(window), 5);          // the open window took the new time
        QVERIFY(Text(window, "figures").startsWith(QStringLiteral("Attempts: 5\nBest: 1,000\nMean: 3,000\n")));
    }

    // A case with recognition marks shows their means and a series of its
    // own, which a new split time joins; a case without stays as it was.
    // The Recognition view ranks the naming drill's answers. Both languages.
    void recognitionFigures_data()
    {
        QTest::addColumn<bool>("russian");
        QTest::newRow("en") << false;
        QTest::newRow("ru") << true;
    }
    void recognitionFigures()
    {
        QFETCH(bool, russian);
        const auto tr = [russian](const char* ru, const char* en) { return QString::fromUtf8(russian ? ru : en); };
        Harness h;
        h.WriteSettings(Settings(russian ? "ru" : "en", "OLL", false));
        WriteBytes(h.Path(QStringLiteral("History.csv")),
                   "time,set,case,level,recognition,seconds,exam,scramble,mode,split,answer,result\r\n"
                       + TodaysLine(7, "2.000", "split", "0.600") + TodaysLine(7, "3.000", "time", "")
                       + TodaysLine(7, "2.200", "split", "0.800") + TodaysLine(5, "2.500", "time", "")
                       + TodaysLine(7, "1.240", "name", "1.240", "21", "ok")
                       + TodaysLine(7, "", "name", "", "22", "wrong")
                       + TodaysLine(3, "0.800", "name", "0.800", "25", "ok"));
        TForm1* f = h.Start();
        f->progress->OpenCase(CaseSet::OLL, 7);
        ProgressView* window = f->progress->Window();
        WaitForReading(h, window);
        QVERIFY2(Text(window, "figures").endsWith(tr("\n\nРаспознавание отмечено: 2\nРаспознавание: 0,700\nИсполнение: 1,400",
                                                    "\n\nRecognition timed: 2\nRecognition: 0,700\nExecution: 1,400")),
                 qPrintable(Text(window, "figures")));
        QChart* chart = CaseChartOf(window)->chart();
        auto* recognition = static_cast<QXYSeries*>(chart->series().last());
        QCOMPARE(recognition->name(), tr("Распознавание", "Recognition"));
        QVERIFY(recognition->isVisible() && chart->legend()->markers(recognition).first()->isVisible());
        QCOMPARE(recognition->count(), 2);
        QCOMPARE(recognition->at(1), QPointF(3, 0.8));   // beside its own time, the third
        QVERIFY(chart->axes(Qt::Vertical).first()->property("min").toDouble() < 0.6);

        f->state.currentCase = 7;
        f->progress->RecordAccepted(1.9, false, QString(), 400);
        QCOMPARE(recognition->count(), 3);
        QCOMPARE(recognition->at(2), QPointF(4, 0.4));
        QVERIFY(Text(window, "figures").endsWith(tr("Исполнение: 1,433", "Execution: 1,433")));

        window->ShowCase(CaseSet::OLL, 5);          // timed whole: no recognition anywhere
        QVERIFY(!recognition->isVisible() && !chart->legend()->markers(recognition).first()->isVisible());
        QVERIFY(!Text(window, "figures").contains(tr("Распознавание", "Recognition")));

        auto* button = Part<QPushButton>(window, "recognitionButton");
        QCOMPARE(button->text(), tr("Распознавание", "Recognition"));
        button->click();
        auto* list = Part<QListWidget>(window, "recognitionList");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->text(), tr("OLL 21 H · 1,240 · пропущено 1 из 2", "OLL 21 H · 1,240 · 1 of 2 missed"));
        QCOMPARE(list->item(1)->text(), tr("OLL 25 Bowtie · 0,800 · пропущено 0 из 1", "OLL 25 Bowtie · 0,800 · 0 of 1 missed"));
        QVERIFY(Text(window, "neverNamed").startsWith(tr("Ещё не называли: OLL 23 Headlights", "Never named yet: OLL 23 Headlights")));
        QVERIFY(!button->isVisible() && Part<QPushButton>(window, "setButton")->isVisible());
        f->progress->RecordAccepted(2.0, false);    // a time changes nothing here
        QCOMPARE(list->count(), 2);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
        QVERIFY(window->ShowingCase());
        QCOMPARE(window->CaseNumber(), 3);
    }

    void setViewRanksCasesAndOpensOne()
    {
        Harness h;
        h.WriteSettings(Settings("ru", "OLL", false));
        WriteBytes(h.Path(QStringLiteral("History.csv")),
                   "time,set,case,level,recognition,seconds,exam\r\n" + Line(5, "2.000") + Line(3, "6.000"));
        TForm1* f = h.Start();
        f->progress->OpenFromShortcut();            // nothing drawn yet: the whole set
        ProgressView* window = f->progress->Window();
        WaitForReading(h, window);
        QCOMPARE(window->Widget()->windowTitle(), QStringLiteral("Прогресс"));
        QVERIFY(!window->ShowingCase());
        auto* bars = Part<QWidget>(window, "setBars");
        QCOMPARE(bars->property("labels").toStringList(), (QStringList{"OLL 25 Bowtie · 6,000", "OLL 26 Anti-Sune · 2,000"}));
        QCOMPARE(bars->height() / 22, 2);           // bars of a fixed height, however few
        QVERIFY(Text(window, "withoutTimes").startsWith(QStringLiteral("Без времён: OLL 23 Headlights, OLL 24 Chameleon, OLL 27 Sune, OLL 22 Pi")));
        window->SetDrawShares({{3, 0.125}});
        QCOMPARE(bars->property("labels").toStringList().first(), QStringLiteral("OLL 25 Bowtie · 6,000   13 %"));
        QTest::mouseClick(bars, Qt::LeftButton, {}, QPoint(40, 22 + 11));
        QVERIFY(window->ShowingCase());
        QCOMPARE(window->CaseNumber(), 5);
        Part<QComboBox>(window, "levelFilter")->setCurrentIndex(2);
        QCOMPARE(Text(window, "noTimes"), QStringLiteral("Пока нет времён"));   // none at the Hard level
        QVERIFY(!Part<QWidget>(window, "caseChart")->isVisible());
        window->ShowSet(CaseSet::OLL);
        QVERIFY(Text(window, "setTitle").startsWith(QStringLiteral("OLL · Сложный: ")));

        // Closed and opened again once read: the file is not read again.
        window->Widget()->hide();
        HistoryStore& store = f->progress->Store();
        QVERIFY(store.IsLoaded());
        f->progress->OpenSet(CaseSet::OLL);
        QVERIFY(!store.Loading());

        // The tile's popup offers the window under "Edit algorithm", the export under it.
        QCOMPARE(f->PopupMenu1->actions().size(), 3);
        QCOMPARE(f->PopupMenu1->actions().at(1)->text(), QStringLiteral("Прогресс…"));
        QCOMPARE(f->PopupMenu1->actions().at(2)->text(), QStringLiteral("Экспорт…"));
    }
};

QTEST_MAIN(ProgressTest)
#include "test_history_progress.moc"
