// Accepting a stopped time into the case's record, or discarding it. Both
// end the attempt; Discard is also the last step of every other ending.

#include "history/progresshub.h"
#include "trainer/cycle_internal.h"
#include "trainer/errors.h"
#include "trainer/timetext.h"
#include "window/tform1.h"

#include <QLabel>
#include <QPushButton>

namespace {

struct CaseRecordTexts {
    QString average;
    QString best;
    QString count;
};

int ReadCount(const QString& text)
{
    const int count = ParseCountOrThrow(text);
    if (count < 0)
        throw TesseloError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return count;
}

// The running mean over the stored (three-decimal) average, the best and the
// count after one more time. Throws when a stored text does not read.
CaseRecordTexts FoldTime(const CaseRecordTexts& stored, double time)
{
    const double average = ParseTimeTextOrThrow(stored.average);
    const qint64 count = ReadCount(stored.count);
    const double best = ParseTimeTextOrThrow(stored.best);
    const long double mean = (static_cast<long double>(average) * count + time) / (count + 1);
    CaseRecordTexts folded;
    folded.average = MakeTimeText(static_cast<double>(mean));
    folded.best = (best == 0 || time < best) ? MakeTimeText(time) : stored.best;
    folded.count = QString::number(count + 1);
    return folded;
}

CaseRecordTexts StoredRecord(const CaseTile* tile)
{
    return {tile->avoll->text(), tile->bvoll->text(), tile->nvoll->text()};
}

void ShowRecord(CaseTile* tile, const CaseRecordTexts& record)
{
    tile->avoll->setText(record.average);
    tile->bvoll->setText(record.best);
    tile->nvoll->setText(record.count);
}

// The picture and stopwatch go away; Start is the next button again.
void ClearAttemptDisplay(TForm1& form)
{
    form.state.attemptActive = false;
    form.res->hide();
    form.Label1->setText(QStringLiteral("0"));
    form.RzPanel1->hide();
    form.Image1->ClearPicture();
    form.BitBtn2->setEnabled(false);
    form.BitBtn3->setEnabled(false);
    form.BitBtn1->setEnabled(true);
    form.SetCountdownControlsEnabled(true);
}

void FocusStart(TForm1& form)
{
    if (form.BitBtn1->isEnabled())
        form.BitBtn1->setFocus();
}

} // namespace

namespace cycle {

void BackToIdle(TForm1& form)
{
    ClearAttemptDisplay(form);
    // The exam holds the mode controls until it ends.
    if (!form.state.examActive)
        form.SetModeControlsEnabled(true);
    form.RefreshBoard();
    FocusStart(form);
}

} // namespace cycle

namespace {

// The last case of the exam dealt with brings up its result.
void CheckExamComplete(TForm1& form)
{
    if (form.state.examActive && !form.state.examCompleted
        && form.state.enabledCases.size() == form.state.examDrawn)
        form.BitBtn7Click();
}

void MarkExamCase(TForm1& form, const QString& text)
{
    if (QLabel* label = form.ExamLabel(form.state.currentCase))
        label->setText(text);
}

// Every recorded time, exam or not, is appended to History.csv, with the
// setup scramble it was timed under (none with the option off), before the
// board goes back to Idle: the draw of the next case then weighs it. A
// refused write is told once the board is back.
QString KeepInHistory(TForm1& form, double time, bool exam)
{
    return form.progress ? form.progress->RecordAccepted(time, exam, form.state.currentScramble) : QString();
}

void ReportHistoryFailure(TForm1& form, const QString& failure)
{
    if (!failure.isEmpty())
        form.env.messages->ShowError(failure);
}

void AcceptInExam(TForm1& form, double time)
{
    MarkExamCase(form, form.state.lastTimeText);
    const QString failure = KeepInHistory(form, time, true);
    cycle::BackToIdle(form);
    ReportHistoryFailure(form, failure);
    CheckExamComplete(form);
}

void AcceptIntoRecord(TForm1& form, double time)
{
    CaseTile* tile = form.Tile(form.state.currentCase);
    CaseRecordTexts folded;
    try {
        folded = FoldTime(StoredRecord(tile), time);
    } catch (const TesseloError& error) {
        // The stored record is left exactly as it is; the time cannot count.
        form.BitBtn3Click();
        form.env.messages->ShowError(error.text());
        return;
    }
    ShowRecord(tile, folded);
    form.caseDraw.Kept();
    const QString failure = KeepInHistory(form, time, false);
    cycle::BackToIdle(form);
    ReportHistoryFailure(form, failure);
}

} // namespace

void TForm1::BitBtn2Click()
{
    const std::optional<double> time = ParseTimeText(state.lastTimeText);
    // Stopped before the first stopwatch tick: there is no time to keep.
    if (!time || state.currentCase < 1 || state.currentCase > kMaxCases) {
        BitBtn3Click();
        return;
    }
    if (state.examActive)
        AcceptInExam(*this, *time);
    else
        AcceptIntoRecord(*this, *time);
}

void TForm1::BitBtn3Click()
{
    // A case of a round that was not kept comes again later in the round.
    caseDraw.PutBack(*env.random);
    if (state.examActive)
        MarkExamCase(*this, cycle::kExamDash);
    cycle::BackToIdle(*this);
    CheckExamComplete(*this);
}
