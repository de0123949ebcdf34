#pragma once
// The 57 case tiles made: all with the other controls, or each as it comes
// into the tile area's view and the rest just after the first frame.

class QImage;
class TForm1;

// The veil over a disabled case's thumbnail and the empty case picture's
// start: 72 x 72, every pixel white at opacity 153 of 255. One picture, shared
// by all that show it; none of them ever changes it.
const QImage& TranslucentWhite();

// Tiles 1..upTo that are not made yet: made in case order, placed in the
// grid, their children in place and their presses wired; their content is
// the start-up's to fill.
void MakeTiles(TForm1& form, int upTo);

// As MakeTiles, each new tile then shown or hidden with the active set and
// showing the session as the tiles made before it do: thumbnail, records,
// enabled look and bar.
void MakeFilledTiles(TForm1& form, int upTo);

// Every tile not made yet, as Tile() makes one (nothing for a window whose
// tiles were all made with it).
void MakeRemainingTiles(TForm1& form);
