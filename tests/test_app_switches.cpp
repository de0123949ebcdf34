// The set switch and the level switch through the real buttons: each set
// keeps its flags, hints, results, level and check box; the file holds the
// left set at once; a switch that fails stays in the old set.

#include "support/harness.h"
#include "window/pictures.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

const QByteArray kEnglish = "[Settings]\nLanguage=en\n";

QByteArray Entry(const QByteArray& file, const QByteArray& key)
{
    for (const QByteArray& line : file.split('\n'))
        if (line.startsWith(key + "="))
            return line.mid(key.size() + 1).trimmed();
    return "<missing>";
}

void PressTile(TForm1* form, int n)
{
    CaseTile* tile = form->Tile(n);
    QTest::mousePress(tile->caseEnabled ? tile->ioll : tile->bioll, Qt::LeftButton, {}, QPoint(10, 10));
}

void SetRecord(TForm1* form, int n, const QString& average, const QString& best, const QString& count)
{
    form->session.SetRecord(n, CaseRecord::FromTexts(average, best, count));
}

QStringList Record(TForm1* form, int n)
{
    return {form->Tile(n)->avoll->text(), form->Tile(n)->bvoll->text(), form->Tile(n)->nvoll->text()};
}

int VisibleTiles(TForm1* form)
{
    int shown = 0;
    for (CaseTile* tile : form->tiles)
        shown += tile->isVisible() ? 1 : 0;
    return shown;
}

// Runs an action while the settings file may not grow past its present size.
template <typename Action> void WithFileSizeLimit(qint64 limit, Action&& action)
{
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tight = saved;
    tight.rlim_cur = static_cast<rlim_t>(limit);
    setrlimit(RLIMIT_FSIZE, &tight);
    action();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
}

}   // namespace

class AppSwitchesTest : public QObject {
    Q_OBJECT

private slots:
    void roundTripKeepsEachSetsRecords()
    {
        Harness h;
        h.WriteSettings(kEnglish + "pal5=1\n[Results]\npavg3=3,100\npbes3=2,900\npnes3=4\n"
                                   "[PLL hints]\nhint3=PLL three\n[OLL hints]\nhint2=OLL two\n");
        TForm1* form = h.Start();
        PressTile(form, 2);
        SetRecord(form, 6, "6,600", "5,500", "3");
        form->BitBtn10->click();
        QCOMPARE(form->state.level, Level::Hard);

        form->BitBtn6->click();
        QCOMPARE(form->state.currentSet, CaseSet::PLL);
        QCOMPARE(VisibleTiles(form), 21);
        QCOMPARE(Record(form, 3), (QStringList{"3,100", "2,900", "4"}));
        QCOMPARE(Record(form, 6), (QStringList{"0,000", "0,000", "0"}));
        QCOMPARE(form->hints[3 - 1], QStringLiteral("PLL three"));
        QCOMPARE(form->hints[2 - 1], QString());
        QVERIFY(!form->Tile(5)->caseEnabled);
        QVERIFY(form->Tile(2)->caseEnabled);
        QCOMPARE(form->state.enabledCount, 20);
        QCOMPARE(form->state.level, Level::Easy);
        QCOMPARE(form->Label7->text(), QStringLiteral("Easy"));
        QCOMPARE(form->BitBtn6->text(), QStringLiteral("=> OLL"));
        QCOMPARE(form->Label6->text(), QStringLiteral("PLL"));
        QCOMPARE(form->windowTitle(), QStringLiteral("Tesselo [PLL mode]"));
        QVERIFY(!form->CheckBox1->isVisible());

        form->BitBtn10->click();
        QVERIFY(form->CheckBox1->isVisible());
        form->CheckBox1->setChecked(true);
        PressTile(form, 7);
        SetRecord(form, 1, "1,234", "1,111", "2");

        form->BitBtn6->click();
        QCOMPARE(form->state.currentSet, CaseSet::OLL);
        QCOMPARE(VisibleTiles(form), 57);
        QVERIFY(!form->Tile(2)->caseEnabled);
        QVERIFY(form->Tile(7)->caseEnabled);
        QCOMPARE(Record(form, 6), (QStringList{"6,600", "5,500", "3"}));
        QCOMPARE(Record(form, 1), (QStringList{"0,000", "0,000", "0"}));
        QCOMPARE(form->hints[2 - 1], QStringLiteral("OLL two"));
        QCOMPARE(form->state.enabledCount, 56);
        QCOMPARE(form->state.level, Level::Hard);
        QCOMPARE(form->Label7->text(), QStringLiteral("Hard"));
        QVERIFY(!form->CheckBox1->isVisible());
        QCOMPARE(form->windowTitle(), QStringLiteral("Tesselo [OLL mode]"));

        form->BitBtn6->click();
        QCOMPARE(form->state.level, Level::Hard);
        QVERIFY(form->CheckBox1->isVisible());
        QVERIFY(form->CheckBox1->isChecked());
        QVERIFY(!form->Tile(7)->caseEnabled);
        QVERIFY(!form->Tile(5)->caseEnabled);
        QCOMPARE(Record(form, 1), (QStringList{"1,234", "1,111", "2"}));
        QCOMPARE(form->state.enabledCount, 19);

        // Only each set's own keys were written.
        const QByteArray file = h.ReadSettings();
        QCOMPARE(Entry(file, "pal22"), QByteArray("<missing>"));
        QCOMPARE(Entry(file, "pavg22"), QByteArray("<missing>"));
        QCOMPARE(Entry(file, "avg1"), QByteArray("0,000"));
        QCOMPARE(Entry(file, "pavg6"), QByteArray("0,000"));
    }

