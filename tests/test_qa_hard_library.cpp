// The Hard level out of the box: a fresh program folder holding the picture
// library that the build generates, switched to Hard with the window's own
// buttons. Every attempt must show a generated picture of the drawn case at
// the end of the countdown and, for PLL, its answer at Stop or at a give-up,
// without a single message box.

#include "support/harness.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTimer>

namespace {

const QString kBuiltLibrary = QStringLiteral(TESSELO_BUILD_DIR "/Images");

// The program folder gets the generated library as the install lays it out.
bool LinkLibrary(Harness& h)
{
    if (!QDir().mkpath(h.Path(QStringLiteral("Images"))))
        return false;
    for (const char* family : {"OLL-2", "PLL-2", "PLL-2-sides"}) {
        const QString name = QString::fromLatin1(family);
        if (!QFile::link(kBuiltLibrary + u'/' + name, h.Path(QStringLiteral("Images/") + name)))
            return false;
    }
    return true;
}

QImage Comparable(const QImage& image)
{
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage BuiltPicture(const QString& relative)
{
    return Comparable(QImage(kBuiltLibrary + u'/' + relative));
}

QString DrawnFile(const TForm1* f)
{
    return f->state.pictureFiles.value(f->state.pictureIndex);
}

// Start, two countdown ticks; the stopwatch runs with the question shown.
void RunToQuestion(Harness& h)
{
    QTest::mouseClick(h.form->BitBtn1, Qt::LeftButton);
    while (h.form->Timer2->isActive()) {
        h.clock->Advance(1000);
        h.form->Timer2Timer();
    }
}

} // namespace

class QaHardLibraryTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void freshStartShowsGeneratedPictures_data();
    void freshStartShowsGeneratedPictures();
    void giveUpShowsTheGeneratedAnswer_data();
    void giveUpShowsTheGeneratedAnswer();
};

void QaHardLibraryTest::initTestCase()
{
    // Built with the program: the tests must find it, not skip.
    for (const char* family : {"OLL-2/1/1.gif", "PLL-2/Answers/21/4.gif", "PLL-2-sides/Answers/1/1.gif"})
        QVERIFY2(QFile::exists(kBuiltLibrary + u'/' + QLatin1String(family)), family);
}

void QaHardLibraryTest::freshStartShowsGeneratedPictures_data()
{
    QTest::addColumn<bool>("pll");
    QTest::addColumn<bool>("twoSides");
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("picturesPerCase");
    QTest::newRow("OLL Hard") << false << false << "OLL-2" << 8;
    QTest::newRow("PLL Hard") << true << false << "PLL-2" << 4;
    QTest::newRow("PLL Hard, 2-side recognition") << true << true << "PLL-2-sides" << 4;
}

void QaHardLibraryTest::freshStartShowsGeneratedPictures()
{
    QFETCH(bool, pll);
    QFETCH(bool, twoSides);
    QFETCH(QString, family);
    QFETCH(int, picturesPerCase);
    Harness h;
    QVERIFY(LinkLibrary(h));
    TForm1* f = h.Start();   // no Settings.ini: a first run, OLL at Easy
    if (pll)
        QTest::mouseClick(f->BitBtn6, Qt::LeftButton);
    QTest::mouseClick(f->BitBtn10, Qt::LeftButton);
    QCOMPARE(f->state.level, Level::Hard);
    QCOMPARE(f->CheckBox1->isVisible(), pll);
    if (twoSides)
        QTest::mouseClick(f->CheckBox1, Qt::LeftButton, {}, QPoint(6, 8));
    QCOMPARE(f->CheckBox1->isChecked(), twoSides);

    QSet<QString> filesShown;
    QSet<int> casesDrawn;
    for (int attempt = 1; attempt <= 12; ++attempt) {
        RunToQuestion(h);
        QVERIFY(f->Timer1->isActive());
        const int n = f->state.currentCase;
        const QString file = DrawnFile(f);
        QCOMPARE(f->state.pictureFiles.size(), picturesPerCase);
        const QImage question = BuiltPicture(QStringLiteral("%1/%2/%3").arg(family).arg(n).arg(file));
        QVERIFY2(!question.isNull(), qPrintable(file));
        QCOMPARE(Comparable(f->Image1->Picture()), question);

        h.Tick(1234);
        QTest::mouseClick(f->BitBtn1, Qt::LeftButton);   // Stop
        const QImage atStop = Comparable(f->Image1->Picture());
        if (pll) {
            const QImage answer = BuiltPicture(QStringLiteral("%1/Answers/%2/%3").arg(family).arg(n).arg(file));
            QVERIFY(answer != question);
            QCOMPARE(atStop, answer);
        } else {
            QCOMPARE(atStop, question);   // OLL has no answers
        }
        QTest::mouseClick(f->BitBtn2, Qt::LeftButton);   // Accept
        QCOMPARE(f->Tile(n)->bvoll->text(), QStringLiteral("1,234"));
        filesShown << file;
        casesDrawn << n;
    }
    QVERIFY(h.messages->shown.isEmpty());
    QVERIFY(h.messages->errors.isEmpty());
    QVERIFY(filesShown.size() > 1);   // the draw goes over the case's files
    QVERIFY(casesDrawn.size() > 1);
}

void QaHardLibraryTest::giveUpShowsTheGeneratedAnswer_data()
{
    QTest::addColumn<bool>("twoSides");
    QTest::addColumn<QString>("family");
    QTest::newRow("PLL-2") << false << "PLL-2";
    QTest::newRow("PLL-2-sides") << true << "PLL-2-sides";
}

void QaHardLibraryTest::giveUpShowsTheGeneratedAnswer()
{
    QFETCH(bool, twoSides);
    QFETCH(QString, family);
    Harness h;
    QVERIFY(LinkLibrary(h));
    h.WriteSettings(QByteArray("[Settings]\nLanguage=en\nmode=PLL\npmode=1\n1-layers=") + (twoSides ? "1" : "0") + "\n");
    TForm1* f = h.Start();

    RunToQuestion(h);
    h.Tick(800);
    QTest::mouseClick(f->Image1, Qt::LeftButton);   // give up
    const QString answer = QStringLiteral("%1/Answers/%2/%3").arg(family).arg(f->state.currentCase).arg(DrawnFile(f));
    QCOMPARE(Comparable(f->Image1->Picture()), BuiltPicture(answer));
    QVERIFY(!f->state.attemptActive);
    QVERIFY(f->RzPanel1->isHidden());
    QVERIFY(h.messages->shown.isEmpty());
    QVERIFY(h.messages->errors.isEmpty());
}

QTEST_MAIN(QaHardLibraryTest)
#include "test_qa_hard_library.moc"
