// What a user meets around the cycle: the 2-side box ticked with the mouse
// keeps Space on Start, the message boxes and the hint menu speak the
// interface language in the program's font, an enlarged case picture keeps
// sharp edges, and a window kept maximised does not creep from run to run.

#include "support/harness.h"
#include "window/fonts.h"
#include "window/controls.h"
#include "window/messageboxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTimer>

namespace {

QByteArray PllHardSettings(const char* language)
{
    return QByteArray("[Settings]\nLanguage=") + language + "\nmode=PLL\npmode=1\n";
}

struct SeenBox {
    QStringList buttonTexts;
    bool buttonsWithIcons = false;
    QString fontFamily;
};

// Runs show() (which opens a modal box) and answers the box by the button
// with the given role once the box is up, recording what it showed.
template <typename Show> SeenBox AnswerBox(QMessageBox::StandardButton answer, Show&& show)
{
    SeenBox seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        for (QAbstractButton* button : box->buttons()) {
            seen.buttonTexts << button->text();
            seen.buttonsWithIcons |= !button->icon().isNull();
        }
        seen.fontFamily = box->font().family();
        box->button(answer)->click();
    });
    show();
    seen.buttonTexts.sort();
    return seen;
}

} // namespace

class QaUsabilityTest : public QObject {
    Q_OBJECT

private slots:
    void tickingTheCheckBoxKeepsSpaceOnStart();
    void messageBoxesSpeakTheInterfaceLanguage_data();
    void messageBoxesSpeakTheInterfaceLanguage();
    void enlargedPicturesStaySharp();
    void maximisedRunsKeepTheNormalBounds();
    void enterAfterARefusedShutDownWriteLosesNothing();
};

// Enter pressed out of habit on the boxes that follow a refused write at
// shut-down: the error is acknowledged, and "close without saving?" is
// answered No, so the window and its results stay.
void QaUsabilityTest::enterAfterARefusedShutDownWriteLosesNothing()
{
    Harness h;
    TForm1* f = h.Start();
    auto boxes = std::make_shared<QtMessages>();
    boxes->SetParent(f);
    f->env.messages = boxes;
    QVERIFY(QFile::remove(h.Path("Settings.ini")));   // every write now refused
    QVERIFY(QDir(h.Folder()).mkdir("Settings.ini"));
    int answered = 0;
    QTimer enter;
    QObject::connect(&enter, &QTimer::timeout, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            ++answered;
            QTest::keyClick(box, Qt::Key_Return);
        }
    });
    enter.start(0);
    QVERIFY(!f->close());
    enter.stop();
    QCOMPARE(answered, 2);
    QVERIFY(f->isVisible());
    QVERIFY(QDir(h.Folder()).rmdir("Settings.ini"));
}

void QaUsabilityTest::tickingTheCheckBoxKeepsSpaceOnStart()
{
    Harness h;
    h.WriteSettings(PllHardSettings("en"));
    TForm1* f = h.Start();
    QVERIFY(f->CheckBox1->isVisible());
    QCOMPARE(f->focusWidget(), f->BitBtn1);

    QTest::mouseClick(f->CheckBox1, Qt::LeftButton, {}, QPoint(6, 8));   // on the box itself
    QVERIFY(f->CheckBox1->isChecked());
    QCOMPARE(f->focusWidget(), f->BitBtn1);

    QTest::keyClick(f->focusWidget(), Qt::Key_Space);
    QVERIFY(f->state.attemptActive);
    QVERIFY(f->CheckBox1->isChecked());   // Space started; it did not untick the box
}

void QaUsabilityTest::messageBoxesSpeakTheInterfaceLanguage_data()
{
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<QStringList>("yesNo");
    QTest::addColumn<QString>("ok");
    QTest::addColumn<QString>("menuItem");
    QTest::newRow("Russian") << QByteArray("ru") << QStringList{"Да", "Нет"} << "ОК" << "Изменить алгоритм";
    QTest::newRow("English") << QByteArray("en") << QStringList{"No", "Yes"} << "OK" << "Edit algorithm";
}

