#pragma once
// The program's plugins: code with heavy libraries (OpenGL, the charts) that
// is loaded only when a window first needs it, so that start-up does not.
// A plugin is looked for in one folder only, beside the executable of a
// portable program and in the package's plugin folder of an installed one
// (platform/filelocations.h): a folder others can write to must never be able to
// put code into the program. Tests and
// benchmarks run from the build tree's sub-folders and name the build folder
// in TESSELO_PLUGIN_DIR; only their build of this loader reads it (chosen at
// compile time), so the program ignores the variable whatever the
// environment holds.

#include <QPluginLoader>
#include <QString>
#include <QStringList>
#include <functional>

// The folders a plugin is looked for in, in order.
QStringList PluginFolders();

// Loads the plugin fileName (without the platform's suffix) with loader from
// the first folder where it loads and its instance is accepted by fits; the
// loader keeps it loaded. Null when none does, with the reasons in why.
QObject* LoadPlugin(QPluginLoader& loader, const QString& fileName, const std::function<bool(QObject*)>& fits,
                    QString* why);

// The factory of the plugin fileName, loaded once and kept for the rest of
// the run: what it makes lives until the program ends.
template <typename Factory> Factory* LoadPluginFactory(const char* fileName, QString* why)
{
    static QPluginLoader loader;
    if (loader.isLoaded())
        return qobject_cast<Factory*>(loader.instance());
    const auto fits = [](QObject* instance) { return qobject_cast<Factory*>(instance) != nullptr; };
    return qobject_cast<Factory*>(LoadPlugin(loader, QString::fromLatin1(fileName), fits, why));
}
