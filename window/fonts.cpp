#include "window/fonts.h"

#include "resources/resources.h"

#include <QFontDatabase>
#include <QStringList>
#include <QToolTip>

namespace {

QString RegisterEmbeddedFont(const QString& resource)
{
    const QByteArray data = EmbeddedResource(resource);
    if (data.isEmpty())
        return {};
    const int id = QFontDatabase::addApplicationFontFromData(data);
    return id < 0 ? QString() : QFontDatabase::applicationFontFamilies(id).value(0);
}

QString& InterfaceFamily()
{
    static QString family = QStringLiteral("Tahoma");
    return family;
}

}   // namespace

void RegisterInterfaceFonts()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    // Only the regular face: the carried bold face draws its glyphs at the
    // regular weight, while a bold request on the regular face is emboldened
    // by the font engine and reads as bold.
    const QString family = RegisterEmbeddedFont(QStringLiteral("Tahoma"));
    if (!family.isEmpty())
        InterfaceFamily() = family;
    // A tooltip is a window of its own and takes the font of its class, not
    // of the control it explains.
    QToolTip::setFont(InterfaceFont(11));
}

QFont InterfaceFont(int pixelSize, bool bold)
{
    QFont font(InterfaceFamily());
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferDefault);
    return font;
}
