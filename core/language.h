#pragma once
// The interface language: decided once at start-up. No widgets.

#include "core/catalogue.h"
#include <QString>

// "ru" for a Russian, Ukrainian or Belarusian system language name
// ("ru_RU", "uk-UA", "be"), "en" for anything else.
QString LanguageValueForSystem(const QString& systemLanguageName);

// The Language key's value selects Russian only when it is exactly "ru".
bool IsRussianLanguageValue(const QString& value);

// "Tesselo [OLL mode]" / "Tesselo [режим OLL]".
QString ModeTitle(CaseSet set, bool russian);

// Picks one of the two literals.
inline QString Tr(bool russian, const QString& ru, const QString& en) { return russian ? ru : en; }
