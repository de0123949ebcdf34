#include "core/cubemodel.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace cube {

namespace {

struct FaceFrame {
    Vec3 normal, right, down;  // right: growing column, down: growing row
};

// How each face is seen from outside (see StickerIndex).
constexpr FaceFrame kFrames[kFaceCount] = {
    {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}},     // U: back at the top
    {{1, 0, 0}, {0, 0, -1}, {0, -1, 0}},   // R
    {{0, 0, 1}, {1, 0, 0}, {0, -1, 0}},    // F
    {{0, -1, 0}, {1, 0, 0}, {0, 0, -1}},   // D: front at the top
    {{-1, 0, 0}, {0, 0, 1}, {0, -1, 0}},   // L
    {{0, 0, -1}, {-1, 0, 0}, {0, -1, 0}},  // B
};

Vec3 Add(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 Scale(Vec3 v, int k) { return {v.x * k, v.y * k, v.z * k}; }

Vec3 Rotate(Vec3 v, int axis, int quarterTurns)
{
    for (int i = 0; i < quarterTurns; ++i)
        v = RotateQuarter(v, axis);
    return v;
}

int PackKey(Vec3 place, Vec3 normal)
{
    auto digit = [](int c) { return c + 1; };
    return ((((digit(place.x) * 3 + digit(place.y)) * 3 + digit(place.z)) * 3 + digit(normal.x)) * 3
               + digit(normal.y)) * 3 + digit(normal.z);
}

constexpr int kKeyCount = 729;

const std::array<int, kKeyCount>& StickerLookup()
{
    static const std::array<int, kKeyCount> table = [] {
        std::array<int, kKeyCount> t;
        t.fill(-1);
        for (int i = 0; i < kStickerCount; ++i)
            t[PackKey(StickerPlace(i), StickerNormal(i))] = i;
        return t;
    }();
    return table;
}

// The turn named by a token's letters, before any ' or 2.
struct BaseTurn {
    const char* name;
    int axis;
    int layerMask;
    int direction;  // +1 counter-clockwise about the positive axis, -1 clockwise
};

constexpr int kLow = 1, kMid = 2, kHigh = 4, kAll = 7;

constexpr BaseTurn kBaseTurns[] = {
    {"R", 0, kHigh, -1},        {"L", 0, kLow, +1},        {"U", 1, kHigh, -1},
    {"D", 1, kLow, +1},         {"F", 2, kHigh, -1},       {"B", 2, kLow, +1},
    {"M", 0, kMid, +1},         {"E", 1, kMid, +1},        {"S", 2, kMid, -1},
    {"x", 0, kAll, -1},         {"y", 1, kAll, -1},        {"z", 2, kAll, -1},
    {"Rw", 0, kMid | kHigh, -1}, {"Lw", 0, kLow | kMid, +1}, {"Uw", 1, kMid | kHigh, -1},
    {"Dw", 1, kLow | kMid, +1},  {"Fw", 2, kMid | kHigh, -1}, {"Bw", 2, kLow | kMid, +1},
    {"r", 0, kMid | kHigh, -1},  {"l", 0, kLow | kMid, +1},  {"u", 1, kMid | kHigh, -1},
    {"d", 1, kLow | kMid, +1},   {"f", 2, kMid | kHigh, -1}, {"b", 2, kLow | kMid, +1},
};

const BaseTurn* FindBaseTurn(std::string_view letters)
{
    for (const BaseTurn& turn : kBaseTurns)
        if (letters == turn.name)
            return &turn;
    return nullptr;
}

// The multiplier of a suffix: "" 1, "'" -1, "2" 2, "2'" and "'2" 2 (a half turn
// has no direction); nothing for anything else.
std::optional<int> SuffixTurns(std::string_view suffix)
{
    if (suffix.empty())
        return 1;
    if (suffix == "'")
        return -1;
    if (suffix == "2" || suffix == "2'" || suffix == "'2")
        return 2;
    return std::nullopt;
}

std::optional<Move> ParseToken(std::string_view token)
{
    std::size_t letters = 1;
    if (token.size() > 1 && token[1] == 'w')
        letters = 2;
    const BaseTurn* base = FindBaseTurn(token.substr(0, letters));
    if (base == nullptr)
        return std::nullopt;
    const std::optional<int> times = SuffixTurns(token.substr(letters));
    if (!times)
        return std::nullopt;
    Move move;
    move.axis = base->axis;
    move.layerMask = base->layerMask;
    move.quarterTurns = ((base->direction * *times) % 4 + 4) % 4;
    move.text = std::string(token);
    return move;
}

std::vector<std::string_view> SplitBlanks(std::string_view text)
{
    std::vector<std::string_view> tokens;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
            ++i;
        std::size_t start = i;
        while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])))
            ++i;
        if (i > start)
            tokens.push_back(text.substr(start, i - start));
    }
    return tokens;
}

// The written form of an inverted move: R -> R', R' -> R, R2 stays R2.
std::string InverseText(const std::string& text)
{
    if (text.empty())
        return text;
    if (text.find('2') != std::string::npos)
        return text;
    if (text.back() == '\'')
        return text.substr(0, text.size() - 1);
    return text + "'";
}

}  // namespace

