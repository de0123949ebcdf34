// The integer forms of the values Settings.ini and the time texts hold.
#include "core/integertext.h"

namespace {

int DigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return 99;
}

// Digits in the given base up to the end of the text; false on anything else
// or when the magnitude exceeds limit.
bool ReadMagnitude(const QString& text, qsizetype from, int base, quint64 limit, quint64& magnitude)
{
    if (from >= text.size())
        return false;
    magnitude = 0;
    for (qsizetype i = from; i < text.size(); ++i) {
        const int digit = DigitValue(text[i]);
        if (digit >= base)
            return false;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return false;
    }
    return true;
}

// Length of a hexadecimal prefix ("$", "x", "X", "0x", "0X") at from; 0 if none.
int HexPrefixLength(const QString& text, qsizetype from)
{
    const QStringView rest = QStringView(text).mid(from);
    if (rest.startsWith(u'$') || rest.startsWith(u'x') || rest.startsWith(u'X'))
        return 1;
    if (rest.startsWith(u"0x") || rest.startsWith(u"0X"))
        return 2;
    return 0;
}

} // namespace

bool ParseProfileInteger(const QString& text, int& value)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    const bool negative = i < text.size() && text[i] == u'-';
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    const int prefix = HexPrefixLength(text, i);
    quint64 magnitude = 0;
    if (prefix > 0) {
        // Hexadecimal covers all 32 bits: $FFFFFFFF is -1.
        if (!ReadMagnitude(text, i + prefix, 16, 0xFFFFFFFFULL, magnitude))
            return false;
        const auto bits = static_cast<qint32>(static_cast<quint32>(magnitude));
        value = negative ? static_cast<int>(0U - static_cast<quint32>(bits)) : bits;
        return true;
    }
    const quint64 limit = negative ? 2147483648ULL : 2147483647ULL;
    if (!ReadMagnitude(text, i, 10, limit, magnitude))
        return false;
    value = negative ? static_cast<int>(-static_cast<qint64>(magnitude)) : static_cast<int>(magnitude);
    return true;
}
