// Where the program's files go: portable folders keep everything beside the
// executable, an installed program uses the XDG folders and the package's
// folders found from its executable.
#include "platform/filelocations.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest/QtTest>

namespace {

void Touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

}   // namespace

class FileLocationsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString Path(const QString& relative) const { return QDir::cleanPath(dir.filePath(relative)); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(Path("home/config")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(Path("home/data")));
    }

    // A folder with Settings.ini (an older portable folder) or the marker is
    // portable; anything else is an installed program.
    void theFolderDecidesTheMode()
    {
        Touch(Path("old/Settings.ini"));
        Touch(Path("new/portable"));
        QDir().mkpath(Path("usr/bin"));
        QCOMPARE(FileLocations::ForExecutable(Path("old")).mode, FileLocations::Mode::Portable);
        QCOMPARE(FileLocations::ForExecutable(Path("new")).mode, FileLocations::Mode::Portable);
        QCOMPARE(FileLocations::ForExecutable(Path("usr/bin")).mode, FileLocations::Mode::Installed);
    }

    void portableKeepsEverythingInItsFolder()
    {
        const QString folder = Path("new");
        const FileLocations files = FileLocations::ForExecutable(folder);
        QCOMPARE(files.SettingsPath(), folder + "/Settings.ini");
        QCOMPARE(files.HistoryPath(), folder + "/History.csv");
        QCOMPARE(files.FontFilePath(), folder + "/digital.ttf");
        QCOMPARE(files.pictureRoots, QStringList{folder});
        QCOMPARE(files.pluginFolder, folder);
    }

    // The package's folders are found from the executable, wherever the
    // package was unpacked; the user's files go in the XDG folders; no font
    // file is written.
    void installedUsesTheXdgAndPackageFolders()
    {
        const FileLocations files = FileLocations::ForExecutable(Path("usr/bin"));
        QCOMPARE(files.SettingsPath(), Path("home/config/tesselo/Settings.ini"));
        QCOMPARE(files.HistoryPath(), Path("home/data/tesselo/History.csv"));
        QVERIFY(files.FontFilePath().isEmpty());
        QCOMPARE(files.pictureRoots, (QStringList{Path("home/data/tesselo"), Path("usr/share/tesselo")}));
        QVERIFY2(files.pluginFolder.startsWith(Path("usr/lib/")) && files.pluginFolder.endsWith("/tesselo"),
                 qPrintable(files.pluginFolder));
        QVERIFY(!QFileInfo::exists(Path("home/config/tesselo")));
        QVERIFY(files.MakeFolders());
        QVERIFY(QFileInfo(Path("home/config/tesselo")).isDir());
        QVERIFY(QFileInfo(Path("home/data/tesselo")).isDir());
    }

    // The user's pictures come before the library's; a picture found
    // nowhere is named in the data folder, where it would be written.
    void picturesAreSearchedUserFirst()
    {
        const FileLocations files = FileLocations::Installed(Path("p/usr/bin"), Path("p/config"), Path("p/data"));
        Touch(Path("p/data/tesselo/Images/OLL-2/5/mine.gif"));
        Touch(Path("p/data/tesselo/Images/OLL-2/5/b.gif"));
        Touch(Path("p/usr/share/tesselo/Images/OLL-2/5/b.gif"));
        Touch(Path("p/usr/share/tesselo/Images/OLL-2/5/a.gif"));
        Touch(Path("p/usr/share/tesselo/Images/OLL-2/5/notes.txt"));
        QCOMPARE(files.ListPictures("Images/OLL-2/5/"), (QStringList{"a.gif", "b.gif", "mine.gif"}));
        QCOMPARE(files.FindPicture("Images/OLL-2/5/b.gif"), Path("p/data/tesselo/Images/OLL-2/5/b.gif"));
        QCOMPARE(files.FindPicture("Images/OLL-2/5/a.gif"), Path("p/usr/share/tesselo/Images/OLL-2/5/a.gif"));
        QCOMPARE(files.FindPicture("Images/OLL/5.gif"), Path("p/data/tesselo/Images/OLL/5.gif"));
        QVERIFY(files.ListPictures("Images/OLL-2/6/").isEmpty());
    }
};

QTEST_GUILESS_MAIN(FileLocationsTest)
#include "test_core_filelocations.moc"