int Coordinate(Vec3 v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

// A quarter turn counter-clockwise about the positive axis (right-hand rule).
Vec3 RotateQuarter(Vec3 v, int axis)
{
    switch (axis) {
    case 0: return {v.x, -v.z, v.y};
    case 1: return {v.z, v.y, -v.x};
    default: return {-v.y, v.x, v.z};
    }
}


Vec3 FaceNormal(Face face) { return kFrames[static_cast<int>(face)].normal; }

std::optional<Face> FaceFromNormal(Vec3 normal)
{
    for (int f = 0; f < kFaceCount; ++f)
        if (kFrames[f].normal == normal)
            return static_cast<Face>(f);
    return std::nullopt;
}

char FaceLetter(Face face) { return "URFDLB"[static_cast<int>(face)]; }

int StickerIndex(Face face, int row, int col) { return static_cast<int>(face) * 9 + row * 3 + col; }

Vec3 StickerPlace(int index)
{
    const FaceFrame& frame = kFrames[index / 9];
    const int row = index % 9 / 3, col = index % 3;
    return Add(frame.normal, Add(Scale(frame.right, col - 1), Scale(frame.down, row - 1)));
}

Vec3 StickerNormal(int index) { return kFrames[index / 9].normal; }

int StickerAt(Vec3 place, Vec3 normal)
{
    for (int c : {place.x, place.y, place.z, normal.x, normal.y, normal.z})
        if (c < -1 || c > 1)
            return -1;
    return StickerLookup()[PackKey(place, normal)];
}

ParseResult ParseAlgorithm(std::string_view text)
{
    ParseResult result;
    for (std::string_view token : SplitBlanks(text)) {
        std::optional<Move> move = ParseToken(token);
        if (!move) {
            result.error = "unknown turn \"" + std::string(token) + "\"";
            result.moves.clear();
            return result;
        }
        result.moves.push_back(*move);
    }
    return result;
}

Algorithm MustParse(std::string_view text)
{
    ParseResult result = ParseAlgorithm(text);
    if (!result.ok())
        throw std::invalid_argument(result.error + " in \"" + std::string(text) + "\"");
    return result.moves;
}

std::string ToText(const Algorithm& algorithm)
{
    std::string text;
    for (const Move& move : algorithm) {
        if (!text.empty())
            text += ' ';
        text += move.text;
    }
    return text;
}

Move Inverse(const Move& move)
{
    Move inverse = move;
    inverse.quarterTurns = (4 - move.quarterTurns) % 4;
    inverse.text = InverseText(move.text);
    return inverse;
}

Algorithm Inverse(const Algorithm& algorithm)
{
    Algorithm inverse;
    inverse.reserve(algorithm.size());
    for (auto it = algorithm.rbegin(); it != algorithm.rend(); ++it)
        inverse.push_back(Inverse(*it));
    return inverse;
}

Algorithm Concat(const Algorithm& first, const Algorithm& second)
{
    Algorithm all = first;
    all.insert(all.end(), second.begin(), second.end());
    return all;
}

Algorithm Repeat(const Move& move, int times)
{
    return Algorithm(static_cast<std::size_t>(std::max(times, 0)), move);
}

Cube::Cube()
{
    for (int i = 0; i < kStickerCount; ++i)
        stickers_[i] = static_cast<Face>(i / 9);
}

Face Cube::at(Vec3 place, Vec3 normal) const
{
    const int index = StickerAt(place, normal);
    if (index < 0)
        throw std::out_of_range("no sticker there");
    return stickers_[index];
}

namespace {

// Where each sticker goes under a turn.
using StickerTargets = std::array<std::int8_t, kStickerCount>;

StickerTargets ComputeTargets(int axis, int layerMask, int quarterTurns)
{
    StickerTargets targets;
    for (int i = 0; i < kStickerCount; ++i) {
        const Vec3 place = StickerPlace(i);
        targets[i] = static_cast<std::int8_t>(i);
        if ((layerMask & (1 << (Coordinate(place, axis) + 1))) == 0)
            continue;
        targets[i] = static_cast<std::int8_t>(
            StickerAt(Rotate(place, axis, quarterTurns), Rotate(StickerNormal(i), axis, quarterTurns)));
    }
    return targets;
}

// Every turn's targets, worked out once: reading a large file of scrambles
// turns the cube millions of times.
const StickerTargets& TargetsOf(const Move& move)
{
    static const auto table = [] {
        std::array<StickerTargets, 3 * 8 * 4> all;
        for (int axis = 0; axis < 3; ++axis)
            for (int mask = 0; mask < 8; ++mask)
                for (int turns = 0; turns < 4; ++turns)
                    all[(axis * 8 + mask) * 4 + turns] = ComputeTargets(axis, mask, turns);
        return all;
    }();
    return table[(move.axis * 8 + (move.layerMask & 7)) * 4 + (move.quarterTurns & 3)];
}

}  // namespace

Cube& Cube::apply(const Move& move)
{
    const StickerTargets& targets = TargetsOf(move);
    std::array<Face, kStickerCount> turned;
    for (int i = 0; i < kStickerCount; ++i)
        turned[targets[i]] = stickers_[i];
    stickers_ = turned;
    return *this;
}

Cube& Cube::apply(const Algorithm& algorithm)
{
    for (const Move& move : algorithm)
        apply(move);
    return *this;
}

Cube Cube::applied(const Algorithm& algorithm) const
{
    Cube copy = *this;
    copy.apply(algorithm);
    return copy;
}

bool Cube::isSolved() const
{
    for (int f = 0; f < kFaceCount; ++f)
        for (int k = 0; k < 9; ++k)
            if (stickers_[f * 9 + k] != stickers_[f * 9 + 4])
                return false;
    return true;
}

}  // namespace cube
