// The main window's layout as the user sees it: the tile area beside the
// training column, the status bar, the tile grid for each width, the scroll
// position over a resize and the mouse wheel.

#include "support/harness.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>
#include <QtTest/qtestspontaneevent.h>

namespace {

const QByteArray kEnglish = "[Settings]\nLanguage=en\n";

// Left edges of the first columns, read from the tiles of the first row.
QList<int> ColumnLefts(TForm1* form, int columns)
{
    QList<int> lefts;
    for (int n = 1; n <= columns; ++n)
        lefts << form->Tile(n)->x();
    return lefts;
}

void SetTileAreaWidth(TForm1* form, int width)
{
    form->ScrollBox1->resize(width, form->ScrollBox1->height());
}

// A wheel turn as the window system delivers it: it travels from the control
// under the pointer up through its parents until one takes it.
void Wheel(QWidget* target, int delta)
{
    const QPoint local(5, 5);
    QWheelEvent event(local, target->mapToGlobal(local), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    // notify() itself: sendEvent would mark the event as the program's own,
    // which is not passed on to the parents.
    QSpontaneKeyEvent::setSpontaneous(&event);
    qApp->notify(target, &event);
}

QScrollBar* Vertical(TForm1* form) { return form->ScrollBox1->verticalScrollBar(); }

}   // namespace

class WindowLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void columnTable_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<QList<int>>("lefts");
        QTest::addColumn<int>("secondRowTop");
        QTest::addColumn<int>("contentBottom");
        // Columns and gap follow width div 154 and the remainder; the bottom
        // is that of tile 57.
        QTest::newRow("462: three columns overlapping by 2") << 462 << QList<int>{0, 148, 296} << 100 << 1637;
        QTest::newRow("520: gap 18") << 520 << QList<int>{0, 168, 336} << 100 << 1637;
        QTest::newRow("1549: ten columns, gap 7")
            << 1549 << QList<int>{0, 157, 314, 471, 628, 785, 942, 1099, 1256, 1413} << 14 + 86 << 519;
        QTest::newRow("1693: ten columns, gap 16")
            << 1693 << QList<int>{0, 166, 332, 498, 664, 830, 996, 1162, 1328, 1494} << 100 << 519;
    }

    void columnTable()
    {
        QFETCH(int, width);
        QFETCH(QList<int>, lefts);
        QFETCH(int, secondRowTop);
        QFETCH(int, contentBottom);
        Harness h;
        h.WriteSettings(kEnglish);
        TForm1* form = h.Start();
        SetTileAreaWidth(form, width);
        QCOMPARE(ColumnLefts(form, lefts.size()), lefts);
        QCOMPARE(form->Tile(1)->y(), 14);
        QCOMPARE(form->Tile(lefts.size())->y(), 14);
        QCOMPARE(form->Tile(lefts.size() + 1)->pos(), QPoint(0, secondRowTop));
        QCOMPARE(form->tileContent->height(), contentBottom);
        QCOMPARE(form->Tile(57)->geometry().bottom() + 1, contentBottom);
    }

    void tooWideKeepsTheLastGrid()
    {
        Harness h;
        h.WriteSettings(kEnglish);
        TForm1* form = h.Start();
        SetTileAreaWidth(form, 1693);
        QList<QPoint> before;
        for (CaseTile* tile : form->tiles)
            before << tile->pos();
        SetTileAreaWidth(form, 1694);
        SetTileAreaWidth(form, 2400);
        for (CaseTile* tile : form->tiles)
            QCOMPARE(tile->pos(), before[tile->CaseNumber() - 1]);
    }

    void tenColumnsAt1549ScrollHorizontally()
    {
        Harness h;
        h.WriteSettings(kEnglish);
        TForm1* form = h.Start();
        form->resize(1549 + 280, 700);
        QCOMPARE(form->ScrollBox1->width(), 1549);
        QCOMPARE(form->tileContent->width(), 1563);
        QVERIFY(form->ScrollBox1->horizontalScrollBar()->maximum() >= 14);
    }

    void windowPlacesTileAreaAndStatusBar()
    {
        Harness h;
        h.WriteSettings(kEnglish);
        TForm1* form = h.Start();
        form->resize(1000, 700);
        QCOMPARE(form->ScrollBox1->geometry(), QRect(280, 0, 720, 700 - 19));
        QCOMPARE(form->StatusBar1->geometry(), QRect(0, 700 - 19, 1000, 19));
        QCOMPARE(form->StatusBar1->PanelWidth(3), form->frameGeometry().width() - 540);
        // 720 px: four columns, remainder 104, gap 26 + 0 - 2 = 24.
        QCOMPARE(ColumnLefts(form, 4), (QList<int>{0, 174, 348, 522}));
    }

    // The tile area lies above the left column's controls and under the
    // status bar, whatever order start-up makes them in.
    void tileAreaStacksBetweenTheColumnAndTheStatusBar()
    {
        Harness h;
        h.WriteSettings(kEnglish);
        TForm1* form = h.Start();
        const QObjectList order = form->children();
        const qsizetype area = order.indexOf(form->ScrollBox1);
        for (QWidget* column : std::initializer_list<QWidget*>{form->Edit1, form->BitBtn1, form->ComboBox1})
            QVERIFY(order.indexOf(column) < area);
        QVERIFY(area < order.indexOf(form->StatusBar1));
    }

    void hiddenStatusBarStillTakesItsHeight()
    {
        Harness h;
        h.WriteSettings(kEnglish + "ShowStatusBar=0\n");
        TForm1* form = h.Start();
        form->resize(900, 650);
        QVERIFY(form->StatusBar1->isHidden());
        QCOMPARE(form->ScrollBox1->geometry(), QRect(280, 0, 620, 650 - 19));
    }

    void windowKeepsItsMinimumSize()
    {
        Harness h;
        h.WriteSettings(kEnglish);
        TForm1* form = h.Start();
        // The minimum is the outer size, frame included.
        form->resize(300, 200);
        QCOMPARE(form->frameGeometry().size(), QSize(800, 600));
        QCOMPARE(form->ScrollBox1->width(), form->width() - 280);
    }

    void scrollPositionSurvivesAResize()
    {
        Harness h;
        h.WriteSettings(kEnglish);
        TForm1* form = h.Start();
        form->resize(800, 644);
        Vertical(form)->setValue(700);
        form->resize(800, 700);
        QCOMPARE(Vertical(form)->value(), 700);
        // Four columns: the content ends at 1293, so the position is clamped.
        form->resize(280 + 620, 700);
        const int maximum = 1293 - form->ScrollBox1->viewport()->height();
        QCOMPARE(Vertical(form)->maximum(), maximum);
        QCOMPARE(Vertical(form)->value(), maximum);
        // The tiles stand at their content positions whatever the scroll.
        QCOMPARE(form->Tile(6)->pos(), QPoint(149, 100));
    }

    void pllTilesSetTheScrolledExtent()
    {
        Harness h;
        h.WriteSettings(kEnglish + "mode=PLL\n");
        TForm1* form = h.Start();
        form->resize(800, 644);
        QVERIFY(form->Tile(22)->isHidden());
        QCOMPARE(form->tileContent->height(), 14 + 86 * 6 + 75);
        QCOMPARE(form->Tile(22)->pos(), QPoint(0, 14 + 86 * 7));   // placed although hidden
    }

    void wheelScrollsFifteenPixelsOverTiles()
    {
        Harness h;
        h.WriteSettings(kEnglish);
        TForm1* form = h.Start();
        form->resize(800, 644);
        Vertical(form)->setValue(100);
        Wheel(form->Tile(8)->acoll, -120);   // row 2: in view at this scroll
        QCOMPARE(Vertical(form)->value(), 115);
        Wheel(form->Tile(8)->ioll, -120);
        QCOMPARE(Vertical(form)->value(), 130);
        Wheel(form->ScrollBox1->viewport(), 120);
        QCOMPARE(Vertical(form)->value(), 115);
        Wheel(Vertical(form), 120);
        QCOMPARE(Vertical(form)->value(), 100);
        Vertical(form)->setValue(0);
        Wheel(form->Tile(1)->acoll, 120);
        QCOMPARE(Vertical(form)->value(), 0);
    }

    void wheelElsewhereScrollsNothing()
    {
        Harness h;
        h.WriteSettings(kEnglish);
        TForm1* form = h.Start();
        form->resize(800, 644);
        Vertical(form)->setValue(100);
        Wheel(form->BitBtn1, -120);
        Wheel(form, -120);
        Wheel(form->StatusBar1, -120);
        form->FormMouseWheel(-120, form->mapToGlobal(QPoint(100, 500)));
        form->FormMouseWheel(-120, form->StatusBar1->mapToGlobal(QPoint(400, 5)));
        QCOMPARE(Vertical(form)->value(), 100);
        form->FormMouseWheel(-120, form->ScrollBox1->mapToGlobal(QPoint(10, 10)));
        QCOMPARE(Vertical(form)->value(), 115);
    }
};

QTEST_MAIN(WindowLayoutTest)
#include "test_window_layout.moc"
