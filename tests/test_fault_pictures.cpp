// Damaged picture files wherever the program meets them: as a question (Easy
// and Hard), as a PLL answer and as a tile thumbnail. Each kind of damage
// gives the designed outcome (a quiet abort, a message naming the file, an
// error box at start-up) and the program stays usable.
#include "test_trainer_support.h"
#include "window/pictures.h"

#include <random>

using namespace trainertest;

namespace {

void AppendLe16(QByteArray& bytes, int value)
{
    bytes.append(char(value & 0xFF));
    bytes.append(char((value >> 8) & 0xFF));
}

// A GIF with the given screen and first frame sizes and one pixel of data.
QByteArray GifWithSizes(int screenWidth, int screenHeight, int frameWidth, int frameHeight)
{
    QByteArray gif("GIF89a");
    AppendLe16(gif, screenWidth);
    AppendLe16(gif, screenHeight);
    gif.append("\x80\x00\x00", 3);
    gif.append("\xFF\xFF\xFF\x00\x00\x00", 6);
    gif.append(',');
    AppendLe16(gif, 0);
    AppendLe16(gif, 0);
    AppendLe16(gif, frameWidth);
    AppendLe16(gif, frameHeight);
    gif.append('\x00');
    gif.append("\x02\x02\x44\x01\x00", 5);
    gif.append(';');
    return gif;
}

QByteArray Garbage(int size, bool withSignature)
{
    std::mt19937 random(size);
    QByteArray bytes(size, '\0');
    for (char& c : bytes)
        c = char(random());
    if (withSignature)
        bytes.replace(0, 6, "GIF89a");
    return bytes;
}

void AddDamagedKinds()
{
    QTest::addColumn<QByteArray>("damaged");
    const QByteArray good = PictureBytes(7);
    QTest::newRow("zero bytes") << QByteArray();
    QTest::newRow("truncated") << good.left(good.size() / 2);
    QTest::newRow("header only") << good.left(13);
    QTest::newRow("garbage") << Garbage(4096, false);
    QTest::newRow("garbage after a GIF signature") << Garbage(4096, true);
    QTest::newRow("20000 x 20000") << GifWithSizes(20000, 20000, 20000, 20000);
    QTest::newRow("small screen, 20000 x 20000 frame") << GifWithSizes(72, 72, 20000, 20000);
}

void WriteForEveryCase(Harness& h, const QString& pattern, int cases, const QByteArray& bytes)
{
    for (int n = 1; n <= cases; ++n)
        WriteBytes(h.Path(pattern.arg(n)), bytes);
}

// Start, the countdown and one stopwatch tick; false when the attempt did not run.
bool RunUntilStopwatch(Harness& h)
{
    h.StartAttempt();
    if (!h.form->Timer1->isActive())
        return false;
    h.Tick(1234);
    return true;
}

// After the fault: a good picture in place, a whole attempt goes through.
void CheckStillUsable(Harness& h, const QString& pattern, int cases)
{
    WriteForEveryCase(h, pattern, cases, PictureBytes(3));
    QVERIFY(RunUntilStopwatch(h));
    QVERIFY(h.form->Image1->HasPicture());
    h.form->BitBtn1Click();
    h.form->BitBtn3Click();
    QVERIFY(IsIdle(h.form));
}

} // namespace

class FaultPicturesTest : public QObject {
    Q_OBJECT

private slots:
    void damagedEasyQuestionAbortsQuietly_data() { AddDamagedKinds(); }
    void damagedEasyQuestionAbortsQuietly()
    {
        QFETCH(QByteArray, damaged);
        Harness h;
        h.WriteSettings(Settings("en", "OLL", false));
        h.Start();
        // Damaged after start-up, so that only the draw meets it.
        WriteForEveryCase(h, QStringLiteral("Images/OLL/%1.gif"), 57, damaged);
        QVERIFY(!RunUntilStopwatch(h));
        QVERIFY(IsIdle(h.form));
        QVERIFY(!h.form->Image1->HasPicture());
        QVERIFY(h.form->BitBtn1->isEnabled());
        QCOMPARE(h.messages->shown, QStringList());
        QCOMPARE(h.messages->errors, QStringList());
        CheckStillUsable(h, QStringLiteral("Images/OLL/%1.gif"), 57);
    }

