// The statistics board as the user sees it: status bar texts, bar levels,
// the buttons that follow the number of enabled cases, the tile colours and
// the bars during an exam.

#include "support/harness.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {

const QByteArray kEnglish = "[Settings]\nLanguage=en\n";
const QByteArray kRussian = "[Settings]\nLanguage=ru\n";

// An English settings file with more keys in [Settings] and further sections.
QByteArray English(const QByteArray& moreSettings, const QByteArray& sections = {})
{
    return kEnglish + moreSettings + sections;
}

QStringList Panels(const TForm1* form)
{
    QStringList texts;
    for (int panel = 0; panel < PanelStatusBar::kPanels; ++panel)
        texts << form->StatusBar1->PanelText(panel);
    return texts;
}

void SetRecord(TForm1* form, int n, const QString& average, const QString& best, const QString& count)
{
    form->session.SetRecord(n, CaseRecord::FromTexts(average, best, count));
}

void PressTile(TForm1* form, int n, Qt::MouseButton button)
{
    CaseTile* tile = form->Tile(n);
    QTest::mousePress(tile->caseEnabled ? tile->ioll : tile->bioll, button, {}, QPoint(10, 10));
}

}  // namespace

class BoardRefreshTest : public QObject {
    Q_OBJECT

private slots:
    void emptyBoardReadsZeroInBothLanguages_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("en") << kEnglish
                            << QStringList{"Global best:  0,000", "Min avg:  0,000", "Max avg:  0,000",
                                           "Total time:  00:00:00     ", "Attempts:  0"};
        QTest::newRow("ru") << kRussian
                            << QStringList{QStringLiteral("Абс. рекорд:  0,000"), QStringLiteral("Мин. среднее:  0,000"),
                                           QStringLiteral("Макс. среднее:  0,000"),
                                           QStringLiteral("Общее время:  00:00:00     "), QStringLiteral("Попыток:  0")};
    }
    void emptyBoardReadsZeroInBothLanguages()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QStringList, expected);
        Harness harness;
        harness.WriteSettings(settings);
        TForm1* form = harness.Start();
        QCOMPARE(Panels(form), expected);
        for (int n = 1; n <= kOllCases; ++n)
            QCOMPARE(form->Tile(n)->proll->Level(), 0);
    }

    void storedResultsFillStatusBarAndBars()
    {
        Harness harness;
        harness.WriteSettings(kEnglish
                              + "[Results]\navg1=4,546\nbes1=2,434\nnes1=10\n"
                                "avg2=6,842\nbes2=5,100\nnes2=5\n");
        TForm1* form = harness.Start();
        // 4.546 * 10 + 6.842 * 5 = 79.67 s, rounded to 80.
        QCOMPARE(Panels(form), (QStringList{"Global best:  2,434", "Min avg:  4,546", "Max avg:  6,842",
                                            "Total time:  00:01:20     ", "Attempts:  15"}));
        QCOMPARE(form->Tile(1)->proll->Level(), 66);   // 66.44
        QCOMPARE(form->Tile(2)->proll->Level(), 100);
        QCOMPARE(form->Tile(3)->proll->Level(), 0);
    }

    void barLevelsRoundHalvesToEvenAndNeverDropBelowTen()
    {
        Harness harness;
        harness.WriteSettings(kEnglish);
        TForm1* form = harness.Start();
        SetRecord(form, 1, "9,000", "9,000", "1");
        SetRecord(form, 2, "1,125", "1,125", "1");   // 12.5 -> 12
        SetRecord(form, 3, "3,375", "3,375", "1");   // 37.5 -> 38
        SetRecord(form, 4, "0,450", "0,450", "1");   // 5 -> raised to 10
        SetRecord(form, 5, "0,000", "0,000", "0");
        RefreshBoard(*form);
        QCOMPARE(form->Tile(1)->proll->Level(), 100);
        QCOMPARE(form->Tile(2)->proll->Level(), 12);
        QCOMPARE(form->Tile(3)->proll->Level(), 38);
        QCOMPARE(form->Tile(4)->proll->Level(), 10);
        QCOMPARE(form->Tile(5)->proll->Level(), 0);
    }

    void disabledCasesStillCountEverywhere()
    {
        Harness harness;
        harness.WriteSettings(English("al2=1\n", "[Results]\navg1=4,000\nbes1=3,000\nnes1=1\n"
                                         "avg2=8,000\nbes2=1,500\nnes2=2\n"));
        TForm1* form = harness.Start();
        QVERIFY(!form->Tile(2)->caseEnabled);
        QCOMPARE(Panels(form), (QStringList{"Global best:  1,500", "Min avg:  4,000", "Max avg:  8,000",
                                            "Total time:  00:00:20     ", "Attempts:  3"}));
        QCOMPARE(form->Tile(2)->proll->Level(), 100);
        QCOMPARE(form->Tile(1)->proll->Level(), 50);
        QVERIFY(!form->state.enabledCases.contains("2"));
        QCOMPARE(form->state.enabledCases.size(), kOllCases - 1);
    }

    void unreadableStoredTextCountsAsZeroAndStaysShown()
    {
        Harness harness;
        harness.WriteSettings(kEnglish + "[Results]\navg1=abc\nbes1=x,y\nnes1=lots\n"
                                         "avg2=2,000\nbes2=2,000\nnes2=3\n");
        TForm1* form = harness.Start();
        QCOMPARE(form->Tile(1)->avoll->text(), QString("abc"));
        QCOMPARE(form->Tile(1)->nvoll->text(), QString("lots"));
        QCOMPARE(Panels(form), (QStringList{"Global best:  2,000", "Min avg:  2,000", "Max avg:  2,000",
                                            "Total time:  00:00:06     ", "Attempts:  3"}));
        QCOMPARE(form->Tile(1)->proll->Level(), 0);
        QVERIFY(harness.messages->errors.isEmpty());
    }

    void totalTimeOfADayOrMoreShowsTheHoursInFull()
    {
        Harness harness;
        harness.WriteSettings(kEnglish + "[Results]\navg1=10,000\nbes1=9,000\nnes1=9000\n");
        TForm1* form = harness.Start();
        QCOMPARE(form->StatusBar1->PanelText(3), QString("Total time:  25:00:00     "));
    }

    void buttonsFollowTheEnabledCases()
    {
        Harness harness;
        harness.WriteSettings(kEnglish);
        TForm1* form = harness.Start();
        // All enabled: nothing left to enable.
        QVERIFY(!form->BitBtn4->isEnabled());
        QVERIFY(form->BitBtn5->isEnabled() && form->BitBtn7->isEnabled() && form->BitBtn1->isEnabled());
        QCOMPARE(form->focusWidget(), form->BitBtn1);

        form->DisableAllCases();
        QCOMPARE(form->state.enabledCount, 0);
        QVERIFY(form->BitBtn4->isEnabled());
        QVERIFY(!form->BitBtn5->isEnabled() && !form->BitBtn7->isEnabled() && !form->BitBtn1->isEnabled());
        QVERIFY(form->state.enabledCases.isEmpty());

        form->BitBtn4->setFocus();
        PressTile(form, 7, Qt::LeftButton);
        QCOMPARE(form->state.enabledCount, 1);
        QCOMPARE(form->state.enabledCases, QStringList{"7"});
        QVERIFY(form->BitBtn4->isEnabled() && form->BitBtn5->isEnabled());
        QVERIFY(form->BitBtn7->isEnabled() && form->BitBtn1->isEnabled());
        QCOMPARE(form->focusWidget(), form->BitBtn1);

        form->EnableAllCases();
        QCOMPARE(form->state.enabledCount, kOllCases);
        QVERIFY(!form->BitBtn4->isEnabled());
        QCOMPARE(form->state.enabledCases.size(), kOllCases);
    }

    void bulkButtonsActOnTheVisibleTilesOfPll()
    {
        Harness harness;
        harness.WriteSettings(English("mode=PLL\npal3=1\n"));
        TForm1* form = harness.Start();
        QCOMPARE(form->state.enabledCount, kPllCases - 1);
        QVERIFY(form->BitBtn4->isEnabled());
        form->RzPanel1->show();   // as an accepted time leaves it
        QTest::mouseClick(form->BitBtn4, Qt::LeftButton);
        QVERIFY(form->RzPanel1->isHidden());
        QCOMPARE(form->state.enabledCount, kPllCases);
        QVERIFY(form->Tile(3)->bioll->isHidden());
        QVERIFY(!form->BitBtn4->isEnabled());
        QCOMPARE(form->state.enabledCases.size(), kPllCases);
        QCOMPARE(form->state.enabledCases.last(), QString("21"));
        QTest::mouseClick(form->BitBtn5, Qt::LeftButton);
        QCOMPARE(form->state.enabledCount, 0);
        QVERIFY(!form->BitBtn1->isEnabled());
        QVERIFY(!form->Tile(21)->bioll->isHidden());
    }

    void tileLooksFollowTheColourSettings()
    {
        Harness harness;
        harness.WriteSettings(kEnglish + "[Tuning]\nEnabledBarTrackColor=$000000FF\nDisabledTextColor=$00FF0000\n"
                                         "DisabledBarBckColor=grey\n");
        TForm1* form = harness.Start();
        CaseTile* tile = form->Tile(4);
        QCOMPARE(tile->proll->BarColour(), QColor(255, 0, 0));   // red byte lowest
        PressTile(form, 4, Qt::LeftButton);
        QVERIFY(!tile->caseEnabled);
        QVERIFY(!tile->bioll->isHidden());
        QCOMPARE(tile->avoll->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QCOMPARE(tile->ncoll->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        // An unreadable colour text falls back to the key's default ($00CCCCCC).
        QCOMPARE(tile->proll->BackColour(), QColor(0xCC, 0xCC, 0xCC));
        QCOMPARE(tile->proll->BarColour(), QColor(0x99, 0x99, 0x99));
        PressTile(form, 4, Qt::LeftButton);
        QVERIFY(tile->caseEnabled);
        QVERIFY(tile->bioll->isHidden());
        QCOMPARE(tile->bvoll->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    }

    void enabledTilesStartInTheirSetTextColour()
    {
        Harness harness;
        harness.WriteSettings(kEnglish + "[Tuning]\nEnabledTextColor=$0000FF00\n");
        TForm1* form = harness.Start();
        for (QLabel* label : {form->Tile(1)->acoll, form->Tile(57)->nvoll})
            QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 255, 0));
    }

    void examBarsFollowTheExamLabels()
    {
        Harness harness;
        harness.WriteSettings(kEnglish + "[Results]\navg1=5,000\nbes1=4,000\nnes1=2\n"
                                         "avg9=10,000\nbes9=9,000\nnes9=1\n");
        TForm1* form = harness.Start();
        form->DisableAllCases();
        for (int n : {1, 2, 3})
            PressTile(form, n, Qt::LeftButton);
        const QStringList panelsBefore = Panels(form);
        form->BitBtn7Click();
        QVERIFY(form->state.examActive);
        QCOMPARE(form->state.enabledCases, (QStringList{"1", "2", "3"}));
        QCOMPARE(form->Tile(1)->proll->Level(), 0);     // enabled: emptied for the exam
        QCOMPARE(form->Tile(9)->proll->Level(), 100);   // disabled: keeps its bar

        QVERIFY(ExamLabel(*form, 1) && ExamLabel(*form, 2));
        ExamLabel(*form, 1)->setText("8,000");
        ExamLabel(*form, 2)->setText("1,000");
        ExamLabel(*form, 3)->setText(QStringLiteral("\u2014"));
        RefreshBoard(*form);
        QCOMPARE(form->Tile(1)->proll->Level(), 100);
        QCOMPARE(form->Tile(2)->proll->Level(), 12);    // 12.5 to even
        QCOMPARE(form->Tile(3)->proll->Level(), 0);
        QCOMPARE(form->Tile(9)->proll->Level(), 100);
        QCOMPARE(Panels(form), panelsBefore);
    }
};

QTEST_MAIN(BoardRefreshTest)
#include "test_board_refresh.moc"
