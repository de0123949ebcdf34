#pragma once
// One training session, without widgets: the trainer's state, the draw of
// the next case (every rule, the case drawn in advance with its setup
// scramble, the rounds, the exam's rule), the active set's records and the
// link to History.csv. The main window calls one method per user action and
// paints what the signals say.

#include "core/caserecord.h"
#include "core/setupscramble.h"
#include "core/catalogue.h"
#include "core/draw.h"
#include "core/namingdrill.h"
#include "core/seams.h"

#include <QObject>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TrainingSession : public QObject {
    Q_OBJECT
public:
    TrainingSession(std::shared_ptr<Clock> clock, std::shared_ptr<RandomSource> random, QObject* parent = nullptr);

    TrainerState state;
    CaseDraw draw;
    NamingDrill naming{state, draw};   // "Name the case" (core/namingdrill.h)
    ScramblePool scramblePool;   // filled by the program before the first setup scramble

    // ---- the active set's records ---------------------------------------
    const CaseRecord& Record(int caseNumber) const { return records_[static_cast<size_t>(caseNumber - 1)]; }
    void SetRecord(int caseNumber, const CaseRecord& record);
    void ClearRecords(bool keepBests);
    std::vector<int> EnabledCaseNumbers() const;

    // ---- which cases are enabled (all 57 flags, whatever the set) --------
    bool CaseEnabled(int caseNumber) const { return enabled_[static_cast<size_t>(caseNumber - 1)]; }
    // As Settings.ini holds it; the count of enabled cases is the loader's.
    void SetCaseEnabled(int caseNumber, bool enabled);
    // A tile pressed: the case on or off, counted.
    void ToggleCase(int caseNumber);
    // Enable all / disable all: every flag, the count of the active set.
    void SetAllCasesEnabled(bool enabled);

    // ---- a set as Settings.ini keeps it ------------------------------------
    struct StoredCase {
        bool enabled = true;
        CaseRecord record;
    };
    // The set switched to (or the one start-up begins with) becomes the
    // active one, with its cases from case 1 on as read: their flags and
    // records, and the count of the enabled ones.
    void SwitchSet(CaseSet set, const std::vector<StoredCase>& cases);
    // What is kept of the set's cases, from case 1 on.
    std::vector<StoredCase> StoredSet(CaseSet set) const;

    // ---- the link to History.csv ------------------------------------------
    // Appends one accepted time of the current case, timed under the scramble
    // given, with its recognition mark if one was made; gives the text of a
    // refused write, or an empty text.
    using HistoryLink = std::function<QString(double seconds, bool exam, const QString& scramble,
                                              std::optional<qint64> splitMs)>;
    void LinkHistory(HistoryLink link) { keepInHistory_ = std::move(link); }

    // ---- the stopwatch's time ---------------------------------------------
    // Past this the stopwatch throws the attempt away.
    static constexpr qint64 kLongestAttemptMs = 59000;
    // The time shown at a tick or at the press of Stop, and kept by Accept.
    void ShowTime(qint64 elapsedMs);
    void ForgetTime();
    std::optional<qint64> TimeMs() const { return timeMs_; }

    // ---- the recognition mark ("Time recognition") ----------------------
    // The first mark of the attempt counts: false when one was made already.
    bool MarkRecognition(qint64 elapsedMs);
    std::optional<qint64> SplitMs() const { return splitMs_; }

    // ---- the user's actions -------------------------------------------------
    // Start: an attempt begins, with no time and no scramble timed yet.
    void Start();
    // Stop pressed while the stopwatch runs, the clock read at the press
    // (microseconds): the press's time is kept, none within the first
    // millisecond; past the limit the attempt is to be thrown away.
    enum class StopOutcome { TimeKept, NoTime, Overlong };
    StopOutcome Stop(qint64 pressUs);
    struct AcceptOutcome {
        enum Kind {
            NoTime,     // stopped before any time: the attempt was discarded
            Exam,       // an exam time: History.csv only
            Recorded,   // the case's record holds the time
            Refused,    // the stored record does not read: discarded, refusal says why
        } kind = NoTime;
        QString refusal;
        QString historyFailure;   // a refused History.csv write
    };
    // What Accept does: the time into the case's record (outside an exam)
    // and into History.csv, the round told the case counted.
    AcceptOutcome Accept();
    // The attempt does not count: a case of a round comes again later in it.
    void Discard();
    // A case given up was not done: back into its round at once.
    void GiveUp();
    // Easy to Hard and back; the case drawn in advance stays.
    void SwitchLevel();

    // The draw rule's next case; none without enabled cases. history: the
    // recorded attempts for the weak rule, or nothing while they are not read.
    std::optional<int> ChooseCase(const std::vector<Attempt>* history);
    // The exam's rule: an enabled case not drawn yet (drawn: the cases so far).
    std::optional<int> ChooseExamCase(const std::vector<int>& drawn);
    // A new rule. Rounds chosen while a case waits under its setup scramble
    // take that case as their first; false when they cannot, and the waiting
    // case is then forgotten so that it is drawn again.
    bool SetRule(DrawRule rule);

    // The countdown drew the current case.
    void AnnounceDrawnCase() { emit CaseDrawn(state.currentSet, state.currentCase); }

    // ---- setup scrambles: the case drawn in advance in Idle ---------------
    // canBeDrawn: the cases the next draw may give (during an exam the
    // undrawn ones). Keeps a waiting case that can still be drawn among the
    // same enabled cases, else draws anew with the rule (or the exam's).
    // history is asked only when a case is drawn.
    using HistoryForDraw = std::function<const std::vector<Attempt>*()>;
    void DrawInAdvance(const QStringList& canBeDrawn, const std::vector<int>& examDrawn,
                       const HistoryForDraw& history);
    // The waiting case for the attempt, with its scramble made current;
    // none when it can no longer be drawn.
    std::optional<int> TakeCaseDrawnInAdvance(const QStringList& canBeDrawn);
    // Another setup scramble for the waiting case (the user slipped while
    // doing the shown one); the case, its round and the cases it was drawn
    // among stay. False when no case waits.
    bool DrawAnotherSetupForWaitingCase();
    // The option cleared: no case waits.
    void ForgetCaseDrawnInAdvance();
    // The option cleared or ticked: the waiting case back into its round too.
    void WithdrawCaseDrawnInAdvance();

signals:
    void RecordChanged(int caseNumber);
    void CaseEnabledChanged(int caseNumber);
    void AttemptAccepted(CaseSet set, int caseNumber, double seconds, bool exam);
    void CaseDrawn(CaseSet set, int caseNumber);
    // The round's count or the weak rule's shares may have changed.
    void DrawChanged();

private:
    bool WaitingCaseHolds(const QStringList& canBeDrawn) const;
    void NamingSeen(bool givenUp);
    std::optional<qint64> AcceptedSplit() const;

    std::shared_ptr<Clock> clock_;
    std::shared_ptr<RandomSource> random_;
    std::array<CaseRecord, kMaxCases> records_{};
    std::array<bool, kMaxCases> enabled_{};
    HistoryLink keepInHistory_;
    std::optional<qint64> timeMs_;
    std::optional<qint64> splitMs_;
};
