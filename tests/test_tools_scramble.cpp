// The setup scrambles the program shows: every pool entry, from every side
// and with every last U turn, done on the cube model, must set up exactly its
// case, in plain face turns, short, and not as the case's hint undone.

#include "resources/resources.h"
#include "core/setupscramble.h"
#include "tools/scramblecheck.h"
#include "core/seams.h"

#include <QRegularExpression>
#include <QSet>
#include <QtTest>

namespace {

cube::HintSet ModelSet(CaseSet set) { return set == CaseSet::OLL ? cube::HintSet::Oll : cube::HintSet::Pll; }

// Every text the user can be shown for one pool entry.
QStringList ShownVariants(CaseSet set, const QString& setup)
{
    QStringList shown;
    for (int side = 0; side < 4; ++side)
        for (int lastU = 0; lastU < (set == CaseSet::PLL ? 4 : 1); ++lastU)
            shown << WithFinalUTurns(TurnedAboutVertical(setup, side), lastU);
    return shown;
}

// Empty when the scramble sets up the case, otherwise why not.
QString ProblemOf(CaseSet set, int caseNumber, const QString& scramble)
{
    static const QRegularExpression notation(QStringLiteral("^[RUFLBD]['2]?( [RUFLBD]['2]?)*$"));
    if (!notation.match(scramble).hasMatch())
        return QStringLiteral("not plain face turns");
    const cube::ParseResult parsed = cube::ParseAlgorithm(scramble.toStdString());
    if (!parsed.ok())
        return QString::fromStdString(parsed.error);
    if (cube::MergeTurns(parsed.moves).size() != parsed.moves.size())
        return QStringLiteral("turns of one face in a row");
    return QString::fromStdString(cube::SetupProblem(ModelSet(set), caseNumber, parsed.moves));
}

}  // namespace

class ScrambleTest : public QObject {
    Q_OBJECT

private slots:
    void everyShownScrambleSetsUpItsCase()
    {
        const QByteArray text = EmbeddedResource(QStringLiteral("ScramblePool"));
        const ScramblePool pool = ScramblePool::Parse(text);
        QVERIFY(!pool.IsEmpty());
        int entries = 0, shownCount = 0, totalTurns = 0, longest = 0;
        for (CaseSet set : {CaseSet::OLL, CaseSet::PLL}) {
            for (int n = 1; n <= CaseCount(set); ++n) {
                const QStringList setups = pool.Setups(set, n);
                const QString label = SetName(set) + QStringLiteral(" %1").arg(n);
                QVERIFY2(QSet<QString>(setups.begin(), setups.end()).size() >= 12, qPrintable(label));
                entries += static_cast<int>(setups.size());
                for (const QString& setup : setups) {
                    for (const QString& shown : ShownVariants(set, setup)) {
                        const QString problem = ProblemOf(set, n, shown);
                        QVERIFY2(problem.isEmpty(), qPrintable(label + QStringLiteral(" ") + shown + QStringLiteral(": ") + problem));
                        const int turns = static_cast<int>(shown.count(QLatin1Char(' '))) + 1;
                        totalTurns += turns;
                        longest = std::max(longest, turns);
                        ++shownCount;
                    }
                }
            }
        }
        // A line the program cannot read would be skipped without a word.
        QCOMPARE(entries, static_cast<int>(text.trimmed().count('\n')) + 1);
        const double mean = double(totalTurns) / shownCount;
        qInfo("%d scrambles shown, mean %.2f turns, longest %d", shownCount, mean, longest);
        QVERIFY2(mean <= 13.5, qPrintable(QString::number(mean)));
        QVERIFY(longest <= 17);
    }

    void aDrawShowsTheCaseFromEverySide()
    {
        const ScramblePool pool = ScramblePool::Parse("PLL 1 R2 U' R' U' R U R U R U' R\n"
                                                      "PLL 1 R2 F2 Q\n"   // not a scramble: left out
                                                      "OLL 18 R U2 R2 F R F' U2 R' F R F'\n");
        QCOMPARE(pool.Setups(CaseSet::PLL, 1).size(), 1);
        QVERIFY(pool.Setups(CaseSet::OLL, 1).isEmpty());
        SeededRandom random(5);
        QVERIFY(DrawSetupScramble(pool, CaseSet::OLL, 1, random).isEmpty());
        QSet<QString> drawn;
        for (int i = 0; i < 200; ++i) {
            const QString scramble = DrawSetupScramble(pool, CaseSet::PLL, 1, random);
            QVERIFY2(ProblemOf(CaseSet::PLL, 1, scramble).isEmpty(), qPrintable(scramble));
            drawn << scramble;
        }
        QCOMPARE(drawn.size(), 16);   // four sides, four last U turns
        QCOMPARE(WithFinalUTurns(QStringLiteral("R U R' U'"), 2), QStringLiteral("R U R' U"));
        QCOMPARE(WithFinalUTurns(QStringLiteral("R U R' U'"), 1), QStringLiteral("R U R'"));
        QCOMPARE(TurnedAboutVertical(QStringLiteral("R F' L2 B U D"), 1), QStringLiteral("F L' B2 R U D"));
    }

    // The filter of hint undoings rests on rewriting the hints in face turns.
    void hintsRewrittenInFaceTurnsSolveTheSameCases()
    {
        for (cube::HintSet set : {cube::HintSet::Oll, cube::HintSet::Pll}) {
            for (int n = 1; n <= cube::CaseCount(set); ++n) {
                const cube::Algorithm faceTurns = cube::FaceTurnsOnly(cube::Hint(set, n));
                const bool plain = std::all_of(faceTurns.begin(), faceTurns.end(),
                                               [](const cube::Move& m) { return m.layerMask == 1 || m.layerMask == 4; });
                QVERIFY2(plain, cube::HintText(set, n));
                QVERIFY2(cube::Cube::Solved().applied(cube::Inverse(faceTurns)) == cube::CaseState(set, n),
                         cube::HintText(set, n));
                QVERIFY2(!cube::SetupProblem(set, n, cube::Inverse(faceTurns)).empty(), cube::HintText(set, n));
            }
        }
    }
};

QTEST_GUILESS_MAIN(ScrambleTest)
#include "test_tools_scramble.moc"
