// Ctrl+A through the real X server under layouts without a Latin A where the
// US layout has one: setxkbmap on the test's own X server, keys typed with
// xdotool.
#include "support/harness.h"
#include "window/tform1.h"

#include <QApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

class GlKeyboardLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            QSKIP("needs an X server");
        for (const char* tool : {"setxkbmap", "xdotool"}) {
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                QSKIP(qPrintable(QStringLiteral("needs ") + QLatin1String(tool)));
        }
    }

    void ctrlAOnTheKeyOfTheLatinA_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("ctrlA");       // the key that carries the A, as the layout names it
        QTest::addColumn<QString>("otherKey");    // a key that must do nothing
        QTest::newRow("ru") << "ru" << "ctrl+Cyrillic_ef" << "ctrl+Cyrillic_ya";
        QTest::newRow("ua") << "ua" << "ctrl+Cyrillic_ef" << "ctrl+Cyrillic_ya";
        QTest::newRow("fr") << "fr" << "ctrl+a" << "ctrl+q";
    }

    void ctrlAOnTheKeyOfTheLatinA()
    {
        QFETCH(QString, layout);
        QFETCH(QString, ctrlA);
        QFETCH(QString, otherKey);
        QVERIFY(RunTool(QStringLiteral("setxkbmap"), {QStringLiteral("-layout"), layout}));
        Harness h;
        TForm1* f = h.Start();
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f));

        QVERIFY(RunTool(QStringLiteral("xdotool"), {QStringLiteral("key"), otherKey}));
        QVERIFY(RunTool(QStringLiteral("xdotool"), {QStringLiteral("key"), ctrlA}));
        QTRY_COMPARE(f->state.enabledCount, 0);
        QVERIFY(RunTool(QStringLiteral("xdotool"), {QStringLiteral("key"), ctrlA}));
        QTRY_COMPARE(f->state.enabledCount, 57);
    }
};

QTEST_MAIN(GlKeyboardLayoutTest)
#include "test_gl_keyboard_layout.moc"
