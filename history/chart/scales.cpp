#include "history/chart/scales.h"

double RulerStep(double span, int mostSteps)
{
    for (double power = 0.1;; power *= 10)
        for (const double factor : {1.0, 2.0, 5.0})
            if (span / (factor * power) <= mostSteps)
                return factor * power;
}

// The tiles' form of a time, from its whole milliseconds.
QString MsText(int milliseconds)
{
    return QStringLiteral("%1,%2").arg(milliseconds / 1000).arg(milliseconds % 1000, 3, 10, QLatin1Char('0'));
}
