#pragma once
// Setup scrambles: short sequences of face turns that, done on a solved cube
// held yellow on top and green in front, leave the first two layers solved
// and the last layer in a given case. They come from a pool made once by an
// optimal solver (tools/make-scramble-pool.sh); each draw shows a pool entry
// from a random side, and for PLL with a random last U turn.

#include "core/catalogue.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

class RandomSource;

class ScramblePool {
public:
    // Lines "OLL 21 R U2 R' ...": the set, the case number, the turns with
    // single blanks. Blank lines are skipped; so is a line that does not read.
    static ScramblePool Parse(const QByteArray& text);

    QStringList Setups(CaseSet set, int caseNumber) const;
    bool IsEmpty() const { return setups_.isEmpty(); }

private:
    QHash<QString, QStringList> setups_;   // keyed by "OLL 21"
};

// The same turns done after a whole-cube turn about the vertical axis,
// quarterTurns times: every R becomes F, F becomes L, L becomes B, B becomes R.
// The case then shows from another side.
QString TurnedAboutVertical(const QString& turns, int quarterTurns);

// The turns followed by quarterTurns clockwise U turns, merged with a last U
// turn so that two U turns never follow each other (R U' then U2 is R U).
QString WithFinalUTurns(const QString& turns, int quarterTurns);

// A setup for the case from the pool, turned to a random side, and for PLL
// with a random U turn at its end. Empty when the pool has none for it.
QString DrawSetupScramble(const ScramblePool& pool, CaseSet set, int caseNumber, RandomSource& random);

// Another setup for the same case when the user asks for one: a pool entry
// other than the one shown (seen from any side, its end U turns left out)
// where the case has more than one, again from a random side and for PLL
// with a random last U turn; never the very text shown. Empty when the pool
// has none for the case.
QString DrawAnotherSetupScramble(const ScramblePool& pool, CaseSet set, int caseNumber, const QString& shown,
                                 RandomSource& random);
