#pragma once
// The naming drill: a case is drawn and shown with the clock running, and
// the cuber names it (core/nameanswer.h) or clicks its tile. The answer is
// judged, written to History.csv as a "name" line and never enters the
// case's record: the tiles' averages, bests and counts stay as they are.
// No widgets: the window hands in each key's Latin letter or digit and the
// time of the press, and shows the verdict. Every call but SetActive and Ask
// does nothing (nullopt) unless a question waits.

#include "core/attempt.h"
#include "core/draw.h"
#include "core/nameanswer.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

struct NamingVerdict {
    AttemptResult result = AttemptResult::GaveUp;
    int rightCase = 0;        // the case that was shown
    QString answer;           // as typed ("Ga", "27"), or the clicked tile's name; empty for a give-up
    qint64 answerMs = 0;      // from the picture to the answer
    QString historyFailure;   // a refused History.csv write
};

class NamingDrill {
public:
    // The training session's state and draw; it sets the hooks.
    NamingDrill(const TrainerState& state, CaseDraw& draw) : state_(state), draw_(draw) {}
    struct Hooks {
        std::function<qint64()> nowUtc;
        // The case was named, right or wrong, or given up (back into its round).
        std::function<void(bool givenUp)> seen;
    };
    void SetHooks(Hooks hooks) { hooks_ = std::move(hooks); }
    // The names the answers are judged by (the program's table; none at first).
    void UseCases(const CaseIdentityTable& table) { table_ = &table; }

    bool Active() const { return active_; }
    void SetActive(bool active);

    // The current case's picture is up: nothing is typed yet.
    void Ask();
    bool Asking() const { return answer_.has_value(); }
    QString Typed() const { return answer_ ? answer_->Text() : QString(); }

    // A key of the answer, with the time of its press from the picture on;
    // the verdict once the answer is whole. A key that names nothing from
    // here is passed over.
    std::optional<NamingVerdict> Key(QChar latin, qint64 elapsedMs);
    // Enter closes an OLL number; nothing while no case is named.
    std::optional<NamingVerdict> Enter(qint64 elapsedMs);
    // A tile clicked: its case is the answer.
    std::optional<NamingVerdict> AnswerWithCase(int caseNumber, qint64 elapsedMs);
    // Backspace: the last key typed is taken back.
    void EraseLast();
    // Escape: the case was not named.
    std::optional<NamingVerdict> GiveUp(qint64 elapsedMs);

    // Each line of History.csv the drill writes; gives the text of a
    // refused write, or an empty text.
    using HistoryLink = std::function<QString(const Attempt&, const QString& scramble, const AttemptDetail&)>;
    void LinkHistory(HistoryLink link) { keepInHistory_ = std::move(link); }

private:
    QString StandardOf(int caseNumber) const;
    NamingVerdict Judge(AttemptResult result, const QString& answer, qint64 elapsedMs);
    NamingVerdict JudgeNamed(int namedCase, const QString& answer, qint64 elapsedMs);

    const TrainerState& state_;
    CaseDraw& draw_;
    Hooks hooks_;
    const CaseIdentityTable* table_ = &kNoCases;
    static const CaseIdentityTable kNoCases;
    bool active_ = false;
    std::optional<NameAnswer> answer_;   // while a question waits
    HistoryLink keepInHistory_;
};

// The weak rule in the drill weighs a case by its answer times: a miss or a
// give-up counts as an answer this slow, so that a missed case comes more often.
inline constexpr qint32 kMissedAnswerMs = 10000;

// A drill line as the weak rule reads it: the answer's time, or
// kMissedAnswerMs for a miss or a give-up.
Attempt AnswerTimeForDraw(const Attempt& line, AttemptResult result);
