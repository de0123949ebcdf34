// The case's name in the training column: above the algorithm a right click
// shows, and under the cycle buttons after Stop (with setup scrambles and
// without), with the result line's own texts unchanged.

#include "test_trainer_support.h"

#include "core/caseidentity.h"

#include <QtTest>

using namespace trainertest;

namespace {

QLabel* NameLine(TForm1* form) { return form->findChild<QLabel*>(QStringLiteral("CaseName")); }

bool NameShown(TForm1* form, const QString& title)
{
    QLabel* line = NameLine(form);
    return line && line->isVisible() && line->text() == title;
}

// One attempt to Stop with the case drawn; the result line then compares
// the time with the case's best.
int StopOne(Harness& h)
{
    h.StartAttempt();
    h.Tick(1500);
    h.form->BitBtn1Click();
    return h.form->state.currentCase;
}

}  // namespace

class BoardNamesTest : public QObject {
    Q_OBJECT

private slots:
    void rightClickShowsTheNameAboveTheUnchangedHint()
    {
        Harness h;
        h.WriteSettings(Settings("ru", "OLL", false));
        TForm1* f = h.Start();
        ShowCaseHint(*f, 4);
        QVERIFY(NameShown(f, QStringLiteral("OLL 27 Sune")));   // Latin letters in Russian too
        QCOMPARE(f->res->text(), f->hints[4 - 1]);
        QVERIFY(NameLine(f)->geometry().bottom() < f->res->geometry().top());
        ShowCaseHint(*f, 4);   // the same tile again hides the preview
        QVERIFY(f->res->isHidden() && NameLine(f)->isHidden());
        ShowCaseHint(*f, 7);
        QVERIFY(NameShown(f, QStringLiteral("OLL 21 H")));
        f->BitBtn6Click();    // the set switch clears the column
        QVERIFY(NameLine(f)->isHidden());
        ShowCaseHint(*f, 1);
        QVERIFY(NameShown(f, QStringLiteral("PLL Ub")));
    }

    void stopShowsTheNameUntilAcceptOrDiscard()
    {
        for (const char* scramble : {"0", "1"}) {
            Harness h;
            h.WriteSettings(Settings("en", "OLL", false, QByteArray("Scramble=") + scramble + "\n"));
            TForm1* f = h.Start();
            EnableOnly(f, {4});
            SetRecord(f, 4, "9,000", "9,000", "1");
            QCOMPARE(StopOne(h), 4);
            QVERIFY(NameShown(f, QStringLiteral("OLL 27 Sune")));
            QCOMPARE(f->res->text(), QStringLiteral("New best! (-7,500)"));
            QVERIFY(!NameLine(f)->geometry().intersects(f->BitBtn1->geometry()));
            f->BitBtn2Click();
            QVERIFY(NameLine(f)->isHidden());
            // A case without a best has no result line, but its name.
            SetRecord(f, 4, "0,000", "0,000", "0");
            StopOne(h);
            QVERIFY(f->res->isHidden());
            QVERIFY(NameShown(f, QStringLiteral("OLL 27 Sune")));
            f->BitBtn3Click();
            QVERIFY(NameLine(f)->isHidden());
        }
    }
};

QTEST_MAIN(BoardNamesTest)
#include "test_board_names.moc"
