#include "about/cubeloader.h"

#include "about/cubesurface.h"

#include <QCoreApplication>
#include <QDir>
#include <QPluginLoader>

QStringList PluginFolders()
{
    QStringList folders{QCoreApplication::applicationDirPath()};
    const QString extra = qEnvironmentVariable("TESSELO_PLUGIN_DIR");
    if (!extra.isEmpty())
        folders << extra;
    return folders;
}

QObject* LoadPlugin(QPluginLoader& loader, const QString& fileName, const std::function<bool(QObject*)>& fits,
                    QString* why)
{
    QStringList reasons;
    for (const QString& folder : PluginFolders()) {
        loader.setFileName(QDir(folder).filePath(fileName));
        if (QObject* instance = loader.instance()) {
            if (fits(instance))
                return instance;
            loader.unload();
            reasons << QStringLiteral("%1 is not the plugin expected").arg(loader.fileName());
            continue;
        }
        reasons << loader.errorString();
    }
    if (why)
        *why = reasons.join(QStringLiteral("; "));
    return nullptr;
}

CubeViewFactory* LoadCubeViewFactory(QString* why)
{
    // Loaded once and kept: the views it makes live until the program ends.
    static QPluginLoader loader;
    if (loader.isLoaded())
        return qobject_cast<CubeViewFactory*>(loader.instance());
    const auto isCubeView = [](QObject* instance) { return qobject_cast<CubeViewFactory*>(instance) != nullptr; };
    return qobject_cast<CubeViewFactory*>(
        LoadPlugin(loader, QString::fromLatin1(kCubePluginName), isCubeView, why));
}
