#pragma once
// The setup scramble over the picture frame, read with a cube in the hands
// from an arm's length: as large as its box allows, on two or three lines that
// break only between turns, with the primes and twos set clearly apart from
// their letters.

#include <QFont>
#include <QLabel>
#include <QSize>
#include <QStringList>

// The largest font for the turns in the box and the lines they go on.
struct FittedScramble {
    QFont font;
    QStringList lines;
};

// The turns split into `lineCount` lines of nearly equal counts, the longer
// lines first, each turn whole.
QStringList ScrambleLines(const QString& turns, int lineCount);

// The face spaced for turns: a little room after every character, so that
// `'` and `2` never touch their letter, and a wide gap between turns.
QFont SpacedForTurns(QFont face, int pixelSize);

// The largest pixel size of the face at which the turns fit the box on two
// or three lines (one when there are only a few turns).
FittedScramble FitScramble(const QFont& face, const QString& turns, const QSize& box);

class ScrambleText : public QLabel {
public:
    using QLabel::QLabel;

    // What the text is drawn with at the label's present size.
    FittedScramble Fitted() const { return FitScramble(font(), text(), contentsRect().size()); }

protected:
    void paintEvent(QPaintEvent* event) override;
};
