// The picture library: the Hard draw over a case's folder, the folder
// listing, reading with a size limit and the restored Easy pictures.

#include "test_trainer_support.h"
#include "core/errors.h"
#include "window/gifcheck.h"
#include "window/pictures.h"

#include <QMap>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace trainertest;

namespace {

void AppendLe16(QByteArray& bytes, int value)
{
    bytes.append(char(value & 0xFF));
    bytes.append(char((value >> 8) & 0xFF));
}

// A GIF whose screen and frame claim the given sizes; its pixel data is a
// single pixel, so only the header is enormous.
QByteArray GifClaimingSize(int width, int height, int screenWidth = 0, int screenHeight = 0)
{
    QByteArray gif("GIF89a");
    AppendLe16(gif, screenWidth ? screenWidth : width);
    AppendLe16(gif, screenHeight ? screenHeight : height);
    gif.append("\x80\x00\x00", 3);                    // two-colour global table
    gif.append("\xFF\xFF\xFF\x00\x00\x00", 6);
    gif.append(',');
    AppendLe16(gif, 0);
    AppendLe16(gif, 0);
    AppendLe16(gif, width);
    AppendLe16(gif, height);
    gif.append('\x00');
    gif.append("\x02\x02\x44\x01\x00", 5);            // clear, index 0, end
    gif.append(';');
    return gif;
}

} // namespace

class TrainerPicturesTest : public QObject {
    Q_OBJECT

private slots:
    void hardDrawIsUniformOverAllFiles();
    void hardDrawWithOneFile();
    void giveUpAtOllHardDoesNothing();
    void listingSkipsDirectoriesAndSorts();
    void hugePicturesAreRefused();
    void gifStructureCheck();
    void specialFilesAreNotRead();
    void undecodableQuestionAbortsQuietly();
    void easyPicturesAreRestored();
    void unwritableEasyPictureThrows();
};

void TrainerPicturesTest::hardDrawIsUniformOverAllFiles()
{
    Harness h;
    h.WriteSettings(Settings("en", "OLL", true));
    const QStringList names = {"a.gif", "b.gif", "c.gif"};
    for (int i = 0; i < names.size(); ++i)
        WriteBytes(h.Path("Images/OLL-2/3/" + names[i]), PictureBytes(i + 1));
    TForm1* f = h.Start();
    EnableOnly(f, {3});

    QMap<QString, int> shown;
    constexpr int kDraws = 150;
    for (int i = 0; i < kDraws; ++i) {
        h.StartAttempt();
        QVERIFY(f->Image1->HasPicture());
        QCOMPARE(f->state.pictureFiles, names);
        const QString name = names.at(f->state.pictureIndex);
        QCOMPARE(f->Image1->Picture(), Decoded(PictureBytes(f->state.pictureIndex + 1)));
        ++shown[name];
        f->BitBtn1Click();
        f->BitBtn3Click();
    }
    // Each of the three files, the last one included, about a third of the time.
    for (const QString& name : names)
        QVERIFY2(shown.value(name) >= kDraws / 3 - 20 && shown.value(name) <= kDraws / 3 + 20, qPrintable(name));
    QVERIFY(h.messages->shown.isEmpty());
}

void TrainerPicturesTest::hardDrawWithOneFile()
{
    Harness h;
    h.WriteSettings(Settings("en", "PLL", true, "1-layers=1\n"));
    WriteBytes(h.Path("Images/PLL-2-sides/4/only.gif"), PictureBytes(7));
    TForm1* f = h.Start();
    EnableOnly(f, {4});
    for (int i = 0; i < 5; ++i) {
        h.StartAttempt();
        QCOMPARE(f->Image1->Picture(), Decoded(PictureBytes(7)));
        AbortAttempt(*f);
    }
    // With the box on, a missing answer names the 2-side answers folder.
    h.StartAttempt();
    h.Tick(600);
    f->BitBtn1Click();
    QCOMPARE(h.messages->shown, QStringList{"Image \"\\Images\\PLL-2-sides\\Answers\\4\\only.gif\" not found"});
    QVERIFY(f->BitBtn2->isEnabled());
}

void TrainerPicturesTest::giveUpAtOllHardDoesNothing()
{
    Harness h;
    h.WriteSettings(Settings("en", "OLL", true));
    WriteBytes(h.Path("Images/OLL-2/8/a.gif"), PictureBytes(1));
    TForm1* f = h.Start();
    EnableOnly(f, {8});
    h.StartAttempt();
    h.Tick(500);
    f->Image1Click();
    QVERIFY(f->state.attemptActive && f->Timer1->isActive());
    QVERIFY(f->res->isHidden());
    QVERIFY(f->RzPanel1->isVisible());
}

void TrainerPicturesTest::listingSkipsDirectoriesAndSorts()
{
    QTemporaryDir dir;
    for (const char* name : {"b.gif", "a.gif", ".hidden.gif", "E.GIF", "notes.txt", "d.gif/inner.gif"})
        WriteBytes(dir.filePath(QString::fromUtf8(name)), "x");
    QCOMPARE(ListGifFiles(dir.path()), (QStringList{".hidden.gif", "E.GIF", "a.gif", "b.gif"}));
    QVERIFY(ListGifFiles(dir.filePath("missing")).isEmpty());
    QVERIFY(ListGifFiles(dir.filePath("d.gif/inner.gif")).isEmpty());
}