void QaUsabilityTest::messageBoxesSpeakTheInterfaceLanguage()
{
    QFETCH(QByteArray, language);
    QFETCH(QStringList, yesNo);
    QFETCH(QString, ok);
    QFETCH(QString, menuItem);
    Harness h;
    h.WriteSettings(PllHardSettings(language));
    TForm1* f = h.Start();
    QtMessages boxes;
    boxes.SetParent(f);
    const QString tahoma = InterfaceFont(11).family();

    bool answer = true;
    const SeenBox asked = AnswerBox(QMessageBox::No, [&] { answer = boxes.Ask("Start exam", "Go?"); });
    QCOMPARE(asked.buttonTexts, yesNo);
    QVERIFY(!answer);   // the No button still answers No
    QVERIFY(!asked.buttonsWithIcons);
    QCOMPARE(asked.fontFamily, tahoma);

    const SeenBox informed = AnswerBox(QMessageBox::Ok, [&] { boxes.Inform("Done."); });
    QCOMPARE(informed.buttonTexts, QStringList{ok});
    const SeenBox error = AnswerBox(QMessageBox::Ok, [&] { boxes.ShowError("Unable to write to x"); });
    QCOMPARE(error.buttonTexts, QStringList{ok});

    // The hint menu is a window of its own: it must be given the program's font.
    f->PopupMenu1Popup();
    QCOMPARE(f->N1->text(), menuItem);
    QCOMPARE(f->PopupMenu1->font().family(), tahoma);
    QCOMPARE(f->PopupMenu1->font().pixelSize(), 11);
}

// An OLL picture (72 x 72) fills the 216 x 216 case picture: every pixel
// becomes a 3 x 3 block of its own colour, with no blend at the edges.
void QaUsabilityTest::enlargedPicturesStaySharp()
{
    QImage stripes(72, 72, QImage::Format_RGB32);
    for (int x = 0; x < 72; ++x)
        for (int y = 0; y < 72; ++y)
            stripes.setPixel(x, y, x % 2 ? qRgb(255, 213, 0) : qRgb(32, 32, 32));
    PictureBox box(PictureBox::Fit::Stretch);
    box.resize(216, 216);
    box.SetPicture(stripes);
    const QImage shown = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int x = 0; x < 216; ++x)
        QCOMPARE(shown.pixel(x, 100), stripes.pixel(x / 3, 33));

    // A reduction (a PLL thumbnail) is still smoothed: stripes blend.
    PictureBox thumbnail(PictureBox::Fit::Proportional);
    thumbnail.resize(30, 30);
    thumbnail.SetPicture(stripes);
    const QImage small = thumbnail.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QSet<QRgb> colours;
    for (int x = 0; x < 30; ++x)
        colours << small.pixel(x, 10);
    QVERIFY(colours.size() > 2);
}

// A window that starts maximised and is closed maximised never had its
// normal bounds on screen: they go back to the file as they came.
void QaUsabilityTest::maximisedRunsKeepTheNormalBounds()
{
    Harness h;
    h.WriteSettings("[Settings]\nLanguage=en\n[Position]\nX=100\nY=50\nWidth=900\nHeight=700\nmax=1\n");
    const QByteArray position = "[Position]\r\nX=100\r\nY=50\r\nWidth=900\r\nHeight=700\r\nmax=1\r\n";
    for (int run = 1; run <= 3; ++run) {
        TForm1* f = h.Start();
        QVERIFY(f->isMaximized());
        h.Stop();
        QVERIFY2(h.ReadSettings().contains(position), qPrintable(QStringLiteral("run %1").arg(run)));
    }

    // Restored, the window stands where the file says.
    TForm1* f = h.Start();
    f->showNormal();
    QCOMPARE(f->frameGeometry(), QRect(100, 50, 900, 700));
}

int main(int argc, char** argv)
{
    UseDesktopSizedOffscreenScreen();
    QApplication application(argc, argv);
    application.setAttribute(Qt::AA_Use96Dpi, true);
    QaUsabilityTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_qa_usability.moc"
