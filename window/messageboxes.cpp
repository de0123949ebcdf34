#include "window/messageboxes.h"

#include "window/fonts.h"
#include "window/tform1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QIcon>
#include <QMessageBox>

namespace {

struct ButtonText {
    QMessageBox::StandardButton button;
    const char16_t* russian;
    const char16_t* english;
};

constexpr ButtonText kButtonTexts[] = {
    {QMessageBox::Ok, u"ОК", u"OK"},
    {QMessageBox::Yes, u"Да", u"Yes"},
    {QMessageBox::No, u"Нет", u"No"},
};

} // namespace

// Before the main window is handed over (its start-up runs while it is being
// made), the window under construction already knows the language.
bool QtMessages::RussianInterface() const
{
    const auto* form = qobject_cast<const TForm1*>(parent_.data());
    const QWidgetList windows = form ? QWidgetList() : QApplication::topLevelWidgets();
    for (auto window = windows.crbegin(); !form && window != windows.crend(); ++window)
        form = qobject_cast<const TForm1*>(*window);
    return form && form->state.russianInterface;
}

// The boxes speak the interface language down to their buttons (Qt's own
// button texts are English without a translation), in the program's font,
// with plain buttons like every other button of the program.
void QtMessages::Dress(QMessageBox& box) const
{
    box.setFont(InterfaceFont(11));
    const bool russian = RussianInterface();
    for (const ButtonText& text : kButtonTexts) {
        if (QAbstractButton* button = box.button(text.button)) {
            button->setText(QString::fromUtf16(russian ? text.russian : text.english));
            button->setIcon(QIcon());
        }
    }
}

void QtMessages::Inform(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text, QMessageBox::Ok, parent_);
    Dress(box);
    box.exec();
}

bool QtMessages::Ask(const QString& caption, const QString& text)
{
    return AskWithDefault(caption, text, QMessageBox::Yes);
}

bool QtMessages::AskDefaultNo(const QString& caption, const QString& text)
{
    return AskWithDefault(caption, text, QMessageBox::No);
}

bool QtMessages::AskWithDefault(const QString& caption, const QString& text, int defaultButton)
{
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Yes | QMessageBox::No, parent_);
    box.setDefaultButton(static_cast<QMessageBox::StandardButton>(defaultButton));
    Dress(box);
    return box.exec() == QMessageBox::Yes;
}

void QtMessages::ShowError(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), text, QMessageBox::Ok, parent_);
    Dress(box);
    box.exec();
}
