// Start-up keeps the OpenGL and the chart libraries out of the process: the
// cube view's plugin brings OpenGL in when the About window is first opened,
// the Progress window's plugin Qt Charts when it is first opened. Runs on X
// with Mesa, where the main window itself draws without OpenGL.
#include "about/tfrmgl.h"
#include "window/progresshub.h"
#include "history/progressview.h"
#include "support/harness.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

namespace {

// The OpenGL libraries of the process that Qt's own GUI library does not
// bring anyway (it needs the small GL dispatch libraries, not these): the
// system's OpenGL implementation (its driver, LLVM with it), GLU, and with
// withQtWrappers Qt's OpenGL wrappers and Qt Charts, which brings them.
QStringList LoadedOpenGlLibraries(bool withQtWrappers = false)
{
    static const QRegularExpression openGl(QStringLiteral(
        "^(libGL\\.so.*|libGLU\\.so.*|libGLX_mesa.*|libglapi.*|.*_dri\\.so|libgallium.*)$"));
    static const QRegularExpression qtWrappers(QStringLiteral("^(libQt6OpenGL.*|libQt6Charts.*)$"));
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
        QCOMPARE(LoadedOpenGlLibraries(true), QStringList());

        harness.form->progress->OpenSet(CaseSet::OLL);
        QVERIFY(harness.form->progress->Window());
        QVERIFY2(LoadedOpenGlLibraries(true).join(QLatin1Char(' ')).contains(QStringLiteral("libQt6Charts")),
                 "the Progress window's plugin brings Qt Charts");
        harness.form->progress->Window()->Widget()->hide();

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
