// The pictures the build draws, read back from the build tree and compared,
// sticker by sticker, with the cube model: the Easy pictures that are
// embedded, the Hard library beside the program, the texture atlas, the
// glyphs and the icon.

#include "tools/atlas.h"
#include "core/lastlayer.h"
#include "tools/palette.h"
#include "tools/picturelayout.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QtTest>
#include <cmath>

using namespace cube;

namespace {

const QString kGenerated = QStringLiteral(TESSELO_BUILD_DIR "/resources/generated/");
const QString kImages = QStringLiteral(TESSELO_BUILD_DIR "/Images/");

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A GIF89a file decoded; a null image (and a failed check) otherwise.
QImage ReadGif(const QString& path)
{
    const QByteArray bytes = ReadBytes(path);
    if (!bytes.startsWith("GIF89a")) {
        qWarning("%s is missing or not GIF89a", qPrintable(path));
        return {};
    }
    return QImage::fromData(bytes, "GIF");
}

palette::Rgb At(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }
palette::Rgb At(const QImage& image, layout::Point p) { return At(image, p.x, p.y); }

QByteArray Where(const QString& picture, const char* what, int a = 0, int b = 0)
{
    return QStringLiteral("%1: %2 %3 %4").arg(picture, QLatin1String(what)).arg(a).arg(b).toUtf8();
}

Cube TurnedCase(HintSet set, int n, int uTurns)
{
    return CaseState(set, n).apply(Repeat(MustParse("U").front(), uTurns));
}

// Sticker centres and strip middles as fixed by the picture format: 18, 36,
// 54 on a 72 picture; strips 2..6 and 65..69; all times the scale.
int Centre(int index, int scale) { return 18 * (index + 1) * scale; }
int NearStrip(int scale) { return 2 * scale + 5 * scale / 2; }
int FarStrip(int scale) { return 65 * scale + 5 * scale / 2; }

// Where the strip segment of a top-layer side sticker is read.
layout::Point StripPoint(Vec3 place, Vec3 normal, int scale)
{
    if (normal.z != 0)
        return {Centre(place.x + 1, scale), normal.z < 0 ? NearStrip(scale) : FarStrip(scale)};
    return {normal.x < 0 ? NearStrip(scale) : FarStrip(scale), Centre(place.z + 1, scale)};
}

struct SideOfTop {
    Vec3 place, normal;
};

std::vector<SideOfTop> SideStickersOfTopLayer()
{
    std::vector<SideOfTop> stickers;
    for (int a = -1; a <= 1; ++a) {
        stickers.push_back({{a, 1, -1}, {0, 0, -1}});
        stickers.push_back({{a, 1, 1}, {0, 0, 1}});
        stickers.push_back({{-1, 1, a}, {-1, 0, 0}});
        stickers.push_back({{1, 1, a}, {1, 0, 0}});
    }
    return stickers;
}

palette::Rgb OrientationColour(const Cube& state, Vec3 place, Vec3 normal)
{
    return state.at(place, normal) == state.centre(Face::U) ? palette::kTopColour : palette::kOtherColour;
}

// The orientation top view of a state, at 72 (scale 1) or 216 (scale 3).
void CheckOrientationTopView(const QImage& image, const Cube& state, int scale, const QString& name)
{
    QCOMPARE(image.size(), QSize(72 * scale, 72 * scale));
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            QVERIFY2(At(image, Centre(col, scale), Centre(row, scale))
                         == OrientationColour(state, {col - 1, 1, row - 1}, {0, 1, 0}),
                     Where(name, "top sticker", row, col));
    for (const SideOfTop& side : SideStickersOfTopLayer())
        QVERIFY2(At(image, StripPoint(side.place, side.normal, scale)) == OrientationColour(state, side.place, side.normal),
                 Where(name, "strip at", side.place.x, side.place.z));
    QCOMPARE(At(image, 0, 0), palette::kBackground);
    QCOMPARE(At(image, 9 * scale, Centre(1, scale)), palette::kLines);   // left edge of the grid
    QCOMPARE(At(image, 27 * scale, Centre(1, scale)), palette::kLines);  // between the columns
}

// An arrow of a permutation picture, as centres of top stickers on a 216 picture.
struct ExpectedArrow {
    QPointF from, to;
};

QPointF StickerPoint(Vec3 place) { return QPointF(Centre(place.x + 1, 3), Centre(place.z + 1, 3)); }

Vec3 TurnPlaceByU(Vec3 place, int turns)
{
    for (int i = 0; i < turns; ++i)
        place = {-place.z, place.y, place.x};
    return place;
}

// The arrows of a case seen after some U turns: each moved piece of the
// unturned case points to where it belongs, and the whole drawing turns.
std::vector<ExpectedArrow> ExpectedArrows(const Cube& unturned, int uTurns)
{
    const TopPermutation homes = TopLayerPermutation(unturned);
    std::vector<ExpectedArrow> arrows;
    for (int piece = 0; piece < kTopPieces; ++piece)
        if (homes[piece] != piece)
            arrows.push_back({StickerPoint(TurnPlaceByU(TopPiecePlace(piece), uTurns)),
                              StickerPoint(TurnPlaceByU(TopPiecePlace(homes[piece]), uTurns))});
    return arrows;
}

double DistanceToSegment(QPointF p, const ExpectedArrow& arrow)
{
    const QPointF d = arrow.to - arrow.from;
    const double t = std::clamp(QPointF::dotProduct(p - arrow.from, d) / QPointF::dotProduct(d, d), 0.0, 1.0);
    const QPointF nearest = arrow.from + t * d;
    return std::hypot(p.x() - nearest.x(), p.y() - nearest.y());
}

bool IsRed(const QImage& image, QPointF p) { return At(image, int(p.x()), int(p.y())) == palette::kArrow; }

// Every arrow is drawn, and its head is at the piece's destination: beside
// the line near the destination there is red, near the start there is not
// (checked where no other arrow passes).
void CheckArrows(const QImage& image, const std::vector<ExpectedArrow>& arrows, const QString& name)
{
    for (const ExpectedArrow& arrow : arrows) {
        QVERIFY2(IsRed(image, (arrow.from + arrow.to) / 2), Where(name, "no arrow at the middle"));
        const QPointF d = arrow.to - arrow.from;
        const QPointF unit = d / std::hypot(d.x(), d.y());
        const QPointF side(-unit.y(), unit.x());
        const QPointF nearHead = arrow.to - unit * 30 + side * 5;
        const QPointF nearTail = arrow.from + unit * 30 + side * 5;
        bool twoWay = false;
        for (const ExpectedArrow& other : arrows)
            twoWay = twoWay || (other.from == arrow.to && other.to == arrow.from);
        QVERIFY2(IsRed(image, nearHead), Where(name, "no arrow head"));
        bool tailClear = !twoWay;
        for (const ExpectedArrow& other : arrows)
            if (&other != &arrow && DistanceToSegment(nearTail, other) < 14)
                tailClear = false;
        if (tailClear)
            QVERIFY2(!IsRed(image, nearTail), Where(name, "an arrow head at the start"));
    }
}

// Mostly yellow: arrows cross some stickers but never hide one.
void CheckYellowTop(const QImage& image, const QString& name)
{
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) {
            int yellow = 0, total = 0;
            for (int y = Centre(row, 3) - 22; y <= Centre(row, 3) + 22; y += 2)
                for (int x = Centre(col, 3) - 22; x <= Centre(col, 3) + 22; x += 2, ++total)
                    yellow += At(image, x, y) == palette::kTopColour;
            QVERIFY2(yellow * 10 >= total * 6, Where(name, "sticker hidden", row, col));
        }
}

