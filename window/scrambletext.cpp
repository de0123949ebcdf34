#include "window/scrambletext.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int kSmallestSize = 8;
constexpr int kLargestSize = 160;

QStringList Turns(const QString& text) { return text.split(QLatin1Char(' '), Qt::SkipEmptyParts); }

bool Fits(const QFont& font, const QStringList& lines, const QSize& box)
{
    const QFontMetrics metrics(font);
    if (metrics.lineSpacing() * lines.size() > box.height())
        return false;
    return std::all_of(lines.begin(), lines.end(),
                       [&](const QString& line) { return metrics.horizontalAdvance(line) <= box.width(); });
}

// The largest size at which the lines fit, by bisection; 0 when none does.
int LargestFittingSize(const QFont& face, const QStringList& lines, const QSize& box)
{
    int fits = 0, fails = kLargestSize + 1;
    while (fails - fits > 1) {
        const int size = (fits + fails) / 2;
        if (size >= kSmallestSize && !Fits(SpacedForTurns(face, size), lines, box))
            fails = size;
        else
            fits = size;
    }
    return fits >= kSmallestSize ? fits : 0;
}

}  // namespace

QStringList ScrambleLines(const QString& turns, int lineCount)
{
    const QStringList all = Turns(turns);
    QStringList lines;
    qsizetype next = 0;
    for (int line = 0; line < lineCount && next < all.size(); ++line) {
        const qsizetype left = all.size() - next;
        const qsizetype take = (left + (lineCount - line) - 1) / (lineCount - line);
        lines << all.mid(next, take).join(QLatin1Char(' '));
        next += take;
    }
    return lines;
}

QFont SpacedForTurns(QFont face, int pixelSize)
{
    face.setPixelSize(pixelSize);
    face.setLetterSpacing(QFont::AbsoluteSpacing, std::max(1.0, pixelSize * 0.08));
    face.setWordSpacing(pixelSize * 0.15);
    return face;
}

FittedScramble FitScramble(const QFont& face, const QString& turns, const QSize& box)
{
    const qsizetype count = Turns(turns).size();
    FittedScramble best{SpacedForTurns(face, kSmallestSize), ScrambleLines(turns, count <= 4 ? 1 : 2)};
    int bestSize = 0;
    // Fewer lines first: a larger size wins, a tie keeps fewer lines.
    for (int lineCount = count <= 4 ? 1 : 2; lineCount <= 3; ++lineCount) {
        const QStringList lines = ScrambleLines(turns, lineCount);
        const int size = LargestFittingSize(face, lines, box);
        if (size > bestSize) {
            bestSize = size;
            best = {SpacedForTurns(face, size), lines};
        }
    }
    return best;
}

void ScrambleText::paintEvent(QPaintEvent*)
{
    const FittedScramble fitted = Fitted();
    QPainter painter(this);
    painter.setFont(fitted.font);
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics metrics(fitted.font);
    const QRect box = contentsRect();
    const int height = metrics.lineSpacing() * static_cast<int>(fitted.lines.size());
    int top = box.top() + (box.height() - height) / 2;
    for (const QString& line : fitted.lines) {
        painter.drawText(QRect(box.left(), top, box.width(), metrics.lineSpacing()), Qt::AlignCenter, line);
        top += metrics.lineSpacing();
    }
}
