// The stopwatch font as the build embeds it: its face name, and the glyphs
// it has. It has no comma, so the stopwatch must draw its decimal mark with
// the "." glyph while the label's text keeps the comma.

#include "resources/resources.h"

#include <QFontDatabase>
#include <QRawFont>
#include <QtTest>

class StopwatchFontTest : public QObject {
    Q_OBJECT

private slots:
    void faceNameAndGlyphs()
    {
        const QByteArray data = EmbeddedResource(QStringLiteral("MyWave"));
        QVERIFY(!data.isEmpty());
        const QRawFont font(data, 24);
        QVERIFY(font.isValid());
        QCOMPARE(font.familyName(), QStringLiteral("DSEG7 Classic"));
        QCOMPARE(font.styleName(), QStringLiteral("Italic"));
        for (QChar c : QStringLiteral("0123456789.:-"))
            QVERIFY2(font.supportsCharacter(c), qPrintable(QString(c)));
        QVERIFY(!font.supportsCharacter(QLatin1Char(',')));

        const int id = QFontDatabase::addApplicationFontFromData(data);
        QVERIFY(id >= 0);
        QCOMPARE(QFontDatabase::applicationFontFamilies(id), QStringList{QStringLiteral("DSEG7 Classic")});
        QFontDatabase::removeApplicationFont(id);
    }
};

QTEST_MAIN(StopwatchFontTest)
#include "test_tools_font.moc"