void CheckSideColours(const QImage& image, const Cube& state, const QString& name)
{
    for (const SideOfTop& side : SideStickersOfTopLayer())
        QVERIFY2(At(image, StripPoint(side.place, side.normal, 3)) == palette::FaceColour(state.at(side.place, side.normal)),
                 Where(name, "side colour at", side.place.x, side.place.z));
}

void CheckIsoSticker(const QImage& image, layout::IsoView view, Vec3 place, Vec3 normal, palette::Rgb expected,
                     const QString& name)
{
    QVERIFY2(At(image, layout::StickerCentre(view, place, normal)) == expected,
             Where(name, "isometric sticker", place.x * 10 + place.z, normal.x * 10 + normal.z));
}

QStringList GifsIn(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral("*.gif")}, QDir::Files, QDir::Name);
}

QString CasePath(const QString& folder, int n, int k)
{
    return kImages + folder + QStringLiteral("/%1/%2.gif").arg(n).arg(k);
}

quint32 Le32(const QByteArray& bytes, int offset)
{
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | quint8(bytes[offset + i]);
    return value;
}

}  // namespace

class PicturesTest : public QObject {
    Q_OBJECT

private slots:
    void easyOrientationPicturesShowTheirCase()
    {
        for (int n = 1; n <= kOllCases; ++n) {
            const QString name = QStringLiteral("O%1").arg(n);
            const QImage image = ReadGif(kGenerated + name + QStringLiteral(".gif"));
            QVERIFY2(!image.isNull(), qPrintable(name));
            CheckOrientationTopView(image, CaseState(HintSet::Oll, n), 1, name);
        }
    }

