#include "tools/gifwrite.h"

#include <gif_lib.h>

#include <QHash>
#include <vector>

namespace {

int AppendToBuffer(GifFileType* gif, const GifByteType* data, int length)
{
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

// Every colour of the image gets an index, in order of first appearance.
bool IndexColours(const QImage& image, QHash<QRgb, int>& indices, std::vector<QRgb>& colours)
{
    QRgb previous = 0;  // pictures are mostly runs of one colour: skip the lookup
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb rgb = line[x] | 0xFF000000u;
            if (rgb == previous)
                continue;
            previous = rgb;
            if (indices.contains(rgb))
                continue;
            if (colours.size() == 256)
                return false;
            indices.insert(rgb, int(colours.size()));
            colours.push_back(rgb);
        }
    }
    return true;
}

int TableBits(std::size_t colourCount)
{
    int bits = 1;
    while ((std::size_t(1) << bits) < colourCount)
        ++bits;
    return bits;
}

bool WriteFrame(GifFileType* gif, const QImage& image, const QHash<QRgb, int>& indices)
{
    if (EGifPutImageDesc(gif, 0, 0, image.width(), image.height(), false, nullptr) == GIF_ERROR)
        return false;
    std::vector<GifPixelType> line(static_cast<std::size_t>(image.width()));
    QRgb previous = 0;
    GifPixelType previousIndex = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb rgb = pixels[x] | 0xFF000000u;
            if (rgb != previous) {
                previous = rgb;
                previousIndex = static_cast<GifPixelType>(indices.value(rgb));
            }
            line[std::size_t(x)] = previousIndex;
        }
        if (EGifPutLine(gif, line.data(), image.width()) == GIF_ERROR)
            return false;
    }
    return true;
}

}  // namespace

QByteArray EncodeGif(const QImage& source, QString* error)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    QHash<QRgb, int> indices;
    std::vector<QRgb> colours;
    if (!IndexColours(image, indices, colours)) {
        *error = QStringLiteral("more than 256 colours");
        return {};
    }
    const int bits = TableBits(colours.size());
    std::vector<GifColorType> table(std::size_t(1) << bits, GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < colours.size(); ++i)
        table[i] = {GifByteType(qRed(colours[i])), GifByteType(qGreen(colours[i])), GifByteType(qBlue(colours[i]))};
    ColorMapObject* map = GifMakeMapObject(int(table.size()), table.data());

    QByteArray bytes;
    int status = 0;
    GifFileType* gif = EGifOpen(&bytes, AppendToBuffer, &status);
    if (gif == nullptr) {
        GifFreeMapObject(map);
        *error = QString::fromUtf8(GifErrorString(status));
        return {};
    }
    EGifSetGifVersion(gif, true);
    const bool written = EGifPutScreenDesc(gif, image.width(), image.height(), bits, 0, map) != GIF_ERROR
        && WriteFrame(gif, image, indices);
    GifFreeMapObject(map);
    const int writeError = gif->Error;
    const int closed = EGifCloseFile(gif, &status);
    if (!written || closed == GIF_ERROR) {
        *error = QString::fromUtf8(GifErrorString(written ? status : writeError));
        return {};
    }
    return bytes;
}
