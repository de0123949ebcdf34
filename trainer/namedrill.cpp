// The window's side of "Name the case": the box, the typed answer under the
// stopwatch, the verdict, and the hooks the cycle, the keys and the tiles
// call. What the answer means and what is recorded is the session's
// (core/namingdrill.h); the tiles' records never change here.

#include "trainer/namedrill.h"

#include "core/caseidentity.h"
#include "core/language.h"
#include "core/timetext.h"
#include "trainer/cycle_internal.h"
#include "window/pictures.h"
#include "window/shortcutkey.h"
#include "window/controls.h"
#include "window/progresshub.h"
#include "window/tform1.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {

const QColor kRightColour(0x00, 0x80, 0x00);

bool QuestionWaits(const TForm1& form)
{
    return NamingDrillOn(form) && form.session.naming.Asking() && form.Timer1->isActive();
}

qint64 ElapsedMs(const TForm1& form)
{
    return (form.env.clock->MonotonicUs() - form.state.startTimeUs) / 1000;
}

// The Latin letter or digit of the key, read from its code as Ctrl+A is:
// a Russian layout answers as the Latin one does. Null for any other key.
QChar LatinOf(const QKeyEvent& key)
{
    const int code = ShortcutKey(key);
    if (code >= Qt::Key_A && code <= Qt::Key_Z)
        return QChar(u'a' + (code - Qt::Key_A));
    if (code >= Qt::Key_0 && code <= Qt::Key_9)
        return QChar(u'0' + (code - Qt::Key_0));
    return {};
}

// "27 Sune", "Ga": the standard, and the nickname where it says more.
QString CaseNameText(CaseSet set, int caseNumber)
{
    const CaseIdentity* identity = CaseIdentities().Find(set, caseNumber);
    if (!identity)
        return CaseTitle(set, caseNumber);
    return identity->name == identity->standard ? identity->standard : identity->standard + u' ' + identity->name;
}

QString VerdictText(const TForm1& form, const NamingVerdict& verdict)
{
    const bool ru = form.state.russianInterface;
    const QString name = CaseNameText(form.state.currentSet, verdict.rightCase);
    switch (verdict.result) {
    case AttemptResult::Ok:
        return Tr(ru, QStringLiteral("Верно: %1"), QStringLiteral("Right: %1")).arg(name);
    case AttemptResult::Wrong:
        return Tr(ru, QStringLiteral("Неверно: %1. Это %2"), QStringLiteral("Wrong: %1. It is %2")).arg(verdict.answer, name);
    case AttemptResult::GaveUp:
    case AttemptResult::None:
        break;
    }
    return Tr(ru, QStringLiteral("Это %1"), QStringLiteral("It is %1")).arg(name);
}

QColor VerdictColour(AttemptResult result)
{
    switch (result) {
    case AttemptResult::Ok: return kRightColour;
    case AttemptResult::Wrong: return Qt::red;
    default: return Qt::black;
    }
}

// A miss shows the case as the cuber should have seen it: its Easy
// picture. Under a setup scramble the frame is the next scramble's at once
// (the cube in the hands was the question): the verdict line names the case.
void ShowRightPicture(TForm1& form, int caseNumber)
{
    if (ScrambleMode(form)) {
        form.Image1->ClearPicture();
        return;
    }
    const QString path = form.env.files.FindPicture(EasyPicturePath(form.state.currentSet, caseNumber));
    if (const QImage picture = QFileInfo::exists(path) ? ReadPictureFile(path) : QImage(); !picture.isNull())
        form.Image1->SetPicture(picture);
}

void ShowTyped(TForm1& form)
{
    form.NamingLabel->setText(form.session.naming.Typed());
    form.NamingLabel->setVisible(!form.NamingLabel->text().isEmpty());
}

// Idle again, ready for the next Start, with the verdict left on screen.
void BackToIdleShowingVerdict(TForm1& form)
{
    form.Timer1->stop();
    form.state.attemptActive = false;
    form.Image1->setEnabled(false);
    form.BitBtn2->setEnabled(false);
    form.BitBtn3->setEnabled(false);
    form.BitBtn1->setEnabled(true);
    cycle::SetStartCaption(form);
    SetCountdownControlsEnabled(form, true);
    EnableCycleControls(form, true);
    RefreshBoard(form);
    if (form.BitBtn1->isEnabled())
        form.BitBtn1->setFocus();
}

void ShowVerdict(TForm1& form, const NamingVerdict& verdict)
{
    form.Timer1->stop();
    form.Label1->setText(StopwatchText(verdict.answerMs));
    form.NamingLabel->hide();
    HideRecognitionSplit(form);
    if (verdict.result != AttemptResult::Ok)
        ShowRightPicture(form, verdict.rightCase);
    cycle::StyleResultLine(form.res, cycle::kResultPixelSize, VerdictColour(verdict.result), cycle::kResultTop);
    form.res->setText(VerdictText(form, verdict));
    SetTag(form.res, cycle::kResultMessageTag);
    form.res->show();
    BackToIdleShowingVerdict(form);
    if (!verdict.historyFailure.isEmpty())
        form.env.messages->ShowError(verdict.historyFailure);
}

void Toggle(TForm1& form)
{
    form.session.naming.SetActive(form.CheckBoxNaming->isChecked());
    ClearTrainingDisplay(form);
    // The weak rule's shares now come from the other history.
    emit form.session.DrawChanged();
}

} // namespace

