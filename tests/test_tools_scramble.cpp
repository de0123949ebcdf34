// The setup scrambles the program shows: every pool entry, from every side
// and with every last U turn, done on the cube model, must set up exactly its
// case, in plain face turns, short, and not as the case's hint undone. Each
// case has at least 12 setups that differ as a cuber sees them (not only in
// the side or in U turns at the ends), and none is an algorithm a cuber may
// know by heart: a hint, one of tools/ll-cases.csv or of
// tools/well-known-algorithms.txt, from any side, mirrored or undone.

#include "resources/resources.h"
#include "core/setupscramble.h"
#include "tools/scramblecheck.h"
#include "core/seams.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

#include <set>

namespace {

std::string SourceFile(const char* relative)
{
    QFile file(QStringLiteral(TESSELO_SOURCE_DIR "/") + QLatin1String(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

std::vector<cube::ListedAlgorithm> MoreAlgorithms() { return cube::ParseAlgorithmList(SourceFile("tools/well-known-algorithms.txt")); }

// The hints, the standard list and the more algorithms that alg sheets teach.
cube::WellKnownAlgorithms KnownAlgorithms()
{
    return cube::HintsAndStandardAlgorithms(cube::ParseStandardCases(SourceFile("tools/ll-cases.csv")), MoreAlgorithms());
}

cube::Algorithm Turns(const QString& text) { return cube::MustParse(text.toStdString()); }

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

    void everyCaseHasManySetupsThatGiveNothingAway()
    {
        const ScramblePool pool = ScramblePool::Parse(EmbeddedResource(QStringLiteral("ScramblePool")));
        // An unread list would let every setup pass.
        QCOMPARE(static_cast<int>(cube::ParseStandardCases(SourceFile("tools/ll-cases.csv")).size()), kOllCases + kPllCases);
        const cube::WellKnownAlgorithms known = KnownAlgorithms();
        QStringList fewSetups, givenAway;
        int fewest = 1000, distinct = 0;
        for (CaseSet set : {CaseSet::OLL, CaseSet::PLL}) {
            for (int n = 1; n <= CaseCount(set); ++n) {
                const QString label = SetName(set) + QStringLiteral(" %1").arg(n);
                std::set<std::string> different;
                for (const QString& setup : pool.Setups(set, n)) {
                    different.insert(cube::SameSetupKey(Turns(setup)));
                    const std::string match = known.Match(Turns(setup));
                    if (!match.empty())
                        givenAway << label + QStringLiteral(" ") + setup + QStringLiteral(": ") + QString::fromStdString(match);
                }
                const int count = static_cast<int>(different.size());
                fewest = std::min(fewest, count);
                distinct += count;
                if (count < 12)
                    fewSetups << label + QStringLiteral(": %1").arg(count);
            }
        }
        qInfo("different setups a case: at least %d, %.1f on average; %d cases with fewer than 12, %d setups well known",
              fewest, double(distinct) / (kOllCases + kPllCases), static_cast<int>(fewSetups.size()),
              static_cast<int>(givenAway.size()));
        QVERIFY2(givenAway.isEmpty(), qPrintable(givenAway.join(QLatin1Char('\n'))));
        QVERIFY2(fewSetups.isEmpty(), qPrintable(fewSetups.join(QStringLiteral(", "))));
    }

    // The two checks above rest on seeing through sides, mirrors, undoing,
    // end U turns and notation.
    void knownAlgorithmsAreRecognisedInDisguise()
    {
        const cube::WellKnownAlgorithms known = KnownAlgorithms();
        // The T perm of the standard list, undone, mirrored, from the left and
        // with U turns at both ends.
        const cube::Algorithm tPerm = Turns(QStringLiteral("R U R' U' R' F R2 U' R' U' R U R' F'"));
        const QString disguised = TurnedAboutVertical(
            QString::fromStdString(cube::ToText(cube::MirrorLeftRight(cube::Inverse(tPerm)))), 1);
        QVERIFY(!known.Match(Turns(QStringLiteral("U ") + disguised + QStringLiteral(" U2"))).empty());
        // Written with a slice and a wide turn: OLL 2 of the list, undone, from the back.
        const cube::Algorithm oll2 = cube::FaceTurnsOnly(Turns(QStringLiteral("F R U R' U' S R U R' U' f'")));
        const QString undone = TurnedAboutVertical(QString::fromStdString(cube::ToText(cube::Inverse(oll2))), 2);
        QVERIFY2(!known.Match(Turns(undone)).empty(), qPrintable(undone));
        // A U turn behind a D turn is still at the end; one inside is not; a
        // D turn undone at the other end is left out.
        QCOMPARE(cube::ToText(cube::SetupCore(Turns(QStringLiteral("U D R U2")))), std::string("D R"));
        QCOMPARE(cube::ToText(cube::SetupCore(Turns(QStringLiteral("D2 U R U' R' D2 U")))), std::string("R U' R'"));
        QVERIFY(!known.Match(cube::Concat(cube::Concat(Turns(QStringLiteral("D'")), tPerm), Turns(QStringLiteral("U D")))).empty());
        QVERIFY(known.Match(cube::Concat(tPerm, Turns(QStringLiteral("R")))).empty());
        QCOMPARE(cube::SameSetupKey(Turns(QStringLiteral("R U R'"))), cube::SameSetupKey(Turns(QStringLiteral("U2 F U F' U"))));
        QVERIFY(cube::SameSetupKey(Turns(QStringLiteral("R U R'"))) != cube::SameSetupKey(Turns(QStringLiteral("R U' R'"))));
        QVERIFY(cube::SameSetupKey(Turns(QStringLiteral("R U R'"))) != cube::SameSetupKey(Turns(QStringLiteral("L' U' L"))));
    }

    // The listed algorithms are last-layer algorithms, and in face turns
    // (wide turns, slices and rotations taken out) they still do the same.
    void wellKnownAlgorithmsReadAsFaceTurns()
    {
        std::vector<cube::ListedAlgorithm> all = MoreAlgorithms();
        QVERIFY(all.size() >= 50);
        for (const cube::StandardCase& c : cube::ParseStandardCases(SourceFile("tools/ll-cases.csv")))
            all.push_back({c.set, c.standard, cube::MustParse(c.algorithm)});
        QStringList wrong;
        for (const cube::ListedAlgorithm& listed : all) {
            const cube::Algorithm faceTurns = cube::FaceTurnsOnly(listed.algorithm);
            if (!cube::IsLastLayerAlgorithm(listed.set, listed.algorithm)
                || cube::Cube::Solved().applied(cube::Inverse(faceTurns)) != cube::CaseState(listed.algorithm))
                wrong << QString::fromStdString(listed.label);
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char(' '))));
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