    void fileRightAfterASwitchHoldsTheLeftSet()
    {
        Harness h;
        h.WriteSettings(kEnglish);
        TForm1* form = h.Start();
        PressTile(form, 9);
        SetRecord(form, 10, "8,125", "7,000", "5");
        form->BitBtn10->click();
        form->BitBtn6->click();
        QByteArray file = h.ReadSettings();
        QCOMPARE(Entry(file, "al9"), QByteArray("1"));
        QCOMPARE(Entry(file, "al57"), QByteArray("0"));
        QCOMPARE(Entry(file, "avg10"), QByteArray("8,125"));
        QCOMPARE(Entry(file, "bes10"), QByteArray("7,000"));
        QCOMPARE(Entry(file, "nes10"), QByteArray("5"));
        QCOMPARE(Entry(file, "omode"), QByteArray("1"));
        QCOMPARE(Entry(file, "mode"), QByteArray("<missing>"));
        QCOMPARE(Entry(file, "pavg1"), QByteArray("<missing>"));

        form->BitBtn10->click();
        form->CheckBox1->setChecked(true);
        PressTile(form, 4);
        form->BitBtn6->click();
        file = h.ReadSettings();
        QCOMPARE(Entry(file, "pal4"), QByteArray("1"));
        QCOMPARE(Entry(file, "pal21"), QByteArray("0"));
        QCOMPARE(Entry(file, "pmode"), QByteArray("1"));
        QCOMPARE(Entry(file, "1-layers"), QByteArray("1"));
        QCOMPARE(Entry(file, "mode"), QByteArray("<missing>"));
        // An end without shut-down starts in the set the file still names.
    }

    void allPllCasesDisabledDisableStartAfterARoundTrip()
    {
        QByteArray settings = kEnglish;
        for (int n = 1; n <= 21; ++n)
            settings += "pal" + QByteArray::number(n) + "=1\n";
        Harness h;
        h.WriteSettings(settings);
        TForm1* form = h.Start();
        QVERIFY(form->BitBtn1->isEnabled());
        form->BitBtn6->click();
        QCOMPARE(form->state.enabledCount, 0);
        QVERIFY(!form->BitBtn1->isEnabled());
        form->BitBtn6->click();
        QVERIFY(form->BitBtn1->isEnabled());
        form->BitBtn6->click();
        QCOMPARE(form->state.enabledCount, 0);
        QVERIFY(!form->BitBtn1->isEnabled());
        PressTile(form, 12);
        form->BitBtn6->click();
        form->BitBtn6->click();
        QCOMPARE(form->state.enabledCount, 1);
    }

    void switchClearsTheTrainingColumn()
    {
        Harness h;
        h.WriteSettings(kEnglish);
        TForm1* form = h.Start();
        form->RzPanel1->show();
        form->res->setText(QStringLiteral("Current best: 1,000"));
        form->res->show();
        form->Label1->setText(QStringLiteral("3,141"));
        form->Image1->SetPicture(form->Tile(1)->ioll->Picture());
        form->BitBtn6->click();
        QVERIFY(!form->RzPanel1->isVisible());
        QVERIFY(!form->res->isVisible());
        QCOMPARE(form->Label1->text(), QStringLiteral("0"));
        QVERIFY(!form->Image1->HasPicture());
        QVERIFY(!form->Timer1->isActive() && !form->Timer2->isActive());
        QCOMPARE(form->focusWidget(), static_cast<QWidget*>(form->BitBtn1));
    }

