// The texts of the interface language, the level line and the empty
// training column.
#include "window/tform1.h"

#include "core/language.h"
#include "settings/settingsfile.h"
#include "trainer/namedrill.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

void SetStartupCaptions(TForm1& form)
{
    const bool ru = form.state.russianInterface;
    form.BitBtn1->setText(Tr(ru, QStringLiteral("Старт"), QStringLiteral("Start")));
    form.BitBtn2->setText(Tr(ru, QStringLiteral("Сохранить"), QStringLiteral("Accept")));
    form.BitBtn3->setText(Tr(ru, QStringLiteral("Отменить"), QStringLiteral("Discard")));
    form.BitBtn4->setText(Tr(ru, QStringLiteral("Включить все"), QStringLiteral("Enable all")));
    form.BitBtn5->setText(Tr(ru, QStringLiteral("Выключить все"), QStringLiteral("Disable all")));
    form.GroupsButton->setText(Tr(ru, QStringLiteral("Группы…"), QStringLiteral("Groups…")));
    form.BitBtn9->setText(Tr(ru, QStringLiteral("О программе..."), QStringLiteral("About...")));
    form.BitBtn8->setToolTip(Tr(ru, QStringLiteral("Очистить статистику"), QStringLiteral("Clear results")));
    form.Label2->setText(Tr(ru, QStringLiteral("Время до старта:"), QStringLiteral("Start timeout:")));
    form.BitBtn7->setText(Tr(ru, QStringLiteral("Экзамен"), QStringLiteral("Exam")));
    form.CheckBox2->setText(Tr(ru, QStringLiteral("Скрамбл для куба"), QStringLiteral("Setup scramble")));
    form.CheckBoxSplit->setText(Tr(ru, QStringLiteral("Время распознавания"), QStringLiteral("Time recognition")));
    form.CheckBoxSplit->setToolTip(Tr(ru,
        QStringLiteral("Пока идёт секундомер, первая клавиша (кроме пробела, Enter и Esc) или щелчок по картинке "
                       "отмечают конец распознавания. В плитки идёт всё время, как обычно."),
        QStringLiteral("While the stopwatch runs, the first key (other than Space, Enter and Escape) or a click on "
                       "the picture marks the end of recognition. The tiles take the whole time as usual.")));
    SetNamingDrillCaption(form);
}

void SetModeCaptions(TForm1& form)
{
    const bool oll = form.state.currentSet == CaseSet::OLL;
    form.BitBtn6->setText(oll ? QStringLiteral("=> PLL") : QStringLiteral("=> OLL"));
    form.Label4->setText(Tr(form.state.russianInterface, QStringLiteral("Режим:"), QStringLiteral("Mode:")));
    form.Label6->setText(SetName(form.state.currentSet));
    form.setWindowTitle(ModeTitle(form.state.currentSet, form.state.russianInterface));
}

void ShowLevel(TForm1& form)
{
    const bool ru = form.state.russianInterface;
    const bool hard = form.state.level == Level::Hard;
    form.CheckBox1->hide();
    form.Label5->setText(Tr(ru, QStringLiteral("Уровень:"), QStringLiteral("Level:")));
    form.Label7->setText(hard ? Tr(ru, QStringLiteral("Сложный"), QStringLiteral("Hard"))
                              : Tr(ru, QStringLiteral("Простой"), QStringLiteral("Easy")));
    form.CheckBox1->setText(Tr(ru, QStringLiteral("Определение по двум граням"), QStringLiteral("2-side recognition")));
    form.BitBtn10->setText(hard ? Tr(ru, QStringLiteral("=> Простой"), QStringLiteral("=> Easy"))
                                : Tr(ru, QStringLiteral("=> Сложный"), QStringLiteral("=> Hard")));
    if (hard && form.state.currentSet == CaseSet::PLL)
        form.CheckBox1->show();
    // The two boxes share the row: the option keeps its setting meanwhile.
    form.CheckBoxSplit->setVisible(!(hard && form.state.currentSet == CaseSet::PLL));
}

void TForm1::BitBtn10Click()
{
    session.SwitchLevel();
    ShowLevel(*this);
    ClearTrainingDisplay(*this);
    DrawInAdvance(*this);
}
