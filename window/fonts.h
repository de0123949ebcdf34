#pragma once
// The interface font: Tahoma carried in the program and registered for this
// process, so that the pixel layout holds on any desktop.

#include <QFont>

// Begins loading the font system's configuration and font lists (the
// largest part of the first text's cost: files read and parsed) on a thread
// of its own, so that it runs while the application connects to the display.
void StartLoadingFontSystem();

// Registers the embedded face once per process (after the loading begun
// above, if any, has ended).
void RegisterInterfaceFonts();

// Tahoma at a character height in pixels.
QFont InterfaceFont(int pixelSize, bool bold = false);
