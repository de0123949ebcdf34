#pragma once
// Where a window opens beside another one. No widgets.

#include <QList>
#include <QRect>

// The top-left corner for a window of frame size beside mainFrame: to its
// right where the screen has room, else to its left, else where it covers
// the least of keepVisible (the case picture, the stopwatch). The result lies
// wholly within available whenever the window fits on it.
QPoint PlaceBeside(const QRect& mainFrame, const QSize& frame, const QRect& available, const QList<QRect>& keepVisible);
