#pragma once
// Contact sheets: many pictures on one PNG, each labelled, to look them over.

#include <QImage>
#include <QString>
#include <vector>

struct LabelledPicture {
    QString label;  // digits, O, P, A, S and '-' are drawn; anything else is left out
    QImage image;
    bool startsRow = false;  // begin a new row with this picture
    QString caption;         // under the picture, small; letters as capitals, ' and blanks too
};

// Cells of cellSize x cellSize (pictures scaled to fit, without smoothing)
// with the label above each and the caption, if any, below; a new row every `columns` pictures and where
// a picture asks for one.
QImage ContactSheet(const std::vector<LabelledPicture>& pictures, int columns, int cellSize);
