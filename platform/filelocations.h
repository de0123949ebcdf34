#pragma once
// Where the program's files are. One rule, decided once at start-up from the
// executable's folder:
//
// - Portable: the executable's folder holds Settings.ini or a file named
//   "portable" (the build folder and the portable install have one). Every
//   file lives in that folder, as it always has: Settings.ini, History.csv,
//   digital.ttf, Images/, the lock .tesselo.lock.
// - Installed: anywhere else, such as /usr/bin. Settings.ini goes in
//   $XDG_CONFIG_HOME/tesselo (~/.config/tesselo), History.csv, the lock and
//   the pictures the program writes in $XDG_DATA_HOME/tesselo
//   (~/.local/share/tesselo); pictures are looked for there first, then in
//   the installed library <exe>/../share/tesselo/Images; plugins load from
//   <exe>/../lib/<multiarch>/tesselo; the stopwatch font is registered from
//   memory and no file is written for it. The package's folders are found
//   relative to the executable, so an unpacked package runs where it lies.
//
// No widgets: tests build either layout on temporary folders.

#include <QString>
#include <QStringList>

struct FileLocations {
    enum class Mode { Portable, Installed };
    Mode mode = Mode::Portable;
    QString settingsFolder;    // Settings.ini
    QString dataFolder;        // History.csv, .tesselo.lock, the pictures written (Images/...)
    QStringList pictureRoots;  // the folders holding Images/, searched in order; dataFolder first
    QString pluginFolder;      // tesselo_cube.so, tesselo_progress.so

    // Everything in one folder.
    static FileLocations Portable(const QString& folder);
    // The package's layout around executableFolder, with the user's files in
    // the given XDG base folders (each gets "tesselo" appended).
    static FileLocations Installed(const QString& executableFolder, const QString& configHome, const QString& dataHome);
    // The rule above, for the executable in executableFolder, with the
    // user's XDG folders.
    static FileLocations ForExecutable(const QString& executableFolder);

    QString SettingsPath() const;
    QString HistoryPath() const;
    // The file digital.ttf is written to, or empty: the font is then
    // registered from memory.
    QString FontFilePath() const;
    // The first existing file of that relative path ("Images/OLL/5.gif")
    // below the picture roots; when none has it, its path below dataFolder.
    QString FindPicture(const QString& relative) const;
    // The *.gif names found in that relative folder below any picture root,
    // each once, sorted by name.
    QStringList ListPictures(const QString& relativeFolder) const;
    // Makes the settings and data folders of an installed program (the
    // first run); false when one cannot be made.
    bool MakeFolders() const;
};

// The name of the file that makes a folder portable.
inline constexpr const char* kPortableMarkerName = "portable";
