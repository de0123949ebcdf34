// The About window where no cube can be drawn: it still opens, turns its
// invisible cube by the clock, keeps a plain white panel, reports the failure
// once at the first opening and says once in the log why there is no cube. Two ways of lacking OpenGL are tried: the
// offscreen platform (which cannot show OpenGL views in widgets even when the
// X display lends it a context) and X without any OpenGL integration, run as
// a child process of this test.
#include "about/cubepanel.h"
#include "about/tfrmgl.h"
#include "support/harness.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>

namespace {

const char* const kPlatformVariable = "TESSELO_ABOUT_TEST_PLATFORM";

QString PlatformUnderTest()
{
    return qEnvironmentVariable(kPlatformVariable, QStringLiteral("offscreen"));
}

QString ExpectedReason()
{
    return PlatformUnderTest() == QLatin1String("offscreen")
        ? QStringLiteral("the offscreen platform cannot show OpenGL views")
        : QStringLiteral("the platform cannot make an OpenGL context");
}

} // namespace

class AboutWithoutOpenGLTest : public QObject {
    Q_OBJECT

private slots:
    void windowWorksWithoutACube()
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(
            QStringLiteral("^About window: no cube is drawn, because ") + ExpectedReason() + QLatin1Char('$')));
        Harness harness;
        harness.Start();
        TfrmGL* about = harness.program->frmGL.get();
        about->Timer->stop();
        QVERIFY(!about->HasCube());
        QVERIFY(!about->HasTexture());
        QVERIFY(about->cubeView == nullptr);
        QVERIFY(QFile::exists(about->TextureFilePath()));

        about->TimerTimer();
        QCOMPARE(about->spin.SpinAngle, 4.0f);
        about->Panel1MouseDown(Qt::LeftButton, 0, 0);
        harness.clock->Advance(9);
        about->Panel1MouseMove(120, 160);
        about->Panel1MouseUp(Qt::LeftButton, 120, 160);
        QCOMPARE(about->spin.SpinStep, 20.0f);

        QImage panel;
        bool visible = false;
        QTimer::singleShot(0, about, [&] {
            visible = about->isVisible();
            panel = about->Panel1->grab().toImage().convertToFormat(QImage::Format_RGB32);
            about->close();
        });
        harness.form->BitBtn9Click();
        QVERIFY(visible);
        QCOMPARE(about->result(), int(QDialog::Accepted));
        const QStringList report{QStringLiteral("A call to an OS function failed.")};
        QCOMPARE(harness.messages->errors, report);
        QVERIFY(!QFile::exists(about->TextureFilePath()));
        QVERIFY(!panel.isNull());
        for (int y = 0; y < panel.height(); y += 7)
            for (int x = 0; x < panel.width(); x += 7)
                QCOMPARE(panel.pixel(x, y), qRgb(255, 255, 255));

        QTimer::singleShot(0, about, [&] { about->BitBtn1->click(); });
        harness.form->BitBtn9Click();
        QCOMPARE(harness.messages->errors, report);   // once only
    }

    void xWithoutOpenGlIntegration()
    {
        if (PlatformUnderTest() != QLatin1String("offscreen"))
            QSKIP("this is the child run");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(kPlatformVariable), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("QT_XCB_GL_INTEGRATION"), QStringLiteral("none"));
        QProcess child;
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("windowWorksWithoutACube")});
        QVERIFY(child.waitForFinished(120000));
        const QByteArray output = child.readAll();
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, output.constData());
        QVERIFY2(output.contains("PASS   : AboutWithoutOpenGLTest::windowWorksWithoutACube()"), output.constData());
    }
};

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", PlatformUnderTest().toLatin1());
    QApplication application(argc, argv);
    AboutWithoutOpenGLTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_gl_about_without_opengl.moc"
