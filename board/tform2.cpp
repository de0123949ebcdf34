#include "board/tform2.h"

#include "core/language.h"
#include "board/dialogs.h"

#include <QLabel>
#include <QPushButton>

TForm2::TForm2(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form2"));
    MakeFixedSizeDialog(this, 418, 95);
    setFont(TahomaPixels(11));
    setModal(true);
    BuildControls();
}

void TForm2::BuildControls()
{
    StaticText1 = new QLabel(this);
    StaticText1->setObjectName(QStringLiteral("StaticText1"));
    StaticText1->setGeometry(8, 8, 401, 41);
    StaticText1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    StaticText1->setWordWrap(true);
    StaticText1->setFont(TahomaPixels(13));

    BitBtn1 = MakeButton("BitBtn1", QRect(8, 64, 129, 25));
    BitBtn2 = MakeButton("BitBtn2", QRect(144, 64, 145, 25));
    BitBtn3 = MakeButton("BitBtn3", QRect(344, 64, 65, 25));
    connect(BitBtn1, &QPushButton::clicked, this, &TForm2::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TForm2::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TForm2::BitBtn3Click);
}

QPushButton* TForm2::MakeButton(const char* name, const QRect& bounds)
{
    auto* button = new QPushButton(this);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(bounds);
    return button;
}

void TForm2::Prepare(bool russian)
{
    choice_ = Choice::Cancel;
    setWindowTitle(Tr(russian, QStringLiteral("Удаление статистики"), QStringLiteral("Clear results")));
    StaticText1->setText(Tr(russian,
                            QStringLiteral("Средние результаты по алгоритмам будут удалены.\r\nУдалить рекорды?"),
                            QStringLiteral("Your average times will be deleted. "
                                           "Do you want to delete your best times as well?")));
    BitBtn1->setText(Tr(russian, QStringLiteral("Удалить с рекордами"), QStringLiteral("Delete avgs and best")));
    BitBtn2->setText(Tr(russian, QStringLiteral("Удалить только средние"), QStringLiteral("Delete only avgs")));
    BitBtn3->setText(Tr(russian, QStringLiteral("Отмена"), QStringLiteral("Cancel")));
    // Enter or Space right away cancels.
    BitBtn3->setDefault(true);
    BitBtn3->setFocus();
}

void TForm2::CentreOn(const QWidget* mainWindow) { CentreDialogOn(this, mainWindow); }

void TForm2::BitBtn1Click()
{
    choice_ = Choice::DeleteAvgsAndBests;
    accept();
}

void TForm2::BitBtn2Click()
{
    choice_ = Choice::DeleteOnlyAvgs;
    accept();
}

void TForm2::BitBtn3Click() { accept(); }

void TForm2::reject() { done(QDialog::Accepted); }
