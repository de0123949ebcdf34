// The texture file reader: sound 24-bit bitmaps become RGB rows, anything
// short, odd or lying about its contents yields no pixels.
#include "about/bmpreader.h"
#include "bmp_fixture.h"

#include <QTemporaryDir>
#include <QtTest>
#include <functional>

namespace {

using namespace bmpfixture;

QRgb PixelAt(const RgbPixels& pixels, int x, int row)
{
    const auto* p = reinterpret_cast<const uchar*>(pixels.rgb.constData()) + (row * pixels.width + x) * 3;
    return qRgb(p[0], p[1], p[2]);
}

QRgb Gradient(int x, int row) { return qRgb(x * 7 % 256, row * 13 % 256, (x + row) % 256); }

} // namespace

class BitmapReaderTest : public QObject {
    Q_OBJECT

private slots:
    void readsTheAtlasShapeAsRgbInStoredOrder()
    {
        const QByteArray file = MakeBitmap(256, 128, Gradient);
        QCOMPARE(file.size(), 98358);
        const RgbPixels pixels = ReadBitmapBytes(file);
        QCOMPARE(pixels.width, 256);
        QCOMPARE(pixels.height, 128);
        QCOMPARE(pixels.rgb.size(), 256 * 128 * 3);
        for (int row : {0, 1, 64, 127})
            for (int x : {0, 5, 255})
                QCOMPARE(PixelAt(pixels, x, row), Gradient(x, row));
    }

    void dropsTheRowPaddingOfOddWidths()
    {
        // 3 pixels = 9 bytes a row, stored as 12.
        const RgbPixels pixels = ReadBitmapBytes(MakeBitmap(3, 2, Gradient));
        QCOMPARE(pixels.rgb.size(), 3 * 2 * 3);
        for (int row = 0; row < 2; ++row)
            for (int x = 0; x < 3; ++x)
                QCOMPARE(PixelAt(pixels, x, row), Gradient(x, row));
    }

    void rejectsDamagedFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        const QByteArray good = MakeBitmap(4, 4, Gradient);
        QByteArray noSignature = good;
        noSignature[0] = 'P';
        QByteArray tallerThanStored = good;
        PutU32(tallerThanStored, 22, 5);
        QByteArray hugeWidth = good;
        PutU32(hugeWidth, 18, 0x7FFFFFFF);
        QByteArray negativeHeight = good;
        PutU32(negativeHeight, 22, quint32(-4));
        QByteArray zeroWidth = good;
        PutU32(zeroWidth, 18, 0);
        QByteArray pixelsPastTheEnd = good;
        PutU32(pixelsPastTheEnd, 10, quint32(good.size()));
        QByteArray pixelsInsideTheHeader = good;
        PutU32(pixelsInsideTheHeader, 10, 20);
        QByteArray paletted = good;
        PutU16(paletted, 28, 8);
        QByteArray compressed = good;
        PutU32(compressed, 30, 1);
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("signature only") << QByteArray("BM");
        QTest::newRow("header cut short") << good.left(53);
        QTest::newRow("no BM") << noSignature;
        QTest::newRow("claims more rows than stored") << tallerThanStored;
        QTest::newRow("absurd width") << hugeWidth;
        QTest::newRow("top-down") << negativeHeight;
        QTest::newRow("zero width") << zeroWidth;
        QTest::newRow("pixels past the end") << pixelsPastTheEnd;
        QTest::newRow("pixels inside the header") << pixelsInsideTheHeader;
        QTest::newRow("8 bits per pixel") << paletted;
        QTest::newRow("compressed") << compressed;
    }

    void rejectsDamagedFiles()
    {
        QFETCH(QByteArray, file);
        const RgbPixels pixels = ReadBitmapBytes(file);
        QVERIFY(pixels.IsEmpty());
        QCOMPARE(pixels.width * pixels.height, 0);
    }

    void everyTruncationYieldsNoPixels()
    {
        const QByteArray good = MakeBitmap(5, 3, Gradient);
        QVERIFY(!ReadBitmapBytes(good).IsEmpty());
        for (int length = 0; length < good.size(); ++length)
            QVERIFY2(ReadBitmapBytes(good.left(length)).IsEmpty(), qPrintable(QString::number(length)));
    }

    void readsFilesAndToleratesMissingOnes()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cube.bmp"));
        QVERIFY(ReadBitmapFile(path).IsEmpty());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(MakeBitmap(8, 2, Gradient));
        file.close();
        const RgbPixels pixels = ReadBitmapFile(path);
        QCOMPARE(pixels.width, 8);
        QCOMPARE(PixelAt(pixels, 7, 1), Gradient(7, 1));
        QVERIFY(ReadBitmapFile(dir.path()).IsEmpty());
    }
};

QTEST_GUILESS_MAIN(BitmapReaderTest)
#include "test_core_bmpreader.moc"
