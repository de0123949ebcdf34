// The cube's texture file as a damaged or hostile disk may hand it over:
// the reader never reads outside the file, and whatever it returns is a whole
// picture taken from the bytes the header points at.
#include "about/bmpreader.h"
#include "fuzz_check.h"

#include <cstdint>

namespace {

std::uint32_t U32At(const QByteArray& bytes, qsizetype offset)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData()) + offset;
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

// The stored blue-green-red pixel (x, row) swapped to red-green-blue, read
// independently of the reader's own bookkeeping.
QByteArray StoredPixelAsRgb(const QByteArray& file, int width, int x, int row)
{
    const qsizetype stride = (qsizetype(width) * 3 + 3) / 4 * 4;
    const qsizetype at = qsizetype(U32At(file, 10)) + row * stride + x * 3;
    const char rgb[3] = {file[at + 2], file[at + 1], file[at]};
    return QByteArray(rgb, 3);
}

void CheckPicture(const QByteArray& file, const RgbPixels& pixels)
{
    FuzzCheck(pixels.width > 0 && pixels.height > 0, "a picture has a size");
    FuzzCheck(pixels.rgb.size() == qsizetype(pixels.width) * pixels.height * 3, "three bytes a pixel, no more, no less");
    FuzzCheck(file.startsWith("BM"), "only a file signed BM gives pixels");
    const int lastX = pixels.width - 1;
    const int lastRow = pixels.height - 1;
    const qsizetype lastAt = (qsizetype(lastRow) * pixels.width + lastX) * 3;
    FuzzCheck(pixels.rgb.mid(0, 3) == StoredPixelAsRgb(file, pixels.width, 0, 0), "the first pixel is the first stored");
    FuzzCheck(pixels.rgb.mid(lastAt, 3) == StoredPixelAsRgb(file, pixels.width, lastX, lastRow),
              "the last pixel is the last stored");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The fuzzer's own buffer, of exactly the input's size: AddressSanitizer
    // sees any read past the end of the file.
    const QByteArray file = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const RgbPixels pixels = ReadBitmapBytes(file);
    if (!pixels.IsEmpty())
        CheckPicture(file, pixels);
    else
        FuzzCheck(pixels.width == 0 && pixels.height == 0, "no pixels means a picture of size 0 x 0");
    return 0;
}