    void easyPermutationPicturesShowTheirArrows()
    {
        for (int n = 1; n <= kPllCases; ++n) {
            const QString name = QStringLiteral("P%1").arg(n);
            const QImage image = ReadGif(kGenerated + name + QStringLiteral(".gif"));
            QVERIFY2(!image.isNull(), qPrintable(name));
            QCOMPARE(image.size(), QSize(216, 216));
            const Cube state = CaseState(HintSet::Pll, n);
            CheckYellowTop(image, name);
            for (const SideOfTop& side : SideStickersOfTopLayer())
                QVERIFY2(At(image, StripPoint(side.place, side.normal, 3)) == palette::kBackground, qPrintable(name));
            const std::vector<ExpectedArrow> arrows = ExpectedArrows(state, 0);
            QVERIFY2(!arrows.empty(), qPrintable(name));
            CheckArrows(image, arrows, name);
        }
    }

    void hardOrientationPicturesShowEachUTurn()
    {
        for (int n = 1; n <= kOllCases; ++n)
            for (int turns = 0; turns < 4; ++turns) {
                const Cube state = TurnedCase(HintSet::Oll, n, turns);
                const QString top = CasePath(QStringLiteral("OLL-2"), n, turns + 1);
                const QImage topView = ReadGif(top);
                QVERIFY2(!topView.isNull(), qPrintable(top));
                CheckOrientationTopView(topView, state, 3, top);

                const QString side = CasePath(QStringLiteral("OLL-2"), n, turns + 5);
                const QImage iso = ReadGif(side);
                QVERIFY2(!iso.isNull(), qPrintable(side));
                QCOMPARE(iso.size(), QSize(216, 216));
                for (int a = -1; a <= 1; ++a)
                    for (int b = -1; b <= 1; ++b)
                        CheckIsoSticker(iso, layout::IsoView::TopLayer, {a, 1, b}, {0, 1, 0},
                                        OrientationColour(state, {a, 1, b}, {0, 1, 0}), side);
                for (int a = -1; a <= 1; ++a) {
                    CheckIsoSticker(iso, layout::IsoView::TopLayer, {a, 1, 1}, {0, 0, 1},
                                    OrientationColour(state, {a, 1, 1}, {0, 0, 1}), side);
                    CheckIsoSticker(iso, layout::IsoView::TopLayer, {1, 1, a}, {1, 0, 0},
                                    OrientationColour(state, {1, 1, a}, {1, 0, 0}), side);
                }
            }
    }

