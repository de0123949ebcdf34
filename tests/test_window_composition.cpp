// The main window's controls as built: names, bounds, visibility, focus and
// tab order, the tiles with their children and stacking, and the custom
// controls drawn as the user sees them (LED bar, stopwatch digits, veil).

#include "support/harness.h"
#include "window/controls.h"
#include "window/fonts.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QToolTip>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScrollArea>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

const QByteArray kEnglish = "[Settings]\nLanguage=en\n";

QImage Render(QWidget* widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The lit segments of a bar, read from the middle pixel of each segment.
int LitSegments(LedBar& bar)
{
    const QImage image = Render(&bar);
    int lit = 0;
    for (int segment = 0; segment < 10; ++segment)
        lit += QColor(image.pixel(1 + segment * 7 + 3, 13)) == bar.BarColour() ? 1 : 0;
    return lit;
}

// The next control in the focus chain that Tab can reach.
QWidget* NextTabStop(QWidget* widget)
{
    QWidget* next = widget->nextInFocusChain();
    while (next != widget && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    return next;
}

}   // namespace

class WindowCompositionTest : public QObject {
    Q_OBJECT

private slots:
    void trainingColumnControls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("bounds");
        QTest::addColumn<bool>("shown");
        QTest::newRow("Image1") << "Image1" << QRect(32, 16, 216, 216) << true;
        QTest::newRow("Bevel1") << "Bevel1" << QRect(30, 14, 1, 220) << true;
        QTest::newRow("Bevel2") << "Bevel2" << QRect(249, 14, 1, 220) << true;
        QTest::newRow("Bevel3") << "Bevel3" << QRect(30, 14, 220, 1) << true;
        QTest::newRow("Bevel4") << "Bevel4" << QRect(30, 233, 220, 1) << true;
        QTest::newRow("Label2") << "Label2" << QRect(2, 6, 97, 17) << false;
        QTest::newRow("Edit1") << "Edit1" << QRect(104, 3, 25, 21) << false;
        QTest::newRow("UpDown1") << "UpDown1" << QRect(129, 3, 16, 21) << false;
        QTest::newRow("BitBtn4") << "BitBtn4" << QRect(8, 44, 119, 25) << false;
        QTest::newRow("BitBtn5") << "BitBtn5" << QRect(136, 44, 119, 25) << false;
        QTest::newRow("RzPanel1") << "RzPanel1" << QRect(31, 240, 218, 61) << false;
        QTest::newRow("res") << "res" << QRect(8, 312, 265, 17) << false;
        QTest::newRow("BitBtn1") << "BitBtn1" << QRect(16, 336, 75, 30) << true;
        QTest::newRow("BitBtn2") << "BitBtn2" << QRect(102, 336, 75, 30) << true;
        QTest::newRow("BitBtn3") << "BitBtn3" << QRect(188, 336, 75, 30) << true;
        QTest::newRow("BitBtn6") << "BitBtn6" << QRect(144, 397, 89, 25) << true;
        QTest::newRow("BitBtn8") << "BitBtn8" << QRect(238, 397, 25, 25) << true;
        QTest::newRow("BitBtn10") << "BitBtn10" << QRect(144, 429, 119, 25) << true;
        QTest::newRow("CheckBox1") << "CheckBox1" << QRect(17, 464, 249, 17) << false;
        QTest::newRow("BitBtn7") << "BitBtn7" << QRect(16, 495, 119, 25) << true;
        QTest::newRow("BitBtn9") << "BitBtn9" << QRect(144, 495, 119, 25) << true;
        QTest::newRow("OLLhints") << "OLLhints" << QRect(-8, 216, 73, 113) << false;
        QTest::newRow("PLLhints") << "PLLhints" << QRect(16, 120, 49, 97) << false;
        QTest::newRow("exdone") << "exdone" << QRect(160, 576, 121, 257) << false;
    }

    void trainingColumnControls()
    {
        QFETCH(QString, name);
        QFETCH(QRect, bounds);
        QFETCH(bool, shown);
        Harness h;
        h.WriteSettings(kEnglish);
        TForm1* form = h.Start();
        auto* control = h.Find<QWidget>(name);
        QVERIFY2(control, qPrintable(name));
        QCOMPARE(control->parentWidget(), name == "Label1" ? form->RzPanel1 : static_cast<QWidget*>(form));
        QCOMPARE(control->geometry(), bounds);
        QCOMPARE(control->isVisible(), shown);
    }

    void focusAndTabOrder()
    {
        Harness h;
        h.WriteSettings(kEnglish);
        TForm1* form = h.Start();
        for (QWidget* silent : {static_cast<QWidget*>(form->Image1), static_cast<QWidget*>(form->BitBtn8),
                                static_cast<QWidget*>(form->Label4), static_cast<QWidget*>(form->res),
                                static_cast<QWidget*>(form->RzPanel1), static_cast<QWidget*>(form->ScrollBox1)})
            QCOMPARE(silent->focusPolicy(), Qt::NoFocus);
        const QList<QWidget*> order = {form->BitBtn1, form->BitBtn2,  form->BitBtn3, form->Edit1,   form->UpDown1,
                                       form->BitBtn4, form->BitBtn5,  form->BitBtn6, form->OLLhints, form->PLLhints,
                                       form->BitBtn9, form->BitBtn7,  form->exdone,  form->BitBtn10, form->CheckBox1};
        for (qsizetype i = 1; i < order.size(); ++i)
            QCOMPARE(NextTabStop(order[i - 1]), order[i]);
    }

    void stopwatchPanelAndTimers()
    {
        Harness h;
        h.WriteSettings(kEnglish);
        TForm1* form = h.Start();
        QCOMPARE(form->Label1->parentWidget(), form->RzPanel1);
        QCOMPARE(form->Label3->parentWidget(), form->RzPanel1);
        QCOMPARE(form->Label1->geometry(), QRect(6, 4, 180, 53));
        QCOMPARE(form->Label3->geometry(), QRect(6, 4, 180, 53));
        // The reading stands in front of its backdrop.
        const QObjectList& stack = form->RzPanel1->children();
        QVERIFY(stack.indexOf(form->Label3) < stack.indexOf(form->Label1));
        QCOMPARE(form->Label3->text(), QStringLiteral("88,888"));
        QCOMPARE(form->Label1->text(), QStringLiteral("0"));
        QCOMPARE(form->Timer1->interval(), 10);
        QCOMPARE(form->Timer2->interval(), 1000);
        QVERIFY(!form->Timer1->isActive());
        QVERIFY(!form->Timer2->isActive());
        QCOMPARE(form->UpDown1->Minimum(), 2);
        QCOMPARE(form->UpDown1->Maximum(), 5);
        QCOMPARE(form->Edit1->text(), QStringLiteral("2"));
        QCOMPARE(form->N1->objectName(), QStringLiteral("N1"));
        QCOMPARE(form->PopupMenu1->actions().value(0), form->N1);   // "Progress…" follows it (history/)
        QVERIFY(!form->N1->icon().isNull());
        QVERIFY(!form->BitBtn8->icon().isNull());
        QCOMPARE(form->BitBtn8->toolTip(), QStringLiteral("Clear results"));
        QVERIFY(form->CheckBoxSplit->toolTip().contains(QStringLiteral("marks the end of recognition")));
    }

    void hiddenListsHoldTheBuiltInHints()
    {
        Harness h;
        h.WriteSettings(kEnglish);
        TForm1* form = h.Start();
        QCOMPARE(form->OLLhints->count(), 57);
        QCOMPARE(form->PLLhints->count(), 21);
        QCOMPARE(form->exdone->count(), 0);
        QCOMPARE(form->OLLhints->item(0)->text(), QStringLiteral("R2' D R' U2 R D' R' U2 R'"));
        QCOMPARE(form->OLLhints->item(56)->text(), QStringLiteral("R U R' U' R U' R' F' U' F R U R'"));
        QCOMPARE(form->PLLhints->item(20)->text(), QStringLiteral("F R U' R' U' R U R' F' R U R' U' R' F R F'"));
    }

    void tilesWithTheirChildren()
    {
        Harness h;
        h.WriteSettings(kEnglish);
        TForm1* form = h.Start();
        for (int n = 1; n <= 57; ++n) {
            CaseTile* tile = h.Find<CaseTile>(QString::asprintf("oll%d", n));
            QVERIFY(tile);
            QCOMPARE(tile, form->Tile(n));
            QCOMPARE(tile->size(), QSize(150, 75));
            QCOMPARE(tile->parentWidget(), form->tileContent);
            QCOMPARE(tile->findChild<PictureBox*>(QString::asprintf("ioll%d", n)), tile->ioll);
            QCOMPARE(tile->findChild<PictureBox*>(QString::asprintf("bioll%d", n)), tile->bioll);
            QCOMPARE(tile->findChild<LedBar*>(QString::asprintf("proll%d", n)), tile->proll);
            for (const char* format : {"acoll%d", "avoll%d", "bcoll%d", "bvoll%d", "ncoll%d", "nvoll%d"})
                QVERIFY(tile->findChild<QLabel*>(QString::asprintf(format, n)));
        }
        CaseTile* tile = form->Tile(9);
        QCOMPARE(tile->ioll->geometry(), QRect(2, 2, 72, 72));
        QCOMPARE(tile->bioll->geometry(), QRect(2, 2, 72, 72));
        QCOMPARE(tile->proll->geometry(), QRect(76, 2, 72, 26));
        QCOMPARE(tile->acoll->pos(), QPoint(80, 28));
        QCOMPARE(tile->avoll->pos(), QPoint(110, 28));
        QCOMPARE(tile->bcoll->pos(), QPoint(80, 43));
        QCOMPARE(tile->bvoll->pos(), QPoint(110, 43));
        QCOMPARE(tile->ncoll->pos(), QPoint(80, 58));
        QCOMPARE(tile->nvoll->pos(), QPoint(110, 58));
        QCOMPARE(tile->acoll->text(), QStringLiteral("Avg:"));
        QCOMPARE(tile->bcoll->text(), QStringLiteral("Best:"));
        QCOMPARE(tile->ncoll->text(), QStringLiteral("Num:"));
        QVERIFY(tile->acoll->font().bold());
        QVERIFY(tile->avoll->font().bold());
        QVERIFY(!tile->bvoll->font().bold());
        // Bottom to top.
        const QList<QObject*> expected = {tile->ioll,  tile->acoll, tile->proll, tile->bcoll, tile->ncoll,
                                          tile->nvoll, tile->bvoll, tile->avoll, tile->bioll};
        QList<QObject*> widgets;
        for (QObject* child : tile->children())
            if (child->isWidgetType())
                widgets << child;
        QCOMPARE(widgets, expected);
    }

    void veilIsTranslucentWhite()
    {
        Harness h;
        h.WriteSettings(kEnglish + "al4=1\n");
        TForm1* form = h.Start();
        const QImage veil = form->Tile(4)->bioll->Picture();
        QCOMPARE(veil.size(), QSize(72, 72));
        QCOMPARE(QColor::fromRgba(veil.pixel(0, 0)), QColor(255, 255, 255, 153));
        QCOMPARE(QColor::fromRgba(veil.pixel(71, 71)), QColor(255, 255, 255, 153));
        QVERIFY(form->Tile(4)->bioll->isVisible());
        QVERIFY(!form->Tile(3)->bioll->isVisible());
        // Drawn over the thumbnail it washes it out: every channel moves 60 % of
        // the way to white.
        const QImage tile = Render(form->Tile(4));
        const QImage thumbnail = Render(form->Tile(4)->ioll);
        for (const QPoint& at : {QPoint(36, 36), QPoint(10, 60), QPoint(5, 5)}) {
            const QColor under(thumbnail.pixel(at));
            const QColor washed(tile.pixel(at + QPoint(2, 2)));
            for (auto [shown, original] : {std::pair{washed.red(), under.red()}, std::pair{washed.green(), under.green()},
                                           std::pair{washed.blue(), under.blue()}})
                QVERIFY2(std::abs(shown - (original * 102 + 255 * 153) / 255) <= 2, qPrintable(washed.name()));
        }
    }

    void ledBarLightsWholeSegments_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("lit");
        QTest::newRow("0 %") << 0 << 0;
        QTest::newRow("9 %") << 9 << 0;
        QTest::newRow("10 %") << 10 << 1;
        QTest::newRow("77 %") << 77 << 7;
        QTest::newRow("100 %") << 100 << 10;
    }

    void ledBarLightsWholeSegments()
    {
        QFETCH(int, level);
        QFETCH(int, lit);
        LedBar bar;
        bar.resize(72, 26);
        bar.SetColours(QColor(0x42, 0xBB, 0x42), QColor(0xB9, 0xFF, 0xB9));
        bar.SetLevel(level);
        QCOMPARE(LitSegments(bar), lit);
        // Every lit segment is a 7 x 26 cell whose border shows the back colour,
        // and both 1-pixel ends are back colour too.
        const QImage image = Render(&bar);
        const QColor back = bar.BackColour();
        for (int segment = 0; segment < lit; ++segment) {
            const int left = 1 + segment * 7;
            QCOMPARE(QColor(image.pixel(left, 13)), back);
            QCOMPARE(QColor(image.pixel(left + 6, 13)), back);
            QCOMPARE(QColor(image.pixel(left + 3, 0)), back);
            QCOMPARE(QColor(image.pixel(left + 3, 25)), back);
            QCOMPARE(QColor(image.pixel(left + 1, 1)), bar.BarColour());
            QCOMPARE(QColor(image.pixel(left + 5, 24)), bar.BarColour());
        }
        QCOMPARE(QColor(image.pixel(0, 13)), back);
        QCOMPARE(QColor(image.pixel(71, 13)), back);
    }

    void stopwatchDrawsTheCommaAsTheFontsPoint()
    {
        QWidget panel;
        panel.resize(218, 61);
        StopwatchLabel withComma(&panel);
        StopwatchLabel withPoint(&panel);
        for (StopwatchLabel* label : {&withComma, &withPoint}) {
            label->setGeometry(6, 4, 180, 53);
            QFont font(QStringLiteral("DejaVu Sans"));
            font.setPixelSize(30);
            label->setFont(font);
        }
        withComma.setText(QStringLiteral("15,429"));
        withPoint.setText(QStringLiteral("15.429"));
        QCOMPARE(withComma.text(), QStringLiteral("15,429"));
        QCOMPARE(Render(&withComma), Render(&withPoint));
        QLabel plain(&panel);
        plain.setGeometry(6, 4, 180, 53);
        plain.setFont(withComma.font());
        plain.setAlignment(withComma.alignment());
        plain.setText(QStringLiteral("15,429"));
        QVERIFY(Render(&plain) != Render(&withComma));
    }

    void upDownStepsWithinItsRangeAndShowsInTheField()
    {
        QLineEdit field;
        UpDown upDown;
        upDown.resize(16, 21);
        upDown.SetRange(2, 5);
        upDown.SetBuddy(&field);
        QCOMPARE(field.text(), QStringLiteral("2"));
        QTest::mouseClick(&upDown, Qt::LeftButton, {}, QPoint(8, 3));
        QCOMPARE(upDown.Position(), 3);
        QCOMPARE(field.text(), QStringLiteral("3"));
        field.setText(QStringLiteral("5"));
        QTest::mouseClick(&upDown, Qt::LeftButton, {}, QPoint(8, 3));
        QCOMPARE(field.text(), QStringLiteral("5"));
        QTest::mouseClick(&upDown, Qt::LeftButton, {}, QPoint(8, 18));
        QCOMPARE(field.text(), QStringLiteral("4"));
        for (int i = 0; i < 5; ++i)
            upDown.StepBy(-1);
        QCOMPARE(field.text(), QStringLiteral("2"));
    }

    void statusBarPanels()
    {
        Harness h;
        h.WriteSettings(kEnglish);
        TForm1* form = h.Start();
        form->resize(800, 644);
        PanelStatusBar* bar = form->StatusBar1;
        QCOMPARE(bar->PanelWidth(0), 130);
        QCOMPARE(bar->PanelWidth(1), 140);
        QCOMPARE(bar->PanelWidth(2), 140);
        QCOMPARE(bar->PanelWidth(3), form->frameGeometry().width() - 540);
        QCOMPARE(bar->PanelWidth(4), 50);
        QCOMPARE(bar->PanelAlignment(3), Qt::AlignRight);
        QCOMPARE(bar->PanelAlignment(0), Qt::AlignHCenter);
        // The last panel reaches to the right end of the bar.
        QCOMPARE(bar->PanelRect(4).right(), bar->width() - 3);
        QCOMPARE(bar->PanelRect(1).left(), 130);
    }

    void resultLineReportsPresses()
    {
        Harness h;
        h.WriteSettings(kEnglish);
        TForm1* form = h.Start();
        auto* line = qobject_cast<ResultLabel*>(form->res);
        QVERIFY(line);
        QSignalSpy spy(line, &ResultLabel::MouseDown);
        form->res->show();
        QTest::mousePress(form->res, Qt::RightButton, {}, QPoint(20, 5));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy[0][0].value<Qt::MouseButton>(), Qt::RightButton);
        QCOMPARE(spy[0][1].toPoint(), form->res->mapToGlobal(QPoint(20, 5)));
    }

    // The boxes of the start-up, shown before the main window exists, and the
    // tooltips are windows of their own: they are dressed like every other box.
    void smallWindowsUseTahomaAndTheInterfaceLanguage()
    {
        QTemporaryDir dir;
        QFile settings(dir.filePath("Settings.ini"));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[Settings]\r\nLanguage=en\r\n[Tuning]\r\nTimerBack=word\r\n");
        settings.close();
        QVERIFY(QDir(dir.path()).mkdir("digital.ttf"));   // the font's two messages, in Russian only
        Environment env;
        env.files = FileLocations::Portable(dir.path());
        env.clock = std::make_shared<ManualClock>();
        env.random = std::make_shared<SeededRandom>(1);
        env.systemLanguage = [] { return QStringLiteral("ru_RU"); };
        QStringList seen;   // per box: the text's font family and size, then the buttons
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&seen] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            const QFont font = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->font();
            seen << font.family() + QString::number(font.pixelSize());
            for (QAbstractButton* button : box->buttons())
                seen << button->text() + QStringLiteral(" ") + button->font().family();
            box->accept();
        });
        closer.start(0);
        Program program(env);
        closer.stop();
        const QString tahoma = InterfaceFont(11).family() + QStringLiteral("11");
        const QString russian = QStringLiteral("ОК ") + InterfaceFont(11).family();
        const QString english = QStringLiteral("OK ") + InterfaceFont(11).family();
        QCOMPARE(seen, (QStringList{tahoma, russian, tahoma, russian, tahoma, english}));
        QCOMPARE(QToolTip::font().family() + QString::number(QToolTip::font().pixelSize()), tahoma);
    }
};

QTEST_MAIN(WindowCompositionTest)
#include "test_window_composition.moc"
