#pragma once
// Tile grid arithmetic of the tile area. No widgets.

#include <QPoint>
#include <optional>

constexpr int kTrainingColumnWidth = 280;
constexpr int kTileWidth = 150;
constexpr int kTileHeight = 75;
constexpr int kColumnPitch = 154;
constexpr int kFirstRowTop = 14;
constexpr int kRowPitch = 86;
constexpr int kStatusPanelOffset = 540;
constexpr int kWheelStep = 15;

struct TileGrid {
    int columns = 0;
    int gap = 0;
};

// Columns and gap for a tile area of the given outer width; no value when
// the column count falls outside 3..10 (the tiles then stay where they are).
std::optional<TileGrid> ComputeTileGrid(int areaWidth);

// Content position of tile n (1-based) in the grid.
QPoint TilePosition(int caseNumber, const TileGrid& grid);
