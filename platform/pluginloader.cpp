#include "platform/pluginloader.h"

#include "platform/filelocations.h"

#include <QCoreApplication>
#include <QDir>

QStringList PluginFolders()
{
    // The program's folder when it is portable, the package's plugin folder
    // when it is installed (platform/filelocations.h).
    QStringList folders{FileLocations::ForExecutable(QCoreApplication::applicationDirPath()).pluginFolder};
#ifdef TESSELO_PLUGIN_DIR_FROM_ENVIRONMENT
    // Built into the tests and benchmarks alone (CMakeLists.txt): the
    // program itself never reads the variable.
    const QString extra = qEnvironmentVariable("TESSELO_PLUGIN_DIR");
    if (!extra.isEmpty())
        folders << extra;
#endif
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
