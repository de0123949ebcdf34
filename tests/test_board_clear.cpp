// The clear dialog and what clearing does to the board and to the file.

#include "support/harness.h"

#include "board/tform2.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>
#include <functional>

namespace {

QByteArray Settings(const QByteArray& language)
{
    return "[Settings]\nLanguage=" + language + "\n"
           "[Results]\navg1=4,546\nbes1=2,434\nnes1=10\navg2=6,842\nbes2=5,100\nnes2=5\n";
}

QStringList Panels(const TForm1* form)
{
    QStringList texts;
    for (int panel = 0; panel < PanelStatusBar::kPanels; ++panel)
        texts << form->StatusBar1->PanelText(panel);
    return texts;
}

QByteArray ResultValue(const QByteArray& file, const QByteArray& key)
{
    bool inside = false;
    for (const QByteArray& line : file.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.startsWith('['))
            inside = trimmed == "[Results]";
        else if (inside && trimmed.startsWith(key + "="))
            return trimmed.mid(key.size() + 1);
    }
    return "(missing)";
}

// Acts on the clear dialog once its modal loop runs; closes it afterwards in
// any case, so a failed check never leaves the test waiting.
void WhenClearDialogOpens(const std::function<void(TForm2*)>& act)
{
    QTimer::singleShot(0, qApp, [act] {
        auto* dialog = qobject_cast<TForm2*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QCOMPARE(dialog->objectName(), QString("Form2"));
        act(dialog);
        if (QWidget* still = QApplication::activeModalWidget())
            still->close();
    });
}

void Clear(TForm1* form, const std::function<void(TForm2*)>& act)
{
    WhenClearDialogOpens(act);
    QTest::mouseClick(form->BitBtn8, Qt::LeftButton);
}

const QStringList kUntouched{"Global best:  2,434", "Min avg:  4,546", "Max avg:  6,842",
                             "Total time:  00:01:20     ", "Attempts:  15"};

}  // namespace

class BoardClearTest : public QObject {
    Q_OBJECT

private slots:
    void dialogTextsAndPlaceInBothLanguages()
    {
        struct Expected {
            QByteArray language;
            QString title, question, withBests, onlyAvgs, cancel;
        };
        const Expected cases[] = {
            {"en", "Clear results", "Your average times will be deleted. Do you want to delete your best times as well?",
             "Delete avgs and best", "Delete only avgs", "Cancel"},
            {"ru", QStringLiteral("Удаление статистики"),
             QStringLiteral("Средние результаты по алгоритмам будут удалены.\r\nУдалить рекорды?"),
             QStringLiteral("Удалить с рекордами"), QStringLiteral("Удалить только средние"), QStringLiteral("Отмена")},
        };
        for (const Expected& expected : cases) {
            Harness harness;
            harness.WriteSettings(Settings(expected.language));
            TForm1* form = harness.Start();
            Clear(form, [&expected, form](TForm2* dialog) {
                QCOMPARE(dialog->windowTitle(), expected.title);
                QCOMPARE(dialog->StaticText1->text(), expected.question);
                QCOMPARE(dialog->BitBtn1->text(), expected.withBests);
                QCOMPARE(dialog->BitBtn2->text(), expected.onlyAvgs);
                QCOMPARE(dialog->BitBtn3->text(), expected.cancel);
                QCOMPARE(dialog->focusWidget(), dialog->BitBtn3);
                const QRect main = form->frameGeometry();
                const QRect own = dialog->frameGeometry();
                QCOMPARE(own.topLeft(), QPoint(main.left() + main.width() / 2 - own.width() / 2,
                                               main.top() + main.height() / 2 - own.height() / 2));
                QTest::mouseClick(dialog->BitBtn3, Qt::LeftButton);
            });
            QCOMPARE(form->Tile(1)->avoll->text(), QString("4,546"));   // cancelled
        }
    }

