#pragma once
// Reads the cube's texture file: a 24-bit bottom-up BMP into RGB bytes.
// Bounds-checked: a short, odd or lying file yields no pixels, never a read
// past the buffer.

#include <QByteArray>
#include <QString>

struct RgbPixels {
    int width = 0;
    int height = 0;
    QByteArray rgb;    // width*height*3 bytes, first stored row first; empty when unreadable
    bool IsEmpty() const { return rgb.isEmpty(); }
};

RgbPixels ReadBitmapBytes(const QByteArray& file);
RgbPixels ReadBitmapFile(const QString& path);
