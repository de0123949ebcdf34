// The case tiles made. The tiles below the tile area's view are nowhere in
// the first frame: the program a user starts makes each tile when it first
// comes into view and the rest just after that frame (window/firstframe.h),
// before the user can reach any of them.
#include "app/tilemaking.h"

#include "app/setrecords.h"
#include "window/tform1.h"

#include <QImage>
#include <QLabel>

namespace {

// The children in their places; the tile takes its white fill from the tile
// area it stands on.
void PrepareTile(CaseTile* tile)
{
    tile->proll->move(76, 2);
    tile->ioll->move(2, 2);
    tile->bioll->move(2, 2);
    tile->bioll->SetPicture(TranslucentWhite());
    for (QLabel* value : {tile->avoll, tile->bvoll, tile->nvoll})
        value->move(110, value->y());
}

void WireTile(TForm1& form, CaseTile* tile)
{
    QObject::connect(tile->ioll, &PictureBox::MouseDown, &form, [&form, tile](Qt::MouseButton button) {
        form.Guarded([&] { form.ioll1MouseDown(tile, button); });
    });
    QObject::connect(tile->bioll, &PictureBox::MouseDown, &form, [&form, tile](Qt::MouseButton button) {
        form.Guarded([&] { form.bioll1MouseDown(tile, button); });
    });
}

int TilesMade(const TForm1& form)
{
    int made = 0;
    while (made < kMaxCases && form.MadeTile(made + 1))
        ++made;
    return made;
}

}   // namespace

const QImage& TranslucentWhite()
{
    static const QImage picture = [] {
        QImage image(72, 72, QImage::Format_ARGB32);
        image.fill(QColor(255, 255, 255, 153));
        return image;
    }();
    return picture;
}

void MakeTiles(TForm1& form, int upTo)
{
    for (int n = TilesMade(form) + 1; n <= upTo; ++n) {
        auto* tile = new CaseTile(n, form.tileContent);
        tile->move(TilePosition(n, form.tileGrid));
        PrepareTile(tile);
        WireTile(form, tile);
        form.tiles[n - 1] = tile;
    }
}

void MakeFilledTiles(TForm1& form, int upTo)
{
    const int firstNew = TilesMade(form) + 1;
    if (upTo < firstNew)
        return;
    MakeTiles(form, upTo);
    for (int n = firstNew; n <= upTo; ++n) {
        form.Tile(n)->setVisible(n <= form.tilesShown);
        ShowSessionOnTile(form, n);
    }
    RefreshTileBars(form);
}

void MakeRemainingTiles(TForm1& form)
{
    if (!form.makeTilesUpTo)
        return;
    form.makeTilesUpTo(kMaxCases);
    // Every tile made: Tile() is a plain lookup again, and a resize makes none.
    form.makeTilesUpTo = nullptr;
}
