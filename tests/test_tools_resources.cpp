// What the build embeds: every generated picture under its resource name,
// byte for byte as the generator wrote it, and the stopwatch font.

#include "resources/resources.h"

#include <QFile>
#include <QtTest>

namespace {

const QString kGenerated = QStringLiteral(TESSELO_BUILD_DIR "/resources/generated/");

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class ResourcesTest : public QObject {
    Q_OBJECT

private slots:
    void casePicturesAreEmbeddedAsGenerated()
    {
        QStringList names;
        for (int n = 1; n <= 57; ++n)
            names << QStringLiteral("O%1").arg(n);
        for (int n = 1; n <= 21; ++n)
            names << QStringLiteral("P%1").arg(n);
        for (const QString& name : names) {
            const QByteArray embedded = EmbeddedResource(name);
            QVERIFY2(embedded.startsWith("GIF89a"), qPrintable(name));
            QVERIFY2(embedded == ReadBytes(kGenerated + name + QStringLiteral(".gif")), qPrintable(name));
        }
        QVERIFY(EmbeddedResource(QStringLiteral("O58")).isEmpty());
        QVERIFY(EmbeddedResource(QStringLiteral("P22")).isEmpty());
        QVERIFY(EmbeddedResource(QStringLiteral("O1")) != EmbeddedResource(QStringLiteral("O2")));
    }

    void atlasGlyphsIconAndFontAreEmbedded()
    {
        QCOMPARE(EmbeddedResource(QStringLiteral("MyWav")), ReadBytes(kGenerated + QStringLiteral("MyWav.bmp")));
        QCOMPARE(EmbeddedResource(QStringLiteral("MyWav")).size(), 98358);
        for (const char* name : {"GlyphBin", "GlyphCursor", "Icon"})
            QCOMPARE(EmbeddedResource(QLatin1String(name)),
                     ReadBytes(kGenerated + QLatin1String(name) + QStringLiteral(".png")));
        QCOMPARE(EmbeddedResource(QStringLiteral("MyWave")),
                 ReadBytes(QStringLiteral("/usr/share/fonts/truetype/dseg/DSEG7Classic-Italic.ttf")));
    }
};

QTEST_GUILESS_MAIN(ResourcesTest)
#include "test_tools_resources.moc"