    void deleteOnlyAveragesKeepsTheBests()
    {
        Harness harness;
        harness.WriteSettings(Settings("en"));
        TForm1* form = harness.Start();
        QCOMPARE(Panels(form), kUntouched);
        const QByteArray before = harness.ReadSettings();
        Clear(form, [](TForm2* dialog) { QTest::mouseClick(dialog->BitBtn2, Qt::LeftButton); });
        QCOMPARE(Panels(form), (QStringList{"Global best:  2,434", "Min avg:  0,000", "Max avg:  0,000",
                                            "Total time:  00:00:00     ", "Attempts:  0"}));
        QCOMPARE(form->Tile(1)->avoll->text(), QString("0,000"));
        QCOMPARE(form->Tile(1)->bvoll->text(), QString("2,434"));
        QCOMPARE(form->Tile(2)->bvoll->text(), QString("5,100"));
        QCOMPARE(form->Tile(2)->nvoll->text(), QString("0"));
        QCOMPARE(form->Tile(1)->proll->Level(), 0);
        QCOMPARE(form->Tile(2)->proll->Level(), 0);
        QCOMPARE(form->Form2->result(), int(QDialog::Accepted));
        QCOMPARE(form->focusWidget(), form->BitBtn1);
        QCOMPARE(harness.ReadSettings(), before);
    }

    void deleteAveragesAndBestsEmptiesEverything()
    {
        Harness harness;
        harness.WriteSettings(Settings("ru"));
        TForm1* form = harness.Start();
        Clear(form, [](TForm2* dialog) { QTest::mouseClick(dialog->BitBtn1, Qt::LeftButton); });
        QCOMPARE(Panels(form), (QStringList{QStringLiteral("Абс. рекорд:  0,000"), QStringLiteral("Мин. среднее:  0,000"),
                                            QStringLiteral("Макс. среднее:  0,000"),
                                            QStringLiteral("Общее время:  00:00:00     "), QStringLiteral("Попыток:  0")}));
        for (int n = 1; n <= kMaxCases; ++n) {
            QCOMPARE(form->Tile(n)->avoll->text(), QString("0,000"));
            QCOMPARE(form->Tile(n)->bvoll->text(), QString("0,000"));
            QCOMPARE(form->Tile(n)->nvoll->text(), QString("0"));
        }
        QCOMPARE(form->state.enabledCount, kOllCases);
    }

    void everyOtherWayOutClearsNothing()
    {
        Harness harness;
        harness.WriteSettings(Settings("en"));
        TForm1* form = harness.Start();
        const std::function<void(TForm2*)> ways[] = {
            [](TForm2* dialog) { QTest::mouseClick(dialog->BitBtn3, Qt::LeftButton); },
            [](TForm2* dialog) { dialog->close(); },   // the title-bar button
            [](TForm2* dialog) { QTest::keyClick(dialog->focusWidget(), Qt::Key_Return); },
            [](TForm2* dialog) { QTest::keyClick(dialog->focusWidget(), Qt::Key_Space); },
            [](TForm2* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); },
        };
        for (const auto& way : ways) {
            form->BitBtn6->setFocus();
            Clear(form, way);
            QVERIFY(!form->Form2->isVisible());
            QCOMPARE(form->Form2->result(), int(QDialog::Accepted));
            QCOMPARE(Panels(form), kUntouched);
            QCOMPARE(form->Tile(1)->avoll->text(), QString("4,546"));
            QCOMPARE(form->focusWidget(), form->BitBtn1);
        }
    }

    void clearingThenSwitchingWritesTheZeros()
    {
        Harness harness;
        harness.WriteSettings(Settings("en"));
        TForm1* form = harness.Start();
        Clear(form, [](TForm2* dialog) { QTest::mouseClick(dialog->BitBtn1, Qt::LeftButton); });
        form->BitBtn6Click();
        QCOMPARE(form->state.currentSet, CaseSet::PLL);
        const QByteArray file = harness.ReadSettings();
        QCOMPARE(ResultValue(file, "avg1"), QByteArray("0,000"));
        QCOMPARE(ResultValue(file, "bes1"), QByteArray("0,000"));
        QCOMPARE(ResultValue(file, "nes1"), QByteArray("0"));
        QCOMPARE(ResultValue(file, "avg2"), QByteArray("0,000"));
    }

    void clearingThenKillingLeavesTheFileAsItWas()
    {
        Harness harness;
        harness.WriteSettings(Settings("en"));
        harness.Start();
        const QByteArray before = harness.ReadSettings();
        Clear(harness.form, [](TForm2* dialog) { QTest::mouseClick(dialog->BitBtn2, Qt::LeftButton); });
        // The program ends without its shut-down: nothing more reaches the file.
        harness.program.reset();
        harness.form = nullptr;
        QCOMPARE(harness.ReadSettings(), before);
        QCOMPARE(ResultValue(before, "avg1"), QByteArray("4,546"));
    }
};

QTEST_MAIN(BoardClearTest)
#include "test_board_clear.moc"
