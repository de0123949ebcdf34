#include "core/trainingsession.h"

#include "core/errors.h"
#include "core/timetext.h"

#include <algorithm>

TrainingSession::TrainingSession(std::shared_ptr<Clock> clock, std::shared_ptr<RandomSource> random, QObject* parent)
    : QObject(parent), clock_(std::move(clock)), random_(std::move(random))
{
    enabled_.fill(true);   // as the tiles are made, before the settings are read
    naming.SetHooks({[this] { return clock_->UtcSeconds(); }, [this](bool givenUp) { NamingSeen(givenUp); }});
}

// A case given up comes again in its round; a named one, right or wrong, was seen.
void TrainingSession::NamingSeen(bool givenUp)
{
    if (givenUp) {
        GiveUp();
        return;
    }
    draw.Kept();
    emit DrawChanged();
}

// ---- records ------------------------------------------------------------------------

void TrainingSession::SetRecord(int caseNumber, const CaseRecord& record)
{
    records_[static_cast<size_t>(caseNumber - 1)] = record;
    emit RecordChanged(caseNumber);
}

void TrainingSession::ClearRecords(bool keepBests)
{
    for (int n = 1; n <= kMaxCases; ++n)
        SetRecord(n, Record(n).Cleared(keepBests));
}

std::vector<int> TrainingSession::EnabledCaseNumbers() const
{
    std::vector<int> numbers;
    numbers.reserve(static_cast<size_t>(state.enabledCases.size()));
    for (const QString& text : state.enabledCases)
        numbers.push_back(text.toInt());
    return numbers;
}

void TrainingSession::SetCaseEnabled(int caseNumber, bool enabled)
{
    enabled_[static_cast<size_t>(caseNumber - 1)] = enabled;
    emit CaseEnabledChanged(caseNumber);
}

void TrainingSession::ToggleCase(int caseNumber)
{
    const bool enabled = !CaseEnabled(caseNumber);
    state.enabledCount += enabled ? 1 : -1;
    SetCaseEnabled(caseNumber, enabled);
}

// Over all 57 flags whatever the set: with PLL active the hidden tiles take
// the flag too, and the next switch to OLL loads them afresh.
void TrainingSession::SetAllCasesEnabled(bool enabled)
{
    for (int n = 1; n <= kMaxCases; ++n)
        SetCaseEnabled(n, enabled);
    state.enabledCount = enabled ? CaseCount(state.currentSet) : 0;
}

// ---- a set as Settings.ini keeps it ------------------------------------------------

void TrainingSession::SwitchSet(CaseSet set, const std::vector<StoredCase>& cases)
{
    state.currentSet = set;
    state.enabledCount = static_cast<int>(cases.size());
    for (size_t index = 0; index < cases.size(); ++index) {
        const int caseNumber = static_cast<int>(index) + 1;
        SetCaseEnabled(caseNumber, cases[index].enabled);
        SetRecord(caseNumber, cases[index].record);
        if (!cases[index].enabled)
            --state.enabledCount;
    }
}

std::vector<TrainingSession::StoredCase> TrainingSession::StoredSet(CaseSet set) const
{
    std::vector<StoredCase> cases;
    for (int n = 1; n <= CaseCount(set); ++n)
        cases.push_back({CaseEnabled(n), Record(n)});
    return cases;
}

// ---- the time ---------------------------------------------------------------------

void TrainingSession::ShowTime(qint64 elapsedMs)
{
    timeMs_ = elapsedMs;
    state.lastTimeText = StopwatchText(elapsedMs);
}

void TrainingSession::Start()
{
    state.attemptActive = true;
    ForgetTime();
    state.currentScramble.clear();
}

TrainingSession::StopOutcome TrainingSession::Stop(qint64 pressUs)
{
    // The clock read at the press: the recorded time does not lag behind by
    // whatever part of a tick has passed since the last one.
    const qint64 elapsed = (pressUs - state.startTimeUs) / 1000;
    if (elapsed > kLongestAttemptMs)
        return StopOutcome::Overlong;
    // Within the first millisecond there is no time to keep (0 means none),
    // as when no tick has come yet.
    if (elapsed <= 0)
        return StopOutcome::NoTime;
    ShowTime(elapsed);
    return StopOutcome::TimeKept;
}

void TrainingSession::ForgetTime()
{
    timeMs_.reset();
    splitMs_.reset();
    state.lastTimeText.clear();
}

bool TrainingSession::MarkRecognition(qint64 elapsedMs)
{
    if (splitMs_)
        return false;
    splitMs_ = std::max<qint64>(elapsedMs, 0);
    return true;
}

// ---- Accept, Discard, give-up -----------------------------------------------------

TrainingSession::AcceptOutcome TrainingSession::Accept()
{
    AcceptOutcome outcome;
    // Stopped before the first stopwatch tick: there is no time to keep.
    if (!timeMs_ || state.currentCase < 1 || state.currentCase > kMaxCases) {
        Discard();
        return outcome;
    }
    // The time as its stopwatch text reads: whole milliseconds.
    const double seconds = static_cast<double>(*timeMs_ < 0 ? 0 : *timeMs_) / 1000.0;
    if (!state.examActive) {
        try {
            SetRecord(state.currentCase, Record(state.currentCase).WithTime(seconds));
        } catch (const TesseloError& error) {
            // The stored record is left exactly as it is; the time cannot count.
            Discard();
            outcome.kind = AcceptOutcome::Refused;
            outcome.refusal = error.text();
            return outcome;
        }
        draw.Kept();
    }
    outcome.kind = state.examActive ? AcceptOutcome::Exam : AcceptOutcome::Recorded;
    // Every recorded time, exam or not, goes to History.csv with its setup
    // scramble before the board goes back to Idle: the next draw weighs it.
    if (keepInHistory_)
        outcome.historyFailure = keepInHistory_(seconds, state.examActive, state.currentScramble, AcceptedSplit());
    emit AttemptAccepted(state.currentSet, state.currentCase, seconds, state.examActive);
    return outcome;
}

