// The whole program over a Settings.ini that is no proper settings file:
// it starts with the defaults, the user's work is saved at shut-down and
// found again at the next start, and nothing of the old bytes is lost.
#include "test_trainer_support.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <random>

using namespace trainertest;

namespace {

QByteArray RandomBytes(int size, std::uint32_t seed)
{
    std::mt19937 random(seed);
    QByteArray bytes(size, '\0');
    for (char& c : bytes)
        c = char(random());
    return bytes;
}

const char kWithNuls[] = "[Settings]\r\nLanguage=en\0ru\r\n\0\0\0\r\n[Results]\r\nnes5=7\0\r\n";

QByteArray FillerLines(qsizetype size)
{
    const QByteArray line = "filler=0123456789012345678901234567890123456789012345678901234567890123456789\r\n";
    return "[Filler]\r\n" + line.repeated(size / line.size());
}

void PutSettings(Harness& h, const QByteArray& bytes)
{
    QFile file(h.Path(QStringLiteral("Settings.ini")));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// One accepted time of 2,500 on case 3 alone.
void AcceptOnCase3(Harness& h)
{
    EnableOnly(h.form, {3});
    h.StartAttempt();
    QVERIFY(h.form->Timer1->isActive());
    h.Tick(2500);
    h.form->BitBtn1Click();
    h.form->BitBtn2Click();
}

} // namespace

class FaultSettingsTest : public QObject {
    Q_OBJECT

private slots:
    void unusableFileStartsWithDefaultsAndKeepsTheWork_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("caption");   // Start's caption tells the interface language
        QTest::addColumn<bool>("keptAsPrefix");  // no section of the program's in it: new ones go after it
        // Every write rewrites the whole file, so shut-down's 240 writes over
        // tens of thousands of lines take seconds (more under the sanitizers):
        // 2 MB of lines shows it; 10 MB is the single line below.
        QTest::newRow("binary garbage") << RandomBytes(1024 * 1024, 1) << "Старт" << true;
        QTest::newRow("2 MB of lines") << FillerLines(2 * 1024 * 1024) << "Старт" << true;
        QTest::newRow("10 MB without a line end") << QByteArray(10 * 1024 * 1024, 'x') << "Старт" << true;
        QTest::newRow("NUL bytes") << QByteArray(kWithNuls, sizeof kWithNuls - 1) << "Start" << false;
        QTest::newRow("no line ends") << QByteArray("[Settings]Language=en mode=PLL") << "Старт" << true;
        QTest::newRow("CR alone ends lines") << QByteArray("[Settings]\rLanguage=en\rmode=PLL\r") << "Старт" << true;
    }
    void unusableFileStartsWithDefaultsAndKeepsTheWork()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, caption);
        QFETCH(bool, keptAsPrefix);
        Harness h;
        PutSettings(h, content);
        TForm1* f = h.Start();
        QVERIFY(f->isVisible());
        QCOMPARE(f->BitBtn1->text(), caption);
        QCOMPARE(f->state.currentSet, CaseSet::OLL);
        QCOMPARE(f->state.enabledCount, 57);
        AcceptOnCase3(h);
        QElapsedTimer shutdown;
        shutdown.start();
        h.Stop();
        qInfo("shut-down over this file: %lld ms", shutdown.elapsed());
        QCOMPARE(h.messages->errors, QStringList());
        QCOMPARE(h.messages->shown, QStringList());
        const QByteArray saved = h.ReadSettings();
        if (keptAsPrefix)
            QVERIFY(saved.startsWith(content));
        else   // only the values the program rewrites lose what followed a NUL
            QVERIFY(saved.contains(QByteArray("Language=en\0ru\r\n\0\0\0\r\n", 20)));

        f = h.Start();
        QCOMPARE(f->Tile(3)->nvoll->text(), QStringLiteral("1"));
        QCOMPARE(f->Tile(3)->bvoll->text(), QStringLiteral("2,500"));
        QCOMPARE(f->Tile(4)->caseEnabled, false);
        if (!keptAsPrefix)
            QCOMPARE(f->Tile(5)->nvoll->text(), QStringLiteral("7"));
    }

    // A folder in the file's place: defaults (Russian, as for a file without
    // the key), and the refusal told once at shut-down with the path.
    void folderInPlaceOfTheFile()
    {
        Harness h;
        QVERIFY(QDir(h.Folder()).mkdir(QStringLiteral("Settings.ini")));
        TForm1* f = h.Start();
        QVERIFY(f->isVisible());
        QCOMPARE(f->BitBtn1->text(), QStringLiteral("Старт"));
        QCOMPARE(h.messages->errors, QStringList());
        AcceptOnCase3(h);
        QCOMPARE(f->Tile(3)->nvoll->text(), QStringLiteral("1"));
        h.Stop();
        const QString path = QDir::toNativeSeparators(h.Path(QStringLiteral("Settings.ini")));
        QCOMPARE(h.messages->errors, QStringList{QStringLiteral("Unable to write to ") + path});
        QVERIFY(QFileInfo(h.Path(QStringLiteral("Settings.ini"))).isDir());
        QCOMPARE(QDir(h.Path(QStringLiteral("Settings.ini"))).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    }

    // A colour or a time that is no number, written by hand: reported with
    // its own text, the rest loaded, and the user's texts written back as they were.
    void wordsWhereNumbersBelong()
    {
        Harness h;
        h.WriteSettings("[Settings]\nLanguage=en\n[Tuning]\nTimerBack=grey\n[Results]\navg3=fast\nbes3=\xff\xfe\nnes3=many\n");
        TForm1* f = h.Start();
        QCOMPARE(h.messages->errors, QStringList{QStringLiteral("'grey' is not a valid integer value")});
        QCOMPARE(f->Tile(3)->avoll->text(), QStringLiteral("fast"));
        h.Stop();
        const QByteArray saved = h.ReadSettings();
        QVERIFY(saved.contains("TimerBack=grey\r\n"));
        QVERIFY(saved.contains("avg3=fast\r\n"));
        QVERIFY(saved.contains("bes3=\xff\xfe\r\n"));
        QVERIFY(saved.contains("nes3=many\r\n"));
    }

    // Draw= written by hand: read in any letter case and kept as written;
    // a value the program does not know draws at random and stays in the
    // file until the user picks another rule.
    void drawValuesByHand_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("entry");
        QTest::newRow("Weak") << QByteArray("Weak") << 1;
        QTest::newRow("ROUND") << QByteArray("ROUND") << 2;
        QTest::newRow("Random") << QByteArray("Random") << 0;
        QTest::newRow("unknown") << QByteArray("sometimes") << 0;
    }
    void drawValuesByHand()
    {
        QFETCH(QByteArray, value);
        QFETCH(int, entry);
        Harness h;
        h.WriteSettings("[Settings]\nLanguage=en\nDraw=" + value + "\n");
        TForm1* f = h.Restart();
        QCOMPARE(f->ComboBox1->currentIndex(), entry);
        f = h.Restart();
        QVERIFY(h.ReadSettings().contains("Draw=" + value + "\r\n"));
        f->ComboBox1->setCurrentIndex((entry + 1) % 3);
        emit f->ComboBox1->activated((entry + 1) % 3);
        h.Stop();
        const QByteArray chosen[] = {"random", "weak", "round"};
        QVERIFY(h.ReadSettings().contains("Draw=" + chosen[(entry + 1) % 3] + "\r\n"));
    }
};

QTEST_MAIN(FaultSettingsTest)
#include "test_fault_settings.moc"
