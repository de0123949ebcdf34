#pragma once
// The colours of the generated pictures, as 0xRRGGBB.

#include "core/cubemodel.h"

#include <cstdint>

namespace palette {

using Rgb = std::uint32_t;

inline constexpr Rgb kBackground = 0xFFFFFF;
inline constexpr Rgb kTopColour = 0xFFD500;   // a sticker showing the top colour
inline constexpr Rgb kOtherColour = 0xA0A0A0; // any other sticker of an orientation picture
inline constexpr Rgb kLines = 0x202020;       // the lines between stickers, the cube's body
inline constexpr Rgb kArrow = 0xE00000;

// The usual scheme held with yellow on top and green in front: orange on the
// right, red on the left, blue at the back, white at the bottom.
inline constexpr Rgb kYellow = 0xFFD500;
inline constexpr Rgb kWhite = 0xFFFFFF;
inline constexpr Rgb kGreen = 0x009B48;
inline constexpr Rgb kBlue = 0x0046AD;
inline constexpr Rgb kRed = 0xB71234;
inline constexpr Rgb kOrange = 0xFF5800;

inline constexpr Rgb FaceColour(cube::Face face)
{
    switch (face) {
    case cube::Face::U: return kYellow;
    case cube::Face::R: return kOrange;
    case cube::Face::F: return kGreen;
    case cube::Face::D: return kWhite;
    case cube::Face::L: return kRed;
    case cube::Face::B: return kBlue;
    }
    return kLines;
}

}  // namespace palette
