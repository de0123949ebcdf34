// The whole program as installed: Settings.ini in the config folder, the
// first run's pictures, History.csv and the lock in the data folder, Hard
// pictures from the user's folder before the installed library, the
// stopwatch font from memory, and nothing written beside the executable.
#include "test_trainer_support.h"

#include <QDirIterator>

using namespace trainertest;

namespace {


// Starts the harness's program with the files of an installed program
// whose executable is in <folder>/usr/bin.
TForm1* StartInstalled(Harness& h)
{
    Environment env;
    env.files = FileLocations::Installed(h.Path("usr/bin"), h.Path("config"), h.Path("data"));
    env.clock = h.clock;
    env.random = h.random;
    env.messages = h.messages;
    env.systemLanguage = [] { return QStringLiteral("en_US"); };
    h.program = std::make_unique<Program>(env);
    h.form = h.program->form1.get();
    h.form->show();
    return h.form;
}

}   // namespace

class InstalledTest : public QObject {
    Q_OBJECT

private slots:
    void firstRunAcceptAndCloseUseTheUsersFolders()
    {
        Harness h;
        WriteBytes(h.Path("usr/share/tesselo/Images/OLL-2/7/library.gif"), PictureBytes(1));
        const QStringList packaged = FilesBelow(h.Path("usr"));
        TForm1* f = StartInstalled(h);
        QVERIFY(QFileInfo::exists(h.Path("data/tesselo/Images/OLL/1.gif")));
        QVERIFY(QFileInfo::exists(h.Path("data/tesselo/.tesselo.lock")));

        EnableOnly(f, {7});
        h.StartAttempt();
        h.Tick(1234);
        f->BitBtn1Click();
        f->BitBtn2Click();
        h.Stop();

        // No "Не могу подключить шрифт": the font registered from memory.
        QVERIFY(h.messages->shown.isEmpty() && h.messages->errors.isEmpty());
        QVERIFY(QFile(h.Path("config/tesselo/Settings.ini")).size() > 0);
        QVERIFY(QFile(h.Path("data/tesselo/History.csv")).size() > 0);
        QCOMPARE(FilesBelow(h.Path("usr")), packaged);
        QCOMPARE(FilesBelow(h.Path("config")), QStringList{"tesselo/Settings.ini"});
        QVERIFY(FilesBelow(h.Folder()).filter("digital.ttf").isEmpty());
    }

    // The Hard draw takes the user's pictures and the library's together,
    // a user's file of the same name standing for the library's.
    void hardPicturesComeFromBothFolders()
    {
        Harness h;
        WriteBytes(h.Path("config/tesselo/Settings.ini"), Settings("en", "OLL", true));
        WriteBytes(h.Path("usr/share/tesselo/Images/OLL-2/3/a.gif"), PictureBytes(1));
        WriteBytes(h.Path("usr/share/tesselo/Images/OLL-2/3/b.gif"), PictureBytes(2));
        WriteBytes(h.Path("data/tesselo/Images/OLL-2/3/b.gif"), PictureBytes(3));
        TForm1* f = StartInstalled(h);
        EnableOnly(f, {3});
        QSet<int> shown;
        for (int i = 0; i < 40; ++i) {
            h.StartAttempt();
            QCOMPARE(f->state.pictureFiles, (QStringList{"a.gif", "b.gif"}));
            const QImage picture = f->Image1->Picture();
            QCOMPARE(picture, Decoded(PictureBytes(f->state.pictureIndex == 0 ? 1 : 3)));
            shown << f->state.pictureIndex;
            AbortAttempt(*f);
        }
        QCOMPARE(shown.size(), 2);
        QVERIFY(h.messages->shown.isEmpty());
    }
};

QTEST_MAIN(InstalledTest)
#include "test_app_installed.moc"