    void hardPermutationPicturesShowSideColoursAndAnswers()
    {
        for (int n = 1; n <= kPllCases; ++n) {
            const Cube unturned = CaseState(HintSet::Pll, n);
            for (int turns = 0; turns < 4; ++turns) {
                const Cube state = TurnedCase(HintSet::Pll, n, turns);
                const QString question = CasePath(QStringLiteral("PLL-2"), n, turns + 1);
                const QImage image = ReadGif(question);
                QVERIFY2(!image.isNull(), qPrintable(question));
                QCOMPARE(image.size(), QSize(216, 216));
                for (int row = 0; row < 3; ++row)
                    for (int col = 0; col < 3; ++col)
                        QVERIFY2(At(image, Centre(col, 3), Centre(row, 3)) == palette::kTopColour, qPrintable(question));
                CheckSideColours(image, state, question);

                const QString answerName = CasePath(QStringLiteral("PLL-2/Answers"), n, turns + 1);
                const QImage answer = ReadGif(answerName);
                QVERIFY2(!answer.isNull(), qPrintable(answerName));
                CheckSideColours(answer, state, answerName);
                CheckYellowTop(answer, answerName);
                CheckArrows(answer, ExpectedArrows(unturned, turns), answerName);
            }
        }
    }

    // The turned arrows really solve the turned case: moving each piece of
    // the turned state along them leaves the top layer one U turn from solved.
    void turnedArrowsSolveTheTurnedCase()
    {
        for (int n = 1; n <= kPllCases; ++n) {
            const TopPermutation homes = TopLayerPermutation(CaseState(HintSet::Pll, n));
            for (int turns = 0; turns < 4; ++turns) {
                const TopPermutation turnedHomes = TopLayerPermutation(TurnedCase(HintSet::Pll, n, turns));
                std::array<Vec3, kTopPieces> goesTo;  // by the place the piece sits on in the turned state
                for (int piece = 0; piece < kTopPieces; ++piece) {
                    const Vec3 from = TurnPlaceByU(TopPiecePlace(piece), turns);
                    for (int p = 0; p < kTopPieces; ++p)
                        if (TopPiecePlace(p) == from)
                            goesTo[p] = TurnPlaceByU(TopPiecePlace(homes[piece]), turns);
                }
                bool someOffsetWorks = false;
                for (int offset = 0; offset < 4 && !someOffsetWorks; ++offset) {
                    bool all = true;
                    for (int p = 0; p < kTopPieces; ++p)
                        all = all && TurnPlaceByU(goesTo[p], offset) == TopPiecePlace(turnedHomes[p]);
                    someOffsetWorks = all;
                }
                QVERIFY2(someOffsetWorks, Where(QStringLiteral("PLL %1").arg(n), "turn", turns));
            }
        }
    }

    void twoSidedPicturesShowTopFrontAndRight()
    {
        for (int n = 1; n <= kPllCases; ++n)
            for (int turns = 0; turns < 4; ++turns) {
                const Cube state = TurnedCase(HintSet::Pll, n, turns);
                const QString name = CasePath(QStringLiteral("PLL-2-sides"), n, turns + 1);
                const QImage image = ReadGif(name);
                QVERIFY2(!image.isNull(), qPrintable(name));
                for (int a = -1; a <= 1; ++a)
                    for (int b = -1; b <= 1; ++b) {
                        const Vec3 top{a, 1, b}, front{a, b, 1}, right{1, b, a};
                        CheckIsoSticker(image, layout::IsoView::WholeCube, top, {0, 1, 0}, palette::kTopColour, name);
                        CheckIsoSticker(image, layout::IsoView::WholeCube, front, {0, 0, 1},
                                        palette::FaceColour(state.at(front, {0, 0, 1})), name);
                        CheckIsoSticker(image, layout::IsoView::WholeCube, right, {1, 0, 0},
                                        palette::FaceColour(state.at(right, {1, 0, 0})), name);
                    }
                const QByteArray answer = ReadBytes(CasePath(QStringLiteral("PLL-2-sides/Answers"), n, turns + 1));
                QVERIFY2(!answer.isEmpty(), qPrintable(name));
                QVERIFY(answer == ReadBytes(CasePath(QStringLiteral("PLL-2/Answers"), n, turns + 1)));
            }
    }

