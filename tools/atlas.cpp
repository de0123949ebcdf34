#include "tools/atlas.h"

#include "tools/palette.h"

#include <cmath>
#include <optional>

namespace atlas {

namespace {

// Fraction of a sticker, at each of its edges, drawn as the dark line.
constexpr double kLineFraction = 0.07;

struct FacePoint {
    cube::Vec3 normal;
    double u = 0, v = 0;  // the two free coordinates on the face, -1..1
    int uAxis = 0, vAxis = 0;
};

// The face and the point on it that a texel's (s, t) shows, if any.
std::optional<FacePoint> FacePointAt(double s, double t)
{
    for (const TexturedQuad& quad : CubeQuads()) {
        // (s, t) = st0 + a (st1 - st0) + b (st3 - st0): solve for a and b.
        const double ds1 = quad.st[1][0] - quad.st[0][0], dt1 = quad.st[1][1] - quad.st[0][1];
        const double ds3 = quad.st[3][0] - quad.st[0][0], dt3 = quad.st[3][1] - quad.st[0][1];
        const double det = ds1 * dt3 - ds3 * dt1;
        const double ps = s - quad.st[0][0], pt = t - quad.st[0][1];
        const double a = (ps * dt3 - ds3 * pt) / det;
        const double b = (ds1 * pt - ps * dt1) / det;
        if (a < 0 || a > 1 || b < 0 || b > 1)
            continue;
        const cube::Vec3 p0 = quad.corners[0], p1 = quad.corners[1], p3 = quad.corners[3];
        const double p[3] = {p0.x + a * (p1.x - p0.x) + b * (p3.x - p0.x),
                             p0.y + a * (p1.y - p0.y) + b * (p3.y - p0.y),
                             p0.z + a * (p1.z - p0.z) + b * (p3.z - p0.z)};
        FacePoint point;
        point.normal = quad.normal;
        const int normalAxis = quad.normal.x != 0 ? 0 : quad.normal.y != 0 ? 1 : 2;
        point.uAxis = (normalAxis + 1) % 3;
        point.vAxis = (normalAxis + 2) % 3;
        point.u = p[point.uAxis];
        point.v = p[point.vAxis];
        return point;
    }
    return std::nullopt;
}

bool NearStickerEdge(double coordinate)
{
    const double cells = (coordinate + 1) * 1.5;  // 0..3 across the face
    return std::abs(cells - std::round(cells)) < kLineFraction;
}

int CubieCoordinate(double coordinate)
{
    const int cell = static_cast<int>(std::floor((coordinate + 1) * 1.5));
    return std::min(std::max(cell, 0), 2) - 1;
}

palette::Rgb TexelColour(const cube::Cube& cube, double s, double t)
{
    const std::optional<FacePoint> point = FacePointAt(s, t);
    if (!point)
        return palette::kBackground;
    if (NearStickerEdge(point->u) || NearStickerEdge(point->v))
        return palette::kLines;
    int place[3] = {point->normal.x, point->normal.y, point->normal.z};
    place[point->uAxis] = CubieCoordinate(point->u);
    place[point->vAxis] = CubieCoordinate(point->v);
    return palette::FaceColour(cube.at({place[0], place[1], place[2]}, point->normal));
}

void PutLittleEndian(std::vector<std::uint8_t>& bytes, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutHeader(std::vector<std::uint8_t>& bytes)
{
    bytes.push_back('B');
    bytes.push_back('M');
    PutLittleEndian(bytes, kFileSize, 4);
    PutLittleEndian(bytes, 0, 4);            // reserved
    PutLittleEndian(bytes, kHeaderSize, 4);  // offset of the pixels
    PutLittleEndian(bytes, 40, 4);           // information header size
    PutLittleEndian(bytes, kWidth, 4);
    PutLittleEndian(bytes, kHeight, 4);      // positive: rows bottom-up
    PutLittleEndian(bytes, 1, 2);            // planes
    PutLittleEndian(bytes, 24, 2);           // bits per pixel
    PutLittleEndian(bytes, 0, 4);            // no compression
    PutLittleEndian(bytes, kWidth * kHeight * 3, 4);
    PutLittleEndian(bytes, 2835, 4);         // 72 dpi
    PutLittleEndian(bytes, 2835, 4);
    PutLittleEndian(bytes, 0, 4);
    PutLittleEndian(bytes, 0, 4);
}

}  // namespace

const std::array<TexturedQuad, 6>& CubeQuads()
{
    static const std::array<TexturedQuad, 6> quads = {{
        {{0, 0, 1}, {{{1, 1, 1}, {-1, 1, 1}, {-1, -1, 1}, {1, -1, 1}}}, {{{0, 0}, {0.25, 0}, {0.25, 0.5}, {0, 0.5}}}},
        {{0, 0, -1}, {{{1, 1, -1}, {1, -1, -1}, {-1, -1, -1}, {-1, 1, -1}}}, {{{0, 0.5}, {0.25, 0.5}, {0.25, 1}, {0, 1}}}},
        {{-1, 0, 0}, {{{-1, 1, 1}, {-1, 1, -1}, {-1, -1, -1}, {-1, -1, 1}}}, {{{0.25, 0}, {0.5, 0}, {0.5, 0.5}, {0.25, 0.5}}}},
        {{1, 0, 0}, {{{1, 1, 1}, {1, -1, 1}, {1, -1, -1}, {1, 1, -1}}}, {{{0.75, 0}, {1, 0}, {1, 0.5}, {0.75, 0.5}}}},
        {{0, 1, 0}, {{{-1, 1, -1}, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}}}, {{{0.75, 0}, {0.75, 0.5}, {0.5, 0.5}, {0.5, 0}}}},
        {{0, -1, 0}, {{{-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}}}, {{{0.25, 0.5}, {0.5, 0.5}, {0.5, 1}, {0.25, 1}}}},
    }};
    return quads;
}

cube::Cube AtlasCube()
{
    return cube::Cube::Solved().apply(cube::MustParse("R U2 F' L D B2 R' U F2 D' L2 B U' R2 F D2 L' B'"));
}

std::vector<std::uint8_t> MakeAtlasBmp(const cube::Cube& cube)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(kFileSize);
    PutHeader(bytes);
    for (int row = 0; row < kHeight; ++row)  // stored row 0 is t = 0
        for (int col = 0; col < kWidth; ++col) {
            const palette::Rgb rgb = TexelColour(cube, (col + 0.5) / kWidth, (row + 0.5) / kHeight);
            bytes.push_back(static_cast<std::uint8_t>(rgb));        // blue
            bytes.push_back(static_cast<std::uint8_t>(rgb >> 8));   // green
            bytes.push_back(static_cast<std::uint8_t>(rgb >> 16));  // red
        }
    return bytes;
}

}  // namespace atlas
