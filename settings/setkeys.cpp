#include "settings/setkeys.h"

#include "settings/settingsfile.h"

SetKeys SetKeys::Of(CaseSet set)
{
    if (set == CaseSet::OLL)
        return {QStringLiteral("al"), QStringLiteral("avg"), QStringLiteral("bes"), QStringLiteral("nes"),
                QStringLiteral("OLL hints")};
    return {QStringLiteral("pal"), QStringLiteral("pavg"), QStringLiteral("pbes"), QStringLiteral("pnes"),
            QStringLiteral("PLL hints")};
}

CaseSet ActiveSetIn(const SettingsFile& file)
{
    const bool oll = file.ReadString(QStringLiteral("Settings"), QStringLiteral("mode"), QStringLiteral("OLL"))
                     == QLatin1String("OLL");
    return oll ? CaseSet::OLL : CaseSet::PLL;
}
