#pragma once
// What the case chart and the set's bars both write on their scales.

#include <QString>

// The step of a nice scale: 1, 2 or 5 times a power of ten.
double RulerStep(double span, int mostSteps);

// A time in seconds as the tiles write it: "3,151".
QString MsText(int milliseconds);
