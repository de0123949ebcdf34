#pragma once
// One recorded time. No widgets.

#include "core/attemptdetail.h"
#include "core/catalogue.h"

#include <QtGlobal>

// One recorded time, as a line of History.csv holds it. Packed into 16
// bytes: a history of millions of times is kept in memory whole.
struct Attempt {
    qint64 utcSeconds = 0;       // seconds since 1970-01-01T00:00:00Z
    qint32 milliseconds = 0;     // the time, exact to the thousandth
    CaseSet set : 2 = CaseSet::OLL;
    int caseNumber : 8 = 0;
    Level level : 2 = Level::Easy;
    bool twoSide : 1 = false;    // PLL Hard recognised from two faces
    bool exam : 1 = false;
    AttemptMode mode : 2 = AttemptMode::Time;   // the split or the drill's answer: AttemptDetail

    bool operator==(const Attempt&) const = default;
};
static_assert(sizeof(Attempt) == 16);
