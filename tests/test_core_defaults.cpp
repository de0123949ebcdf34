// A new Settings.ini byte for byte, and the nine colour texts.
#include "settings/defaults.h"
#include "settings/settingsfile.h"
#include "core/errors.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray Section(const char* name, const QList<QByteArray>& entries)
{
    QByteArray text = QByteArray("[") + name + "]\r\n";
    for (const QByteArray& entry : entries)
        text += entry + "\r\n";
    return text;
}

QList<QByteArray> HintEntries(const QStringList& hints)
{
    QList<QByteArray> entries;
    for (int i = 0; i < hints.size(); ++i)
        entries.append("hint" + QByteArray::number(i + 1) + "=" + hints[i].toLatin1());
    return entries;
}

} // namespace

class DefaultsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString Path() const { return dir.filePath(QStringLiteral("Settings.ini")); }

private slots:
    void cleanup() { QFile::remove(Path()); }

    void builtInHintsAreTheMendedOnes()
    {
        QCOMPARE(BuiltInOllHints().size(), 57);
        QCOMPARE(BuiltInPllHints().size(), 21);
        QCOMPARE(BuiltInOllHints().first(), QStringLiteral("R2' D R' U2 R D' R' U2 R'"));
        QCOMPARE(BuiltInOllHints()[14], QStringLiteral("Rw' R U R U R' U' Rw R2' F R F'"));
        QCOMPARE(BuiltInOllHints().last(), QStringLiteral("R U R' U' R U' R' F' U' F R U R'"));
        QCOMPARE(BuiltInPllHints()[13], QStringLiteral("R2' Uw' R U' R U R' D x' U2 Rw U' Rw'"));
        QCOMPARE(BuiltInPllHints()[18], QStringLiteral("z R U R' D R2 U' R U D' R' D R2 z' L' U R'"));
        QCOMPARE(BuiltInPllHints().last(), QStringLiteral("F R U' R' U' R U R' F' R U R' U' R' F R F'"));
    }

    void firstRunContentByteForByte_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("ru") << "ru";
        QTest::newRow("en") << "en";
    }
    void firstRunContentByteForByte()
    {
        QFETCH(QString, language);
        SettingsFile file(Path());
        WriteFirstRunContent(file, language);
        file.Close();
        const QByteArray expected = Section("Tuning", {"EnabledBarBckColor=$00B9FFB9"})
            + Section("OLL hints", HintEntries(BuiltInOllHints()))
            + Section("PLL hints", HintEntries(BuiltInPllHints()))
            + Section("Position", {"X=0", "Y=0", "Width=800", "Height=644"})
            + Section("Settings", {"Language=" + language.toLatin1()});
        QCOMPARE(ReadBytes(Path()), expected);
        QVERIFY(ReadBytes(Path()).contains("\r\nhint15=Rw' R U R U R' U' Rw R2' F R F'\r\n"));
        const SettingsFile reread(Path());
        QCOMPARE(reread.ReadString("PLL hints", "hint19", ""), BuiltInPllHints()[18]);
        QCOMPARE(reread.ReadInteger("Position", "Height", 0), 644);
    }

    void coloursFromText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("enabled bar back") << "$00B9FFB9" << QColor(0xB9, 0xFF, 0xB9);
        QTest::newRow("red in the lowest byte") << "$000000FF" << QColor(255, 0, 0);
        QTest::newRow("green") << "$0000FF00" << QColor(0, 255, 0);
        QTest::newRow("blue in the third byte") << "$00FF0000" << QColor(0, 0, 255);
        QTest::newRow("timer back") << "$0095A295" << QColor(0x95, 0xA2, 0x95);
        QTest::newRow("decimal") << "255" << QColor(255, 0, 0);
        QTest::newRow("0x form") << "0x00272A27" << QColor(0x27, 0x2A, 0x27);
    }
    void coloursFromText()
    {
        QFETCH(QString, text);
        QFETCH(QColor, colour);
        QCOMPARE(ColourFromText(text), colour);
    }

    void badColourTextThrowsWithItsText()
    {
        for (const QString& text : {QStringLiteral("green"), QString(), QStringLiteral("$00GGHHII")}) {
            try {
                ColourFromText(text);
                QFAIL("no error");
            } catch (const TesseloError& error) {
                QCOMPARE(error.text(), QStringLiteral("'%1' is not a valid integer value").arg(text));
            }
        }
    }

    void tuningColoursDefaultsReadAndWrite()
    {
        const TuningColours defaults;
        QCOMPARE(defaults.texts[TuningColours::EnabledBarBckColor], QStringLiteral("$00B9FFB9"));
        QCOMPARE(defaults.texts[TuningColours::TimerOnDigits], QStringLiteral("$00272A27"));
        QCOMPARE(defaults.Colour(TuningColours::DisabledTextColor), QColor(0x77, 0x77, 0x77));

        QFile raw(Path());
        QVERIFY(raw.open(QIODevice::WriteOnly));
        raw.write("[tuning]\r\ntimerback=word\r\nDisabledBarBckColor=$00010203\r\n");
        raw.close();
        TuningColours colours;
        SettingsFile file(Path());
        colours.Read(file);
        QCOMPARE(colours.texts[TuningColours::TimerBack], QStringLiteral("word"));
        QCOMPARE(colours.Colour(TuningColours::DisabledBarBckColor), QColor(3, 2, 1));
        QCOMPARE(colours.texts[TuningColours::TimerOffDigits], QStringLiteral("$008C988C"));
        QVERIFY_THROWS_EXCEPTION(TesseloError, colours.Colour(TuningColours::TimerBack));
        QCOMPARE(colours.ColourOrDefault(TuningColours::TimerBack), QColor(0x95, 0xA2, 0x95));

        // Written back unchanged, in key order, existing entries in place.
        colours.Write(file);
        QCOMPARE(ReadBytes(Path()),
                 QByteArray("[tuning]\r\ntimerback=word\r\nDisabledBarBckColor=$00010203\r\n"
                            "EnabledBarBckColor=$00B9FFB9\r\nEnabledBarTrackColor=$0042BB42\r\n"
                            "DisabledBarTrackColor=$00999999\r\nEnabledTextColor=$00000000\r\n"
                            "DisabledTextColor=$00777777\r\nTimerOffDigits=$008C988C\r\n"
                            "TimerOnDigits=$00272A27\r\n"));
    }
};

QTEST_GUILESS_MAIN(DefaultsTest)
#include "test_core_defaults.moc"