void WireNamingDrill(TForm1& form)
{
    form.session.naming.UseCases(CaseIdentities());
    QObject::connect(form.CheckBoxNaming, &QCheckBox::clicked, &form, [&form] { form.Guarded([&] { Toggle(form); }); });
    form.session.naming.LinkHistory([&form](Attempt line, const QString& scramble, const AttemptDetail& detail) {
        line.twoSide = line.set == CaseSet::PLL && line.level == Level::Hard && form.CheckBox1->isChecked();
        return form.progress ? form.progress->RecordNamed(line, scramble, detail) : QString();
    });
}

void SetNamingDrillCaption(TForm1& form)
{
    const bool ru = form.state.russianInterface;
    form.CheckBoxNaming->setText(Tr(ru, QStringLiteral("Назови случай"), QStringLiteral("Name the case")));
    form.CheckBoxNaming->setToolTip(Tr(ru,
        QStringLiteral("Старт показывает случай — назовите его: PLL буквами (Ga, T), OLL номером и Enter, "
                       "или щёлкните его плитку. Esc — сдаться. Среднее и лучшее время плиток не меняются."),
        QStringLiteral("Start shows a case: name it, PLL by its letters (Ga, T), OLL by its number and Enter, "
                       "or click its tile. Esc gives up. The tiles' averages and bests do not change.")));
}

bool NamingDrillOn(const TForm1& form) { return form.session.naming.Active(); }

void LeaveNamingDrill(TForm1& form)
{
    if (!NamingDrillOn(form))
        return;
    form.CheckBoxNaming->setChecked(false);
    Toggle(form);
}

void AskNamingQuestion(TForm1& form)
{
    if (!NamingDrillOn(form) || !form.Timer1->isActive())
        return;
    form.session.naming.Ask();
    ShowTyped(form);
}

bool AnswerNamingByKey(TForm1& form, const QKeyEvent& key)
{
    if (!QuestionWaits(form))
        return false;
    const qint64 elapsedMs = ElapsedMs(form);   // the press's time, before any other work
    // Space and Escape stop and give up; every other key is the answer's,
    // taken or passed over (it marks no recognition split either).
    if (key.key() == Qt::Key_Space || key.key() == Qt::Key_Escape)
        return false;
    if (key.key() == Qt::Key_Backspace) {
        form.session.naming.EraseLast();
        ShowTyped(form);
        return true;
    }
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    const QChar latin = LatinOf(key);
    const bool chord = key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (chord || (!enter && latin.isNull()))
        return true;
    const std::optional<NamingVerdict> verdict =
        enter ? form.session.naming.Enter(elapsedMs) : form.session.naming.Key(latin, elapsedMs);
    if (verdict)
        ShowVerdict(form, *verdict);
    else
        ShowTyped(form);
    return true;
}

bool AnswerNamingByTile(TForm1& form, int caseNumber)
{
    if (!QuestionWaits(form))
        return false;
    if (const std::optional<NamingVerdict> verdict = form.session.naming.AnswerWithCase(caseNumber, ElapsedMs(form)))
        ShowVerdict(form, *verdict);
    return true;
}

bool GiveUpNamingQuestion(TForm1& form)
{
    if (!QuestionWaits(form))
        return false;
    if (const std::optional<NamingVerdict> verdict = form.session.naming.GiveUp(ElapsedMs(form)))
        ShowVerdict(form, *verdict);
    return true;
}

void PutAwayNamingVerdict(TForm1& form)
{
    if (!NamingDrillOn(form) || form.state.attemptActive || form.RzPanel1->isHidden())
        return;
    form.RzPanel1->hide();
    form.res->hide();
    form.Image1->ClearPicture();
}

namespace {

// A cuber who answers by double-clicking a tile would otherwise disable the
// case with the second press: a left press on the answering tile within the
// double-click interval still belongs to the answer.
bool SecondPressOfAnswer(const TForm1& form, int caseNumber, qint64 nowUs)
{
    const TForm1::TileAnswer& answer = form.lastTileAnswer;
    return answer.caseNumber == caseNumber
           && nowUs - answer.atUs < qint64(QApplication::doubleClickInterval()) * 1000;
}

bool AnswerOrFollowUpByTile(TForm1& form, int caseNumber)
{
    const qint64 nowUs = form.env.clock->MonotonicUs();
    if (AnswerNamingByTile(form, caseNumber)) {
        form.lastTileAnswer = {caseNumber, nowUs};
        return true;
    }
    return NamingDrillOn(form) && SecondPressOfAnswer(form, caseNumber, nowUs);
}

// A tile press: in the drill a left press answers the waiting question and
// any other press takes the verdict away for the preview; then the board's
// own meaning of the press.
void PressTile(TForm1& form, const CaseTile* tile, Qt::MouseButton button)
{
    if (!tile || (button == Qt::LeftButton && AnswerOrFollowUpByTile(form, tile->CaseNumber())))
        return;
    if (button != Qt::LeftButton)
        PutAwayNamingVerdict(form);
    PressTileOnBoard(form, tile, button);
}

}  // namespace

void TForm1::ioll1MouseDown(CaseTile* tile, Qt::MouseButton button) { PressTile(*this, tile, button); }

void TForm1::bioll1MouseDown(CaseTile* tile, Qt::MouseButton button) { PressTile(*this, tile, button); }
