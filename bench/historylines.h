#pragma once
// History.csv as the program writes it today, for the benchmarks: its own
// header, its own line format (FormatAttempt) and line end, and for every
// second line a setup scramble drawn from the program's own pool, as Accept
// records under Setup scramble.

#include "history/historyfile.h"
#include "resources/resources.h"
#include "core/setupscramble.h"
#include "core/seams.h"

#include <QByteArray>
#include <QFile>
#include <functional>

class WrittenHistory {
public:
    explicit WrittenHistory(std::uint32_t seed)
        : pool_(ScramblePool::Parse(EmbeddedResource(QStringLiteral("ScramblePool")))), random_(seed)
    {
    }

    static QByteArray Header() { return HistoryHeader() + "\r\n"; }

    // The line Accept appends for this attempt: with a scramble every second line.
    QByteArray Line(const Attempt& attempt)
    {
        const bool withScramble = (lines_++ % 2) == 1;
        const QString scramble =
            withScramble ? DrawSetupScramble(pool_, attempt.set, attempt.caseNumber, random_) : QString();
        return FormatAttempt(attempt, scramble) + "\r\n";
    }

    // The header and one line for each attempt the generator gives (it
    // returns false when there are no more), written in pieces of 1 MiB.
    void Write(const QString& path, const std::function<bool(Attempt&)>& next)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
        QByteArray piece = Header();
        Attempt attempt;
        while (next(attempt)) {
            piece += Line(attempt);
            if (piece.size() > (1 << 20)) {
                file.write(piece);
                piece.clear();
            }
        }
        file.write(piece);
    }

private:
    ScramblePool pool_;
    SeededRandom random_;
    long long lines_ = 0;
};