    void refusedWriteLeavesTheSetAsItWas()
    {
        Harness h;
        h.WriteSettings(kEnglish);
        TForm1* form = h.Start();
        SetRecord(form, 4, "9,999", "9,000", "1");
        PressTile(form, 8);
        const QByteArray before = h.ReadSettings();
        WithFileSizeLimit(before.size(), [&] { form->BitBtn6->click(); });
        QCOMPARE(h.messages->errors.size(), 1);
        QVERIFY(h.messages->errors[0].startsWith("Unable to write to "));
        QCOMPARE(h.ReadSettings(), before);
        QCOMPARE(form->state.currentSet, CaseSet::OLL);
        QCOMPARE(form->Label6->text(), QStringLiteral("OLL"));
        QCOMPARE(form->BitBtn6->text(), QStringLiteral("=> PLL"));
        QCOMPARE(VisibleTiles(form), 57);
        QCOMPARE(Record(form, 4), (QStringList{"9,999", "9,000", "1"}));
        QVERIFY(!form->Tile(8)->caseEnabled);
        QCOMPARE(form->state.enabledCount, 56);
        h.Stop();
        QCOMPARE(Entry(h.ReadSettings(), "avg4"), QByteArray("9,999"));
        QCOMPARE(Entry(h.ReadSettings(), "mode"), QByteArray("OLL"));
    }

    // Only the records that changed are written: an entry the file already
    // holds keeps its own spelling.
    void switchWritesOnlyChangedRecords()
    {
        Harness h;
        h.WriteSettings(kEnglish + "[Results]\nAVG4 = 9,999\navg5=1,000\n");
        TForm1* form = h.Start();
        QCOMPARE(Record(form, 4)[0], QStringLiteral("9,999"));
        SetRecord(form, 5, "2,000", "2,000", "1");
        form->BitBtn6->click();
        const QByteArray file = h.ReadSettings();
        QVERIFY(file.contains("\r\nAVG4 = 9,999\r\n"));
        QCOMPARE(Entry(file, "avg5"), QByteArray("2,000"));
        QCOMPARE(Entry(file, "nes5"), QByteArray("1"));
    }

    // Each set's thumbnails are decoded at its first load only; a picture
    // the user replaces (even keeping its modification time) shows anew.
    void switchesDecodeOnlyChangedThumbnails()
    {
        Harness h;
        h.WriteSettings(kEnglish);
        TForm1* form = h.Start();
        form->BitBtn6->click();
        form->BitBtn6->click();
        const int firstLoads = form->thumbnails.DecodeCount();
        QCOMPARE(firstLoads, 57 + 21);
        form->BitBtn6->click();
        form->BitBtn6->click();
        QCOMPARE(form->thumbnails.DecodeCount(), firstLoads);

        const QString path = h.Path("Images/OLL/5.gif");
        const QDateTime modified = QFileInfo(path).lastModified();
        QVERIFY(QFile::remove(path));
        QVERIFY(QFile::copy(h.Path("Images/PLL/1.gif"), path));
        QFile replaced(path);
        QVERIFY(replaced.open(QIODevice::ReadWrite) && replaced.setFileTime(modified, QFileDevice::FileModificationTime));
        replaced.close();
        form->BitBtn6->click();
        form->BitBtn6->click();
        QCOMPARE(form->thumbnails.DecodeCount(), firstLoads + 1);
        QCOMPARE(form->Tile(5)->ioll->Picture(), ReadPictureFile(path));
        QVERIFY(form->Tile(5)->ioll->Picture() != form->Tile(6)->ioll->Picture());
    }

