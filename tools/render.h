#pragma once
// Drawing the case pictures, the glyphs and the icon. Everything is drawn
// without antialiasing so that a picture holds only a handful of exact
// colours (GIF keeps at most 256).

#include "core/lastlayer.h"

#include <QImage>
#include <vector>

namespace render {

// An arrow of a permutation picture: the piece on one top place goes to another.
struct Arrow {
    cube::Vec3 from;
    cube::Vec3 to;
    bool twoWay = false;  // the two pieces swap: one line with a head at each end
};

// The arrows of a state whose top layer only needs permuting, seen after
// `uTurns` U turns of the picture: each moved piece points to where it belongs.
std::vector<Arrow> PermutationArrows(const cube::Cube& state, int uTurns = 0);
// A top-layer place after U turns.
cube::Vec3 TurnedByU(cube::Vec3 place, int uTurns);

// Top view of the orientation: yellow where a top-layer sticker shows the top
// colour, grey otherwise, on the top face and on the strips. 72 x 72 times scale.
QImage OrientationTopView(const cube::Cube& state, int scale);
// Top view of a permutation, 216 x 216: a yellow top; the strips show the
// side colours when asked (else they are left blank); red arrows when given.
QImage PermutationTopView(const cube::Cube& state, bool sideColours, const std::vector<Arrow>& arrows);
// The top layer from above-front-right, yellow or grey as in OrientationTopView.
QImage OrientationIsoView(const cube::Cube& state);
// The cube from above-front-right: top, front and right faces in their colours.
QImage ColourIsoView(const cube::Cube& state, int size = 216);

QImage BinGlyph();     // a waste bin, 16 x 16 on a transparent background
QImage CursorGlyph();  // a text cursor in a frame, 16 x 16
QImage Icon(int size); // a cube

}  // namespace render
