#pragma once
// GIF89a encoding through giflib.

#include <QByteArray>
#include <QImage>
#include <QString>

// The image as a GIF89a file with one frame and a global colour table. The
// image may hold at most 256 distinct colours (draw without antialiasing);
// on failure the result is empty and *error says why.
QByteArray EncodeGif(const QImage& image, QString* error);
