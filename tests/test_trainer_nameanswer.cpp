// The naming drill's answers: every case of both sets can be named by its
// standard identity, key by key, and no two cases share one.
#include "core/nameanswer.h"

#include <QtTest>

class NameAnswerTest : public QObject {
    Q_OBJECT

private slots:
    void noTwoCasesShareAStandardIdentity()
    {
        QVERIFY(!CaseIdentities().IsEmpty());
        QCOMPARE(FirstSharedStandardIdentity(CaseIdentities()), QString());
    }

    // Each standard typed as a cuber types it (small letters, as the key
    // codes give them) names its own case; PLL answers end by themselves,
    // OLL ones at Enter.
    void everyCaseIsNamedByItsStandard()
    {
        for (const CaseSet set : {CaseSet::OLL, CaseSet::PLL}) {
            for (int n = 1; n <= CaseCount(set); ++n) {
                const QString standard = CaseIdentities().Find(set, n)->standard;
                NameAnswer answer(CaseIdentities(), set);
                NameAnswer::Step step = NameAnswer::Step::Ignored;
                for (const QChar key : standard.toLower())
                    step = answer.Key(key);
                if (set == CaseSet::OLL) {
                    QCOMPARE(step, NameAnswer::Step::Typed);
                    step = answer.Enter();
                }
                QCOMPARE(step, NameAnswer::Step::Whole);
                QCOMPARE(answer.Text(), standard);
                QCOMPARE(answer.CaseNumber(), std::optional<int>(n));
            }
        }
    }

    void keysThatNameNoCaseAreIgnored()
    {
        NameAnswer pll(CaseIdentities(), CaseSet::PLL);
        QCOMPARE(pll.Key(u'x'), NameAnswer::Step::Ignored);
        QCOMPARE(pll.Key(u'7'), NameAnswer::Step::Ignored);
        QCOMPARE(pll.Key(u'g'), NameAnswer::Step::Typed);
        QCOMPARE(pll.Key(u'e'), NameAnswer::Step::Ignored);   // no "Ge"
        QCOMPARE(pll.Enter(), NameAnswer::Step::Ignored);
        QCOMPARE(pll.Key(u'c'), NameAnswer::Step::Whole);
        QCOMPARE(pll.Text(), QStringLiteral("Gc"));
        pll.Clear();
        QCOMPARE(pll.Key(u'E'), NameAnswer::Step::Whole);   // single-letter: at once

        NameAnswer oll(CaseIdentities(), CaseSet::OLL);
        QCOMPARE(oll.Key(u'0'), NameAnswer::Step::Ignored);
        QCOMPARE(oll.Enter(), NameAnswer::Step::Ignored);
        QCOMPARE(oll.Key(u'a'), NameAnswer::Step::Ignored);
        QCOMPARE(oll.Key(u'5'), NameAnswer::Step::Typed);
        QCOMPARE(oll.Key(u'8'), NameAnswer::Step::Typed);
        QCOMPARE(oll.Key(u'1'), NameAnswer::Step::Ignored);   // two digits at most
        QCOMPARE(oll.Enter(), NameAnswer::Step::Ignored);      // no OLL 58
        QCOMPARE(oll.CaseNumber(), std::nullopt);
        oll.EraseLast();
        QCOMPARE(oll.Key(u'7'), NameAnswer::Step::Typed);
        QCOMPARE(oll.Enter(), NameAnswer::Step::Whole);
        QCOMPARE(oll.Text(), QStringLiteral("57"));

        // A PLL letter taken back lets another start the answer.
        NameAnswer slip(CaseIdentities(), CaseSet::PLL);
        QCOMPARE(slip.Key(u'g'), NameAnswer::Step::Typed);
        slip.EraseLast();
        QCOMPARE(slip.Text(), QString());
        slip.EraseLast();   // nothing left to take back
        QCOMPARE(slip.Key(u't'), NameAnswer::Step::Whole);
    }
};

QTEST_GUILESS_MAIN(NameAnswerTest)
#include "test_trainer_nameanswer.moc"
