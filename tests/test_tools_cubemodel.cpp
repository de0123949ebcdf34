// The cube model: turns, notation, inverses, net rotations, and what it says
// about the built-in hints.

#include "core/lastlayer.h"

#include <QtTest>
#include <set>

using namespace cube;

namespace {

Cube After(const char* algorithm) { return Cube::Solved().apply(MustParse(algorithm)); }

// How many times the algorithm must be repeated to come back to the start.
int Order(const char* algorithm)
{
    const Algorithm moves = MustParse(algorithm);
    Cube cube = Cube::Solved().apply(moves);
    int order = 1;
    while (!(cube == Cube::Solved()) && order < 2000) {
        cube.apply(moves);
        ++order;
    }
    return order;
}

bool SameState(const char* a, const char* b) { return After(a) == After(b); }

}  // namespace

class CubeModelTest : public QObject {
    Q_OBJECT

private slots:
    void stickersHaveDistinctPlaces()
    {
        std::set<int> seen;
        for (int i = 0; i < kStickerCount; ++i) {
            QCOMPARE(StickerAt(StickerPlace(i), StickerNormal(i)), i);
            seen.insert(StickerAt(StickerPlace(i), StickerNormal(i)));
        }
        QCOMPARE(int(seen.size()), kStickerCount);
        QCOMPARE(StickerAt({0, 0, 0}, {0, 1, 0}), -1);
        QCOMPARE(StickerAt({1, 1, 1}, {0, -1, 0}), -1);
    }

    // A mirrored model would pass every test of orders and inverses; these
    // pin down which way each face turns.
    void faceTurnsGoClockwiseSeenFromTheFace()
    {
        const Cube r = After("R");  // the front's right column goes up
        for (int row = 0; row < 3; ++row) {
            QCOMPARE(r.at(Face::U, row, 2), Face::F);
            QCOMPARE(r.at(Face::B, row, 0), Face::U);
        }
        const Cube u = After("U");  // the right's top row comes to the front
        for (int col = 0; col < 3; ++col)
            QCOMPARE(u.at(Face::F, 0, col), Face::R);
        const Cube f = After("F");  // the left's right column goes to the top
        for (int col = 0; col < 3; ++col)
            QCOMPARE(f.at(Face::U, 2, col), Face::L);
        const Cube l = After("L");  // the top's left column goes to the front
        for (int row = 0; row < 3; ++row)
            QCOMPARE(l.at(Face::F, row, 0), Face::U);
        const Cube d = After("D");  // the front's bottom row goes to the right
        for (int col = 0; col < 3; ++col)
            QCOMPARE(d.at(Face::R, 2, col), Face::F);
        const Cube b = After("B");  // the right's right column goes to the top
        for (int col = 0; col < 3; ++col)
            QCOMPARE(b.at(Face::U, 0, col), Face::R);
    }

    void slicesWideTurnsAndRotationsAreMadeOfFaceTurns()
    {
        QVERIFY(SameState("Rw", "R M'"));
        QVERIFY(SameState("Lw", "L M"));
        QVERIFY(SameState("Uw", "U E'"));
        QVERIFY(SameState("Dw", "D E"));
        QVERIFY(SameState("Fw", "F S"));
        QVERIFY(SameState("Bw", "B S'"));
        QVERIFY(SameState("r u f l d b", "Rw Uw Fw Lw Dw Bw"));
        QVERIFY(SameState("x", "R M' L'"));
        QVERIFY(SameState("y", "U E' D'"));
        QVERIFY(SameState("z", "F S B'"));
        QVERIFY(!SameState("M", "M'"));
        // After x the front shows what was at the bottom; after y the
        // front shows what was on the right; after z the top shows the left.
        QCOMPARE(After("x").centre(Face::F), Face::D);
        QCOMPARE(After("y").centre(Face::F), Face::R);
        QCOMPARE(After("z").centre(Face::U), Face::L);
    }

