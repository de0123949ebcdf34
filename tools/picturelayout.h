#pragma once
// Where things are in the generated pictures, so that the drawing code and
// the code that reads a picture back agree.
//
// Top view (72 x 72 at scale 1, 216 x 216 at scale 3): the top face seen from
// above, back at the top. A 3 x 3 grid of stickers spans 9..63 with a dark
// line at 9, 27, 45 and 63; sticker centres at 18, 36, 54. Strips 5 deep,
// 2 from the edge (top 2..6, bottom 65..69, left 2..6, right 65..69) carry one
// segment per side sticker of the top layer. Everything scales with the scale.
//
// Isometric views (216 x 216): the cube seen from above-front-right, top face
// up, front face lower left, right face lower right.

#include "core/cubemodel.h"

#include <array>

namespace layout {

struct Point {
    int x = 0, y = 0;
};
struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    Point centre() const { return {x + width / 2, y + height / 2}; }
};

inline constexpr int kOllSize = 72;
inline constexpr int kPllSize = 216;

// ---- Top view ----
// The grid line at index 0..3 (both directions): a band of `scale` pixels.
Rect GridLine(int index, int scale, bool vertical);
// The coloured inside of the top sticker at row, column (0..2, back row first).
Rect TopSticker(int row, int col, int scale);
// The strip segment of the top layer's side sticker on a cubie, looking out
// along the normal (back strip on top, front at the bottom).
Rect StripSegment(cube::Vec3 place, cube::Vec3 normal, int scale);
// The centre pixel used to read a sticker back: the rectangle's centre.
Point TopStickerCentre(int row, int col, int scale);
// The top sticker of a top-layer cubie.
Point TopStickerCentre(cube::Vec3 place, int scale);

// ---- Isometric views ----
struct PointF {
    double x = 0, y = 0;
};
enum class IsoView {
    WholeCube,  // top face, and the whole front and right faces
    TopLayer,   // top face, and the top rows of the front and right faces
};
// A point of the cube (which spans -1.5..1.5 on every axis) on the picture.
PointF Project(IsoView view, double x, double y, double z, int size = kPllSize);
// The four corners of a sticker's coloured square (inset from its cell), in order round it.
std::array<PointF, 4> StickerQuad(IsoView view, cube::Vec3 place, cube::Vec3 normal, double inset,
                                  int size = kPllSize);
// The corners of a whole face of the view (the dark body behind the stickers).
std::array<PointF, 4> FaceQuad(IsoView view, cube::Vec3 normal, int size = kPllSize);
Point StickerCentre(IsoView view, cube::Vec3 place, cube::Vec3 normal, int size = kPllSize);

}  // namespace layout
