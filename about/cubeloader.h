#pragma once
// Finding and loading the program's plugins. A plugin is looked for beside
// the executable only: a folder others can write to must never be able to
// put code into the program. Tests and benchmarks run from the build tree's
// sub-folders and name the build folder in TESSELO_PLUGIN_DIR, which the
// installed program is never given.

#include <QString>
#include <QStringList>
#include <functional>

class QObject;
class QPluginLoader;

// The folders a plugin is looked for in, in order.
QStringList PluginFolders();

// Loads the plugin fileName (without the platform's suffix) with loader from
// the first folder where it loads and its instance is accepted by fits; the
// loader keeps it loaded. Null when none does, with the reasons in why.
QObject* LoadPlugin(QPluginLoader& loader, const QString& fileName, const std::function<bool(QObject*)>& fits,
                    QString* why);
