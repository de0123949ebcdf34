#pragma once
// The sets of pictures the generator makes, named as the program expects them.

#include "core/lastlayer.h"

#include <QImage>
#include <QString>
#include <functional>

using PictureSink = std::function<void(const QString& name, const QImage& image)>;

// The 78 Easy pictures: "O1".."O57" (72 x 72) and "P1".."P21" (216 x 216),
// each the state its built-in hint solves, yellow on top.
void MakeEasyPictures(const PictureSink& sink);

// The Hard library, by path below the Images folder: OLL-2/n/1..8.gif,
// PLL-2/n/1..4.gif, PLL-2/Answers/n/1..4.gif, PLL-2-sides/n/1..4.gif and
// PLL-2-sides/Answers/n/1..4.gif. Picture k of 1..4 shows the case after
// k - 1 U turns; OLL pictures 5..8 show the same four from above-front-right.
void MakeHardLibrary(const PictureSink& sink);
// The Hard pictures of one case, named as in MakeHardLibrary.
void MakeHardCase(cube::HintSet set, int caseNumber, const PictureSink& sink);
