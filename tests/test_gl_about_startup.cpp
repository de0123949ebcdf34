// Start-up keeps the OpenGL libraries out of the process: the cube view's
// plugin brings them in when the About window is first opened. Runs on X
// with Mesa, where the main window itself draws without OpenGL.
#include "about/tfrmgl.h"
#include "support/harness.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

namespace {

// The OpenGL libraries of the process that Qt's own GUI library does not
// bring anyway (it needs the small GL dispatch libraries, not these). Qt's
// OpenGL wrappers come with Qt Charts (the Progress window) and are small;
// the system's OpenGL implementation (its driver, LLVM with it) and GLU are
// what must wait for the cube.
QStringList LoadedOpenGlLibraries(bool withQtWrappers = false)
{
    static const QRegularExpression openGl(QStringLiteral(
        "^(libGL\\.so.*|libGLU\\.so.*|libGLX_mesa.*|libglapi.*|.*_dri\\.so|libgallium.*)$"));
    static const QRegularExpression qtWrappers(QStringLiteral("^libQt6OpenGL.*$"));
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return {QStringLiteral("(no /proc/self/maps)")};
    QSet<QString> found;
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const QString name = QFileInfo(QString::fromLocal8Bit(line.mid(line.indexOf('/')))).fileName();
        if (line.contains('/') && (openGl.match(name).hasMatch() || (withQtWrappers && qtWrappers.match(name).hasMatch())))
            found.insert(name);
    }
    QStringList names(found.begin(), found.end());
    names.sort();
    return names;
}

} // namespace

class AboutStartupTest : public QObject {
    Q_OBJECT

private slots:
    void openGlIsLoadedWhenTheCubeIsFirstShown()
    {
        if (qgetenv("LD_PRELOAD").contains("_dri"))
            QSKIP("the sanitized run preloads the OpenGL driver into every test");
        Harness harness;
        harness.Start();
        QVERIFY(QTest::qWaitForWindowExposed(harness.form));
        QCOMPARE(LoadedOpenGlLibraries(), QStringList());

        TfrmGL* about = harness.program->frmGL.get();
        about->show();
        QVERIFY(QTest::qWaitForWindowExposed(about));
        QVERIFY(about->HasCube());
        const QString loaded = LoadedOpenGlLibraries(true).join(QLatin1Char(' '));
        QVERIFY2(loaded.contains(QStringLiteral("libQt6OpenGLWidgets")) && loaded.contains(QStringLiteral("libGLU")),
                 qPrintable(loaded));
    }
};

QTEST_MAIN(AboutStartupTest)
#include "test_gl_about_startup.moc"
