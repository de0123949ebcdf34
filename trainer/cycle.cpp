// The Start/Stop action, the countdown, the draw of a case and the way back
// to Idle after any failure of the cycle.

#include "core/language.h"
#include "trainer/anotherscramble.h"
#include "trainer/cycle_internal.h"
#include "trainer/drawchoice.h"
#include "trainer/namedrill.h"
#include "window/tform1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <optional>

namespace {

constexpr int kShortestCountdown = 2;
constexpr int kLongestCountdown = 5;

// The field holds digits only (its key filter), but may be empty or too long
// for an int: an empty field counts as too short, a huge number as too long.
int ReadCountdownField(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (ok)
        return value;
    return text.trimmed().isEmpty() ? 0 : kLongestCountdown + 1;
}

void ClampCountdownField(TForm1& form)
{
    if (ReadCountdownField(form.Edit1->text()) > kLongestCountdown)
        form.Edit1->setText(QString::number(kLongestCountdown));
    if (ReadCountdownField(form.Edit1->text()) < kShortestCountdown)
        form.Edit1->setText(QString::number(kShortestCountdown));
}

void StartCountdown(TForm1& form)
{
    form.res->hide();
    form.BitBtn1->setText(Tr(form.state.russianInterface, QStringLiteral("Стоп"), QStringLiteral("Stop")));
    form.BitBtn2->setEnabled(false);
    form.BitBtn3->setEnabled(false);
    SetCountdownControlsEnabled(form, false);
    form.state.countdownLeft = CountdownFieldValue(form);
    form.RzPanel1->show();
    form.Label1->setText(QString::number(form.state.countdownLeft));
    form.session.Start();
    form.Image1->ClearPicture();
    SetBulkButtonsEnabled(form, false);
    SetModeControlsEnabled(form, false);
    // During an exam its button stays: it is the way out of the exam.
    if (!form.state.examActive)
        form.BitBtn7->setEnabled(false);
    form.Timer2->start();
    HistoryForDraw(form);   // the weak rule's reading runs during the countdown
    ShowAnotherScrambleWhenDue(form);   // not during the countdown
}

void CancelCountdown(TForm1& form)
{
    form.state.attemptActive = false;
    form.res->hide();
    form.Timer2->stop();
    form.Label1->setText(QStringLiteral("0"));
    form.RzPanel1->hide();
    SetCountdownControlsEnabled(form, true);
    form.Image1->ClearPicture();
    cycle::SetStartCaption(form);
    EnableCycleControls(form, true);
    ShowAnotherScrambleWhenDue(form);   // the case still waits under its scramble
}

// The stopwatch starts at the moment the picture appears.
void StartStopwatch(TForm1& form)
{
    form.Timer2->stop();
    cycle::HideScramble(form);
    form.Image1->setEnabled(true);
    StartClockWhenShown(form);
    form.Timer1->start();
    AskNamingQuestion(form);
}

// pressUs: the clock at the press, when the stopwatch was running.
void DispatchInExam(TForm1& form, std::optional<qint64> pressUs)
{
    if (!form.state.attemptActive) {
        StartCountdown(form);
        return;
    }
    form.Timer1->stop();
    // A countdown cannot be cancelled during an exam.
    if (form.Timer2->isActive())
        return;
    if (pressUs)
        cycle::StopAtPress(form, *pressUs);
    else
        cycle::StopAttempt(form);
}

void Dispatch(TForm1& form, std::optional<qint64> pressUs)
{
    if (!form.state.attemptActive) {
        StartCountdown(form);
        return;
    }
    form.Timer1->stop();
    if (form.Timer2->isActive())
        CancelCountdown(form);
    else if (form.state.answerShown)
        cycle::EndAfterAnswer(form);
    else if (pressUs)
        cycle::StopAtPress(form, *pressUs);
    else
        cycle::StopAttempt(form);
}

} // namespace

namespace cycle {

void HaltAttempt(TForm1& form)
{
    form.Timer1->stop();
    form.Timer2->stop();
    form.RzPanel1->hide();
    form.Image1->setEnabled(false);
    form.res->hide();
    form.Label1->setText(QStringLiteral("0"));
    SetCountdownControlsEnabled(form, true);
    form.Image1->ClearPicture();
    SetStartCaption(form);
    EnableCycleControls(form, true);
    form.state.attemptActive = false;
    form.state.countdownLeft = CountdownFieldValue(form);
}

} // namespace cycle

void TForm1::BitBtn1Click()
{
    // Stop while a case waits to be named gives it up.
    if (GiveUpNamingQuestion(*this))
        return;
    // The clock first, before any other work: the recorded time is the press's.
    std::optional<qint64> pressUs;
    if (Timer1->isActive())
        pressUs = env.clock->MonotonicUs();
    Image1->setEnabled(false);
    ClampCountdownField(*this);
    if (state.examActive) {
        state.examDrawn = exdone->count() - 1;
        DispatchInExam(*this, pressUs);
    } else {
        Dispatch(*this, pressUs);
    }
}

void TForm1::Timer2Timer()
{
    RzPanel1->show();
    --state.countdownLeft;
    env.random->Reseed();
    if (state.countdownLeft > 0) {
        Label1->setText(QString::number(state.countdownLeft));
        return;
    }
    const bool drawn = state.examActive ? ExamDraw(*this) : DrawCase(*this);
    // A failed draw has already ended the attempt.
    if (!drawn)
        return;
    session.AnnounceDrawnCase();
    const QuestionPicture question = LoadQuestionPicture(*this);
    if (!question.shown) {
        AbortAttempt(*this);
        if (!question.problem.isEmpty())
            env.messages->Inform(question.problem);
        return;
    }
    StartStopwatch(*this);
}

bool DrawCase(TForm1& form)
{
    // With setup scrambles the case was drawn in Idle, under its scramble.
    const std::optional<int> drawn = ScrambleMode(form) ? cycle::TakeCaseDrawnInAdvance(form)
                                                        : form.session.ChooseCase(HistoryForDraw(form));
    if (!drawn) {
        // Start is disabled without enabled cases; should it happen anyway,
        // the attempt simply ends.
        AbortAttempt(form);
        return false;
    }
    form.state.currentCase = *drawn;
    ShowDrawProgress(form);
    return true;
}

void AbortAttempt(TForm1& form)
{
    cycle::HaltAttempt(form);
    form.BitBtn3Click();
}

int CountdownFieldValue(const TForm1& form)
{
    return std::clamp(ReadCountdownField(form.Edit1->text()), kShortestCountdown, kLongestCountdown);
}
