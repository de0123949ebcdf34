// The texts of the interface language, the level line and the empty
// training column.
#include "window/tform1.h"

#include "app/language.h"
#include "settings/settingsfile.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

QString TForm1::SettingsPath() const { return InFolder(env.programFolder, QStringLiteral("Settings.ini")); }

void TForm1::SetStartupCaptions()
{
    const bool ru = state.russianInterface;
    BitBtn1->setText(Tr(ru, QStringLiteral("Старт"), QStringLiteral("Start")));
    BitBtn2->setText(Tr(ru, QStringLiteral("Сохранить"), QStringLiteral("Accept")));
    BitBtn3->setText(Tr(ru, QStringLiteral("Отменить"), QStringLiteral("Discard")));
    BitBtn4->setText(Tr(ru, QStringLiteral("Включить все"), QStringLiteral("Enable all")));
    BitBtn5->setText(Tr(ru, QStringLiteral("Выключить все"), QStringLiteral("Disable all")));
    GroupsButton->setText(Tr(ru, QStringLiteral("Группы…"), QStringLiteral("Groups…")));
    BitBtn9->setText(Tr(ru, QStringLiteral("О программе..."), QStringLiteral("About...")));
    BitBtn8->setToolTip(Tr(ru, QStringLiteral("Очистить статистику"), QStringLiteral("Clear results")));
    Label2->setText(Tr(ru, QStringLiteral("Время до старта:"), QStringLiteral("Start timeout:")));
    BitBtn7->setText(Tr(ru, QStringLiteral("Экзамен"), QStringLiteral("Exam")));
    CheckBox2->setText(Tr(ru, QStringLiteral("Скрамбл для куба"), QStringLiteral("Setup scramble")));
    CheckBoxSplit->setText(Tr(ru, QStringLiteral("Время распознавания"), QStringLiteral("Time recognition")));
}

void TForm1::SetModeCaptions()
{
    const bool oll = state.currentSet == CaseSet::OLL;
    BitBtn6->setText(oll ? QStringLiteral("=> PLL") : QStringLiteral("=> OLL"));
    Label4->setText(Tr(state.russianInterface, QStringLiteral("Режим:"), QStringLiteral("Mode:")));
    Label6->setText(SetName(state.currentSet));
    setWindowTitle(ModeTitle(state.currentSet, state.russianInterface));
}

void TForm1::ShowLevel()
{
    const bool ru = state.russianInterface;
    const bool hard = state.level == Level::Hard;
    CheckBox1->hide();
    Label5->setText(Tr(ru, QStringLiteral("Уровень:"), QStringLiteral("Level:")));
    Label7->setText(hard ? Tr(ru, QStringLiteral("Сложный"), QStringLiteral("Hard"))
                         : Tr(ru, QStringLiteral("Простой"), QStringLiteral("Easy")));
    CheckBox1->setText(Tr(ru, QStringLiteral("Определение по двум граням"), QStringLiteral("2-side recognition")));
    BitBtn10->setText(hard ? Tr(ru, QStringLiteral("=> Простой"), QStringLiteral("=> Easy"))
                           : Tr(ru, QStringLiteral("=> Сложный"), QStringLiteral("=> Hard")));
    if (hard && state.currentSet == CaseSet::PLL)
        CheckBox1->show();
    // The two boxes share the row: the option keeps its setting meanwhile.
    CheckBoxSplit->setVisible(!(hard && state.currentSet == CaseSet::PLL));
}

void TForm1::ClearTrainingDisplay()
{
    RzPanel1->hide();
    res->hide();
    Label1->setText(QStringLiteral("0"));
    Image1->ClearPicture();
    Timer1->stop();
    Timer2->stop();
    if (BitBtn1->isEnabled())
        BitBtn1->setFocus();
}

void TForm1::BitBtn10Click()
{
    session.SwitchLevel();
    ShowLevel();
    ClearTrainingDisplay();
    DrawInAdvance(*this);
}
