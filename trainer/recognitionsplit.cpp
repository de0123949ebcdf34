// "Time recognition": while the stopwatch runs, the first key press that is
// not Space, Enter, Escape or a modifier, or the first click on the picture,
// marks the end of recognition. The mark shows at once under the stopwatch;
// at the stop the line shows recognition and execution ("0,880 + 1,430"),
// and Accept records both. With the option off nothing here acts.
//
// The picture: its first click marks, a later one gives up as without the
// option (a cuber who marks with the mouse still has the give-up, one click
// later).

#include "core/timetext.h"
#include "window/tform1.h"

#include <QCheckBox>
#include <QLabel>
#include <QTimer>

namespace {

// Keys that keep their own meaning, and keys that are only held with others.
bool MarksRecognition(int key)
{
    switch (key) {
    case 0:
    case Qt::Key_unknown:
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_Mode_switch:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
        return false;
    default:
        return true;
    }
}

} // namespace

bool RecognitionTimed(const TForm1& form) { return form.CheckBoxSplit->isChecked(); }

bool MarkRecognition(TForm1& form)
{
    if (!RecognitionTimed(form) || !form.Timer1->isActive())
        return false;
    const qint64 elapsedMs = (form.env.clock->MonotonicUs() - form.state.startTimeUs) / 1000;
    if (!form.session.MarkRecognition(elapsedMs))
        return false;
    form.SplitLabel->setText(StopwatchText(elapsedMs) + QStringLiteral(" + …"));
    form.SplitLabel->show();
    return true;
}

void MarkRecognitionByKey(TForm1& form, int key)
{
    if (MarksRecognition(key))
        MarkRecognition(form);
}

// At the stop: recognition and execution, which add up to the time shown.
void ShowRecognitionSplit(TForm1& form)
{
    const std::optional<qint64> split = form.session.SplitMs();
    const std::optional<qint64> total = form.session.TimeMs();
    if (!RecognitionTimed(form) || !split || !total) {
        HideRecognitionSplit(form);
        return;
    }
    const qint64 recognition = std::min(*split, std::max<qint64>(*total, 0));
    form.SplitLabel->setText(StopwatchText(recognition) + QStringLiteral(" + ") + StopwatchText(*total - recognition));
    form.SplitLabel->show();
}

void HideRecognitionSplit(TForm1& form)
{
    form.SplitLabel->clear();
    form.SplitLabel->hide();
}
