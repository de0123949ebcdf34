// The main window's saved bounds through maximise and restore under a real
// window manager (openbox on the Xvfb display), whose normal and maximised
// frames differ. Every step waits for the window manager's answer with a
// timeout instead of sleeping.
#include "settings/settingsfile.h"
#include "support/harness.h"

#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QtTest>

namespace {

const QRect kSaved(299, 130, 902, 725);
const QByteArray kPlacement = "[Settings]\nLanguage=en\n[Position]\nX=299\nY=130\nWidth=902\nHeight=725\n";
constexpr int kTimeoutMs = 10000;

bool WindowManagerRuns()
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
    return xprop.waitForFinished(kTimeoutMs) && xprop.readAllStandardOutput().contains("window id");
}

bool Maximised(const TForm1* form)
{
    return form->isMaximized() && form->frameGeometry() == form->screen()->availableGeometry();
}

QRect SavedBounds(const Harness& h)
{
    const SettingsFile file(h.Path(QStringLiteral("Settings.ini")));
    return QRect(file.ReadInteger("Position", "X", -999), file.ReadInteger("Position", "Y", -999),
                 file.ReadInteger("Position", "Width", -999), file.ReadInteger("Position", "Height", -999));
}

// A double click on the title bar, as the user maximises and restores.
void DoubleClickTitleBar(const TForm1* form)
{
    const QRect frame = form->frameGeometry();
    const int titleY = frame.top() + (form->geometry().top() - frame.top()) / 2;
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(frame.center().x()),
                                              QString::number(titleY), QStringLiteral("click"),
                                              QStringLiteral("--repeat"), QStringLiteral("2"),
                                              QStringLiteral("--delay"), QStringLiteral("40"), QStringLiteral("1")});
    QVERIFY(xdotool.waitForFinished(kTimeoutMs));
    QCOMPARE(xdotool.exitCode(), 0);
}

} // namespace

class WindowPlacementTest : public QObject {
    Q_OBJECT

private:
    QProcess openbox;

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X display");
        if (QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("xprop")).isEmpty())
            QSKIP("needs openbox and xprop");
        openbox.start(QStringLiteral("openbox"), {});
        QVERIFY(openbox.waitForStarted(kTimeoutMs));
        QTRY_VERIFY_WITH_TIMEOUT(WindowManagerRuns(), kTimeoutMs);
    }

    void cleanupTestCase()
    {
        if (openbox.state() == QProcess::NotRunning)
            return;
        openbox.terminate();
        openbox.waitForFinished(kTimeoutMs);
    }

    void maximiseAndRestoreKeepTheNormalBounds()
    {
        Harness h;
        h.WriteSettings(kPlacement);
        TForm1* form = h.Start();
        QTRY_VERIFY_WITH_TIMEOUT(form->frameGeometry() != form->geometry(), kTimeoutMs);   // framed
        QTRY_COMPARE_WITH_TIMEOUT(form->frameGeometry(), kSaved, kTimeoutMs);
        for (int cycle = 0; cycle < 3; ++cycle) {
            form->showMaximized();
            QTRY_VERIFY_WITH_TIMEOUT(Maximised(form), kTimeoutMs);
            form->showNormal();
            QTRY_VERIFY_WITH_TIMEOUT(!form->isMaximized() && form->frameGeometry() == kSaved, kTimeoutMs);
        }
        const bool canClick = !QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty();
        for (int cycle = 0; canClick && cycle < 3; ++cycle) {
            DoubleClickTitleBar(form);
            QTRY_VERIFY_WITH_TIMEOUT(Maximised(form), kTimeoutMs);
            DoubleClickTitleBar(form);
            QTRY_VERIFY_WITH_TIMEOUT(!form->isMaximized() && form->frameGeometry() == kSaved, kTimeoutMs);
        }
        form->showMaximized();
        QTRY_VERIFY_WITH_TIMEOUT(Maximised(form), kTimeoutMs);
        h.Stop();
        QCOMPARE(SavedBounds(h), kSaved);
        QCOMPARE(SettingsFile(h.Path("Settings.ini")).ReadString("Position", "max", ""), QStringLiteral("1"));
    }

    void windowStartedMaximisedRestoresToItsSavedBounds()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("needs xdotool");
        Harness h;
        h.WriteSettings(kPlacement + "max=1\n");
        TForm1* form = h.Start();
        QTRY_VERIFY_WITH_TIMEOUT(Maximised(form), kTimeoutMs);
        for (int cycle = 0; cycle < 2; ++cycle) {
            DoubleClickTitleBar(form);
            QTRY_VERIFY_WITH_TIMEOUT(!form->isMaximized() && form->frameGeometry() == kSaved, kTimeoutMs);
            DoubleClickTitleBar(form);
            QTRY_VERIFY_WITH_TIMEOUT(Maximised(form), kTimeoutMs);
        }
        h.Stop();
        QCOMPARE(SavedBounds(h), kSaved);
    }
};

QTEST_MAIN(WindowPlacementTest)
#include "test_gl_window_placement.moc"