void TrainerPicturesTest::hugePicturesAreRefused()
{
    QTemporaryDir dir;
    WriteBytes(dir.filePath("huge.gif"), GifClaimingSize(20000, 20000));
    WriteBytes(dir.filePath("wide.gif"), GifClaimingSize(kMaxPictureSide + 1, 1));
    WriteBytes(dir.filePath("small.gif"), GifClaimingSize(1, 1));
    WriteBytes(dir.filePath("case.gif"), PictureBytes(3));
    QVERIFY(ReadPictureFile(dir.filePath("huge.gif")).isNull());
    QVERIFY(ReadPictureFile(dir.filePath("wide.gif")).isNull());
    QCOMPARE(ReadPictureFile(dir.filePath("small.gif")).size(), QSize(1, 1));
    QCOMPARE(ReadPictureFile(dir.filePath("case.gif")), Decoded(PictureBytes(3)));
    QVERIFY(ReadPictureFile(dir.filePath("absent.gif")).isNull());
}

void TrainerPicturesTest::gifStructureCheck()
{
    for (int n = 1; n <= 57; ++n)
        QVERIFY2(GifStructureIsSound(EmbeddedResource(QStringLiteral("O%1").arg(n))), qPrintable(QString::number(n)));
    for (int n = 1; n <= 21; ++n)
        QVERIFY2(GifStructureIsSound(EmbeddedResource(QStringLiteral("P%1").arg(n))), qPrintable(QString::number(n)));

    const QByteArray good = PictureBytes(9);
    QVERIFY(GifStructureIsSound(good.chopped(1)));   // no trailer: still complete
    for (qsizetype cut : {good.size() / 2, good.size() - 3, qsizetype(13), qsizetype(6), qsizetype(0)})
        QVERIFY2(!GifStructureIsSound(good.left(cut)), qPrintable(QString::number(cut)));
    QVERIFY(GifStructureIsSound(GifClaimingSize(5, 5)));
    QVERIFY(!GifStructureIsSound(GifClaimingSize(20000, 20000, 72, 72)));   // frame outside the screen
    QVERIFY(!GifStructureIsSound(GifClaimingSize(0, 0)));
    QVERIFY(!GifStructureIsSound("\x89PNG\r\n"));

    QTemporaryDir dir;
    WriteBytes(dir.filePath("half.gif"), good.left(good.size() / 2));
    WriteBytes(dir.filePath("frame.gif"), GifClaimingSize(20000, 20000, 72, 72));
    QVERIFY(ReadPictureFile(dir.filePath("half.gif")).isNull());
    QVERIFY(ReadPictureFile(dir.filePath("frame.gif")).isNull());
}

void TrainerPicturesTest::specialFilesAreNotRead()
{
    QTemporaryDir dir;
    const QString pipe = dir.filePath("pipe.gif");
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QVERIFY(ReadPictureFile(pipe).isNull());   // returns at once instead of waiting for a writer
    QVERIFY(ReadPictureFile(dir.path()).isNull());
}

void TrainerPicturesTest::undecodableQuestionAbortsQuietly()
{
    Harness h;
    h.WriteSettings(Settings("en", "OLL", true));
    WriteBytes(h.Path("Images/OLL-2/1/huge.gif"), GifClaimingSize(20000, 20000));
    WriteBytes(h.Path("Images/OLL-2/2/broken.gif"), "GIF89a, not really");
    TForm1* f = h.Start();
    for (int n : {1, 2}) {
        EnableOnly(f, {n});
        h.StartAttempt();
        QVERIFY(IsIdle(f));
        QVERIFY(!f->Image1->HasPicture());
    }
    QVERIFY(h.messages->shown.isEmpty());
}

void TrainerPicturesTest::easyPicturesAreRestored()
{
    QTemporaryDir dir;
    EnsureEasyPicture(dir.path(), CaseSet::OLL, 5);
    EnsureEasyPicture(dir.path(), CaseSet::PLL, 21);
    QFile oll(dir.filePath("Images/OLL/5.gif")), pll(dir.filePath("Images/PLL/21.gif"));
    QVERIFY(oll.open(QIODevice::ReadOnly) && pll.open(QIODevice::ReadOnly));
    QCOMPARE(oll.readAll(), EmbeddedResource("O5"));
    QCOMPARE(pll.readAll(), EmbeddedResource("P21"));
    QCOMPARE(ReadPictureFile(dir.filePath("Images/OLL/5.gif")).size(), QSize(72, 72));
    QCOMPARE(ReadPictureFile(dir.filePath("Images/PLL/21.gif")).size(), QSize(216, 216));

    // A picture of the user's own is kept.
    WriteBytes(dir.filePath("Images/OLL/6.gif"), "mine");
    EnsureEasyPicture(dir.path(), CaseSet::OLL, 6);
    QFile own(dir.filePath("Images/OLL/6.gif"));
    QVERIFY(own.open(QIODevice::ReadOnly));
    QCOMPARE(own.readAll(), QByteArray("mine"));
}

void TrainerPicturesTest::unwritableEasyPictureThrows()
{
    QTemporaryDir dir;
    WriteBytes(dir.filePath("Images"), "a file where the folder should be");
    try {
        EnsureEasyPicture(dir.path(), CaseSet::PLL, 3);
        QFAIL("no error");
    } catch (const TesseloError& error) {
        QCOMPARE(error.text(), "Unable to write to " + QDir::toNativeSeparators(dir.filePath("Images/PLL/3.gif")));
    }
}

QTEST_MAIN(TrainerPicturesTest)
#include "test_trainer_pictures.moc"
