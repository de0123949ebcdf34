#include "tools/picturelayout.h"

#include <cmath>

namespace layout {

namespace {

constexpr int kGridStart = 9;
constexpr int kCell = 18;
constexpr int kGridLength = 3 * kCell + 1;
constexpr int kStripNear = 2;
constexpr int kStripFar = 65;
constexpr int kStripDepth = 5;

struct Vec3F {
    double x = 0, y = 0, z = 0;
};

Vec3F ToF(cube::Vec3 v) { return {double(v.x), double(v.y), double(v.z)}; }
Vec3F Add(Vec3F a, Vec3F b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3F Scale(Vec3F v, double k) { return {v.x * k, v.y * k, v.z * k}; }

// Two unit axes spanning the plane of a face (u is the vertical one on the
// side faces); going round +u+v, +u-v, -u-v, -u+v draws the quadrilateral.
void PlaneAxes(cube::Vec3 normal, Vec3F& u, Vec3F& v)
{
    if (normal.x != 0) {
        u = {0, 1, 0};
        v = {0, 0, 1};
    } else if (normal.y != 0) {
        u = {1, 0, 0};
        v = {0, 0, 1};
    } else {
        u = {0, 1, 0};
        v = {1, 0, 0};
    }
}

struct IsoFrame {
    double unit;    // pixels per cubie
    double centreX;
    double centreY;
};

IsoFrame FrameOf(IsoView view, int size)
{
    const double k = size / double(kPllSize);
    if (view == IsoView::WholeCube)
        return {32 * k, 108 * k, 108 * k};
    // The top layer spans -3..1 units vertically: centre it.
    return {38 * k, 108 * k, (108 + 38) * k};
}

PointF ProjectF(IsoView view, Vec3F p, int size)
{
    static const double kCos30 = std::sqrt(3.0) / 2;
    const IsoFrame frame = FrameOf(view, size);
    return {frame.centreX + (p.x - p.z) * kCos30 * frame.unit,
            frame.centreY + (-p.y + (p.x + p.z) / 2) * frame.unit};
}

std::array<PointF, 4> Quad(IsoView view, Vec3F centre, Vec3F u, double halfU, Vec3F v, double halfV,
                           int size)
{
    auto corner = [&](double su, double sv) {
        return ProjectF(view, Add(centre, Add(Scale(u, su * halfU), Scale(v, sv * halfV))), size);
    };
    return {corner(1, 1), corner(1, -1), corner(-1, -1), corner(-1, 1)};
}

}  // namespace

Rect GridLine(int index, int scale, bool vertical)
{
    const int along = (kGridStart + kCell * index) * scale;
    const int start = kGridStart * scale;
    if (vertical)
        return {along, start, scale, kGridLength * scale};
    return {start, along, kGridLength * scale, scale};
}

Rect TopSticker(int row, int col, int scale)
{
    const int inner = (kCell - 1) * scale;
    return {(kGridStart + kCell * col + 1) * scale, (kGridStart + kCell * row + 1) * scale, inner, inner};
}

Rect StripSegment(cube::Vec3 place, cube::Vec3 normal, int scale)
{
    const Rect column = TopSticker(0, place.x + 1, scale);
    const Rect row = TopSticker(place.z + 1, 0, scale);
    const int depth = kStripDepth * scale;
    if (normal.z < 0)
        return {column.x, kStripNear * scale, column.width, depth};
    if (normal.z > 0)
        return {column.x, kStripFar * scale, column.width, depth};
    if (normal.x < 0)
        return {kStripNear * scale, row.y, depth, row.height};
    return {kStripFar * scale, row.y, depth, row.height};
}

Point TopStickerCentre(int row, int col, int scale)
{
    return {kCell * (col + 1) * scale, kCell * (row + 1) * scale};
}

Point TopStickerCentre(cube::Vec3 place, int scale) { return TopStickerCentre(place.z + 1, place.x + 1, scale); }

PointF Project(IsoView view, double x, double y, double z, int size) { return ProjectF(view, {x, y, z}, size); }

std::array<PointF, 4> StickerQuad(IsoView view, cube::Vec3 place, cube::Vec3 normal, double inset, int size)
{
    Vec3F u, v;
    PlaneAxes(normal, u, v);
    const Vec3F centre = Add(ToF(place), Scale(ToF(normal), 0.5));
    return Quad(view, centre, u, 0.5 - inset, v, 0.5 - inset, size);
}

std::array<PointF, 4> FaceQuad(IsoView view, cube::Vec3 normal, int size)
{
    Vec3F u, v;
    PlaneAxes(normal, u, v);
    if (view == IsoView::TopLayer && normal.y == 0) {
        // Only the top row of a side face: y from 0.5 to 1.5 (u is the y axis).
        const Vec3F centre = Add(Scale(ToF(normal), 1.5), {0, 1, 0});
        return Quad(view, centre, u, 0.5, v, 1.5, size);
    }
    return Quad(view, Scale(ToF(normal), 1.5), u, 1.5, v, 1.5, size);
}

Point StickerCentre(IsoView view, cube::Vec3 place, cube::Vec3 normal, int size)
{
    const Vec3F centre = Add(ToF(place), Scale(ToF(normal), 0.5));
    const PointF p = ProjectF(view, centre, size);
    return {int(std::lround(p.x)), int(std::lround(p.y))};
}

}  // namespace layout