// A mark the stop overtook (read from a later clock reading than the
// stop's) is the whole time: recognition took it all.
std::optional<qint64> TrainingSession::AcceptedSplit() const
{
    if (!splitMs_ || !timeMs_)
        return std::nullopt;
    return std::min(*splitMs_, std::max<qint64>(*timeMs_, 0));
}

void TrainingSession::Discard()
{
    draw.PutBack(*random_);
}

void TrainingSession::GiveUp()
{
    draw.PutBack(*random_);
    emit DrawChanged();
}

void TrainingSession::SwitchLevel()
{
    state.level = state.level == Level::Easy ? Level::Hard : Level::Easy;
}

// ---- the draw ---------------------------------------------------------------------

std::optional<int> TrainingSession::ChooseCase(const std::vector<Attempt>* history)
{
    random_->Reseed();
    const int drawn = draw.Choose(state.currentSet, EnabledCaseNumbers(), history, clock_->UtcSeconds(), *random_);
    return drawn == 0 ? std::nullopt : std::optional<int>(drawn);
}

std::optional<int> TrainingSession::ChooseExamCase(const std::vector<int>& drawn)
{
    random_->Reseed();
    const int chosen = UndrawnCase(EnabledCaseNumbers(), drawn, *random_);
    return chosen == 0 ? std::nullopt : std::optional<int>(chosen);
}

bool TrainingSession::SetRule(DrawRule rule)
{
    const bool roundsBegin = rule == DrawRule::Round && draw.rule != DrawRule::Round;
    draw.rule = rule;
    if (!roundsBegin || state.nextCase <= 0 || state.nextSet != state.currentSet)
        return true;
    if (draw.Adopt(state.currentSet, state.nextCase, EnabledCaseNumbers(), *random_))
        return true;
    state.nextCase = 0;
    return false;
}

// ---- setup scrambles ----------------------------------------------------------------

// The waiting case still belongs to what the draw could give now, among the
// very cases enabled when it was drawn: else the first tile enabled after
// "disable all" would always be timed first.
bool TrainingSession::WaitingCaseHolds(const QStringList& canBeDrawn) const
{
    return state.nextCase > 0 && state.nextSet == state.currentSet
           && canBeDrawn.contains(QString::number(state.nextCase)) && state.nextDrawnAmong == state.enabledCases;
}

void TrainingSession::ForgetCaseDrawnInAdvance()
{
    state.nextCase = 0;
    state.nextScramble.clear();
    state.nextDrawnAmong.clear();
}

void TrainingSession::DrawInAdvance(const QStringList& canBeDrawn, const std::vector<int>& examDrawn,
                                    const HistoryForDraw& history)
{
    if (WaitingCaseHolds(canBeDrawn))
        return;
    ForgetCaseDrawnInAdvance();
    const std::optional<int> drawn = state.examActive ? ChooseExamCase(examDrawn) : ChooseCase(history ? history() : nullptr);
    if (!drawn)
        return;
    // The same case twice in a row gets another setup: the cuber who just did
    // one must not be handed it again.
    const bool sameCaseAgain = *drawn == state.currentCase && !state.currentScramble.isEmpty();
    const QString scramble =
        sameCaseAgain ? DrawAnotherSetupScramble(scramblePool, state.currentSet, *drawn, state.currentScramble, *random_)
                      : DrawSetupScramble(scramblePool, state.currentSet, *drawn, *random_);
    if (scramble.isEmpty())
        return;
    state.nextCase = *drawn;
    state.nextSet = state.currentSet;
    state.nextScramble = scramble;
    state.nextDrawnAmong = state.enabledCases;
}

bool TrainingSession::DrawAnotherSetupForWaitingCase()
{
    if (state.nextCase <= 0 || state.nextScramble.isEmpty())
        return false;
    const QString another =
        DrawAnotherSetupScramble(scramblePool, state.nextSet, state.nextCase, state.nextScramble, *random_);
    if (another.isEmpty())
        return false;
    state.nextScramble = another;
    return true;
}

std::optional<int> TrainingSession::TakeCaseDrawnInAdvance(const QStringList& canBeDrawn)
{
    // Every change of what can be drawn has drawn again in Idle; a case that
    // no longer fits is never timed under another case's scramble.
    const bool holds = state.nextCase > 0 && state.nextSet == state.currentSet
                       && canBeDrawn.contains(QString::number(state.nextCase));
    if (!holds) {
        ForgetCaseDrawnInAdvance();
        return std::nullopt;
    }
    const int drawn = state.nextCase;
    state.currentScramble = state.nextScramble;
    ForgetCaseDrawnInAdvance();
    return drawn;
}

void TrainingSession::WithdrawCaseDrawnInAdvance()
{
    draw.PutBack(*random_);
    ForgetCaseDrawnInAdvance();
}
