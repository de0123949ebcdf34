#pragma once
// Hand-made 24-bit bitmaps for the texture reader's and the cube's tests.

#include <QByteArray>
#include <QColor>
#include <functional>

namespace bmpfixture {

inline void PutU16(QByteArray& bytes, int offset, int value)
{
    bytes[offset] = char(value & 0xFF);
    bytes[offset + 1] = char((value >> 8) & 0xFF);
}

inline void PutU32(QByteArray& bytes, int offset, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = char((value >> (8 * i)) & 0xFF);
}

// A 24-bit bottom-up bitmap; colourAt(x, storedRow) gives each pixel as RGB.
inline QByteArray MakeBitmap(int width, int height, const std::function<QRgb(int, int)>& colourAt)
{
    const int stride = (width * 3 + 3) / 4 * 4;
    QByteArray bytes(54 + stride * height, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutU32(bytes, 2, quint32(bytes.size()));
    PutU32(bytes, 10, 54);
    PutU32(bytes, 14, 40);
    PutU32(bytes, 18, quint32(width));
    PutU32(bytes, 22, quint32(height));
    PutU16(bytes, 26, 1);
    PutU16(bytes, 28, 24);
    for (int row = 0; row < height; ++row)
        for (int x = 0; x < width; ++x) {
            const QRgb colour = colourAt(x, row);
            const int at = 54 + row * stride + x * 3;
            bytes[at] = char(qBlue(colour));
            bytes[at + 1] = char(qGreen(colour));
            bytes[at + 2] = char(qRed(colour));
        }
    return bytes;
}

} // namespace bmpfixture
