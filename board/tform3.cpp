#include "board/tform3.h"

#include "core/language.h"
#include "board/dialogs.h"
#include "board/hints.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

TForm3::TForm3(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form3"));
    MakeFixedSizeDialog(this, 220, 72);
    setFont(TahomaPixels(11));
    setModal(true);
    BuildControls();
}

void TForm3::BuildControls()
{
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(10, 8, 201, 21);
    Edit1->installEventFilter(this);

    BitBtn1 = new QPushButton(this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(10, 40, 75, 25);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm3::BitBtn1Click);

    BitBtn2 = new QPushButton(this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(136, 40, 75, 25);
    connect(BitBtn2, &QPushButton::clicked, this, &TForm3::BitBtn2Click);

    setTabOrder(Edit1, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);
}

void TForm3::Prepare(int caseNumber, const QString& hint, bool russian)
{
    setWindowTitle(HintEditorTitle(caseNumber, russian));
    BitBtn1->setText(Tr(russian, QStringLiteral("Сохранить"), QStringLiteral("Save")));
    BitBtn2->setText(Tr(russian, QStringLiteral("Отмена"), QStringLiteral("Cancel")));
    Edit1->setText(hint);
    Edit1->selectAll();   // typing replaces the old algorithm, as in any edit field
    Edit1->setFocus();
}

void TForm3::CentreOn(const QWidget* mainWindow) { CentreDialogOn(this, mainWindow); }

QString TForm3::EditedText() const { return Edit1->text(); }

void TForm3::BitBtn1Click() { accept(); }

void TForm3::BitBtn2Click() { reject(); }

bool TForm3::Edit1KeyPress(QChar character)
{
    if (character == QChar(13)) {
        BitBtn1Click();
        return true;
    }
    if (character == QChar(27)) {
        BitBtn2Click();
        return true;
    }
    return false;
}

bool TForm3::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Edit1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            return Edit1KeyPress(QChar(13));
        if (key->key() == Qt::Key_Escape)
            return Edit1KeyPress(QChar(27));
    }
    return QDialog::eventFilter(watched, event);
}
