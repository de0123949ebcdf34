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

// Told by the client area: Qt refreshes its idea of the frame only when the
// window moves or resizes, so after a quick maximise it may still show the
// normal frame's margins around the maximised client.
bool Maximised(const TForm1* form)
{
    const QRect screen = form->screen()->availableGeometry();
    return form->isMaximized() && screen.contains(form->geometry()) && form->width() == screen.width();
}

bool Restored(const TForm1* form) { return !form->isMaximized() && form->frameGeometry() == kSaved; }

// A double click on the title bar, as the user maximises and restores.
bool DoubleClickTitleBar(const TForm1* form)
{
    const QRect frame = form->frameGeometry();
    const int titleY = (frame.top() + form->geometry().top()) / 2;
    return RunTool("xdotool", {"mousemove", QString::number(frame.center().x()), QString::number(titleY), "click",
                           "--repeat", "2", "--delay", "40", "1"});
}

QRect SavedBounds(const Harness& h)
{
    const SettingsFile file(h.Path(QStringLiteral("Settings.ini")));
    return QRect(file.ReadInteger("Position", "X", -999), file.ReadInteger("Position", "Y", -999),
                 file.ReadInteger("Position", "Width", -999), file.ReadInteger("Position", "Height", -999));
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
        for (const char* tool : {"openbox", "xprop", "xdotool"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                QSKIP("needs openbox, xprop and xdotool");
        QVERIFY(StartWindowManager(openbox, kTimeoutMs));
    }

    void cleanupTestCase()
    {
        openbox.terminate();
        openbox.waitForFinished(kTimeoutMs);
    }

    // Asked of the window manager by the program, then by the title bar.
    void maximiseAndRestoreKeepTheNormalBounds()
    {
        Harness h;
        h.WriteSettings(kPlacement);
        TForm1* form = h.Start();
        QTRY_VERIFY_WITH_TIMEOUT(form->frameGeometry() != form->geometry(), kTimeoutMs);   // framed
        QTRY_COMPARE_WITH_TIMEOUT(form->frameGeometry(), kSaved, kTimeoutMs);
        for (int cycle = 0; cycle < 6; ++cycle) {
            const bool byTitleBar = cycle >= 3;
            QVERIFY(byTitleBar ? DoubleClickTitleBar(form) : (form->showMaximized(), true));
            QTRY_VERIFY_WITH_TIMEOUT(Maximised(form), kTimeoutMs);
            QVERIFY(byTitleBar ? DoubleClickTitleBar(form) : (form->showNormal(), true));
            QTRY_VERIFY_WITH_TIMEOUT(Restored(form), kTimeoutMs);
        }
        form->showMaximized();
        QTRY_VERIFY_WITH_TIMEOUT(Maximised(form), kTimeoutMs);
        h.Stop();
        QCOMPARE(SavedBounds(h), kSaved);
        QCOMPARE(SettingsFile(h.Path("Settings.ini")).ReadString("Position", "max", ""), QStringLiteral("1"));
    }

    void windowStartedMaximisedRestoresToItsSavedBounds()
    {
        Harness h;
        h.WriteSettings(kPlacement + "max=1\n");
        TForm1* form = h.Start();
        QTRY_VERIFY_WITH_TIMEOUT(Maximised(form), kTimeoutMs);
        for (int cycle = 0; cycle < 2; ++cycle) {
            QVERIFY(DoubleClickTitleBar(form));
            QTRY_VERIFY_WITH_TIMEOUT(Restored(form), kTimeoutMs);
            QVERIFY(DoubleClickTitleBar(form));
            QTRY_VERIFY_WITH_TIMEOUT(Maximised(form), kTimeoutMs);
        }
        h.Stop();
        QCOMPARE(SavedBounds(h), kSaved);
    }
};

QTEST_MAIN(WindowPlacementTest)
#include "test_gl_window_placement.moc"
