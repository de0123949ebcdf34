// The training column's controls as the cycle leaves them: the Start
// caption, the result line's look, which controls an attempt or an exam
// locks, and the column cleared for a new set or level.

#include "core/language.h"
#include "trainer/cycle_internal.h"
#include "window/tform1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace cycle {

void SetStartCaption(TForm1& form)
{
    form.BitBtn1->setText(Tr(form.state.russianInterface, QStringLiteral("Старт"), QStringLiteral("Start")));
}

void SetFontPixelSize(QWidget* widget, int pixelSize)
{
    QFont font = widget->font();
    font.setPixelSize(pixelSize);
    widget->setFont(font);
}

void StyleResultLine(QLabel* line, int pixelSize, const QColor& colour, int top)
{
    SetFontPixelSize(line, pixelSize);
    QPalette palette = line->palette();
    palette.setColor(QPalette::WindowText, colour);
    line->setPalette(palette);
    line->move(line->x(), top);
}

} // namespace cycle

void EnableCycleControls(TForm1& form, bool enabled)
{
    form.BitBtn7->setEnabled(enabled || form.state.examActive);
    // An exam keeps the set of enabled cases and the mode fixed until it ends.
    const bool free = enabled && !form.state.examActive;
    SetBulkButtonsEnabled(form, free);
    SetModeControlsEnabled(form, free);
}

void SetModeControlsEnabled(TForm1& form, bool enabled)
{
    form.BitBtn6->setEnabled(enabled);
    form.BitBtn8->setEnabled(enabled);
    form.BitBtn10->setEnabled(enabled);
    form.CheckBox1->setEnabled(enabled);
    form.CheckBox2->setEnabled(enabled);
    form.CheckBoxSplit->setEnabled(enabled);
    form.CheckBoxNaming->setEnabled(enabled);
    form.ComboBox1->setEnabled(enabled);
}

void SetBulkButtonsEnabled(TForm1& form, bool enabled)
{
    form.BitBtn4->setEnabled(enabled);
    form.BitBtn5->setEnabled(enabled);
    form.GroupsButton->setEnabled(enabled);
}

void SetCountdownControlsEnabled(TForm1& form, bool enabled)
{
    form.Label2->setEnabled(enabled);
    form.Edit1->setEnabled(enabled);
    form.UpDown1->setEnabled(enabled);
}

void ClearTrainingDisplay(TForm1& form)
{
    form.RzPanel1->hide();
    form.res->hide();
    form.Label1->setText(QStringLiteral("0"));
    form.Image1->ClearPicture();
    form.Timer1->stop();
    form.Timer2->stop();
    if (form.BitBtn1->isEnabled())
        form.BitBtn1->setFocus();
}
