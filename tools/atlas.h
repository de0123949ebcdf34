#pragma once
// The texture atlas of the About window's cube: a 256 x 128, 24-bit,
// bottom-up Windows bitmap with one 64 x 64 cell per cube face, each cell
// showing that face of a cube as 3 x 3 stickers with dark lines between them.
//
// The cells are placed where the About window's quads take their texture
// coordinates (t = 0 is the first row stored in the file):
//   s 0..0.25 / 0.25..0.5 / 0.5..0.75 / 0.75..1 at t 0..0.5: +z, -x, +y, +x
//   s 0..0.25 / 0.25..0.5 at t 0.5..1: -z, -y; the rest is unused (white).
// Space is the cube model's: x right, y up, z towards the viewer.

#include "core/cubemodel.h"

#include <array>
#include <cstdint>
#include <vector>

namespace atlas {

inline constexpr int kWidth = 256;
inline constexpr int kHeight = 128;
inline constexpr int kHeaderSize = 54;
inline constexpr int kFileSize = kHeaderSize + kWidth * kHeight * 3;  // 98,358

// One textured face of the About window's cube: its corners, in drawing
// order, with their texture coordinates.
struct TexturedQuad {
    cube::Vec3 normal;
    std::array<cube::Vec3, 4> corners;          // at +-1
    std::array<std::array<double, 2>, 4> st;    // (s, t) of each corner
};
const std::array<TexturedQuad, 6>& CubeQuads();

// The scrambled cube the atlas shows.
cube::Cube AtlasCube();
std::vector<std::uint8_t> MakeAtlasBmp(const cube::Cube& cube);

}  // namespace atlas
