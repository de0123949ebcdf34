#include "tools/contactsheet.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <map>

namespace {

constexpr int kLabelScale = 2;
constexpr int kLabelHeight = 7 * kLabelScale + 4;
constexpr int kCaptionHeight = 9;  // at scale 1
constexpr int kGap = 6;

// A 3 x 5 pixel font: each glyph is five rows of three bits.
const std::map<QChar, std::array<int, 5>>& TinyFont()
{
    static const std::map<QChar, std::array<int, 5>> font = {
        {'0', {7, 5, 5, 5, 7}}, {'1', {2, 6, 2, 2, 7}}, {'2', {7, 1, 7, 4, 7}}, {'3', {7, 1, 7, 1, 7}},
        {'4', {5, 5, 7, 1, 1}}, {'5', {7, 4, 7, 1, 7}}, {'6', {7, 4, 7, 5, 7}}, {'7', {7, 1, 1, 1, 1}},
        {'8', {7, 5, 7, 5, 7}}, {'9', {7, 5, 7, 1, 7}}, {'O', {7, 5, 5, 5, 7}}, {'P', {7, 5, 7, 4, 4}},
        {'A', {2, 5, 7, 5, 5}}, {'S', {7, 4, 7, 1, 7}}, {'-', {0, 0, 7, 0, 0}},
        {'B', {6, 5, 6, 5, 6}}, {'C', {3, 4, 4, 4, 3}}, {'D', {6, 5, 5, 5, 6}}, {'E', {7, 4, 6, 4, 7}},
        {'F', {7, 4, 6, 4, 4}}, {'G', {3, 4, 5, 5, 3}}, {'H', {5, 5, 7, 5, 5}}, {'I', {7, 2, 2, 2, 7}},
        {'J', {1, 1, 1, 5, 2}}, {'K', {5, 5, 6, 5, 5}}, {'L', {4, 4, 4, 4, 7}}, {'M', {5, 7, 7, 5, 5}},
        {'N', {6, 5, 5, 5, 5}}, {'Q', {2, 5, 5, 6, 3}}, {'R', {6, 5, 6, 5, 5}}, {'T', {7, 2, 2, 2, 2}},
        {'U', {5, 5, 5, 5, 7}}, {'V', {5, 5, 5, 5, 2}}, {'W', {5, 5, 7, 7, 5}}, {'X', {5, 5, 2, 5, 5}},
        {'Y', {5, 5, 2, 2, 2}}, {'Z', {7, 1, 2, 4, 7}}, {'\'', {2, 2, 0, 0, 0}}, {' ', {0, 0, 0, 0, 0}},
    };
    return font;
}

void DrawLabel(QPainter& painter, int left, int top, const QString& text, int scale = kLabelScale)
{
    int x = left;
    for (QChar c : text.toUpper()) {
        const auto glyph = TinyFont().find(c);
        if (glyph == TinyFont().end())
            continue;
        for (int row = 0; row < 5; ++row)
            for (int col = 0; col < 3; ++col)
                if (glyph->second[row] & (4 >> col))
                    painter.fillRect(x + col * scale, top + row * scale, scale, scale, Qt::black);
        x += 4 * scale;
    }
}

}  // namespace

QImage ContactSheet(const std::vector<LabelledPicture>& pictures, int columns, int cellSize)
{
    // Place the cells first to know the sheet's size.
    std::vector<std::pair<int, int>> cells;  // column, row
    int col = 0, row = 0;
    for (const LabelledPicture& picture : pictures) {
        if (col == columns || (picture.startsRow && col > 0)) {
            col = 0;
            ++row;
        }
        cells.emplace_back(col++, row);
    }
    const bool captions = std::any_of(pictures.begin(), pictures.end(),
                                      [](const LabelledPicture& p) { return !p.caption.isEmpty(); });
    const int pitchX = cellSize + kGap, pitchY = cellSize + kLabelHeight + (captions ? kCaptionHeight : 0) + kGap;
    QImage sheet(columns * pitchX + kGap, (row + 1) * pitchY + kGap, QImage::Format_RGB32);
    sheet.fill(QColor(0xE8, 0xE8, 0xE8));
    QPainter painter(&sheet);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const int x = kGap + cells[i].first * pitchX, y = kGap + cells[i].second * pitchY;
        DrawLabel(painter, x, y, pictures[i].label);
        painter.drawImage(QPoint(x, y + kLabelHeight),
                          pictures[i].image.scaled(cellSize, cellSize, Qt::KeepAspectRatio, Qt::FastTransformation));
        DrawLabel(painter, x, y + kLabelHeight + cellSize + 2, pictures[i].caption, 1);
    }
    return sheet;
}
