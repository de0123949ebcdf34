#include "settings/defaults.h"

#include "core/builtin_hints.h"
#include "settings/settingsfile.h"
#include "core/errors.h"

namespace {

template <std::size_t N>
QStringList ToList(const char* const (&texts)[N])
{
    QStringList list;
    list.reserve(static_cast<qsizetype>(N));
    for (const char* text : texts)
        list.append(QString::fromLatin1(text));
    return list;
}

struct ColourKey {
    const char* name;
    const char* defaultText;
};

// In the order shut-down writes them.
constexpr ColourKey kColourKeys[TuningColours::KeyCount] = {
    {"EnabledBarBckColor", "$00B9FFB9"},
    {"EnabledBarTrackColor", "$0042BB42"},
    {"DisabledBarBckColor", "$00CCCCCC"},
    {"DisabledBarTrackColor", "$00999999"},
    {"EnabledTextColor", "$00000000"},
    {"DisabledTextColor", "$00777777"},
    {"TimerBack", "$0095A295"},
    {"TimerOffDigits", "$008C988C"},
    {"TimerOnDigits", "$00272A27"},
};

const QString kTuning = QStringLiteral("Tuning");

void WriteHints(SettingsFile& file, const QString& section, const QStringList& hints)
{
    for (int n = 1; n <= hints.size(); ++n)
        file.WriteString(section, QStringLiteral("hint%1").arg(n), hints[n - 1]);
}

} // namespace

const QStringList& BuiltInOllHints()
{
    static const QStringList hints = ToList(kBuiltInOllHints);
    return hints;
}

const QStringList& BuiltInPllHints()
{
    static const QStringList hints = ToList(kBuiltInPllHints);
    return hints;
}

void WriteFirstRunContent(SettingsFile& file, const QString& languageValue)
{
    file.WriteString(kTuning, TuningColours::KeyName(TuningColours::EnabledBarBckColor),
                     TuningColours::DefaultText(TuningColours::EnabledBarBckColor));
    WriteHints(file, QStringLiteral("OLL hints"), BuiltInOllHints());
    WriteHints(file, QStringLiteral("PLL hints"), BuiltInPllHints());
    const QString position = QStringLiteral("Position");
    file.WriteInteger(position, QStringLiteral("X"), 0);
    file.WriteInteger(position, QStringLiteral("Y"), 0);
    file.WriteInteger(position, QStringLiteral("Width"), 800);
    file.WriteInteger(position, QStringLiteral("Height"), 644);
    file.WriteString(QStringLiteral("Settings"), QStringLiteral("Language"), languageValue);
}

QString TuningColours::KeyName(Key key) { return QString::fromLatin1(kColourKeys[key].name); }

QString TuningColours::DefaultText(Key key) { return QString::fromLatin1(kColourKeys[key].defaultText); }

TuningColours::TuningColours()
{
    for (int key = 0; key < KeyCount; ++key)
        texts[key] = DefaultText(static_cast<Key>(key));
}

void TuningColours::Read(const SettingsFile& file)
{
    for (int key = 0; key < KeyCount; ++key)
        texts[key] = file.ReadString(kTuning, KeyName(static_cast<Key>(key)), DefaultText(static_cast<Key>(key)));
}

void TuningColours::Write(SettingsFile& file) const
{
    for (int key = 0; key < KeyCount; ++key)
        file.WriteString(kTuning, KeyName(static_cast<Key>(key)), texts[key]);
}

QColor TuningColours::Colour(Key key) const { return ColourFromText(texts[key]); }

QColor TuningColours::ColourOrDefault(Key key) const
{
    try {
        return Colour(key);
    } catch (const TesseloError&) {
        return ColourFromText(DefaultText(key));
    }
}

QColor ColourFromText(const QString& text)
{
    int value = 0;
    if (!ParseProfileInteger(text, value))
        throw TesseloError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    const auto bits = static_cast<quint32>(value);
    return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                  static_cast<int>((bits >> 16) & 0xFF));
}
