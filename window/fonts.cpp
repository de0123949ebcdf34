#include "window/fonts.h"

#include "resources/resources.h"

#include <QGuiApplication>
#include <QFontDatabase>
#include <QStringList>
#include <QToolTip>

#include <fontconfig/fontconfig.h>
#include <thread>

namespace {

// The font system's loading, begun before the window system is contacted.
// A run that ends before it registers the interface font (another copy
// runs) waits for the loading at the exit: a thread still running when its
// handle is destroyed would abort the program.
struct FontSystemLoading {
    std::thread thread;
    ~FontSystemLoading() { Finish(); }
    void Finish()
    {
        if (thread.joinable())
            thread.join();
    }
};

FontSystemLoading& Loading()
{
    static FontSystemLoading loading;
    return loading;
}

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

void StartLoadingFontSystem()
{
    FontSystemLoading& loading = Loading();
    if (!loading.thread.joinable())
        loading.thread = std::thread([] { FcInit(); });
}

void RegisterInterfaceFonts()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    // One loading at a time: a second one begun meanwhile would be thrown away.
    Loading().Finish();
    // Only the regular face: the carried bold face draws its glyphs at the
    // regular weight, while a bold request on the regular face is emboldened
    // by the font engine and reads as bold.
    const QString family = RegisterEmbeddedFont(QStringLiteral("Tahoma"));
    if (!family.isEmpty())
        InterfaceFamily() = family;
    // A tooltip is a window of its own and takes the font of its class, not
    // of the control it explains.
    QToolTip::setFont(InterfaceFont(11));
    // The font database's list of every family and face, which the first
    // text laid out waits for, is made meanwhile from the configuration
    // loaded above (Qt's font database holds its own lock while it fills).
    if (qGuiApp == nullptr)
        return;
    Loading().thread = std::thread([] { QFontDatabase::families(); });
    // Ended before the application takes the window system's fonts away.
    qAddPostRoutine([] { Loading().Finish(); });
}

QFont InterfaceFont(int pixelSize, bool bold)
{
    QFont font(InterfaceFamily());
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferDefault);
    return font;
}
