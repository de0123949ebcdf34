// "Export…" in the tiles' popup menu: its place under "Progress…", the file
// the chosen type writes, the save dialog's hint on importing, a cancelled
// dialog and a refused write.
#include "support/harness.h"

#include "core/caseidentity.h"
#include "interchange/exportmenu.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QByteArray kHistory = "time,set,case,level,recognition,seconds,exam,scramble\r\n"
                            "2026-12-09T11:32:05Z,OLL,4,Easy,top,1.470,0,R U R' U'\r\n";

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ExportMenu* StartWithHistory(Harness& h)
{
    QFile history(h.Path("History.csv"));
    if (!history.open(QIODevice::WriteOnly) || history.write(kHistory) != kHistory.size())
        qFatal("History.csv not written");
    history.close();
    h.Start();
    return h.form->findChild<ExportMenu*>("ExportMenu");
}

// Runs the menu's export to path as format; true when it ended.
bool ExportTo(ExportMenu* menu, const QString& path, ExportFormat format)
{
    menu->chooseTarget = [=] { return ExportMenu::Target{path, format}; };
    QSignalSpy finished(menu, &ExportMenu::Finished);
    menu->menuItem->trigger();
    return finished.count() == 1 || finished.wait(10000);
}

} // namespace

class ExportMenuTest : public QObject {
    Q_OBJECT

private slots:
    void underProgressInBothLanguages()
    {
        for (const char* language : {"en_US", "ru_RU"}) {
            Harness h(QString::fromLatin1(language));
            h.Start();
            const QList<QAction*> items = h.form->PopupMenu1->actions();
            const qsizetype progress = items.indexOf(h.form->findChild<QAction*>("N2"));
            QVERIFY(progress >= 0 && progress + 1 < items.size());
            QCOMPARE(items[progress + 1]->objectName(), QString("exportItem"));
            QCOMPARE(items[progress + 1]->text(), QString(language[0] == 'r' ? "Экспорт…" : "Export…"));
        }
    }

    void writesTheChosenFormat()
    {
        Harness h;
        ExportMenu* menu = StartWithHistory(h);
        QVERIFY(menu);
        const QString json = h.Path("out.json");
        QVERIFY(ExportTo(menu, json, ExportFormat::CsTimer));
        QCOMPARE(ReadAll(json), ExportHistory(ExportFormat::CsTimer, kHistory, CaseIdentities()));
        QCOMPARE(h.messages->shown.size(), 1);
        QVERIFY(h.messages->shown[0].startsWith("Exported 1 OLL and 0 PLL times to "));
        QVERIFY(h.messages->shown[0].contains("\"Import session(s) from other timers\""));
        QVERIFY(h.messages->shown[0].contains("Do not choose \"Import from file\""));

        const QString backup = h.Path("backup.txt");
        QVERIFY(ExportTo(menu, backup, ExportFormat::TwistyTimer));
        QCOMPARE(ReadAll(backup), ExportHistory(ExportFormat::TwistyTimer, kHistory, CaseIdentities()));
        QVERIFY(h.messages->errors.isEmpty());
    }

    // The real dialog: the hint follows the file type, and so does the name.
    void dialogTellsWhichImport()
    {
        Harness h;
        ExportMenu* menu = StartWithHistory(h);
        QStringList hints;
        QString proposed;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            hints << dialog->findChild<QLabel*>("importHint")->text();
            QTest::keyClick(dialog->findChild<QComboBox*>("fileTypeCombo"), Qt::Key_Down);   // as the user picks it
            hints << dialog->findChild<QLabel*>("importHint")->text();
            proposed = dialog->findChild<QLineEdit*>("fileNameEdit")->text();
            dialog->reject();
        });
        menu->menuItem->trigger();
        QCOMPARE(hints.size(), 2);
        QVERIFY(hints[0].contains("\"Import session(s) from other timers\"") && hints[0].contains("\"Import from file\""));
        QVERIFY(hints[1].contains("TwistyTimer"));
        QCOMPARE(proposed, QString("Tesselo.txt"));
        QVERIFY(!menu->Busy());
        QVERIFY(h.messages->shown.isEmpty() && h.messages->errors.isEmpty());
    }

    void cancelledOrRefused()
    {
        Harness h;
        ExportMenu* menu = StartWithHistory(h);
        QVERIFY(ExportTo(menu, h.Path("no/such/folder/out.json"), ExportFormat::CsTimer));
        QCOMPARE(h.messages->errors.size(), 1);
        QVERIFY2(h.messages->errors[0].startsWith("Cannot write "), qPrintable(h.messages->errors[0]));
        QVERIFY(h.messages->shown.isEmpty());
        QVERIFY(menu->menuItem->isEnabled());
        QCOMPARE(ReadAll(h.Path("History.csv")), kHistory);
    }
};

QTEST_MAIN(ExportMenuTest)
#include "test_app_export_menu.moc"
