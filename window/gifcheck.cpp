#include "window/gifcheck.h"

namespace {

constexpr int kHeaderSize = 13;            // signature and logical screen descriptor
constexpr int kImageDescriptorSize = 10;   // separator included
constexpr unsigned char kExtension = 0x21;
constexpr unsigned char kImage = 0x2C;
constexpr unsigned char kTrailer = 0x3B;
constexpr unsigned char kColourTableFlag = 0x80;

class GifWalker {
public:
    explicit GifWalker(const QByteArray& bytes) : bytes_(bytes) {}

    bool Walk()
    {
        if (!ReadHeader())
            return false;
        bool sawImage = false;
        while (pos_ < bytes_.size()) {
            const unsigned char block = Byte(pos_);
            if (block == kTrailer)
                return sawImage;
            if (block == kExtension) {
                if (!SkipExtension())
                    return false;
            } else if (block == kImage) {
                if (!SkipImage())
                    return false;
                sawImage = true;
            } else {
                return sawImage;   // bytes after the last block: the pictures are complete
            }
        }
        return sawImage;
    }

private:
    unsigned char Byte(qsizetype at) const { return static_cast<unsigned char>(bytes_.at(at)); }
    int Le16(qsizetype at) const { return Byte(at) | (Byte(at + 1) << 8); }
    bool Available(qsizetype count) const { return pos_ + count <= bytes_.size(); }

    static int ColourTableBytes(unsigned char flags)
    {
        return (flags & kColourTableFlag) ? 3 * (1 << ((flags & 0x07) + 1)) : 0;
    }

    bool ReadHeader()
    {
        if (bytes_.size() < kHeaderSize)
            return false;
        screenWidth_ = Le16(6);
        screenHeight_ = Le16(8);
        pos_ = kHeaderSize + ColourTableBytes(Byte(10));
        return screenWidth_ > 0 && screenHeight_ > 0 && pos_ <= bytes_.size();
    }

    // Data sub-blocks: a length byte and that many bytes, ended by length 0.
    bool SkipSubBlocks()
    {
        while (Available(1)) {
            const int length = Byte(pos_);
            pos_ += 1 + length;
            if (length == 0)
                return true;
        }
        return false;
    }

    bool SkipExtension()
    {
        if (!Available(2))
            return false;
        pos_ += 2;
        return SkipSubBlocks();
    }

    bool FrameInsideScreen(qsizetype descriptor) const
    {
        const int left = Le16(descriptor + 1), top = Le16(descriptor + 3);
        const int width = Le16(descriptor + 5), height = Le16(descriptor + 7);
        return width > 0 && height > 0 && left + width <= screenWidth_ && top + height <= screenHeight_;
    }

    bool SkipImage()
    {
        if (!Available(kImageDescriptorSize) || !FrameInsideScreen(pos_))
            return false;
        const unsigned char flags = Byte(pos_ + 9);
        pos_ += kImageDescriptorSize + ColourTableBytes(flags);
        if (!Available(1))   // the code size byte
            return false;
        pos_ += 1;
        return SkipSubBlocks();
    }

    const QByteArray& bytes_;
    qsizetype pos_ = 0;
    int screenWidth_ = 0;
    int screenHeight_ = 0;
};

} // namespace

bool LooksLikeGif(const QByteArray& bytes)
{
    return bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a");
}

bool GifStructureIsSound(const QByteArray& bytes)
{
    return LooksLikeGif(bytes) && GifWalker(bytes).Walk();
}
