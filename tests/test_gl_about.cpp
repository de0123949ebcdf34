// The About window and its cube, with the whole program started in a
// temporary folder. Runs under Xvfb with Mesa; the spin clock is stopped and
// driven by calling its handler.
#include "about/bmpreader.h"
#include "about/cubepanel.h"
#include "about/cubesurface.h"
#include "about/tfrmgl.h"
#include "resources/resources.h"
#include "support/harness.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <QTimer>
#include <QtTest>
#include "bmp_fixture.h"
#include <functional>

#include <cstdio>

namespace {

using namespace bmpfixture;

// A 256 x 128 atlas in the 4 x 2 cell layout; colourOfCell(column, row) with
// row 0 the first 64 stored rows (texture t from 0 to 0.5).
QByteArray MakeAtlas(const std::function<QRgb(int, int)>& colourOfCell)
{
    QByteArray bytes(54 + 256 * 128 * 3, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutU32(bytes, 2, quint32(bytes.size()));
    PutU32(bytes, 10, 54);
    PutU32(bytes, 14, 40);
    PutU32(bytes, 18, 256);
    PutU32(bytes, 22, 128);
    PutU16(bytes, 26, 1);
    PutU16(bytes, 28, 24);
    for (int row = 0; row < 128; ++row)
        for (int x = 0; x < 256; ++x) {
            const QRgb colour = colourOfCell(x / 64, row / 64);
            const int at = 54 + (row * 256 + x) * 3;
            bytes[at] = char(qBlue(colour));
            bytes[at + 1] = char(qGreen(colour));
            bytes[at + 2] = char(qRed(colour));
        }
    return bytes;
}

// One plain colour per face; the unused half-row is magenta and must never show.
const QRgb kMagenta = qRgb(255, 0, 255);
QRgb FaceColour(int column, int row)
{
    static const QRgb kFirstRow[4] = {qRgb(200, 0, 0), qRgb(0, 160, 0), qRgb(0, 0, 200), qRgb(230, 230, 0)};
    static const QRgb kSecondRow[2] = {qRgb(255, 128, 0), qRgb(0, 200, 200)};
    if (row == 0)
        return kFirstRow[column];
    return column < 2 ? kSecondRow[column] : kMagenta;
}

QSet<QRgb> DistinctColours(const QImage& image)
{
    QSet<QRgb> colours;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            colours.insert(rgb.pixel(x, y) | 0xFF000000u);
    return colours;
}

QSet<QRgb> AtlasColours(const QByteArray& bitmap)
{
    const RgbPixels pixels = ReadBitmapBytes(bitmap);
    QSet<QRgb> colours;
    const auto* p = reinterpret_cast<const uchar*>(pixels.rgb.constData());
    for (qsizetype i = 0; i + 2 < pixels.rgb.size(); i += 3)
        colours.insert(qRgb(p[i], p[i + 1], p[i + 2]));
    return colours;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What a check saw while the modal window was open.
struct OpenSnapshot {
    bool visible = false;
    QString title, thanks, heading, notes, ok;
    int clientHeight = 0, notesHeight = 0, panelHeight = 0, okTop = 0;
    QPoint centreOffset;
};

OpenSnapshot Snapshot(TfrmGL* about, QWidget* main)
{
    OpenSnapshot seen;
    seen.visible = about->isVisible();
    seen.title = about->windowTitle();
    seen.thanks = about->Label2->text();
    seen.heading = about->Label3->text();
    seen.notes = about->StaticText1->text();
    seen.ok = about->BitBtn1->text();
    seen.clientHeight = about->height();
    seen.notesHeight = about->StaticText1->height();
    seen.panelHeight = about->Panel2->height();
    seen.okTop = about->BitBtn1->y();
    seen.centreOffset = about->frameGeometry().center() - main->frameGeometry().center();
    return seen;
}

} // namespace

class AboutWindowTest : public QObject {
    Q_OBJECT

    Harness harness;
    TfrmGL* about = nullptr;

    TfrmGL* StartProgram()
    {
        harness.Start();
        about = harness.program->frmGL.get();
        about->Timer->stop();   // the tests tick it themselves
        return about;
    }

    QString TexturePath() const { return harness.Path(QStringLiteral("Images/cube.bmp")); }

    bool ShowCube()
    {
        about->show();
        return QTest::qWaitForWindowExposed(about) && about->HasCube();
    }

    QImage Frame() { return about->cubeView->GrabFrame(); }

    // Opens the window through the About button; whileOpen runs inside the
    // modal loop and must close it.
    OpenSnapshot OpenAndClose(const std::function<void()>& close)
    {
        OpenSnapshot seen;
        QTimer::singleShot(0, about, [&] {
            seen = Snapshot(about, harness.form);
            close();
        });
        harness.form->BitBtn9Click();
        return seen;
    }

private slots:
    void cleanup()
    {
        about = nullptr;
        harness.Stop();
        QDir(harness.Folder()).removeRecursively();
        QDir().mkpath(harness.Folder());
    }

    void clockAndFramesTurnTheCube()
    {
        StartProgram();
        QCOMPARE(about->Timer->interval(), 50);
        QVERIFY(ShowCube());
        about->spin.SpinAngle = 0.0f;
        for (int tick = 1; tick <= 71; ++tick) {
            about->TimerTimer();
            Frame();
            QCOMPARE(about->spin.SpinAngle, 5.0f * tick);
        }
        about->TimerTimer();
        Frame();
        QCOMPARE(about->spin.SpinAngle, 0.0f);   // at 360 back to exactly 0

        about->hide();
        for (int tick = 0; tick < 10; ++tick)
            about->TimerTimer();
        QCOMPARE(about->spin.SpinAngle, 40.0f);  // hidden: only the clock's steps
    }

    void dragsSetTheSpinSpeed()
    {
        StartProgram();
        CubeSpin& spin = about->spin;
        about->Panel1MouseDown(Qt::LeftButton, 20, 30);
        QVERIFY(spin.DragActive);
        harness.clock->Advance(120);
        about->Panel1MouseMove(60, 50);
        QVERIFY(spin.SpinStep > 0.0f);
        about->Panel1MouseMove(20, 30);          // back where it began
        about->Panel1MouseUp(Qt::LeftButton, 20, 30);
        QCOMPARE(spin.SpinStep, 0.0f);
        QVERIFY(!spin.DragActive);
        QVERIFY(qFuzzyCompare(spin.DragRotation(0, 0), 1.0f));   // there and back cancel out

        about->Panel1MouseDown(Qt::LeftButton, 10, 40);
        harness.clock->Advance(9);
        about->Panel1MouseMove(130, 200);        // 200 px in 9 ms
        about->Panel1MouseUp(Qt::LeftButton, 130, 200);
        QCOMPARE(spin.SpinStep, 20.0f);
        QVERIFY(!spin.DragRotation.isIdentity());
    }

    void onlyTheLeftButtonDragsButAnyReleaseEndsIt()
    {
        StartProgram();
        CubeSpin& spin = about->spin;
        for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
            about->Panel1MouseDown(button, 10, 10);
            QVERIFY(!spin.DragActive);
            about->Panel1MouseMove(90, 90);
            QCOMPARE(spin.SpinStep, 1.0f);
            QVERIFY(spin.DragRotation.isIdentity());
        }
        about->Panel1MouseDown(Qt::LeftButton, 10, 10);
        about->Panel1MouseUp(Qt::RightButton, 10, 10);
        QVERIFY(!spin.DragActive);
        about->Panel1MouseMove(50, 10);
        QCOMPARE(spin.SpinStep, 1.0f);

        // Real mouse events on the panel reach the same handlers.
        QTest::mousePress(about->Panel1, Qt::LeftButton, {}, QPoint(30, 30));
        QVERIFY(spin.DragActive);
        QTest::mouseRelease(about->Panel1, Qt::LeftButton, {}, QPoint(30, 30));
        QVERIFY(!spin.DragActive);
    }

    void flingSpeedSurvivesTheTickCountWrapping()
    {
        CubeSpin spin;
        spin.Press(Qt::LeftButton, 0, 0, 0xFFFFFFF0u);
        spin.Move(0, 44, 0x00000005u);           // 21 ms later
        QCOMPARE(spin.SpinStep, 2.0f);
        spin.Move(0, 44, 0xFFFFFFEFu);           // a tick count that went back
        QVERIFY(std::isfinite(spin.SpinStep));
    }

    void framesShowTheAtlasFacesAndChange()
    {
        StartProgram();
        about->textureAtlas = ReadBitmapBytes(MakeAtlas(FaceColour));
        QVERIFY(ShowCube());
        QVERIFY(about->HasTexture());
        about->spin.SpinAngle = 20.0f;
        const QImage first = Frame();
        QCOMPARE(first.size(), QSize(105, 105));
        QSet<QRgb> faces = DistinctColours(first);
        QVERIFY(faces.remove(qRgb(255, 255, 255)));   // the white background around the cube
        QVERIFY2(faces.size() >= 2 && faces.size() <= 3, qPrintable(QString::number(faces.size())));
        for (QRgb colour : faces) {
            QVERIFY(colour != kMagenta);
            bool isFace = false;
            for (int cell = 0; cell < 6; ++cell)
                isFace = isFace || colour == FaceColour(cell % 4, cell / 4);
            QVERIFY2(isFace, qPrintable(QString::number(colour, 16)));
        }
        for (int tick = 0; tick < 4; ++tick)        // 200 ms of the clock
            about->TimerTimer();
        QVERIFY(Frame() != first);
    }

    void dragTurnSurvivesLaterFrames()
    {
        StartProgram();
        QVERIFY(ShowCube());
        CubeSpin& spin = about->spin;
        spin.SpinStep = 0.0f;
        spin.SpinAngle = 0.0f;
        const QImage before = Frame();
        about->Panel1MouseDown(Qt::LeftButton, 10, 50);
        about->Panel1MouseMove(55, 50);
        about->Panel1MouseUp(Qt::LeftButton, 55, 50);
        spin.SpinStep = 0.0f;
        spin.SpinAngle = 0.0f;
        const QImage turned = Frame();
        QVERIFY(turned != before);
        QCOMPARE(Frame(), turned);                // not reset by the next frame
    }

    void framesShowTheStickersOfTheEmbeddedAtlas()
    {
        const QByteArray atlas = EmbeddedResource(QStringLiteral("MyWav"));
        QCOMPARE(atlas.size(), 98358);
        StartProgram();
        QVERIFY(ShowCube());
        QVERIFY(about->HasTexture());
        const QSet<QRgb> allowed = AtlasColours(atlas) + QSet<QRgb>{qRgb(255, 255, 255)};
        const QSet<QRgb> shown = DistinctColours(Frame());
        QVERIFY2(shown.size() >= 4, qPrintable(QString::number(shown.size())));
        for (QRgb colour : shown)
            QVERIFY2(allowed.contains(colour), qPrintable(QString::number(colour, 16)));
    }

    void unreadableTextureLeavesThePlainCube_data()
    {
        QTest::addColumn<QByteArray>("file");
        QByteArray noSignature = MakeAtlas(FaceColour);
        noSignature[0] = 'X';
        QByteArray lying = MakeAtlas(FaceColour);
        PutU32(lying, 22, 4096);                 // claims 4096 rows
        QTest::newRow("no BM") << noSignature;
        QTest::newRow("short") << MakeAtlas(FaceColour).left(1000);
        QTest::newRow("lying about its size") << lying;
    }

    void unreadableTextureLeavesThePlainCube()
    {
        QFETCH(QByteArray, file);
        StartProgram();
        about->textureAtlas = ReadBitmapBytes(file);
        QVERIFY(ShowCube());
        QVERIFY(!about->HasTexture());
        QSet<QRgb> shown = DistinctColours(Frame());
        QVERIFY(shown.remove(qRgb(255, 255, 255)));
        QVERIFY(!shown.isEmpty());                // the cube is still there
        for (QRgb colour : shown)                  // unlit and untextured: dark and grey
            QVERIFY(qGray(colour) < 64 && qRed(colour) == qGreen(colour) && qGreen(colour) == qBlue(colour));
    }

    void textureFileIsRewrittenAtStartAndGoneAfterClosing()
    {
        QDir().mkpath(harness.Path(QStringLiteral("Images")));
        WriteFile(TexturePath(), QByteArray("stale"));
        StartProgram();
        QCOMPARE(ReadFile(TexturePath()), EmbeddedResource(QStringLiteral("MyWav")));
        const OpenSnapshot seen = OpenAndClose([this] { about->BitBtn1->click(); });
        QVERIFY(seen.visible);
        QVERIFY(!QFile::exists(TexturePath()));
        QVERIFY(about->HasTexture());             // uploaded once, the file is no longer needed
        QVERIFY(harness.messages->errors.isEmpty());

        harness.Restart();
        QVERIFY(QFile::exists(TexturePath()));
        harness.Stop();                           // the end of the program removes it too
        QVERIFY(!QFile::exists(TexturePath()));
    }

    // The installed program loads plugins from its own folder alone: run from
    // tests/ without being pointed at the build folder, it finds none.
    void pluginsComeOnlyFromTheProgramsFolder()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("TESSELO_PLUGIN_DIR"));
        QProcess child;
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--load-cube-plugin")});
        QVERIFY(child.waitForFinished(30000));
        const QString said = QString::fromLocal8Bit(child.readAllStandardOutput()).trimmed();
        QVERIFY2(said != QLatin1String("loaded") && !said.contains(QStringLiteral(TESSELO_BUILD_DIR "/tesselo_cube")),
                 qPrintable(said));
    }

    // A link named cube.bmp is replaced by the texture, never written through.
    void aLinkInTheTexturesPlaceIsReplaced()
    {
        QDir().mkpath(harness.Path(QStringLiteral("Images")));
        const QString victim = harness.Path(QStringLiteral("victim.txt"));
        WriteFile(victim, QByteArray("precious"));
        QVERIFY(QFile::link(victim, TexturePath()));
        StartProgram();
        QCOMPARE(ReadFile(victim), QByteArray("precious"));
        QVERIFY(!QFileInfo(TexturePath()).isSymLink());
        QCOMPARE(ReadFile(TexturePath()), EmbeddedResource(QStringLiteral("MyWav")));
        QVERIFY(QFile::remove(victim));
    }

    // Another copy of the program in the same folder, or a hand tidying
    // Images/, may take the file away before the first opening.
    void textureIsKeptFromStartEvenWhenTheFileIsGone()
    {
        StartProgram();
        QVERIFY(QFile::remove(TexturePath()));
        QVERIFY(ShowCube());
        QVERIFY(about->HasTexture());
    }

    void unwritableTextureFileIsReportedAndTheWindowStillWorks()
    {
        QVERIFY(QDir().mkpath(TexturePath()));    // a folder where the file should go
        StartProgram();
        QCOMPARE(harness.messages->errors.size(), 1);
        const QString error = harness.messages->errors.first();
        QVERIFY2(error.startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(QDir::toNativeSeparators(TexturePath())))
                     && error.endsWith(QLatin1Char('.')) && !error.endsWith(QStringLiteral("..")),
                 qPrintable(error));
        QVERIFY(ShowCube());
        QVERIFY(!about->HasTexture());
        about->hide();
        const OpenSnapshot seen = OpenAndClose([this] { about->close(); });
        QVERIFY(seen.visible);
        QVERIFY(QFileInfo(TexturePath()).isDir());   // closing deletes no folder
    }

    void textsAndHeightsFollowTheLanguage_data()
    {
        QTest::addColumn<bool>("russian");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("thanks");
        QTest::addColumn<QString>("ok");
        QTest::addColumn<QString>("firstParagraph");
        QTest::addColumn<int>("notesHeight");
        QTest::addColumn<int>("panelHeight");
        QTest::addColumn<int>("okTop");
        QTest::addColumn<int>("clientHeight");
        QTest::newRow("English") << false << "About" << "Notes" << "Inspired by Varnok" << "OK"
                                 << "Click the algorithm thumbnail to enable or disable this algorithm.\r\n"
                                 << 93 << 127 << 238 << 272;
        QTest::newRow("Russian") << true << "О программе" << "Примечания по использованию"
                                 << "За вдохновение спасибо Varnok" << "ОК"
                                 << "Щелкните картинку любого алгоритма в таблице, чтобы включить или выключить его. \r\n"
                                 << 146 << 180 << 291 << 325;
    }

    void textsAndHeightsFollowTheLanguage()
    {
        QFETCH(bool, russian);
        StartProgram();
        harness.form->state.russianInterface = russian;
        const OpenSnapshot seen = OpenAndClose([this] { about->BitBtn1->click(); });
        QVERIFY(seen.visible);
        QTEST(seen.title, "title");
        QTEST(seen.heading, "heading");
        QTEST(seen.thanks, "thanks");
        QTEST(seen.ok, "ok");
        QFETCH(QString, firstParagraph);
        QVERIFY(seen.notes.startsWith(firstParagraph));
        QCOMPARE(seen.notes.count(QStringLiteral("\r\n")), 2);
        QVERIFY(seen.notes.endsWith(QStringLiteral("$00BBGGRR.")));
        QTEST(seen.notesHeight, "notesHeight");
        QTEST(seen.panelHeight, "panelHeight");
        QTEST(seen.okTop, "okTop");
        QTEST(seen.clientHeight, "clientHeight");
        QVERIFY2(qAbs(seen.centreOffset.x()) <= 1 && qAbs(seen.centreOffset.y()) <= 1,
                 qPrintable(QStringLiteral("%1,%2").arg(seen.centreOffset.x()).arg(seen.centreOffset.y())));
        QCOMPARE(about->minimumSize(), about->maximumSize());   // fixed-size frame
        QCOMPARE(about->width(), 385);
    }

    void closingByTheTitleBarActsLikeOk()
    {
        StartProgram();
        QPushButton* start = harness.form->BitBtn1;
        QVERIFY(start);
        harness.form->BitBtn9->setFocus();
        OpenAndClose([this] { about->close(); });
        QCOMPARE(about->result(), int(QDialog::Accepted));
        QVERIFY(!about->isVisible());
        QCOMPARE(harness.form->focusWidget(), start);

        // With Start disabled the focus stays where it was.
        start->setEnabled(false);
        harness.form->BitBtn9->setFocus();
        OpenAndClose([this] { about->close(); });
        QCOMPARE(about->result(), int(QDialog::Accepted));
        QCOMPARE(harness.form->focusWidget(), harness.form->BitBtn9);
    }

    // Under a window manager the frame of the first opening is not known
    // until the window is on screen; it is still centred like later ones.
    void firstOpeningIsCentredUnderAWindowManager()
    {
        QProcess openbox;
        if (!StartWindowManager(openbox))
            QSKIP("needs openbox and xprop");
        StartProgram();
        QTRY_VERIFY(harness.form->frameGeometry().size() != harness.form->size());   // managed
        const auto offset = [this] { return about->frameGeometry().center() - harness.form->frameGeometry().center(); };
        const auto framedAndCentred = [&] {
            const QPoint off = offset();
            return about->frameGeometry().size() != about->size() && qAbs(off.x()) <= 1 && qAbs(off.y()) <= 1;
        };
        QList<QPoint> seen;
        for (int opening = 0; opening < 2; ++opening)
            OpenAndClose([&] {
                const bool centred = QTest::qWaitFor(framedAndCentred);
                Q_UNUSED(centred);   // the offsets recorded below tell
                seen << about->frameGeometry().topLeft() << offset();
                about->close();
            });
        openbox.terminate();
        openbox.waitForFinished();
        QCOMPARE(seen.size(), 4);
        QVERIFY2(qAbs(seen[1].x()) <= 1 && qAbs(seen[1].y()) <= 1,
                 qPrintable(QStringLiteral("first opening off by %1,%2").arg(seen[1].x()).arg(seen[1].y())));
        QCOMPARE(seen[0], seen[2]);   // the same place as the second opening
    }

    void authorsLineNamesTheDevelopersInBold()
    {
        StartProgram();
        const QList<QLabel*> pieces{about->Label4, about->Label5, about->Label6, about->Label7};
        int left = 10;
        for (QLabel* piece : pieces) {
            QCOMPARE(piece->x(), left);
            QCOMPARE(piece->y(), 45);
            QCOMPARE(piece->height(), 19);
            left += piece->width();
        }
        QVERIFY(left <= about->Panel3->width());
        QVERIFY(about->Label5->font().bold() && about->Label7->font().bold());
        QVERIFY(!about->Label4->font().bold() && !about->Label6->font().bold());
        QVERIFY(about->Label5->text().contains(QStringLiteral("Tesselo")));
        QCOMPARE(about->Label1->text(), QStringLiteral("Tesselo v.1"));
        QCOMPARE(about->Label1->font().pixelSize(), 21);
    }
};

int main(int argc, char** argv)
{
    if (argc >= 2 && qstrcmp(argv[1], "--load-cube-plugin") == 0) {
        QCoreApplication application(argc, argv);
        QString why;
        std::printf("%s\n", LoadCubeViewFactory(&why) ? "loaded" : qPrintable(why));
        return 0;
    }
    QApplication application(argc, argv);
    application.setAttribute(Qt::AA_Use96Dpi, true);
    AboutWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_gl_about.moc"