    void unreadableThumbnailStaysInTheOldSetReloaded()
    {
        Harness h;
        h.WriteSettings(kEnglish + "pmode=1\n");
        TForm1* form = h.Start();
        QVERIFY(QDir(h.Folder()).mkpath("Images/PLL"));
        QFile broken(h.Path("Images/PLL/3.gif"));
        QVERIFY(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
        broken.write("GIF89a but nothing after it");
        broken.close();
        SetRecord(form, 4, "9,999", "9,000", "1");
        PressTile(form, 30);
        const QImage ollThumbnail = form->Tile(1)->ioll->Picture();

        form->BitBtn6->click();
        QCOMPARE(h.messages->errors, QStringList{"Image \"\\Images\\PLL\\3.gif\" cannot be read"});
        QCOMPARE(form->state.currentSet, CaseSet::OLL);
        QCOMPARE(form->state.level, Level::Easy);
        QCOMPARE(form->Label6->text(), QStringLiteral("OLL"));
        QCOMPARE(form->windowTitle(), QStringLiteral("Tesselo [OLL mode]"));
        QCOMPARE(VisibleTiles(form), 57);
        QCOMPARE(Record(form, 4), (QStringList{"9,999", "9,000", "1"}));
        QVERIFY(!form->Tile(30)->caseEnabled);
        QCOMPARE(form->state.enabledCount, 56);
        QCOMPARE(form->Tile(1)->ioll->Picture(), ollThumbnail);
        QCOMPARE(Entry(h.ReadSettings(), "omode"), QByteArray("<missing>"));
        h.Stop();
        const QByteArray file = h.ReadSettings();
        QCOMPARE(Entry(file, "avg4"), QByteArray("9,999"));
        QCOMPARE(Entry(file, "al30"), QByteArray("1"));
        QCOMPARE(Entry(file, "pavg4"), QByteArray("<missing>"));
        QCOMPARE(Entry(file, "mode"), QByteArray("OLL"));
        QCOMPARE(Entry(file, "pmode"), QByteArray("1"));
    }

    void levelSwitchTexts_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("hardName");
        QTest::addColumn<QString>("toEasy");
        QTest::addColumn<QString>("easyName");
        QTest::addColumn<QString>("toHard");
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("boxWhenHard");
        const QString en2 = "2-side recognition";
        const QString ru2 = QStringLiteral("Определение по двум граням");
        QTest::newRow("OLL en") << kEnglish << "Hard" << "=> Easy" << "Easy" << "=> Hard" << en2 << false;
        QTest::newRow("PLL en") << kEnglish + "mode=PLL\n" << "Hard" << "=> Easy" << "Easy" << "=> Hard" << en2 << true;
        QTest::newRow("OLL ru") << QByteArray("[Settings]\nLanguage=ru\n") << QStringLiteral("Сложный")
                                << QStringLiteral("=> Простой") << QStringLiteral("Простой")
                                << QStringLiteral("=> Сложный") << ru2 << false;
        QTest::newRow("PLL ru") << QByteArray("[Settings]\nLanguage=ru\nmode=PLL\n") << QStringLiteral("Сложный")
                                << QStringLiteral("=> Простой") << QStringLiteral("Простой")
                                << QStringLiteral("=> Сложный") << ru2 << true;
    }

    void levelSwitchTexts()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QString, hardName);
        QFETCH(QString, toEasy);
        QFETCH(QString, easyName);
        QFETCH(QString, toHard);
        QFETCH(QString, box);
        QFETCH(bool, boxWhenHard);
        Harness h;
        h.WriteSettings(settings);
        TForm1* form = h.Start();
        QCOMPARE(form->Label7->text(), easyName);
        QCOMPARE(form->BitBtn10->text(), toHard);
        QVERIFY(!form->CheckBox1->isVisible());
        form->BitBtn10->click();
        QCOMPARE(form->Label7->text(), hardName);
        QCOMPARE(form->BitBtn10->text(), toEasy);
        QCOMPARE(form->CheckBox1->text(), box);
        QCOMPARE(form->CheckBox1->isVisible(), boxWhenHard);
        form->CheckBox1->setChecked(true);
        form->BitBtn10->click();
        QCOMPARE(form->Label7->text(), easyName);
        QVERIFY(!form->CheckBox1->isVisible());
        form->BitBtn10->click();
        QCOMPARE(form->CheckBox1->isVisible(), boxWhenHard);
        QVERIFY(form->CheckBox1->isChecked());
    }

    void levelSwitchClearsTheColumnAndReachesTheFileAtTheEnd()
    {
        Harness h;
        h.WriteSettings(kEnglish);
        TForm1* form = h.Start();
        form->res->setText(QStringLiteral("New best! (-0,625)"));
        form->res->show();
        form->RzPanel1->show();
        form->Image1->SetPicture(form->Tile(2)->ioll->Picture());
        form->BitBtn6->setFocus();
        form->BitBtn10->click();
        QVERIFY(!form->res->isVisible());
        QVERIFY(!form->RzPanel1->isVisible());
        QVERIFY(!form->Image1->HasPicture());
        QCOMPARE(form->focusWidget(), static_cast<QWidget*>(form->BitBtn1));
        QCOMPARE(Entry(h.ReadSettings(), "omode"), QByteArray("<missing>"));   // nothing written yet
        h.Stop();
        QCOMPARE(Entry(h.ReadSettings(), "omode"), QByteArray("1"));
        QCOMPARE(Entry(h.ReadSettings(), "pmode"), QByteArray("<missing>"));
    }
};

QTEST_MAIN(AppSwitchesTest)
#include "test_app_switches.moc"
