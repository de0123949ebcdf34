#include "about/cubesurface.h"
#include "about/pluginloader.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
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

QObject* LoadPlugin(const QString& fileName, QString* why)
{
    // Loaded once and kept: what the plugins make lives until the program ends.
    static QHash<QString, QPluginLoader*> loaders;
    QPluginLoader*& loader = loaders[fileName];
    if (!loader)
        loader = new QPluginLoader;
    if (loader->isLoaded())
        return loader->instance();
    QStringList reasons;
    for (const QString& folder : PluginFolders()) {
        loader->setFileName(QDir(folder).filePath(fileName));
        if (QObject* instance = loader->instance())
            return instance;
        reasons << loader->errorString();
    }
    if (why)
        *why = reasons.join(QStringLiteral("; "));
    return nullptr;
}

CubeViewFactory* LoadCubeViewFactory(QString* why)
{
    QObject* instance = LoadPlugin(QString::fromLatin1(kCubePluginName), why);
    auto* factory = qobject_cast<CubeViewFactory*>(instance);
    if (instance && !factory && why)
        *why = QStringLiteral("%1 is not the cube view").arg(QString::fromLatin1(kCubePluginName));
    return factory;
}
