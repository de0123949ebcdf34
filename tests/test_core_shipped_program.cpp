// The program as built for users: plugins come from its own folder only, so
// the variable that points the tests and benchmarks at the build tree must be
// unknown to it. Its name would have to be in the executable for the program
// to read it.
#include <QFile>
#include <QtTest>

class ShippedProgramTest : public QObject {
    Q_OBJECT

private slots:
    void ignoresThePluginFolderVariable()
    {
        QFile program(QStringLiteral(TESSELO_BUILD_DIR "/tesselo"));
        QVERIFY2(program.open(QIODevice::ReadOnly), qPrintable(program.fileName()));
        const QByteArray bytes = program.readAll();
        QVERIFY(bytes.startsWith("\x7f" "ELF"));
        // The texts the loader does use are there to be found.
        QVERIFY(bytes.contains("tesselo_cube"));
        QVERIFY(!bytes.contains("TESSELO_PLUGIN_DIR"));
    }
};

QTEST_GUILESS_MAIN(ShippedProgramTest)
#include "test_core_shipped_program.moc"