    void damagedHardQuestionAbortsQuietly_data() { AddDamagedKinds(); }
    void damagedHardQuestionAbortsQuietly()
    {
        QFETCH(QByteArray, damaged);
        Harness h;
        h.WriteSettings(Settings("en", "PLL", true));
        WriteForEveryCase(h, QStringLiteral("Images/PLL-2/%1/a.gif"), 21, damaged);
        h.Start();
        QVERIFY(!RunUntilStopwatch(h));
        QVERIFY(IsIdle(h.form));
        QCOMPARE(h.messages->shown, QStringList());
        CheckStillUsable(h, QStringLiteral("Images/PLL-2/%1/a.gif"), 21);
    }

    // An answer that does not decode is reported by name at Stop; the time
    // can still be accepted and is recorded.
    void damagedAnswerIsReportedAndTheTimeKept_data() { AddDamagedKinds(); }
    void damagedAnswerIsReportedAndTheTimeKept()
    {
        QFETCH(QByteArray, damaged);
        Harness h;
        h.WriteSettings(Settings("en", "PLL", true));
        WriteForEveryCase(h, QStringLiteral("Images/PLL-2/%1/a.gif"), 21, PictureBytes(4));
        WriteForEveryCase(h, QStringLiteral("Images/PLL-2/Answers/%1/a.gif"), 21, damaged);
        TForm1* f = h.Start();
        EnableOnly(f, {9});
        QVERIFY(RunUntilStopwatch(h));
        f->BitBtn1Click();
        QCOMPARE(h.messages->shown,
                 QStringList{QStringLiteral("Image \"\\Images\\PLL-2\\Answers\\9\\a.gif\" cannot be read")});
        QCOMPARE(f->Image1->Picture(), Decoded(PictureBytes(4)));   // the question stays
        QVERIFY(f->BitBtn2->isEnabled());
        f->BitBtn2Click();
        QCOMPARE(f->Tile(9)->nvoll->text(), QStringLiteral("1"));
        QCOMPARE(f->Tile(9)->bvoll->text(), QStringLiteral("1,234"));
        QVERIFY(IsIdle(f));
    }

    // Giving up on a case whose answer does not decode ends the attempt and
    // says why, as for a missing answer.
    void damagedAnswerAtGiveUpAbortsAndTells()
    {
        Harness h;
        h.WriteSettings(Settings("en", "PLL", true));
        WriteForEveryCase(h, QStringLiteral("Images/PLL-2/%1/a.gif"), 21, PictureBytes(4));
        WriteForEveryCase(h, QStringLiteral("Images/PLL-2/Answers/%1/a.gif"), 21, GifWithSizes(72, 72, 20000, 20000));
        TForm1* f = h.Start();
        EnableOnly(f, {2});
        QVERIFY(RunUntilStopwatch(h));
        f->Image1Click();
        QVERIFY(IsIdle(f));
        QCOMPARE(h.messages->shown,
                 QStringList{QStringLiteral("Image \"\\Images\\PLL-2\\Answers\\2\\a.gif\" cannot be read")});
        QCOMPARE(f->Tile(2)->nvoll->text(), QStringLiteral("0"));
    }

    // A thumbnail that does not decode: one error box naming it, every other
    // tile and every record loaded, and the results saved at shut-down.
    void damagedThumbnailIsReportedOnce_data() { AddDamagedKinds(); }
    void damagedThumbnailIsReportedOnce()
    {
        QFETCH(QByteArray, damaged);
        Harness h;
        h.WriteSettings(Settings("en", "OLL", false, "[Results]\navg57=9,876\nbes57=8,765\nnes57=4\n"));
        WriteBytes(h.Path("Images/OLL/5.gif"), damaged);
        TForm1* f = h.Start();
        QCOMPARE(h.messages->errors, QStringList{QStringLiteral("Image \"\\Images\\OLL\\5.gif\" cannot be read")});
        QVERIFY(f->isVisible());
        QVERIFY(!f->Tile(5)->ioll->HasPicture());
        QVERIFY(f->Tile(6)->ioll->HasPicture());
        QCOMPARE(Record(f, 57), (QStringList{"9,876", "8,765", "4"}));
        QCOMPARE(f->state.enabledCount, 57);
        EnableOnly(f, {12});
        QVERIFY(RunUntilStopwatch(h));
        f->BitBtn1Click();
        f->BitBtn2Click();
        h.Stop();
        QVERIFY(h.ReadSettings().contains("nes12=1\r\n"));
        QVERIFY(h.ReadSettings().contains("avg57=9,876\r\n"));
    }
};

QTEST_MAIN(FaultPicturesTest)
#include "test_fault_pictures.moc"
