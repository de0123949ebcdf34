// The setup scramble's lettering: as large as its box allows, on two or three
// lines broken only between turns, with primes and twos apart from their
// letters.

#include "window/fonts.h"
#include "window/scrambletext.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

namespace {

const QString kLongest = QStringLiteral("F' L2 B' U R' F2 D L' U2 B R2 D' F U' L B2 R'");
const QString kTypical = QStringLiteral("R B U B2 R2 D' R' D R' B U' R' U2");
const QString kShort = QStringLiteral("R U2 R' F' U' F R U R'");

// The runs of columns with ink when the text is drawn black on white.
int InkRuns(const QFont& font, const QString& text)
{
    const QFontMetrics metrics(font);
    QImage image(metrics.horizontalAdvance(text) + 8, metrics.height() + 8, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(4, 4 + metrics.ascent(), text);
    }
    int runs = 0;
    bool inInk = false;
    for (int x = 0; x < image.width(); ++x) {
        bool ink = false;
        for (int y = 0; y < image.height() && !ink; ++y)
            ink = qGray(image.pixel(x, y)) < 160;
        runs += ink && !inInk ? 1 : 0;
        inInk = ink;
    }
    return runs;
}

}  // namespace

class ScrambleTextTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { RegisterInterfaceFonts(); }

    void fillsItsBoxOnTwoOrThreeWholeLines()
    {
        const QFont face = InterfaceFont(22, true);
        for (const QString& turns : {kLongest, kTypical, kShort}) {
            int previousSize = 0;
            for (const QSize box : {QSize(208, 174), QSize(320, 260), QSize(500, 400)}) {
                const FittedScramble fitted = FitScramble(face, turns, box);
                QVERIFY2(fitted.lines.size() >= 2 && fitted.lines.size() <= 3, qPrintable(turns));
                QCOMPARE(fitted.lines.join(QLatin1Char(' ')), turns);   // no turn split, none lost
                const QFontMetrics metrics(fitted.font);
                QVERIFY(metrics.lineSpacing() * fitted.lines.size() <= box.height());
                for (const QString& line : fitted.lines)
                    QVERIFY2(metrics.horizontalAdvance(line) <= box.width(), qPrintable(line));
                // Grows with its box, and one size larger would no longer fit.
                QVERIFY(fitted.font.pixelSize() > previousSize);
                previousSize = fitted.font.pixelSize();
                const QFont larger = SpacedForTurns(face, fitted.font.pixelSize() + 1);
                const QFontMetrics largerMetrics(larger);
                bool fitsLarger = largerMetrics.lineSpacing() * fitted.lines.size() <= box.height();
                for (const QString& line : fitted.lines)
                    fitsLarger = fitsLarger && largerMetrics.horizontalAdvance(line) <= box.width();
                QVERIFY(!fitsLarger);
            }
        }
        // In the window's frame the longest scramble is larger than the 22 px it had.
        // In the window's frame: the longest at least the 22 px all had, a
        // scramble of the mean length far larger.
        const int longest = FitScramble(face, kLongest, QSize(208, 174)).font.pixelSize();
        const int typical = FitScramble(face, kTypical, QSize(208, 174)).font.pixelSize();
        qInfo("in the frame: 17 turns at %d px, 13 turns at %d px", longest, typical);
        QVERIFY(longest >= 22);
        QVERIFY(typical >= 26);
        QCOMPARE(ScrambleLines(QStringLiteral("R U R' U' F"), 2), QStringList({QStringLiteral("R U R'"), QStringLiteral("U' F")}));
    }

    void primesAndTwosStandApartFromTheirLetters()
    {
        const QFont face = InterfaceFont(22, true);
        for (int size : {16, 28, 40}) {
            const QFont spaced = SpacedForTurns(face, size);
            for (const char* turn : {"F'", "L2", "R'", "B2"})
                QVERIFY2(InkRuns(spaced, QLatin1String(turn)) == 2, turn);
        }
    }
};

QTEST_MAIN(ScrambleTextTest)
#include "test_window_scrambletext.moc"
