// Setup scrambles in the training cycle. With CheckBox2 on, the next case is
// drawn as soon as the trainer is Idle and its setup scramble takes the
// picture frame; the user sets it up on a real cube and presses Start. The
// countdown then takes that very case, the stopwatch runs without a picture
// (the cube in the hands is the question), and Stop shows the Easy picture
// as the answer.

#include "app/language.h"
#include "resources/resources.h"
#include "trainer/cycle_internal.h"
#include "trainer/drawchoice.h"
#include "window/tform1.h"

#include <QCheckBox>
#include <QLabel>
#include <QTimer>

namespace {

bool IsIdle(const TForm1& form)
{
    return !form.state.attemptActive && !form.Timer1->isActive() && !form.Timer2->isActive();
}

void ShowNextScramble(TForm1& form)
{
    const bool shown = form.state.nextCase > 0;
    form.ScrambleLabel->setText(form.state.nextScramble);
    form.ScrambleHold->setText(Tr(form.state.russianInterface, QStringLiteral("Жёлтый сверху, зелёный спереди"),
                                  QStringLiteral("Yellow on top, green in front")));
    form.ScrambleLabel->setVisible(shown);
    form.ScrambleHold->setVisible(shown);
    if (shown) {
        form.ScrambleLabel->raise();
        form.ScrambleHold->raise();
    }
}

} // namespace

namespace cycle {

void HideScramble(TForm1& form)
{
    form.ScrambleLabel->hide();
    form.ScrambleHold->hide();
}

std::optional<int> TakeCaseDrawnInAdvance(TForm1& form)
{
    return form.session.TakeCaseDrawnInAdvance(CasesThatCanBeDrawn(form));
}

} // namespace cycle

bool TForm1::ScrambleMode() const
{
    return CheckBox2->isChecked();
}

void TForm1::DrawInAdvance()
{
    if (!ScrambleMode()) {
        session.ForgetCaseDrawnInAdvance();
        cycle::HideScramble(*this);
        return;
    }
    if (!IsIdle(*this))
        return;
    if (scramblePool.IsEmpty())
        scramblePool = ScramblePool::Parse(EmbeddedResource(QStringLiteral("ScramblePool")));
    session.DrawInAdvance(cycle::CasesThatCanBeDrawn(*this), cycle::ExamDrawnCases(*this),
                          [this] { return HistoryForDraw(*this); });
    ShowNextScramble(*this);
}

void TForm1::CheckBox2Click()
{
    // The case waiting under the scramble was taken from its round; without
    // the option it is not waiting any more.
    session.WithdrawCaseDrawnInAdvance();
    DrawInAdvance();
    ShowDrawProgress(*this);
}
