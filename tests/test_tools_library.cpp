// The generator shares the Images folder with the user: it fills in what is
// missing and keeps its own pictures up to date, but never touches a file it
// did not make, nor one the user changed since, nor the program's own folders.

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kGenerator = QStringLiteral(TESSELO_BUILD_DIR "/tools/tesselo_gen");

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray Sha1(const QByteArray& bytes) { return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex(); }

}  // namespace

class LibraryTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    QString Path(const QString& relative) const { return dir.path() + QStringLiteral("/Images/") + relative; }

    // Runs the generator on the temporary Images folder; its one-line report.
    QString Generate()
    {
        QProcess process;
        process.start(kGenerator, {QStringLiteral("--library"), dir.path() + QStringLiteral("/Images")});
        if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
            return QStringLiteral("failed: ") + QString::fromLocal8Bit(process.readAllStandardError());
        return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QVERIFY2(QFile::exists(kGenerator), "build tesselo_gen first");
    }

    void firstRunFillsTheLibraryAroundTheUsersFiles()
    {
        WriteBytes(Path(QStringLiteral("OLL-2/1/1.gif")), "mine");
        WriteBytes(Path(QStringLiteral("OLL-2/1/extra.gif")), "also mine");
        WriteBytes(Path(QStringLiteral("OLL/1.gif")), "an Easy picture");
        const QString report = Generate();
        QVERIFY2(report.contains(QLatin1String("792 Hard pictures (791 written, 0 unchanged, 1 of the user's kept)")),
                 qPrintable(report));
        QCOMPARE(ReadBytes(Path(QStringLiteral("OLL-2/1/1.gif"))), QByteArray("mine"));
        QCOMPARE(ReadBytes(Path(QStringLiteral("OLL-2/1/extra.gif"))), QByteArray("also mine"));
        QCOMPARE(ReadBytes(Path(QStringLiteral("OLL/1.gif"))), QByteArray("an Easy picture"));
        QVERIFY(ReadBytes(Path(QStringLiteral("OLL-2/1/2.gif"))).startsWith("GIF89a"));
        QVERIFY(!QDir(Path(QStringLiteral("PLL"))).exists());
        const QByteArray manifest = ReadBytes(Path(QStringLiteral(".tesselo-generated")));
        QVERIFY(manifest.contains(" OLL-2/1/2.gif\n"));
        QVERIFY(!manifest.contains(" OLL-2/1/1.gif\n"));
        QVERIFY(!manifest.contains("extra"));
    }

    void laterRunsRestoreMissingPicturesAndKeepChangedOnes()
    {
        const QByteArray original = ReadBytes(Path(QStringLiteral("OLL-2/3/1.gif")));
        QVERIFY(QFile::remove(Path(QStringLiteral("OLL-2/3/1.gif"))));
        WriteBytes(Path(QStringLiteral("OLL-2/2/1.gif")), "edited by the user");
        const QString report = Generate();
        QVERIFY2(report.contains(QLatin1String("(1 written, 789 unchanged, 2 of the user's kept)")), qPrintable(report));
        QCOMPARE(ReadBytes(Path(QStringLiteral("OLL-2/3/1.gif"))), original);
        QCOMPARE(ReadBytes(Path(QStringLiteral("OLL-2/2/1.gif"))), QByteArray("edited by the user"));
        QCOMPARE(ReadBytes(Path(QStringLiteral("OLL-2/1/1.gif"))), QByteArray("mine"));
    }

    void aStalePictureIsRemovedOnlyWhenItIsStillTheGeneratorsOwn()
    {
        // As if an earlier generator had made two more pictures, one since changed.
        WriteBytes(Path(QStringLiteral("OLL-2/1/9.gif")), "old picture");
        WriteBytes(Path(QStringLiteral("OLL-2/1/10.gif")), "changed");
        WriteBytes(Path(QStringLiteral("OLL/2.gif")), "easy");
        QByteArray manifest = ReadBytes(Path(QStringLiteral(".tesselo-generated")));
        manifest += Sha1("old picture") + " OLL-2/1/9.gif\n";
        manifest += Sha1("as generated") + " OLL-2/1/10.gif\n";
        manifest += Sha1("easy") + " OLL/2.gif\n";  // never the program's own folders
        WriteBytes(Path(QStringLiteral(".tesselo-generated")), manifest);
        const QString report = Generate();
        QVERIFY2(report.contains(QLatin1String("(0 written, 790 unchanged, 2 of the user's kept)")), qPrintable(report));
        QVERIFY(!QFile::exists(Path(QStringLiteral("OLL-2/1/9.gif"))));
        QCOMPARE(ReadBytes(Path(QStringLiteral("OLL-2/1/10.gif"))), QByteArray("changed"));
        QCOMPARE(ReadBytes(Path(QStringLiteral("OLL/2.gif"))), QByteArray("easy"));
        QVERIFY(!ReadBytes(Path(QStringLiteral(".tesselo-generated"))).contains("OLL/2.gif"));
    }

    void aLostListIsMadeAgainFromThePicturesAsGenerated()
    {
        const QByteArray before = ReadBytes(Path(QStringLiteral(".tesselo-generated")));
        QVERIFY(QFile::remove(Path(QStringLiteral(".tesselo-generated"))));
        const QString report = Generate();
        QVERIFY2(report.contains(QLatin1String("(0 written, 790 unchanged, 2 of the user's kept)")), qPrintable(report));
        QCOMPARE(ReadBytes(Path(QStringLiteral(".tesselo-generated"))), before);
        QCOMPARE(ReadBytes(Path(QStringLiteral("OLL-2/1/1.gif"))), QByteArray("mine"));
    }

    void unknownOptionsAreRefused()
    {
        QProcess process;
        process.start(kGenerator, {QStringLiteral("--everything"), dir.path()});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 1);
        QVERIFY(process.readAllStandardError().contains("unknown option"));
    }
};

QTEST_GUILESS_MAIN(LibraryTest)
#include "test_tools_library.moc"
