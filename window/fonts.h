#pragma once
// The interface font: Tahoma carried in the program and registered for this
// process, so that the pixel layout holds on any desktop.

#include <QFont>

// Registers the embedded face once per process.
void RegisterInterfaceFonts();

// Tahoma at a character height in pixels.
QFont InterfaceFont(int pixelSize, bool bold = false);
