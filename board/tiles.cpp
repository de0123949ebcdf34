// Presses on the case tiles: a left press enables or disables the case, any
// other button previews its picture and algorithm in the training column.
// The result line's popup edits the algorithm shown.

#include "core/language.h"
#include "board/casename.h"
#include "board/hints.h"
#include "board/tform3.h"
#include "settings/settingsfile.h"
#include "core/errors.h"
#include "window/pictures.h"
#include "window/tform1.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

namespace {

// The hint line's font: size 10 at 96 dots per inch.
constexpr int kHintPixelSize = 13;
constexpr int kHintTop = 264;

bool PressesAllowed(const TForm1& form, Qt::MouseButton button)
{
    if (form.state.examActive || form.state.attemptActive)
        return false;
    // The preview would replace the picture the stopwatch panel belongs to.
    return button == Qt::LeftButton || form.RzPanel1->isHidden();
}

void HidePreview(TForm1& form)
{
    form.res->hide();
    form.Image1->ClearPicture();
}

// Loads the case's Easy picture into the picture area; a missing file is
// reported and leaves the area as it was.
void ShowPreviewPicture(TForm1& form, int caseNumber)
{
    const bool russian = form.state.russianInterface;
    const QString relative = EasyPicturePath(form.state.currentSet, caseNumber);
    const QString path = form.env.files.FindPicture(relative);
    if (!QFileInfo::exists(path)) {
        form.env.messages->Inform(PictureMissingText(relative, russian));
        return;
    }
    const QImage picture = ReadPictureFile(path);
    if (picture.isNull()) {
        // Not the previous case's picture under this case's hint.
        form.Image1->ClearPicture();
        form.env.messages->Inform(PictureUnreadableText(relative, russian));
        return;
    }
    form.Image1->SetPicture(picture);
}

void ShowHintLine(TForm1& form, int caseNumber)
{
    QFont font = form.res->font();
    font.setPixelSize(kHintPixelSize);
    form.res->setFont(font);
    form.res->setText(form.hints[caseNumber - 1]);
    form.res->move(form.res->x(), kHintTop);
    SetTag(form.res, caseNumber);
    form.res->show();
    ShowCaseNameAboveHint(form, caseNumber);
}

void SetHintLineBlack(TForm1& form)
{
    QPalette palette = form.res->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    form.res->setPalette(palette);
}

}  // namespace

void PressTileOnBoard(TForm1& form, const CaseTile* tile, Qt::MouseButton button)
{
    if (!tile || !PressesAllowed(form, button))
        return;
    if (button == Qt::LeftButton)
        ToggleCaseOnBoard(form, tile->CaseNumber());
    else
        ShowCaseHint(form, tile->CaseNumber());
}

void ToggleCaseOnBoard(TForm1& form, int caseNumber)
{
    form.session.ToggleCase(caseNumber);
    RefreshBoard(form);
}

// The window itself never scrolls (the training column fits its smallest
// size), so the picture area and the result line are always in view.
void ShowCaseHint(TForm1& form, int caseNumber)
{
    SetHintLineBlack(form);
    if (!form.res->isHidden() && form.res->text() == form.hints[caseNumber - 1]) {
        HidePreview(form);
        return;
    }
    ShowPreviewPicture(form, caseNumber);
    ShowHintLine(form, caseNumber);
}

void TForm1::resMouseDown(Qt::MouseButton button, const QPoint& globalPos)
{
    if (button != Qt::RightButton || Tag(res) == -1)
        return;
    // The caption decides the menu's width, and the menu opens centred on
    // the mouse: set it before measuring (aboutToShow sets it again).
    PopupMenu1Popup();
    const int halfWidth = PopupMenu1->sizeHint().width() / 2;
    PopupMenu1->popup(QPoint(globalPos.x() - halfWidth, globalPos.y()));
}

void TForm1::PopupMenu1Popup()
{
    N1->setText(Tr(state.russianInterface, QStringLiteral("Изменить алгоритм"), QStringLiteral("Edit algorithm")));
}

void TForm1::N1Click()
{
    const int caseNumber = Tag(res);
    if (caseNumber < 1 || caseNumber > CaseCount(state.currentSet) || !Form3)
        return;
    Form3->Prepare(caseNumber, hints[caseNumber - 1], state.russianInterface);
    Form3->CentreOn(this);
    if (Form3->exec() != QDialog::Accepted)
        return;
    const QString newHint = Form3->EditedText();
    try {
        SettingsFile file(SettingsPath(*this));
        file.WriteString(HintSection(state.currentSet), HintKey(caseNumber), newHint);
        file.Close();
    } catch (const TesseloError& error) {
        env.messages->ShowError(error.text());
        return;   // the old hint stays in memory and on screen
    }
    hints[caseNumber - 1] = newHint;
    res->setText(newHint);
}
