#pragma once
// What the board's two dialogs share: their font and their place over the
// main window.

#include <QFont>

class QWidget;

// Tahoma at the given height in pixels.
QFont TahomaPixels(int pixelSize);

// Fixed size for the client area and a frame that cannot be resized.
void MakeFixedSizeDialog(QWidget* dialog, int clientWidth, int clientHeight);

// Puts the dialog's frame centred on the main window's frame:
// left = main left + main width div 2 - dialog width div 2, likewise for top.
void CentreDialogOn(QWidget* dialog, const QWidget* mainWindow);
