// What start-up leaves until after the first frame, the thumbnails decoded
// while the window is built, and the stopwatch's start after the frame that
// shows the question.
#include "app/stopwatchfont.h"
#include "window/thumbnailcache.h"
#include "board/tform2.h"
#include "support/harness.h"
#include "window/pictures.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
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

// What a tile shows and where, as a user sees it.
struct TileLook {
    bool visible = false;
    QPoint position;
    QImage thumbnail;
    QStringList texts;
    QList<QColor> textColours;
    bool veiled = false;
    bool caseEnabled = false;
    int bar = -1;
    QColor barColour;

    explicit TileLook(const CaseTile* tile)
        : visible(tile->isVisible()), position(tile->pos()), thumbnail(tile->ioll->Picture()),
          veiled(tile->bioll->isVisible()), caseEnabled(tile->caseEnabled), bar(tile->proll->Level()),
          barColour(tile->proll->BarColour())
    {
        for (const QLabel* label : {tile->acoll, tile->avoll, tile->bcoll, tile->bvoll, tile->ncoll, tile->nvoll}) {
            texts << label->text();
            textColours << label->palette().color(QPalette::WindowText);
        }
    }
    bool operator==(const TileLook&) const = default;
};

// How far the tiles were made when the window's first frame was painted.
class TilesAtFirstPaint : public QObject {
public:
    explicit TilesAtFirstPaint(TForm1* form) : form_(form) { form->installEventFilter(this); }
    int made = 0;
    TileGrid grid;
    int viewHeight = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && viewHeight == 0) {
            while (made < kMaxCases && form_->MadeTile(made + 1))
                ++made;
            grid = form_->tileGrid;
            viewHeight = form_->ScrollBox1->height();
        }
        return false;
    }

private:
    TForm1* form_;
};

QList<TileLook> LookOfEveryTile(const TForm1* form)
{
    QList<TileLook> looks;
    for (int n = 1; n <= kMaxCases; ++n)
        looks << TileLook(form->MadeTile(n));
    return looks;
}

// Records for every case, two cases disabled (one far below the view) and a
// hint on a case below it; OLL or PLL active.
QByteArray SampleSettings(bool pll)
{
    QByteArray settings = "[Settings]\nLanguage=en\nal3=1\nal40=1\npal2=1\nmode=" + QByteArray(pll ? "PLL" : "OLL") + "\n[Results]\n";
    for (int n = 1; n <= kMaxCases; ++n) {
        const QByteArray time = QByteArray::number(2 + n % 7) + "," + QByteArray::number(100 + n * 13 % 900);
        settings += "avg" + QByteArray::number(n) + "=" + time + "\nbes" + QByteArray::number(n) + "=" + time
                    + "\nnes" + QByteArray::number(n) + "=" + QByteArray::number(n) + "\n";
        if (n <= kPllCases)
            settings += "pavg" + QByteArray::number(n) + "=" + time + "\npnes" + QByteArray::number(n) + "=1\n";
    }
    return settings + "[OLL hints]\nhint45=R U R'\n";
}

Environment EnvironmentOf(Harness& h)
{
    Environment env;
    env.files = FileLocations::Portable(h.Folder());
    env.clock = h.clock;
    env.random = h.random;
    env.messages = h.messages;
    return env;
}

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
        Program program(EnvironmentOf(h), Program::Making::FirstFrameFirst);
        QVERIFY(!program.form2 && !program.frmGL && !program.form3);
        QVERIFY(!program.form1->Form2);
        QVERIFY(!program.form1->Edit1 && !program.form1->OLLhints);
        program.form1->show();
        QTRY_VERIFY(program.form3 != nullptr);
        // The hidden controls nothing shows are there too, as made with the window.
        TForm1* form = program.form1.get();
        QCOMPARE(form->Edit1->text(), QStringLiteral("2"));
        QVERIFY(form->Edit1->isHidden() && form->Edit1->isEnabled());
        QCOMPARE(form->BitBtn3->nextInFocusChain(), form->Edit1);
        QCOMPARE(form->Edit1->nextInFocusChain(), form->UpDown1);
        QCOMPARE(form->BitBtn7->nextInFocusChain(), form->exdone);
        QCOMPARE(form->OLLhints->count(), kOllCases);
        form->UpDown1->SetPosition(4);
        QCOMPARE(CountdownFieldValue(*form), 4);
        QCOMPARE(program.form1->Form2, program.form2.get());
        QCOMPARE(program.form1->frmGL, program.frmGL.get());
        QCOMPARE(program.form1->Form3, program.form3.get());
        program.form1->close();
    }

    // The program the user starts makes the tiles in view as the window is
    // laid out and the rest after the first frame: every tile then shows
    // what it shows made with the window, with OLL and with PLL active.
    void tilesBelowTheViewMadeAfterTheFirstFrameLookTheSame()
    {
        for (const bool pll : {false, true}) {
            Harness h;
            h.WriteSettings(SampleSettings(pll));
            const QList<TileLook> madeWithTheWindow = LookOfEveryTile(h.Start());
            const QStringList hints(h.form->hints.begin(), h.form->hints.end());
            h.Stop();
            Program program(EnvironmentOf(h), Program::Making::FirstFrameFirst);
            TForm1* form = program.form1.get();
            QVERIFY(!form->MadeTile(1));
            const TilesAtFirstPaint first(form);
            form->show();
            QTRY_VERIFY(form->MadeTile(kMaxCases));
            // The first frame had every tile in view and none below it.
            QVERIFY(first.made > 0 && first.made <= form->tilesShown);
            QVERIFY(TilePosition(first.made, first.grid).y() < first.viewHeight);
            if (!pll)
                QVERIFY(TilePosition(first.made + 1, first.grid).y() >= first.viewHeight);
            QCOMPARE(LookOfEveryTile(form), madeWithTheWindow);
            QCOMPARE(QStringList(form->hints.begin(), form->hints.end()), hints);
            form->close();
        }
    }

    // A tile asked for before it comes into view is made at once, filled
    // like the others; the tile area's size counts the tiles not made yet.
    void aTileAskedForBeforeItIsSeenIsMadeAtOnce()
    {
        Harness h;
        h.WriteSettings(SampleSettings(false));
        TForm1* reference = h.Start();
        const TileLook look(reference->Tile(40));
        const QSize content = reference->tileContent->size();
        h.Stop();
        Program program(EnvironmentOf(h), Program::Making::FirstFrameFirst);
        TForm1* form = program.form1.get();
        CaseTile* asked = form->Tile(40);
        QVERIFY(asked && form->MadeTile(39) && !form->MadeTile(41));
        form->show();
        QTRY_VERIFY(form->MadeTile(kMaxCases));
        QCOMPARE(TileLook(asked), look);
        QCOMPARE(form->tileContent->size(), content);
        form->close();
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
