#pragma once
// What a new Settings.ini holds, the built-in hints and the nine colours.

#include <QColor>
#include <QString>
#include <QStringList>
#include <array>

class SettingsFile;

const QStringList& BuiltInOllHints();   // 57 texts, case 1 first
const QStringList& BuiltInPllHints();   // 21 texts

// Writes the first-run content in its fixed order. languageValue is "ru" or "en".
void WriteFirstRunContent(SettingsFile& file, const QString& languageValue);

// The nine colour texts of section Tuning, held as text from start-up to
// shut-down and converted each time they are applied.
struct TuningColours {
    enum Key {
        EnabledBarBckColor, EnabledBarTrackColor, DisabledBarBckColor, DisabledBarTrackColor,
        EnabledTextColor, DisabledTextColor, TimerBack, TimerOffDigits, TimerOnDigits, KeyCount
    };
    std::array<QString, KeyCount> texts;

    static QString KeyName(Key key);
    static QString DefaultText(Key key);
    TuningColours();   // all defaults

    void Read(const SettingsFile& file);
    void Write(SettingsFile& file) const;   // in key order

    // "$00BBGGRR" -> colour; throws TesseloError "'<text>' is not a valid integer value".
    QColor Colour(Key key) const;
    // As Colour, but a text that does not convert gives the key's default colour.
    QColor ColourOrDefault(Key key) const;
};

// $00BBGGRR text to colour; throws as above.
QColor ColourFromText(const QString& text);
