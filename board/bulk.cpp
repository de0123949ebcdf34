// Operations on all cases at once: enable all, disable all, and clearing
// the results of the active set.

#include "board/tform2.h"
#include "window/tform1.h"

#include <QPushButton>

namespace {

void SetAllCasesEnabled(TForm1& form, bool enabled)
{
    form.RzPanel1->hide();
    form.session.SetAllCasesEnabled(enabled);
    RefreshBoard(form);
}

}  // namespace

void TForm1::EnableAllCases() { SetAllCasesEnabled(*this, true); }

void TForm1::DisableAllCases() { SetAllCasesEnabled(*this, false); }

void TForm1::BitBtn8Click()
{
    if (!Form2)
        return;
    Form2->Prepare(state.russianInterface);
    Form2->CentreOn(this);
    Form2->exec();
    switch (Form2->ChosenAction()) {
    case TForm2::Choice::DeleteAvgsAndBests:
        ClearResults(*this, false);
        break;
    case TForm2::Choice::DeleteOnlyAvgs:
        ClearResults(*this, true);
        break;
    case TForm2::Choice::Cancel:
        break;
    }
    if (BitBtn1->isEnabled())
        BitBtn1->setFocus();
}

// The cleared results reach Settings.ini only at shut-down or at the next
// set switch; nothing is written here.
void ClearResults(TForm1& form, bool keepBests)
{
    form.session.ClearRecords(keepBests);
    RefreshBoard(form);
}
