#pragma once
// The vocabulary of the trainer: the two case sets, the level, one case's
// record and the state the main window keeps for the training cycle.

#include <QString>
#include <QStringList>

enum class CaseSet { OLL, PLL };
enum class Level { Easy = 0, Hard = 1 };

constexpr int kMaxCases = 57;   // the window always carries 57 tiles
constexpr int kOllCases = 57;
constexpr int kPllCases = 21;

int CaseCount(CaseSet set);
QString SetName(CaseSet set);      // "OLL" or "PLL"
CaseSet OtherSet(CaseSet set);

// One case of the active set. Times and the count are kept as the texts shown
// on the tile and parsed at every use; a time of 0 means "none yet".
struct CaseStats {
    bool enabled = true;
    QString average;
    QString best;
    QString count;
    QString hint;
};

// The trainer's state, owned by the training session (core/) for the
// program's whole life.
// The attempt phase (Idle, Countdown, Running, Stopped) is not stored: it
// follows from attemptActive and the two timers.
struct TrainerState {
    CaseSet currentSet = CaseSet::OLL;
    Level level = Level::Easy;
    bool russianInterface = true;
    bool attemptActive = false;
    bool answerShown = false;
    bool examActive = false;
    bool examCompleted = false;
    bool showExamNotice = true;
    bool showStatusBar = true;
    int currentCase = 0;
    int countdownLeft = 0;
    qint64 startTimeUs = 0;          // monotonic clock reading (microseconds) when the stopwatch started
    QString lastTimeText;            // the stopwatch text: last tick, or the press of Stop; what Accept records
    QStringList enabledCases;        // decimal case numbers, ascending, rebuilt by RefreshBoard
    int enabledCount = kOllCases;
    QStringList pictureFiles;        // Hard level: the listing of the drawn case's folder
    int pictureIndex = 0;
    int examDrawn = 0;
    // Setup scrambles: the case drawn in advance in Idle with the scramble
    // shown for it (0: none), and the scramble of the case being timed
    // (empty with the option off), which History.csv records.
    int nextCase = 0;
    CaseSet nextSet = CaseSet::OLL;
    QString nextScramble;
    QStringList nextDrawnAmong;      // the enabled cases when it was drawn: any change draws again
    QString currentScramble;
};
