#pragma once
// A 3x3x3 cube as 54 coloured stickers, turned by the usual notation.
//
// Space: x points right, y up, z towards the viewer (front). Every sticker has
// a place (the cubie it sits on, coordinates -1..1) and a normal (the face it
// looks out of). A turn rotates every sticker of the chosen layers by a
// quarter turn about an axis; the state records which colour each place shows.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cube {

// The six faces, also used as colours: a sticker's colour is the face it
// belongs to on the solved cube.
enum class Face : std::uint8_t { U, R, F, D, L, B };
inline constexpr int kFaceCount = 6;
inline constexpr int kStickerCount = 54;

struct Vec3 {
    int x = 0, y = 0, z = 0;
    friend bool operator==(const Vec3&, const Vec3&) = default;
};

// The coordinate of v along axis 0 (x), 1 (y) or 2 (z).
int Coordinate(Vec3 v, int axis);
// A quarter turn counter-clockwise about the positive axis (right-hand rule).
Vec3 RotateQuarter(Vec3 v, int axis);

Vec3 FaceNormal(Face face);
std::optional<Face> FaceFromNormal(Vec3 normal);
char FaceLetter(Face face);

// Sticker indices: face * 9 + row * 3 + col, each face seen from outside.
// U is seen from above with the back at the top, D from below with the front
// at the top; the four sides are seen upright, U above them.
int StickerIndex(Face face, int row, int col);
Vec3 StickerPlace(int index);   // the cubie the sticker sits on
Vec3 StickerNormal(int index);  // the direction it looks to
// The sticker on the given cubie looking the given way, or -1.
int StickerAt(Vec3 place, Vec3 normal);

// One turn: the layers (a bit per coordinate -1, 0, +1 along the axis) turn
// quarterTurns times 90 degrees counter-clockwise about the positive axis.
struct Move {
    int axis = 0;          // 0 = x, 1 = y, 2 = z
    int layerMask = 0;     // bit 0: coordinate -1, bit 1: 0, bit 2: +1
    int quarterTurns = 0;  // 1..3
    std::string text;      // as written, for messages and printing

    bool isRotation() const { return layerMask == 7; }
    friend bool operator==(const Move& a, const Move& b)
    {
        return a.axis == b.axis && a.layerMask == b.layerMask && a.quarterTurns == b.quarterTurns;
    }
};

using Algorithm = std::vector<Move>;

struct ParseResult {
    Algorithm moves;
    std::string error;  // empty when the whole text was understood
    bool ok() const { return error.empty(); }
};

// Reads turns separated by blanks: R U F L D B, wide Rw..Bw (or r..b),
// slices M E S, rotations x y z; each may be followed by ', 2, 2' or '2.
ParseResult ParseAlgorithm(std::string_view text);
// Parses a text known to be valid; throws std::invalid_argument otherwise.
Algorithm MustParse(std::string_view text);
std::string ToText(const Algorithm& algorithm);

Move Inverse(const Move& move);
Algorithm Inverse(const Algorithm& algorithm);
Algorithm Concat(const Algorithm& first, const Algorithm& second);
Algorithm Repeat(const Move& move, int times);

class Cube {
public:
    Cube();  // solved
    static Cube Solved() { return Cube(); }

    Face at(int index) const { return stickers_[index]; }
    Face at(Face face, int row, int col) const { return stickers_[StickerIndex(face, row, col)]; }
    Face centre(Face face) const { return at(face, 1, 1); }
    // The colour at a place looking a given way (the place must carry such a sticker).
    Face at(Vec3 place, Vec3 normal) const;

    Cube& apply(const Move& move);
    Cube& apply(const Algorithm& algorithm);
    Cube applied(const Algorithm& algorithm) const;

    bool isSolved() const;  // every face one colour, whatever the orientation

    friend bool operator==(const Cube&, const Cube&) = default;

private:
    std::array<Face, kStickerCount> stickers_{};
};

}  // namespace cube
