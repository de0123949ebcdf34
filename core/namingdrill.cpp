#include "core/namingdrill.h"

#include <algorithm>
#include <limits>

namespace {

qint32 AnswerMilliseconds(qint64 elapsedMs)
{
    return static_cast<qint32>(std::clamp<qint64>(elapsedMs, 0, std::numeric_limits<qint32>::max()));
}

} // namespace

const CaseIdentityTable NamingDrill::kNoCases;

void NamingDrill::SetActive(bool active)
{
    active_ = active;
    draw_.weighNaming = active;
    answer_.reset();
}

void NamingDrill::Ask()
{
    answer_.emplace(*table_, state_.currentSet);
}

std::optional<NamingVerdict> NamingDrill::Key(QChar latin, qint64 elapsedMs)
{
    if (!answer_ || answer_->Key(latin) != NameAnswer::Step::Whole)
        return std::nullopt;
    return JudgeNamed(answer_->CaseNumber().value_or(0), answer_->Text(), elapsedMs);
}

std::optional<NamingVerdict> NamingDrill::Enter(qint64 elapsedMs)
{
    if (!answer_ || answer_->Enter() != NameAnswer::Step::Whole)
        return std::nullopt;
    return JudgeNamed(answer_->CaseNumber().value_or(0), answer_->Text(), elapsedMs);
}

std::optional<NamingVerdict> NamingDrill::AnswerWithCase(int caseNumber, qint64 elapsedMs)
{
    if (!answer_)
        return std::nullopt;
    return JudgeNamed(caseNumber, StandardOf(caseNumber), elapsedMs);
}

void NamingDrill::EraseLast()
{
    if (answer_)
        answer_->EraseLast();
}

std::optional<NamingVerdict> NamingDrill::GiveUp(qint64 elapsedMs)
{
    if (!answer_)
        return std::nullopt;
    return Judge(AttemptResult::GaveUp, QString(), elapsedMs);
}

QString NamingDrill::StandardOf(int caseNumber) const
{
    const CaseIdentity* identity = table_->Find(state_.currentSet, caseNumber);
    return identity ? identity->standard : QString();
}

// By the standard identity: the name the cuber knows the case by.
NamingVerdict NamingDrill::JudgeNamed(int namedCase, const QString& answer, qint64 elapsedMs)
{
    const QString named = StandardOf(namedCase);
    const bool right = !named.isEmpty() && named == StandardOf(state_.currentCase);
    return Judge(right ? AttemptResult::Ok : AttemptResult::Wrong, answer, elapsedMs);
}

NamingVerdict NamingDrill::Judge(AttemptResult result, const QString& answer, qint64 elapsedMs)
{
    answer_.reset();
    const TrainerState& state = state_;
    NamingVerdict verdict;
    verdict.result = result;
    verdict.rightCase = state.currentCase;
    verdict.answer = answer;
    verdict.answerMs = AnswerMilliseconds(elapsedMs);

    Attempt line;
    line.utcSeconds = hooks_.nowUtc ? hooks_.nowUtc() : 0;
    line.set = state.currentSet;
    line.caseNumber = state.currentCase;
    line.level = state.level;
    line.mode = AttemptMode::Name;
    // A miss has no time: an older reader skips the line instead of counting it.
    line.milliseconds = result == AttemptResult::Ok ? AnswerMilliseconds(elapsedMs) : 0;
    AttemptDetail detail;
    detail.result = result;
    detail.answer = answer;
    detail.splitMilliseconds = result == AttemptResult::GaveUp ? -1 : AnswerMilliseconds(elapsedMs);

    if (keepInHistory_)
        verdict.historyFailure = keepInHistory_(line, state.currentScramble, detail);
    if (hooks_.seen)
        hooks_.seen(result == AttemptResult::GaveUp);
    return verdict;
}

Attempt AnswerTimeForDraw(const Attempt& line, AttemptResult result)
{
    Attempt timed = line;
    timed.exam = false;
    if (result != AttemptResult::Ok)
        timed.milliseconds = kMissedAnswerMs;
    return timed;
}
