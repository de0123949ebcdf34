#include "tools/pictures.h"

#include "tools/render.h"

namespace {

cube::Cube TurnedCase(cube::HintSet set, int caseNumber, int uTurns)
{
    return cube::CaseState(set, caseNumber).apply(cube::Repeat(cube::MustParse("U").front(), uTurns));
}

QString CaseFolder(const QString& folder, int caseNumber)
{
    return folder + QLatin1Char('/') + QString::number(caseNumber) + QLatin1Char('/');
}

QString PictureName(int number) { return QString::number(number) + QStringLiteral(".gif"); }

void MakeHardOll(int caseNumber, const PictureSink& sink)
{
    const QString folder = CaseFolder(QStringLiteral("OLL-2"), caseNumber);
    for (int turns = 0; turns < 4; ++turns) {
        const cube::Cube state = TurnedCase(cube::HintSet::Oll, caseNumber, turns);
        sink(folder + PictureName(turns + 1), render::OrientationTopView(state, 3));
        sink(folder + PictureName(turns + 5), render::OrientationIsoView(state));
    }
}

void MakeHardPll(int caseNumber, const PictureSink& sink)
{
    const cube::Cube unturned = cube::CaseState(cube::HintSet::Pll, caseNumber);
    for (int turns = 0; turns < 4; ++turns) {
        const cube::Cube state = TurnedCase(cube::HintSet::Pll, caseNumber, turns);
        const QString name = PictureName(turns + 1);
        const QImage answer = render::PermutationTopView(state, true, render::PermutationArrows(unturned, turns));
        sink(CaseFolder(QStringLiteral("PLL-2"), caseNumber) + name, render::PermutationTopView(state, true, {}));
        sink(CaseFolder(QStringLiteral("PLL-2/Answers"), caseNumber) + name, answer);
        sink(CaseFolder(QStringLiteral("PLL-2-sides"), caseNumber) + name, render::ColourIsoView(state));
        sink(CaseFolder(QStringLiteral("PLL-2-sides/Answers"), caseNumber) + name, answer);
    }
}

}  // namespace

void MakeEasyPictures(const PictureSink& sink)
{
    for (int n = 1; n <= cube::kOllCases; ++n)
        sink(QStringLiteral("O%1").arg(n), render::OrientationTopView(cube::CaseState(cube::HintSet::Oll, n), 1));
    for (int n = 1; n <= cube::kPllCases; ++n) {
        const cube::Cube state = cube::CaseState(cube::HintSet::Pll, n);
        sink(QStringLiteral("P%1").arg(n), render::PermutationTopView(state, false, render::PermutationArrows(state)));
    }
}

void MakeHardLibrary(const PictureSink& sink)
{
    for (cube::HintSet set : {cube::HintSet::Oll, cube::HintSet::Pll})
        for (int n = 1; n <= cube::CaseCount(set); ++n)
            MakeHardCase(set, n, sink);
}

void MakeHardCase(cube::HintSet set, int caseNumber, const PictureSink& sink)
{
    if (set == cube::HintSet::Oll)
        MakeHardOll(caseNumber, sink);
    else
        MakeHardPll(caseNumber, sink);
}
