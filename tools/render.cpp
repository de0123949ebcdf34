#include "tools/render.h"

#include "tools/palette.h"
#include "tools/picturelayout.h"

#include <QLineF>
#include <QPainter>
#include <QPolygonF>
#include <functional>

namespace render {

namespace {

using palette::Rgb;
using StickerColour = std::function<Rgb(cube::Vec3 place, cube::Vec3 normal)>;

constexpr cube::Vec3 kUp{0, 1, 0};
constexpr cube::Vec3 kFront{0, 0, 1};
constexpr cube::Vec3 kRight{1, 0, 0};
constexpr double kIsoInset = 0.06;  // of a cubie, the dark gap round an isometric sticker

QColor ToColor(Rgb rgb) { return QColor::fromRgb(QRgb(0xFF000000u | rgb)); }

QImage Canvas(int width, int height, Rgb background)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(ToColor(background));
    return image;
}

void Fill(QPainter& painter, const layout::Rect& rect, Rgb rgb)
{
    painter.fillRect(rect.x, rect.y, rect.width, rect.height, ToColor(rgb));
}

template <std::size_t N>
void FillPolygon(QPainter& painter, const std::array<layout::PointF, N>& points, Rgb rgb)
{
    QPolygonF polygon;
    for (const layout::PointF& p : points)
        polygon << QPointF(p.x, p.y);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ToColor(rgb));
    painter.drawPolygon(polygon);
}

void DrawGrid(QPainter& painter, int scale)
{
    for (int i = 0; i < 4; ++i) {
        Fill(painter, layout::GridLine(i, scale, true), palette::kLines);
        Fill(painter, layout::GridLine(i, scale, false), palette::kLines);
    }
}

// The top face, and the strip segments when a colour is given for them.
QImage TopView(int scale, const StickerColour& top, const StickerColour* strips)
{
    QImage image = Canvas(layout::kOllSize * scale, layout::kOllSize * scale, palette::kBackground);
    QPainter painter(&image);
    DrawGrid(painter, scale);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            Fill(painter, layout::TopSticker(row, col, scale), top({col - 1, 1, row - 1}, kUp));
    if (strips != nullptr)
        for (const cube::SideSticker& side : cube::TopSideStickers())
            Fill(painter, layout::StripSegment(side.place, side.normal, scale), (*strips)(side.place, side.normal));
    return image;
}

// A line of the given width from `from` to `to`, shortened at both ends,
// with a head at the end (and at the start when asked).
void DrawArrow(QPainter& painter, QPointF from, QPointF to, bool headAtStart, int scale)
{
    const double trim = 5.0 * scale, headLength = 6.0 * scale, headHalf = 3.0 * scale, halfWidth = 1.0 * scale;
    QLineF line(from, to);
    const double length = line.length();
    if (length <= 2 * trim)
        return;
    const QPointF unit = (to - from) / length;
    const QPointF side(-unit.y(), unit.x());
    const QPointF tip = to - unit * trim;
    const QPointF tail = from + unit * trim;
    const QPointF shaftEnd = tip - unit * headLength;
    const QPointF shaftStart = headAtStart ? tail + unit * headLength : tail;

    painter.setPen(Qt::NoPen);
    painter.setBrush(ToColor(palette::kArrow));
    painter.drawPolygon(QPolygonF({shaftStart + side * halfWidth, shaftEnd + side * halfWidth,
                                   shaftEnd - side * halfWidth, shaftStart - side * halfWidth}));
    painter.drawPolygon(QPolygonF({tip, shaftEnd + side * headHalf, shaftEnd - side * headHalf}));
    if (headAtStart) {
        const QPointF back = tail + unit * headLength;
        painter.drawPolygon(QPolygonF({tail, back + side * headHalf, back - side * headHalf}));
    }
}

QPointF StickerPoint(cube::Vec3 place, int scale)
{
    const layout::Point p = layout::TopStickerCentre(place, scale);
    return QPointF(p.x, p.y);
}

StickerColour OrientationColours(const cube::Cube& state)
{
    const cube::Face top = state.centre(cube::Face::U);
    return [state, top](cube::Vec3 place, cube::Vec3 normal) {
        return state.at(place, normal) == top ? palette::kTopColour : palette::kOtherColour;
    };
}

StickerColour RealColours(const cube::Cube& state)
{
    return [state](cube::Vec3 place, cube::Vec3 normal) { return palette::FaceColour(state.at(place, normal)); };
}

