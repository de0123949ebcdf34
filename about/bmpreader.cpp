#include "about/bmpreader.h"

#include <QFile>
#include <cstdint>

namespace {

constexpr qint64 kFileHeaderSize = 14;
constexpr qint64 kInfoHeaderSize = 40;
constexpr qint64 kHeadersSize = kFileHeaderSize + kInfoHeaderSize;
// Far beyond any texture a graphics card takes; keeps a damaged header from
// asking for gigabytes.
constexpr qint64 kMaxSide = 16384;
constexpr qint64 kMaxFileSize = 256LL * 1024 * 1024;

// Little-endian fields; a field past the end of the file reads as 0.
std::uint32_t ReadLittleEndian(const QByteArray& bytes, qint64 offset, int size)
{
    std::uint32_t value = 0;
    for (qint64 at = offset + size - 1; at >= offset; --at)
        value = value << 8 | (at < bytes.size() ? std::uint8_t(bytes.at(at)) : 0u);
    return value;
}

std::uint32_t ReadU32(const QByteArray& bytes, qint64 offset)
{
    return ReadLittleEndian(bytes, offset, 4);
}

std::int32_t ReadI32(const QByteArray& bytes, qint64 offset)
{
    return static_cast<std::int32_t>(ReadU32(bytes, offset));
}

int ReadU16(const QByteArray& bytes, qint64 offset)
{
    return int(ReadLittleEndian(bytes, offset, 2));
}

// What the headers promise, checked against what the file really holds.
struct BitmapLayout {
    qint64 width = 0;
    qint64 height = 0;
    qint64 pixelOffset = 0;
    qint64 rowStride = 0;   // stored rows are padded to whole 4-byte words
};

bool HasSignature(const QByteArray& file)
{
    return file.size() >= kHeadersSize && file[0] == 'B' && file[1] == 'M';
}

// Only uncompressed 24-bit bottom-up pictures with a classic header are taken.
bool DescribesPlainRgb(const QByteArray& file)
{
    const qint64 info = kFileHeaderSize;
    const std::uint32_t headerSize = ReadU32(file, info);
    const int planes = ReadU16(file, info + 12);
    const int bitsPerPixel = ReadU16(file, info + 14);
    const std::uint32_t compression = ReadU32(file, info + 16);
    return headerSize >= kInfoHeaderSize && planes == 1 && bitsPerPixel == 24 && compression == 0;
}

bool ReadLayout(const QByteArray& file, BitmapLayout& layout)
{
    if (!HasSignature(file) || !DescribesPlainRgb(file))
        return false;
    layout.width = ReadI32(file, kFileHeaderSize + 4);
    layout.height = ReadI32(file, kFileHeaderSize + 8);
    layout.pixelOffset = ReadU32(file, 10);
    if (layout.width <= 0 || layout.height <= 0 || layout.width > kMaxSide || layout.height > kMaxSide)
        return false;
    if (layout.pixelOffset < kHeadersSize)
        return false;
    layout.rowStride = (layout.width * 3 + 3) / 4 * 4;
    // The header may claim more rows than the file carries: trust the file.
    return layout.pixelOffset + layout.rowStride * layout.height <= file.size();
}

// Stored blue-green-red becomes red-green-blue; padding bytes are dropped.
QByteArray CopyRowsAsRgb(const QByteArray& file, const BitmapLayout& layout)
{
    const qint64 rowBytes = layout.width * 3;
    QByteArray rgb(rowBytes * layout.height, Qt::Uninitialized);
    const char* source = file.constData() + layout.pixelOffset;
    char* target = rgb.data();
    for (qint64 row = 0; row < layout.height; ++row) {
        const char* from = source + row * layout.rowStride;
        char* to = target + row * rowBytes;
        for (qint64 pixel = 0; pixel < rowBytes; pixel += 3) {
            to[pixel] = from[pixel + 2];
            to[pixel + 1] = from[pixel + 1];
            to[pixel + 2] = from[pixel];
        }
    }
    return rgb;
}

} // namespace

RgbPixels ReadBitmapBytes(const QByteArray& file)
{
    BitmapLayout layout;
    if (!ReadLayout(file, layout))
        return {};
    RgbPixels pixels;
    pixels.width = int(layout.width);
    pixels.height = int(layout.height);
    pixels.rgb = CopyRowsAsRgb(file, layout);
    return pixels;
}

RgbPixels ReadBitmapFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize)
        return {};
    return ReadBitmapBytes(file.readAll());
}
