#include "board/groupsdialog.h"

#include "core/language.h"
#include "board/dialogs.h"
#include "board/groups.h"
#include "core/caseidentity.h"
#include "window/fonts.h"
#include "window/tform1.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The cases of a group, for the tick's tooltip: "OLL 45 T, OLL 33 Key".
QString CaseList(CaseSet set, const QString& group)
{
    QStringList titles;
    for (int n : CaseIdentities().CasesOf(set, group))
        titles << CaseTitle(set, n);
    return titles.join(QStringLiteral(", "));
}

}  // namespace

GroupsDialog::GroupsDialog(TForm1& form) : QDialog(&form), form_(form)
{
    setObjectName(QStringLiteral("GroupsDialog"));
    const bool ru = form.state.russianInterface;
    setWindowTitle(Tr(ru, QStringLiteral("Группы %1"), QStringLiteral("%1 groups")).arg(SetName(form.state.currentSet)));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setFont(InterfaceFont(11));

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(4);
    for (const QString& group : CaseIdentities().Groups(form.state.currentSet))
        AddRow(grid, group);

    auto* close = new QPushButton(Tr(ru, QStringLiteral("Закрыть"), QStringLiteral("Close")), this);
    close->setObjectName(QStringLiteral("GroupsClose"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    ShowCounts();
    if (!rows_.isEmpty())
        rows_.front().toggle->setFocus();
    adjustSize();
    CentreDialogOn(this, &form);
}

void GroupsDialog::AddRow(QGridLayout* grid, const QString& group)
{
    const bool ru = form_.state.russianInterface;
    const int line = grid->rowCount();
    Row row{group, new QCheckBox(GroupName(group, ru), this), new QLabel(this)};
    row.toggle->setObjectName(QStringLiteral("GroupToggle:") + group);
    row.toggle->setToolTip(CaseList(form_.state.currentSet, group));
    row.count->setObjectName(QStringLiteral("GroupCount:") + group);
    auto* only = new QPushButton(Tr(ru, QStringLiteral("Только эта группа"), QStringLiteral("Only this group")), this);
    only->setObjectName(QStringLiteral("GroupOnly:") + group);
    only->setAutoDefault(false);
    // The tick shows the group's state; a click acts on the whole group
    // and the state is then drawn again from the tiles.
    connect(row.toggle, &QCheckBox::clicked, this, [this, group] { Act(&ToggleGroup, group); });
    connect(only, &QPushButton::clicked, this, [this, group] { Act(&EnableOnlyGroup, group); });
    grid->addWidget(row.toggle, line, 0);
    grid->addWidget(row.count, line, 1, Qt::AlignRight);
    grid->addWidget(only, line, 2);
    rows_.append(row);
}

void GroupsDialog::Act(void (*action)(TForm1&, const QString&), const QString& group)
{
    form_.Guarded([&] { action(form_, group); });
    ShowCounts();
}

void GroupsDialog::ShowCounts()
{
    const bool ru = form_.state.russianInterface;
    for (const Row& row : rows_) {
        const GroupCount count = CountGroup(form_, row.group);
        row.count->setText(Tr(ru, QStringLiteral("%1 из %2"), QStringLiteral("%1 of %2")).arg(count.enabled).arg(count.total));
        row.toggle->setCheckState(count.enabled == 0            ? Qt::Unchecked
                                  : count.enabled == count.total ? Qt::Checked
                                                                 : Qt::PartiallyChecked);
    }
}

void BuildGroupsButton(TForm1& form)
{
    auto* button = new QPushButton(&form);
    button->setObjectName(QStringLiteral("GroupsButton"));
    // Narrow, at the right: in PLL at the Hard level the 2-side box shares the row.
    button->setGeometry(200, 461, 63, 25);
    button->setAutoDefault(false);
    // As the other buttons of the column: a click leaves Space to the cycle.
    button->setFocusPolicy(Qt::TabFocus);
    form.GroupsButton = button;
    QObject::connect(button, &QPushButton::clicked, &form, [&form] { OpenGroupsDialog(form); });
}

void OpenGroupsDialog(TForm1& form)
{
    if (!GroupActionsAllowed(form) || CaseIdentities().IsEmpty())
        return;
    GroupsDialog dialog(form);
    dialog.exec();
    if (form.BitBtn1->isEnabled())
        form.BitBtn1->setFocus();
}