// The visible faces of an isometric view with their stickers; the side
// faces show only their top row in the top-layer view.
void DrawIso(QImage& image, layout::IsoView view, const StickerColour& colour)
{
    QPainter painter(&image);
    const int size = image.width();
    for (cube::Vec3 normal : {kUp, kFront, kRight})
        FillPolygon(painter, layout::FaceQuad(view, normal, size), palette::kLines);
    const int lowestRow = view == layout::IsoView::TopLayer ? 1 : -1;
    for (int a = -1; a <= 1; ++a)
        for (int b = -1; b <= 1; ++b) {
            const cube::Vec3 top{a, 1, b};
            FillPolygon(painter, layout::StickerQuad(view, top, kUp, kIsoInset, size), colour(top, kUp));
            if (b < lowestRow)
                continue;
            const cube::Vec3 front{a, b, 1}, right{1, b, a};
            FillPolygon(painter, layout::StickerQuad(view, front, kFront, kIsoInset, size), colour(front, kFront));
            FillPolygon(painter, layout::StickerQuad(view, right, kRight, kIsoInset, size), colour(right, kRight));
        }
}

QImage TransparentCanvas(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

}  // namespace

cube::Vec3 TurnedByU(cube::Vec3 place, int uTurns)
{
    for (int i = 0; i < (uTurns % 4 + 4) % 4; ++i)
        place = {-place.z, place.y, place.x};
    return place;
}

std::vector<Arrow> PermutationArrows(const cube::Cube& state, int uTurns)
{
    const cube::TopPermutation homes = cube::TopLayerPermutation(state);
    std::vector<Arrow> arrows;
    for (int piece = 0; piece < cube::kTopPieces; ++piece) {
        const int home = homes[piece];
        if (home < 0 || home == piece)
            continue;
        const bool swap = homes[home] == piece;
        if (swap && home < piece)
            continue;  // drawn with its partner
        arrows.push_back({TurnedByU(cube::TopPiecePlace(piece), uTurns), TurnedByU(cube::TopPiecePlace(home), uTurns),
                          swap});
    }
    return arrows;
}

QImage OrientationTopView(const cube::Cube& state, int scale)
{
    const StickerColour colours = OrientationColours(state);
    return TopView(scale, colours, &colours);
}

QImage PermutationTopView(const cube::Cube& state, bool sideColours, const std::vector<Arrow>& arrows)
{
    constexpr int scale = layout::kPllSize / layout::kOllSize;
    const StickerColour yellow = [](cube::Vec3, cube::Vec3) { return palette::kTopColour; };
    const StickerColour sides = RealColours(state);
    QImage image = TopView(scale, yellow, sideColours ? &sides : nullptr);
    QPainter painter(&image);
    for (const Arrow& arrow : arrows)
        DrawArrow(painter, StickerPoint(arrow.from, scale), StickerPoint(arrow.to, scale), arrow.twoWay, scale);
    return image;
}

QImage OrientationIsoView(const cube::Cube& state)
{
    QImage image = Canvas(layout::kPllSize, layout::kPllSize, palette::kBackground);
    DrawIso(image, layout::IsoView::TopLayer, OrientationColours(state));
    return image;
}

QImage ColourIsoView(const cube::Cube& state, int size)
{
    QImage image = Canvas(size, size, palette::kBackground);
    DrawIso(image, layout::IsoView::WholeCube, RealColours(state));
    return image;
}

QImage BinGlyph()
{
    QImage image = TransparentCanvas(16);
    QPainter painter(&image);
    const QColor outline(0x40, 0x40, 0x40), body(0xC8, 0xC8, 0xC8);
    painter.fillRect(6, 1, 4, 1, outline);    // handle
    painter.fillRect(2, 2, 12, 2, outline);   // lid
    painter.setPen(outline);
    painter.setBrush(body);
    painter.drawPolygon(QPolygon({QPoint(3, 5), QPoint(12, 5), QPoint(11, 14), QPoint(4, 14)}));
    for (int x : {6, 9})
        painter.drawLine(x, 7, x, 12);        // ribs
    return image;
}

QImage CursorGlyph()
{
    QImage image = TransparentCanvas(16);
    QPainter painter(&image);
    const QColor frame(0x40, 0x40, 0x40), ink(0, 0, 0);
    painter.setPen(frame);
    painter.setBrush(Qt::white);
    painter.drawRect(1, 2, 13, 11);
    painter.setPen(ink);
    painter.drawLine(7, 4, 7, 11);   // the stem
    painter.drawLine(5, 4, 9, 4);    // serifs
    painter.drawLine(5, 11, 9, 11);
    return image;
}

QImage Icon(int size)
{
    QImage image = TransparentCanvas(size);
    DrawIso(image, layout::IsoView::WholeCube, RealColours(cube::Cube::Solved()));
    return image;
}

}  // namespace render
