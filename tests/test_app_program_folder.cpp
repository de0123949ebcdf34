// The program folder as the program shares it: one running copy per folder
// (a second one brings the first to the front and writes nothing), the
// leftovers of runs that were killed, and a Settings.ini kept busy by
// another program.
#include "support/harness.h"

#include "app/singlecopy.h"
#include "settings/settingsfile.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// Every file under the folder, hidden ones included, with its size and
// modification time: any write shows.
QStringList Snapshot(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        files << QStringLiteral("%1 %2 %3")
                     .arg(QDir(folder).relativeFilePath(info.filePath()))
                     .arg(info.size())
                     .arg(info.lastModified().toMSecsSinceEpoch());
    }
    files.sort();
    return files;
}

void Write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

Environment SecondCopyIn(const QString& folder, const std::shared_ptr<RecordingMessages>& messages)
{
    Environment env;
    env.files = FileLocations::Portable(folder);
    env.clock = std::make_shared<ManualClock>();
    env.random = std::make_shared<SeededRandom>(1);
    env.messages = messages;
    env.systemLanguage = [] { return QStringLiteral("en_US"); };
    return env;
}

}   // namespace

class AppProgramFolderTest : public QObject {
    Q_OBJECT

private slots:
    // The second copy speaks the running copy's language, brings its window
    // back from the task bar and ends without touching a file.
    void secondCopyRaisesTheFirstAndWritesNothing()
    {
        Harness h;
        h.WriteSettings("[Settings]\nLanguage=ru\n");
        h.Start();
        h.form->showMinimized();
        QVERIFY(h.form->isMinimized());
        const QStringList before = Snapshot(h.Folder());

        const auto messages = std::make_shared<RecordingMessages>();
        {
            Program second(SecondCopyIn(h.Folder(), messages));
            QVERIFY(!second.Started());
        }
        QCOMPARE(messages->shown, QStringList{QStringLiteral("Tesselo уже запущен из этой папки")});
        QTRY_VERIFY(!h.form->isMinimized());
        QCOMPARE(Snapshot(h.Folder()), before);

        h.Stop();   // the first copy still owns the folder and saves as usual
        QVERIFY(h.ReadSettings().contains("[Results]"));
        QVERIFY(QFileInfo::exists(h.Path(QLatin1String(kProgramFolderLockName))));
        QVERIFY(h.Restart());   // the lock went with the first copy
    }

    // A folder never run from: the second copy makes no Settings.ini, no
    // picture, no font, and asks in the system's language.
    void secondCopyInAnEmptyFolderMakesNothing()
    {
        QTemporaryDir folder;
        const ProgramFolderLock running(folder.path());
        QCOMPARE(running.state(), ProgramFolderLock::State::Held);
        const auto messages = std::make_shared<RecordingMessages>();
        Program second(SecondCopyIn(folder.path(), messages));
        QVERIFY(!second.Started());
        QCOMPARE(messages->shown, QStringList{QStringLiteral("Tesselo is already running from this folder")});
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{QLatin1String(kProgramFolderLockName)});
    }

    void copiesInDifferentFoldersRunSideBySide()
    {
        Harness first, second;
        QVERIFY(first.Start());
        QVERIFY(second.Start());
        QVERIFY(first.messages->shown.isEmpty() && second.messages->shown.isEmpty());
        first.Stop();
        second.Stop();
        QVERIFY(first.ReadSettings().contains("[Results]"));
        QVERIFY(second.ReadSettings().contains("[Results]"));
    }

    // Temporaries of the program's own files, left by runs killed while
    // writing, go at the next start; files of the user's that merely look
    // alike stay.
    void leftoversOfKilledRunsAreRemovedAndNothingElse()
    {
        Harness h;
        h.WriteSettings("[Settings]\nLanguage=en\n");
        const QStringList leftovers{"History.csv.tmp.Ab12Cd", "digital.ttf.tmp.x9Y8z7", "Settings.ini.tmp.k1Lled",
                                    "Settings.ini.tmp", "Settings.ini.new", "Settings.ini.new.tmp.Q1w2E3",
                                    "Images/cube.bmp.tmp.aaaaaa", "Images/OLL/57.gif.tmp.ZZZZZZ",
                                    "Images/PLL/1.gif.tmp.000000"};
        const QStringList usersOwn{"History.csv.tmp.Ab12Cd.bak", "History.csv.tmp.Ab-2Cd", "notes.txt.tmp.abcdef",
                                   "digital.ttf.tmp.toolong", "Images/OLL/58.gif.tmp.abcdef",
                                   "Images/PLL/22.gif.tmp.abcdef", "Images/OLL/mine.gif.tmp.abcdef",
                                   "Images/OLL-2/5/1.gif.tmp.abcdef"};
        Write(h.Path("History.csv"), "");
        for (const QString& name : leftovers + usersOwn)
            Write(h.Path(name), "half written");
        h.Start();
        for (const QString& name : leftovers)
            QVERIFY2(!QFileInfo::exists(h.Path(name)), qPrintable(name));
        for (const QString& name : usersOwn)
            QVERIFY2(QFileInfo::exists(h.Path(name)), qPrintable(name));
    }

    // Another program keeps the settings file's lock: the switch waits for
    // it once, for a bounded time, then says what happened; the window stays
    // in its set and the next switch goes through.
    void switchWhileSettingsAreBusyWaitsOnceAndSaysSo()
    {
        Harness h;
        h.WriteSettings("[Settings]\nLanguage=ru\n");
        h.Start();
        const int folder = ::open(QFile::encodeName(h.Folder()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        QVERIFY(folder >= 0);
        QCOMPARE(::flock(folder, LOCK_EX), 0);
        QElapsedTimer waited;
        waited.start();
        h.form->BitBtn6Click();
        const qint64 ms = waited.elapsed();
        ::close(folder);
        QVERIFY2(ms < 3500, qPrintable(QString::number(ms)));   // two waits took 4 s
        const QString path = QFileInfo(h.Path("Settings.ini")).absoluteFilePath();
        QCOMPARE(h.messages->errors, QStringList{SettingsBusyError(path).Text(true)});
        QVERIFY(h.messages->errors.first().startsWith(QStringLiteral("Файл настроек ")));
        QCOMPARE(h.form->state.currentSet, CaseSet::OLL);
        h.form->BitBtn6Click();
        QCOMPARE(h.form->state.currentSet, CaseSet::PLL);
        QCOMPARE(h.messages->errors.size(), 1);
    }
};

QTEST_MAIN(AppProgramFolderTest)
#include "test_app_program_folder.moc"
