#include "about/cubesurface.h"

#include <QCoreApplication>
#include <QDir>
#include <QPluginLoader>

namespace {

QStringList PluginFolders()
{
    QStringList folders{QCoreApplication::applicationDirPath()};
#ifdef TESSELO_CUBE_PLUGIN_BUILD_DIR
    folders << QStringLiteral(TESSELO_CUBE_PLUGIN_BUILD_DIR);
#endif
    return folders;
}

} // namespace

CubeViewFactory* LoadCubeViewFactory(QString* why)
{
    // Loaded once and kept: the views it makes live until the program ends.
    static QPluginLoader loader;
    if (loader.isLoaded())
        return qobject_cast<CubeViewFactory*>(loader.instance());
    QStringList reasons;
    for (const QString& folder : PluginFolders()) {
        loader.setFileName(QDir(folder).filePath(QString::fromLatin1(kCubePluginName)));
        if (QObject* instance = loader.instance()) {
            if (auto* factory = qobject_cast<CubeViewFactory*>(instance))
                return factory;
            loader.unload();
            reasons << QStringLiteral("%1 is not the cube view").arg(loader.fileName());
            continue;
        }
        reasons << loader.errorString();
    }
    if (why)
        *why = reasons.join(QStringLiteral("; "));
    return nullptr;
}
