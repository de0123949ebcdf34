#include "core/language.h"

#include <QRegularExpression>

namespace {

// "ru_RU.UTF-8", "uk-UA", "be@latin" -> "ru", "uk", "be".
QString LanguagePart(const QString& systemLanguageName)
{
    static const QRegularExpression separators(QStringLiteral("[_\\-.@]"));
    return systemLanguageName.trimmed().section(separators, 0, 0).toLower();
}

} // namespace

QString LanguageValueForSystem(const QString& systemLanguageName)
{
    static const QStringList russianSpeaking = {
        QStringLiteral("ru"), QStringLiteral("uk"), QStringLiteral("be"),
        QStringLiteral("russian"), QStringLiteral("ukrainian"), QStringLiteral("belarusian"),
    };
    return russianSpeaking.contains(LanguagePart(systemLanguageName)) ? QStringLiteral("ru") : QStringLiteral("en");
}

bool IsRussianLanguageValue(const QString& value) { return value == QLatin1String("ru"); }

QString ModeTitle(CaseSet set, bool russian)
{
    return russian ? QStringLiteral("Tesselo [режим %1]").arg(SetName(set))
                   : QStringLiteral("Tesselo [%1 mode]").arg(SetName(set));
}