    void everyFolderHoldsItsPicturesAndEveryQuestionItsAnswer()
    {
        const QStringList four = {QStringLiteral("1.gif"), QStringLiteral("2.gif"), QStringLiteral("3.gif"),
                                  QStringLiteral("4.gif")};
        for (int n = 1; n <= kOllCases; ++n)
            QCOMPARE(GifsIn(kImages + QStringLiteral("OLL-2/%1").arg(n)).size(), 8);
        QCOMPARE(QDir(kImages + QStringLiteral("OLL-2")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 57);
        for (const QString& folder : {QStringLiteral("PLL-2"), QStringLiteral("PLL-2-sides")}) {
            for (int n = 1; n <= kPllCases; ++n) {
                const QStringList questions = GifsIn(kImages + folder + QStringLiteral("/%1").arg(n));
                QCOMPARE(questions, four);
                QCOMPARE(GifsIn(kImages + folder + QStringLiteral("/Answers/%1").arg(n)), questions);
            }
            // 21 case folders and Answers.
            QCOMPARE(QDir(kImages + folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 22);
        }
    }

    void theListOfGeneratedFilesStaysOutOfTheProgramsOwnFolders()
    {
        const QByteArray manifest = ReadBytes(kImages + QStringLiteral(".tesselo-generated"));
        QVERIFY(!manifest.isEmpty());
        int lines = 0;
        for (const QByteArray& line : manifest.split('\n')) {
            if (line.isEmpty())
                continue;
            ++lines;
            const QByteArray path = line.mid(line.indexOf(' ') + 1);
            QVERIFY2(path.startsWith("OLL-2/") || path.startsWith("PLL-2/") || path.startsWith("PLL-2-sides/"),
                     path.constData());
        }
        QVERIFY(lines <= 57 * 8 + 21 * 16);
    }

    void atlasIsTheBitmapTheCubeViewReads()
    {
        const QByteArray bmp = ReadBytes(kGenerated + QStringLiteral("MyWav.bmp"));
        QCOMPARE(bmp.size(), 98358);
        QVERIFY(bmp.startsWith("BM"));
        QCOMPARE(Le32(bmp, 2), 98358u);
        QCOMPARE(Le32(bmp, 10), 54u);   // pixels right after the headers
        QCOMPARE(Le32(bmp, 14), 40u);
        QCOMPARE(Le32(bmp, 18), 256u);
        QCOMPARE(Le32(bmp, 22), 128u);  // positive height: bottom-up rows
        QCOMPARE(Le32(bmp, 26) & 0xFFFF, 1u);
        QCOMPARE(Le32(bmp, 26) >> 16, 24u);
        QCOMPARE(Le32(bmp, 30), 0u);
    }

    // Each face's nine stickers sit where the cube view's quads sample them:
    // a sticker centre on a face is taken through the quad's corners to its
    // texture coordinates, and the texel there must show the model's colour.
    void atlasCellsShowTheScrambledCubeFaceByFace()
    {
        const QByteArray bmp = ReadBytes(kGenerated + QStringLiteral("MyWav.bmp"));
        QCOMPARE(bmp.size(), 98358);
        const Cube scrambled = atlas::AtlasCube();
        QVERIFY(!scrambled.isSolved());
        struct Quad {
            Vec3 normal;
            double corners[4][3];
            double st[4][2];
        };
        // The cube view's quads: corners in drawing order with (s, t).
        const Quad quads[] = {
            {{0, 0, 1}, {{1, 1, 1}, {-1, 1, 1}, {-1, -1, 1}, {1, -1, 1}}, {{0, 0}, {0.25, 0}, {0.25, 0.5}, {0, 0.5}}},
            {{0, 0, -1}, {{1, 1, -1}, {1, -1, -1}, {-1, -1, -1}, {-1, 1, -1}}, {{0, 0.5}, {0.25, 0.5}, {0.25, 1}, {0, 1}}},
            {{-1, 0, 0}, {{-1, 1, 1}, {-1, 1, -1}, {-1, -1, -1}, {-1, -1, 1}}, {{0.25, 0}, {0.5, 0}, {0.5, 0.5}, {0.25, 0.5}}},
            {{1, 0, 0}, {{1, 1, 1}, {1, -1, 1}, {1, -1, -1}, {1, 1, -1}}, {{0.75, 0}, {1, 0}, {1, 0.5}, {0.75, 0.5}}},
            {{0, 1, 0}, {{-1, 1, -1}, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}}, {{0.75, 0}, {0.75, 0.5}, {0.5, 0.5}, {0.5, 0}}},
            {{0, -1, 0}, {{-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}}, {{0.25, 0.5}, {0.5, 0.5}, {0.5, 1}, {0.25, 1}}},
        };
        for (const Quad& quad : quads) {
            QSet<palette::Rgb> seen;
            for (int i = -1; i <= 1; ++i)
                for (int j = -1; j <= 1; ++j) {
                    // The sticker's cubie: the normal's coordinate is +-1, the others i and j.
                    int place[3];
                    const int normal[3] = {quad.normal.x, quad.normal.y, quad.normal.z};
                    const int axis = normal[0] ? 0 : normal[1] ? 1 : 2;
                    place[axis] = normal[axis];
                    place[(axis + 1) % 3] = i;
                    place[(axis + 2) % 3] = j;
                    // Corner 0 plus a times (1 - 0) plus b times (3 - 0) reaches the sticker centre.
                    double a = 0, b = 0;
                    for (int c = 0; c < 3; ++c) {
                        const double e1 = quad.corners[1][c] - quad.corners[0][c];
                        const double e3 = quad.corners[3][c] - quad.corners[0][c];
                        const double centre = c == axis ? place[c] : place[c] * 2.0 / 3.0;
                        const double target = centre - quad.corners[0][c];
                        if (e1 != 0)
                            a = target / e1;
                        if (e3 != 0)
                            b = target / e3;
                    }
                    const double s = quad.st[0][0] + a * (quad.st[1][0] - quad.st[0][0]) + b * (quad.st[3][0] - quad.st[0][0]);
                    const double t = quad.st[0][1] + a * (quad.st[1][1] - quad.st[0][1]) + b * (quad.st[3][1] - quad.st[0][1]);
                    const int offset = 54 + (int(t * 128) * 256 + int(s * 256)) * 3;
                    const palette::Rgb rgb = quint8(bmp[offset]) | quint8(bmp[offset + 1]) << 8 | quint8(bmp[offset + 2]) << 16;
                    const palette::Rgb expected = palette::FaceColour(scrambled.at({place[0], place[1], place[2]}, quad.normal));
                    QVERIFY2(rgb == expected, Where(QStringLiteral("atlas"), "sticker", i, j));
                    seen.insert(rgb);
                }
            QVERIFY(seen.size() >= 2);  // scrambled
        }
        // The unused cell (s 0.5..1, t 0.5..1) is plain.
        const int unused = 54 + (96 * 256 + 192) * 3;
        for (int i = 0; i < 3; ++i)
            QCOMPARE(quint8(bmp[unused + i]), quint8(0xFF));
    }

    void glyphsAndIconAreSmallPicturesWithTransparency()
    {
        for (const QString& name : {QStringLiteral("GlyphBin"), QStringLiteral("GlyphCursor"), QStringLiteral("Icon")}) {
            QImage image;
            QVERIFY2(image.loadFromData(ReadBytes(kGenerated + name + QStringLiteral(".png")), "PNG"), qPrintable(name));
            if (name.startsWith(QLatin1String("Glyph")))
                QCOMPARE(image.size(), QSize(16, 16));
            else
                QVERIFY(image.width() == image.height() && image.width() >= 64);
            QVERIFY(image.hasAlphaChannel());
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            QCOMPARE(qAlpha(image.pixel(image.width() / 2, image.height() / 2)), 255);
        }
    }
};

QTEST_GUILESS_MAIN(PicturesTest)
#include "test_tools_pictures.moc"
