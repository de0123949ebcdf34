// The bytes of Settings.ini as text.
#include "settings/settingsfile.h"

namespace {

// ---------------------------------------------------------------- UTF-8

int SequenceLength(const unsigned char* p, qsizetype left)
{
    const unsigned char b = p[0];
    auto cont = [&](int i, unsigned char low = 0x80, unsigned char high = 0xBF) {
        return i < left && p[i] >= low && p[i] <= high;
    };
    if (b < 0x80)
        return 1;
    if (b >= 0xC2 && b <= 0xDF)
        return cont(1) ? 2 : 0;
    if (b == 0xE0)
        return cont(1, 0xA0) && cont(2) ? 3 : 0;
    if (b == 0xED)
        return cont(1, 0x80, 0x9F) && cont(2) ? 3 : 0;
    if (b >= 0xE1 && b <= 0xEF)
        return cont(1) && cont(2) ? 3 : 0;
    if (b == 0xF0)
        return cont(1, 0x90) && cont(2) && cont(3) ? 4 : 0;
    if (b >= 0xF1 && b <= 0xF3)
        return cont(1) && cont(2) && cont(3) ? 4 : 0;
    if (b == 0xF4)
        return cont(1, 0x80, 0x8F) && cont(2) && cont(3) ? 4 : 0;
    return 0;
}

char32_t CodePoint(const unsigned char* p, int length)
{
    static constexpr unsigned char leadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t code = p[0] & leadMask[length];
    for (int i = 1; i < length; ++i)
        code = (code << 6) | (p[i] & 0x3F);
    return code;
}

void AppendUtf8(QByteArray& out, char32_t code)
{
    if (code < 0x80) {
        out.append(static_cast<char>(code));
    } else if (code < 0x800) {
        out.append(static_cast<char>(0xC0 | (code >> 6)));
        out.append(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.append(static_cast<char>(0xE0 | (code >> 12)));
        out.append(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.append(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.append(static_cast<char>(0xF0 | (code >> 18)));
        out.append(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.append(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.append(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

bool IsEscapedByte(char16_t unit) { return unit >= 0xDC80 && unit <= 0xDCFF; }

} // namespace

// ---------------------------------------------------------------- text codec

QString DecodeProfileBytes(const QByteArray& bytes)
{
    QString text;
    text.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        const int length = SequenceLength(p + i, size - i);
        if (length == 0) {
            text.append(QChar(static_cast<char16_t>(0xDC00 + p[i])));
            ++i;
            continue;
        }
        const char32_t code = CodePoint(p + i, length);
        if (code >= 0x10000) {
            text.append(QChar(QChar::highSurrogate(code)));
            text.append(QChar(QChar::lowSurrogate(code)));
        } else {
            text.append(QChar(static_cast<char16_t>(code)));
        }
        i += length;
    }
    return text;
}

QByteArray EncodeProfileText(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            AppendUtf8(bytes, QChar::surrogateToUcs4(unit, text[i + 1].unicode()));
            ++i;
        } else if (IsEscapedByte(unit)) {
            bytes.append(static_cast<char>(unit - 0xDC00));
        } else if (QChar::isSurrogate(unit)) {
            bytes.append('?');
        } else {
            AppendUtf8(bytes, unit);
        }
    }
    return bytes;
}
