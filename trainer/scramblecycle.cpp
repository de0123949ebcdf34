// Setup scrambles in the training cycle. With CheckBox2 on, the next case is
// drawn as soon as the trainer is Idle and its setup scramble takes the
// picture frame; the user sets it up on a real cube and presses Start. The
// countdown then takes that very case, the stopwatch runs without a picture
// (the cube in the hands is the question), and Stop shows the Easy picture
// as the answer.

#include "core/language.h"
#include "resources/resources.h"
#include "trainer/anotherscramble.h"
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
    form.ScrambleHold->setText(Tr(form.state.russianInterface, QStringLiteral("Соберите кубик: жёлтый сверху, зелёный спереди"),
                                  QStringLiteral("Hold a solved cube: yellow on top, green in front")));
    form.ScrambleLabel->setVisible(shown);
    form.ScrambleHold->setVisible(shown);
    if (shown) {
        form.ScrambleLabel->raise();
        form.ScrambleHold->raise();
    }
    ShowAnotherScrambleWhenDue(form);
}

} // namespace

namespace cycle {

void HideScramble(TForm1& form)
{
    form.ScrambleLabel->hide();
    form.ScrambleHold->hide();
    ShowAnotherScrambleWhenDue(form);
}

std::optional<int> TakeCaseDrawnInAdvance(TForm1& form)
{
    return form.session.TakeCaseDrawnInAdvance(CasesThatCanBeDrawn(form));
}

} // namespace cycle

bool ScrambleMode(const TForm1& form)
{
    return form.CheckBox2->isChecked();
}

void DrawInAdvance(TForm1& form)
{
    if (!ScrambleMode(form)) {
        form.session.ForgetCaseDrawnInAdvance();
        cycle::HideScramble(form);
        return;
    }
    if (!IsIdle(form))
        return;
    if (form.scramblePool.IsEmpty())
        form.scramblePool = ScramblePool::Parse(EmbeddedResource(QStringLiteral("ScramblePool")));
    form.session.DrawInAdvance(cycle::CasesThatCanBeDrawn(form), cycle::ExamDrawnCases(form),
                               [&form] { return HistoryForDraw(form); });
    ShowNextScramble(form);
}

void TForm1::CheckBox2Click()
{
    // The case waiting under the scramble was taken from its round; without
    // the option it is not waiting any more.
    session.WithdrawCaseDrawnInAdvance();
    DrawInAdvance(*this);
    ShowDrawProgress(*this);
}
