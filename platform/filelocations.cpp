#include "platform/filelocations.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

// The package's folders as seen from the folder of the executable
// (cmake/package.cmake): "../lib/<multiarch>/tesselo", "../share/tesselo".
#ifndef TESSELO_PLUGIN_DIR_FROM_BIN
#error "TESSELO_PLUGIN_DIR_FROM_BIN is set by the build"
#endif
#ifndef TESSELO_DATA_DIR_FROM_BIN
#error "TESSELO_DATA_DIR_FROM_BIN is set by the build"
#endif

namespace {

const QString kProgramName = QStringLiteral("tesselo");

QString Below(const QString& folder, const QString& relative)
{
    return QDir::cleanPath(QDir(folder).filePath(relative));
}

bool IsPortableFolder(const QString& folder)
{
    const QDir dir(folder);
    return QFileInfo::exists(dir.filePath(QStringLiteral("Settings.ini")))
        || QFileInfo::exists(dir.filePath(QLatin1String(kPortableMarkerName)));
}

}   // namespace

FileLocations FileLocations::Portable(const QString& folder)
{
    FileLocations where;
    where.mode = Mode::Portable;
    where.settingsFolder = folder;
    where.dataFolder = folder;
    where.pictureRoots = {folder};
    where.pluginFolder = folder;
    return where;
}

FileLocations FileLocations::Installed(const QString& executableFolder, const QString& configHome,
                                       const QString& dataHome)
{
    FileLocations where;
    where.mode = Mode::Installed;
    where.settingsFolder = Below(configHome, kProgramName);
    where.dataFolder = Below(dataHome, kProgramName);
    where.pictureRoots = {where.dataFolder, Below(executableFolder, QStringLiteral(TESSELO_DATA_DIR_FROM_BIN))};
    where.pluginFolder = Below(executableFolder, QStringLiteral(TESSELO_PLUGIN_DIR_FROM_BIN));
    return where;
}

FileLocations FileLocations::ForExecutable(const QString& executableFolder)
{
    if (IsPortableFolder(executableFolder))
        return Portable(executableFolder);
    return Installed(executableFolder, QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation),
                     QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

QString FileLocations::SettingsPath() const
{
    return QDir(settingsFolder).filePath(QStringLiteral("Settings.ini"));
}

QString FileLocations::HistoryPath() const
{
    return QDir(dataFolder).filePath(QStringLiteral("History.csv"));
}

QString FileLocations::FontFilePath() const
{
    return mode == Mode::Portable ? QDir(dataFolder).filePath(QStringLiteral("digital.ttf")) : QString();
}

QString FileLocations::FindPicture(const QString& relative) const
{
    for (const QString& root : pictureRoots) {
        const QString path = QDir(root).filePath(relative);
        if (QFileInfo::exists(path))
            return path;
    }
    return QDir(dataFolder).filePath(relative);
}

QStringList FileLocations::ListPictures(const QString& relativeFolder) const
{
    QStringList names;
    for (const QString& root : pictureRoots) {
        // As window/pictures.h's ListGifFiles: files only, hidden ones too.
        const QDir dir(QDir(root).filePath(relativeFolder));
        if (dir.exists())
            names += dir.entryList({QStringLiteral("*.gif")}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

bool FileLocations::MakeFolders() const
{
    return QDir().mkpath(settingsFolder) && QDir().mkpath(dataFolder);
}
