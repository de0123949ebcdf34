#pragma once
// What a line of History.csv holds beyond the time itself: how the time was
// taken, the recognition split, and a naming drill's answer. No widgets.
//
// The split, the answer and the result are rare (only timed-recognition and
// drill lines have them), so they are not in the 16-byte Attempt: the
// reader keeps a split in a side table beside the attempts, and a drill
// record whole in a list of its own, which the tiles and the statistics never
// see. Only the mode, two bits, lives in the Attempt.

#include <QString>
#include <QtGlobal>
#include <cstddef>
#include <cstdint>

enum class AttemptMode : std::uint8_t {
    Time,    // "time": the whole attempt timed
    Split,   // "split": timed, with the end of recognition marked
    Name,    // "name": the naming drill
};

enum class AttemptResult : std::uint8_t {
    None,     // "": a timed attempt
    Ok,       // "ok": the drill's right answer
    Wrong,    // "wrong": a miss
    GaveUp,   // "gave-up": Escape in the drill
};

struct AttemptDetail {
    qint32 splitMilliseconds = -1;   // to the recognition mark or the answer; -1: none
    QString answer;                  // what was typed ("Ga", "27"), single-spaced
    AttemptResult result = AttemptResult::None;

    bool operator==(const AttemptDetail&) const = default;
};

// A split attempt's mark: attempt is its place in HistoryContent::attempts.
struct AttemptSplit {
    size_t attempt = 0;
    qint32 splitMilliseconds = 0;

    bool operator==(const AttemptSplit&) const = default;
};
