// Setup scrambles in the training cycle. With CheckBox2 on, the next case is
// drawn as soon as the trainer is Idle and its setup scramble takes the
// picture frame; the user sets it up on a real cube and presses Start. The
// countdown then takes that very case, the stopwatch runs without a picture
// (the cube in the hands is the question), and Stop shows the Easy picture
// as the answer.

#include "app/language.h"
#include "resources/resources.h"
#include "trainer/cycle_internal.h"
#include "window/tform1.h"

#include <QCheckBox>
#include <QLabel>
#include <QTimer>

namespace {

bool IsIdle(const TForm1& form)
{
    return !form.state.attemptActive && !form.Timer1->isActive() && !form.Timer2->isActive();
}

// The case drawn in advance still belongs to what the draw could give now.
bool NextCaseCanBeDrawn(const TForm1& form)
{
    const TrainerState& state = form.state;
    return state.nextCase > 0 && state.nextSet == state.currentSet
           && cycle::CasesThatCanBeDrawn(form).contains(QString::number(state.nextCase));
}

void ForgetNextCase(TForm1& form)
{
    form.state.nextCase = 0;
    form.state.nextScramble.clear();
}

void DrawNextCase(TForm1& form)
{
    if (form.scramblePool.IsEmpty())
        form.scramblePool = ScramblePool::Parse(EmbeddedResource(QStringLiteral("ScramblePool")));
    const std::optional<int> drawn = form.state.examActive ? form.ChooseExamCase() : form.ChooseCase();
    if (!drawn)
        return;
    const QString scramble = DrawSetupScramble(form.scramblePool, form.state.currentSet, *drawn, *form.env.random);
    if (scramble.isEmpty())
        return;
    form.state.nextCase = *drawn;
    form.state.nextSet = form.state.currentSet;
    form.state.nextScramble = scramble;
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
    // Every change of what can be drawn has drawn again in Idle; a case that
    // no longer fits is never timed under another case's scramble.
    if (!NextCaseCanBeDrawn(form)) {
        ForgetNextCase(form);
        return std::nullopt;
    }
    const int drawn = form.state.nextCase;
    form.state.currentScramble = form.state.nextScramble;
    ForgetNextCase(form);
    return drawn;
}

} // namespace cycle

bool TForm1::ScrambleMode() const
{
    return CheckBox2->isChecked();
}

void TForm1::DrawInAdvance()
{
    if (!ScrambleMode()) {
        ForgetNextCase(*this);
        cycle::HideScramble(*this);
        return;
    }
    if (!IsIdle(*this))
        return;
    if (!NextCaseCanBeDrawn(*this)) {
        ForgetNextCase(*this);
        DrawNextCase(*this);
    }
    ShowNextScramble(*this);
}

void TForm1::CheckBox2Click()
{
    ForgetNextCase(*this);
    DrawInAdvance();
}
