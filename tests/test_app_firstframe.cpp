// What start-up leaves until after the first frame, the thumbnails decoded
// while the window is built, and the stopwatch's start after the frame that
// shows the question.
#include "app/stopwatchfont.h"
#include "window/thumbnailcache.h"
#include "board/tform2.h"
#include "support/harness.h"
#include "window/pictures.h"

#include <QFile>
#include <QtTest>

namespace {

// A clock that notes, at every reading, how often the picture frame had been
// painted with a picture by then.
class FrameAwareClock : public ManualClock {
public:
    qint64 MonotonicUs() override
    {
        picturePaintsAtLastReading = picturePaints;
        return ManualClock::MonotonicUs();
    }
    int picturePaints = 0;
    int picturePaintsAtLastReading = -1;
};

class PicturePaints : public QObject {
public:
    PicturePaints(PictureBox* frame, FrameAwareClock& clock) : frame_(frame), clock_(clock)
    {
        frame->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && frame_->HasPicture())
            ++clock_.picturePaints;
        return false;
    }

private:
    PictureBox* frame_;
    FrameAwareClock& clock_;
};

int FittedDigits(TForm1* form)
{
    return FittedStopwatchFont(form->Label1->font().family(), 61, form->Label1->size()).pixelSize();
}

} // namespace

class FirstFrameTest : public QObject {
    Q_OBJECT
private slots:
    // The panel is hidden in Idle: its digits are fitted after the first
    // frame, or as soon as the panel is shown, whichever comes first.
    void stopwatchDigitsFittedAfterTheFirstFrameOrWhenShown()
    {
        {
            Harness h;
            TForm1* form = h.Start();
            QCOMPARE(form->Label1->font().pixelSize(), 61);
            QTRY_COMPARE(form->Label1->font().pixelSize(), FittedDigits(form));
            QCOMPARE(form->Label3->font(), form->Label1->font());
        }
        Harness h;
        TForm1* form = h.Start();
        form->BitBtn1Click();   // the countdown shows the panel before any frame
        QVERIFY(form->RzPanel1->isVisible());
        QCOMPARE(form->Label1->font().pixelSize(), FittedDigits(form));
        QVERIFY(FittedDigits(form) < 61);
    }

    // The program the user starts makes its dialogs after the first frame.
    void dialogsMadeAfterTheFirstFrame()
    {
        Harness h;
        Environment env;
        env.files = FileLocations::Portable(h.Folder());
        env.clock = h.clock;
        env.random = h.random;
        env.messages = h.messages;
        Program program(env, Program::Dialogs::AfterFirstFrame);
        QVERIFY(!program.form2 && !program.frmGL && !program.form3);
        QVERIFY(!program.form1->Form2);
        program.form1->show();
        QTRY_VERIFY(program.form3 != nullptr);
        QCOMPARE(program.form1->Form2, program.form2.get());
        QCOMPARE(program.form1->frmGL, program.frmGL.get());
        QCOMPARE(program.form1->Form3, program.form3.get());
        program.form1->close();
    }

    // Decoded ahead on a thread of their own, the thumbnails are those the
    // files give, each decoded once; a file replaced since is decoded anew.
    void prefetchedThumbnailsAreTheFilesPictures()
    {
        Harness h;
        h.Start();
        h.Stop();
        const QString first = h.Path(EasyPicturePath(CaseSet::OLL, 1));
        const QString second = h.Path(EasyPicturePath(CaseSet::OLL, 2));
        const QString missing = h.Path(QStringLiteral("Images/none.gif"));
        ThumbnailCache cache;
        cache.Prefetch({first, second, missing});
        QCOMPARE(cache.Picture(first), ReadPictureFile(first));
        QCOMPARE(cache.DecodeCount(), 2);
        QVERIFY(cache.Picture(missing).isNull());
        QVERIFY(QFile::remove(second));
        QVERIFY(QFile::copy(h.Path(EasyPicturePath(CaseSet::OLL, 3)), second));
        QCOMPARE(cache.Picture(second), ReadPictureFile(second));
        QCOMPARE(cache.DecodeCount(), 3);
        QCOMPARE(cache.Picture(first), ReadPictureFile(first));
        QCOMPARE(cache.DecodeCount(), 3);
    }

    // The clock the attempt starts from is read once the frame showing the
    // picture has been painted: Easy and Hard alike.
    void stopwatchStartsAfterThePictureIsPainted()
    {
        for (const bool hard : {false, true}) {
            Harness h;
            auto clock = std::make_shared<FrameAwareClock>();
            h.clock = clock;
            if (hard) {
                h.WriteSettings("[Settings]\r\nomode=1\r\n");
                h.Start();
                h.Stop();
                for (int n = 1; n <= CaseCount(CaseSet::OLL); ++n) {
                    const QString hardFolder = h.Path(HardPictureFolder(CaseSet::OLL, false, n));
                    QVERIFY(QDir().mkpath(hardFolder));
                    QFile::copy(h.Path(EasyPicturePath(CaseSet::OLL, n)), hardFolder + QStringLiteral("a.gif"));
                }
            }
            TForm1* form = h.Start();
            QVERIFY(QTest::qWaitForWindowExposed(form));
            PicturePaints paints(form->Image1, *clock);
            h.StartAttempt();
            QVERIFY(form->Timer1->isActive());
            QVERIFY(form->Image1->HasPicture());
            QVERIFY2(clock->picturePaintsAtLastReading >= 1, hard ? "Hard" : "Easy");
            QCOMPARE(form->state.startTimeUs, clock->MonotonicUs());
        }
    }
};

QTEST_MAIN(FirstFrameTest)
#include "test_app_firstframe.moc"
