// Tile grid arithmetic, the interface language decision and the window title.
#include "core/language.h"
#include "window/layout.h"

#include <QtTest>

class LayoutLanguageTest : public QObject {
    Q_OBJECT

private slots:
    void tileGrid_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("columns");   // 0: the tiles stay where they are
        QTest::addColumn<int>("gap");
        QTest::newRow("too narrow") << 461 << 0 << 0;
        QTest::newRow("462: overlap by 2") << 462 << 3 << -2;
        QTest::newRow("520: worked example") << 520 << 3 << 18;
        QTest::newRow("614") << 614 << 3 << 50;
        QTest::newRow("615: widest 3") << 615 << 3 << 49;
        QTest::newRow("616") << 616 << 4 << -2;
        QTest::newRow("1549") << 1549 << 10 << 7;
        QTest::newRow("1693: widest 10") << 1693 << 10 << 16;
        QTest::newRow("1694: too wide") << 1694 << 0 << 0;
        QTest::newRow("negative") << -200 << 0 << 0;
    }
    void tileGrid()
    {
        QFETCH(int, width);
        QFETCH(int, columns);
        QFETCH(int, gap);
        const std::optional<TileGrid> grid = ComputeTileGrid(width);
        QCOMPARE(grid.has_value(), columns != 0);
        if (grid) {
            QCOMPARE(grid->columns, columns);
            QCOMPARE(grid->gap, gap);
        }
    }

    void columnAndGapRangesByWidth()
    {
        struct Row { int columns, firstWidth, lastWidth, largestGap; };
        const Row table[] = {{3, 462, 615, 50}, {4, 616, 769, 38}, {5, 770, 923, 31}, {6, 924, 1077, 27},
                             {7, 1078, 1231, 25}, {8, 1232, 1385, 23}, {9, 1386, 1539, 22}, {10, 1540, 1693, 21}};
        for (const Row& row : table) {
            int smallest = 1000;
            int largest = -1000;
            for (int width = row.firstWidth; width <= row.lastWidth; ++width) {
                const std::optional<TileGrid> grid = ComputeTileGrid(width);
                QVERIFY(grid);
                QCOMPARE(grid->columns, row.columns);
                smallest = std::min(smallest, grid->gap);
                largest = std::max(largest, grid->gap);
            }
            QCOMPARE(smallest, -2);
            QCOMPARE(largest, row.largestGap);
        }
    }

    void tilePositions()
    {
        const TileGrid overlap = *ComputeTileGrid(462);
        QCOMPARE(TilePosition(1, overlap), QPoint(0, 14));
        QCOMPARE(TilePosition(2, overlap), QPoint(148, 14));
        QCOMPARE(TilePosition(3, overlap), QPoint(296, 14));
        QCOMPARE(TilePosition(4, overlap), QPoint(0, 100));
        QCOMPARE(TilePosition(57, overlap).y() + kTileHeight, 1637);

        const TileGrid example = *ComputeTileGrid(520);
        QCOMPARE(TilePosition(3, example).x(), 336);
        QCOMPARE(TilePosition(3, example).x() + kTileWidth, 486);

        const TileGrid ten = *ComputeTileGrid(1549);
        QCOMPARE(TilePosition(10, ten).x() + kTileWidth, 1563);
        QCOMPARE(TilePosition(11, ten), QPoint(0, 100));
        QCOMPARE(TilePosition(57, ten).y() + kTileHeight, 519);
    }

    void bottomOfTheLastTileByColumns()
    {
        const QList<QPair<int, int>> table = {{462, 1637}, {616, 1293}, {770, 1035}, {924, 863},
                                              {1078, 777}, {1232, 691}, {1386, 605}, {1540, 519}};
        for (const auto& [width, bottom] : table)
            QCOMPARE(TilePosition(57, *ComputeTileGrid(width)).y() + kTileHeight, bottom);
    }

    void systemLanguage_data()
    {
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("value");
        QTest::newRow("ru_RU") << "ru_RU" << "ru";
        QTest::newRow("ru-RU") << "ru-RU" << "ru";
        QTest::newRow("ru_RU.UTF-8") << "ru_RU.UTF-8" << "ru";
        QTest::newRow("uk") << "uk" << "ru";
        QTest::newRow("uk_UA") << "uk_UA" << "ru";
        QTest::newRow("be_BY") << "be_BY" << "ru";
        QTest::newRow("be@latin") << "be@latin" << "ru";
        QTest::newRow("RU in capitals") << "RU_ru" << "ru";
        QTest::newRow("Ukrainian") << "Ukrainian" << "ru";
        QTest::newRow("de_DE") << "de_DE" << "en";
        QTest::newRow("en_US") << "en_US" << "en";
        QTest::newRow("C") << "C" << "en";
        QTest::newRow("empty") << "" << "en";
        QTest::newRow("rue (Rusyn)") << "rue_UA" << "en";
        QTest::newRow("bel") << "bg_BG" << "en";
    }
    void systemLanguage()
    {
        QFETCH(QString, system);
        QFETCH(QString, value);
        QCOMPARE(LanguageValueForSystem(system), value);
    }

    void languageValueAndTitles()
    {
        QVERIFY(IsRussianLanguageValue("ru"));
        QVERIFY(!IsRussianLanguageValue("RU"));
        QVERIFY(!IsRussianLanguageValue("Ru"));
        QVERIFY(!IsRussianLanguageValue(""));
        QVERIFY(!IsRussianLanguageValue("en"));
        QVERIFY(!IsRussianLanguageValue("ru "));   // the file reading trims; nothing else does
        QCOMPARE(ModeTitle(CaseSet::OLL, false), QStringLiteral("Tesselo [OLL mode]"));
        QCOMPARE(ModeTitle(CaseSet::PLL, false), QStringLiteral("Tesselo [PLL mode]"));
        QCOMPARE(ModeTitle(CaseSet::OLL, true), QStringLiteral("Tesselo [режим OLL]"));
        QCOMPARE(ModeTitle(CaseSet::PLL, true), QStringLiteral("Tesselo [режим PLL]"));
    }
};

QTEST_GUILESS_MAIN(LayoutLanguageTest)
#include "test_core_layout.moc"
