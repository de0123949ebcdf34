#include "window/layout.h"

namespace {
constexpr int kFewestColumns = 3;
constexpr int kMostColumns = 10;
} // namespace

std::optional<TileGrid> ComputeTileGrid(int areaWidth)
{
    if (areaWidth < 0)
        return std::nullopt;
    const int columns = areaWidth / kColumnPitch;
    if (columns < kFewestColumns || columns > kMostColumns)
        return std::nullopt;
    // The spare width spread between the columns; -2 (a two-pixel overlap)
    // when nothing is spare.
    const int remainder = areaWidth % kColumnPitch;
    return TileGrid{columns, remainder / columns + remainder % columns - 2};
}

QPoint TilePosition(int caseNumber, const TileGrid& grid)
{
    const int column = (caseNumber - 1) % grid.columns;
    const int row = (caseNumber - 1) / grid.columns;
    return {column * (kTileWidth + grid.gap), kFirstRowTop + kRowPitch * row};
}
