// The interface font when the font system is loaded on a thread of its own
// from the first line of main, as the program starts.

#include "resources/resources.h"
#include "window/fonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QProcess>
#include <QRawFont>
#include <QtTest>

namespace {
const char* const kEndWhileLoading = "--end-while-loading";
}

class InterfaceFontTest : public QObject {
    Q_OBJECT

private slots:
    // The registration comes after the early loading: the controls get the
    // carried face.
    void carriedFaceAfterTheEarlyLoading()
    {
        RegisterInterfaceFonts();
        const QString carried = QRawFont(EmbeddedResource(QStringLiteral("Tahoma")), 11).familyName();
        QVERIFY(!carried.isEmpty());
        QVERIFY(QFontDatabase::families().contains(carried));
        QCOMPARE(QFontInfo(InterfaceFont(11)).family(), carried);
        QCOMPARE(QFontInfo(InterfaceFont(11, true)).family(), carried);
    }

    // A run that ends before any window (another copy already runs) ends
    // normally while the loading may still be under way.
    void endingDuringTheLoadingIsNormal()
    {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kEndWhileLoading)});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
    }
};

int main(int argc, char* argv[])
{
    StartLoadingFontSystem();
    if (argc > 1 && qstrcmp(argv[1], kEndWhileLoading) == 0)
        return 0;
    QApplication application(argc, argv);
    InterfaceFontTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_window_fonts.moc"