    void notationSuffixes()
    {
        QVERIFY(SameState("R2", "R R"));
        QVERIFY(SameState("R2'", "R2"));
        QVERIFY(SameState("R'2", "R2"));
        QVERIFY(SameState("R'", "R R R"));
        QVERIFY(SameState("Rw2' U2'", "Rw Rw U U"));
        QVERIFY(MustParse("  R   U\tF ").size() == 3);
        QVERIFY(MustParse("").empty());
        for (const char* bad : {"Q", "R3", "R''", "Rw'x", "RU", "W", "xw", "R2 2"}) {
            const ParseResult result = ParseAlgorithm(bad);
            QVERIFY2(!result.ok(), bad);
            QVERIFY(result.moves.empty());
        }
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, MustParse("R U X"));
    }

    void ordersOfWellKnownSequences()
    {
        for (const char* turn : {"R", "L", "U", "D", "F", "B", "M", "E", "S", "x", "y", "z", "Rw", "Bw"})
            QCOMPARE(Order(turn), 4);
        QCOMPARE(Order("R2"), 2);
        QCOMPARE(Order("R U R' U'"), 6);
        QCOMPARE(Order("R U"), 105);
        QCOMPARE(Order("R U R' U' R' F R2 U' R' U' R U R' F'"), 2);  // a swap of two corners and two edges
    }

    void inverseUndoesAndReadsBack()
    {
        const Algorithm moves = MustParse("R U2' Rw' M2 x y' F");
        QVERIFY(Cube::Solved().apply(moves).apply(Inverse(moves)) == Cube::Solved());
        QCOMPARE(QString::fromStdString(ToText(Inverse(moves))), QStringLiteral("F' y x' M2 Rw U2' R'"));
        QVERIFY(Inverse(Inverse(moves)) == moves);
    }

    void netRotationFollowsCentres()
    {
        QVERIFY(NetRotation(MustParse("R U F' D2")).empty());
        QVERIFY(NetRotation(MustParse("x x'")).empty());
        QVERIFY(NetRotation(MustParse("Rw M")).empty());  // the wide turn's slice is turned back
        QCOMPARE(QString::fromStdString(ToText(NetRotation(MustParse("Rw L'")))), QStringLiteral("x"));
        QCOMPARE(QString::fromStdString(ToText(NetRotation(MustParse("Rw")))), QStringLiteral("x"));
        QCOMPARE(QString::fromStdString(ToText(NetRotation(MustParse("M")))), QStringLiteral("x'"));
        QCOMPARE(QString::fromStdString(ToText(NetRotation(MustParse("Uw' R")))), QStringLiteral("y'"));
        for (const char* algorithm : {"x y", "z2 x'", "Lw Fw' E", "y x2 z"}) {
            const Algorithm rotation = NetRotation(MustParse(algorithm));
            for (const Move& move : rotation)
                QVERIFY(move.isRotation());
            for (int f = 0; f < kFaceCount; ++f)
                QCOMPARE(Cube::Solved().apply(rotation).centre(Face(f)), After(algorithm).centre(Face(f)));
        }
    }

    void caseStateIsSolvedByItsAlgorithmWithCentresInPlace()
    {
        // A hint that starts with a rotation: the state must still be
        // drawn yellow on top, green in front, and the hint must solve it.
        for (const char* hint : {"x R' U R' D2 R U' R' D2 R2", "R U R' y' R2' Uw' R U' R' U R' Uw R2", "F R U R' U' F'"}) {
            const Algorithm moves = MustParse(hint);
            const Cube state = CaseState(moves);
            for (int f = 0; f < kFaceCount; ++f)
                QCOMPARE(state.centre(Face(f)), Face(f));
            QVERIFY(state.applied(moves).isSolved());
            QVERIFY(FirstTwoLayersSolved(state));
        }
    }

    void layerChecks()
    {
        QVERIFY(FirstTwoLayersSolved(Cube::Solved()));
        QVERIFY(!FirstTwoLayersSolved(After("U R U R' U'")));
        QVERIFY(FirstTwoLayersSolved(After("U2 y")));  // judged by the centres
        QVERIFY(!FirstTwoLayersSolved(After("E")));
        QCOMPARE(TopOrientation(Cube::Solved()), kOrientedPattern);
        const Cube sune = CaseState(MustParse("R U R' U R U2' R'"));
        QVERIFY(!TopFaceOriented(sune));
        QCOMPARE(CanonicalOrientation(sune), CanonicalOrientation(sune.applied(MustParse("U"))));
        QCOMPARE(CanonicalOrientation(sune), CanonicalOrientation(sune.applied(MustParse("U2'"))));
        // Three top corners twisted: three of the four top corner stickers are not yellow.
        int yellowCorners = 0;
        for (int k : {0, 2, 6, 8})
            yellowCorners += (TopOrientation(sune) >> k) & 1;
        QCOMPARE(yellowCorners, 1);
    }

    void topPermutationReadsWherePiecesBelong()
    {
        TopPermutation identity;
        for (int i = 0; i < kTopPieces; ++i)
            identity[i] = i;
        QVERIFY(TopLayerPermutation(Cube::Solved()) == identity);
        // After U the piece at the back-left corner came from the front-left.
        const TopPermutation u = TopLayerPermutation(After("U"));
        QCOMPARE(u[0], 3);
        QCOMPARE(u[4], 7);
        QVERIFY(CanonicalPermutation(After("U")) == CanonicalPermutation(Cube::Solved()));
        const Cube tPerm = CaseState(MustParse("R U R' U' R' F R2 U' R' U' R U R' F'"));
        const TopPermutation t = TopLayerPermutation(tPerm);
        QCOMPARE(t[5], 7);  // right and left edges swap
        QCOMPARE(t[7], 5);
        QCOMPARE(t[1], 2);  // back-right and front-right corners swap
        QCOMPARE(t[2], 1);
        QCOMPARE(t[0], 0);
        QCOMPARE(t[4], 4);
        QVERIFY(CanonicalPermutation(tPerm.applied(MustParse("U"))) == CanonicalPermutation(tPerm));
        QVERIFY(!(CanonicalPermutation(tPerm) == CanonicalPermutation(Cube::Solved())));
    }

    void everyBuiltInHintIsALastLayerAlgorithmForItsCase()
    {
        for (HintSet set : {HintSet::Oll, HintSet::Pll})
            for (int n = 1; n <= CaseCount(set); ++n) {
                const Algorithm hint = Hint(set, n);
                const Cube state = CaseState(hint);
                const QByteArray what = QByteArray(set == HintSet::Oll ? "OLL " : "PLL ") + QByteArray::number(n);
                QVERIFY2(FirstTwoLayersSolved(state), what);
                QVERIFY2(state.applied(hint).isSolved(), what);
                QVERIFY2(IsLastLayerAlgorithm(set, hint), what);
                QVERIFY2(TopFaceOriented(state) == (set == HintSet::Pll), what);
            }
    }

    void theThreeMendedHintsAreValidAndTheirOriginalsAreNot()
    {
        struct Mend {
            HintSet set;
            int number;
            const char* mended;
            const char* original;
        };
        const Mend mends[] = {
            {HintSet::Oll, 15, "Rw' R U R U R' U' Rw R2' F R F'", "Rw' R U R U R' U' Rw R2' F R F"},
            {HintSet::Pll, 14, "R2' Uw' R U' R U R' D x' U2 Rw U' Rw'", "R2' Uw' R U' R U R' D U2 Rw U' Rw'"},
            {HintSet::Pll, 19, "z R U R' D R2 U' R U D' R' D R2 z' L' U R'", "z R U R' D R2 U' R U D' R' D R2 z' L' U D'"},
        };
        for (const Mend& mend : mends) {
            QCOMPARE(QString::fromLatin1(HintText(mend.set, mend.number)), QString::fromLatin1(mend.mended));
            QVERIFY2(IsLastLayerAlgorithm(mend.set, MustParse(mend.mended)), mend.mended);
            QVERIFY2(!IsLastLayerAlgorithm(mend.set, MustParse(mend.original)), mend.original);
            QVERIFY2(!FirstTwoLayersSolved(CaseState(MustParse(mend.original))), mend.original);
        }
    }

    void theOllCasesAreTheFiftySevenDistinctOnes()
    {
        std::set<OrientationPattern> patterns;
        const OrientationPattern solved = CanonicalOrientation(Cube::Solved());
        for (int n = 1; n <= kOllCases; ++n) {
            const OrientationPattern pattern = CanonicalOrientation(CaseState(HintSet::Oll, n));
            QVERIFY2(pattern != solved, QByteArray::number(n));
            QVERIFY2(patterns.insert(pattern).second, QByteArray::number(n));
        }
        QCOMPARE(int(patterns.size()), 57);
    }

    void thePllCasesAreTheTwentyOneDistinctOnes()
    {
        std::set<TopPermutation> permutations;
        const TopPermutation solved = CanonicalPermutation(Cube::Solved());
        for (int n = 1; n <= kPllCases; ++n) {
            const TopPermutation permutation = CanonicalPermutation(CaseState(HintSet::Pll, n));
            QVERIFY2(!(permutation == solved), QByteArray::number(n));
            QVERIFY2(permutations.insert(permutation).second, QByteArray::number(n));
        }
        QCOMPARE(int(permutations.size()), 21);
    }
};

QTEST_GUILESS_MAIN(CubeModelTest)
#include "test_tools_cubemodel.moc"
