#include "trainer/anotherscramble.h"

#include "core/language.h"
#include "window/fonts.h"
#include "window/tform1.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {

// Under the frame, where the stopwatch panel stands while an attempt runs.
const QRect kUnderTheFrame(70, 238, 140, 22);

// The hint line a tile preview shows under the frame takes the place, with
// its name line: the button steps aside while it is shown.
class AnotherScrambleButton : public QPushButton {
public:
    explicit AnotherScrambleButton(TForm1& form) : QPushButton(&form), form_(form)
    {
        setObjectName(QStringLiteral("AnotherScramble"));
        setGeometry(kUnderTheFrame);
        setFont(InterfaceFont(11));
        setAutoDefault(false);
        // A click leaves the keys with Start: the next Space starts the attempt.
        setFocusPolicy(Qt::NoFocus);
        hide();
        form.res->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == form_.res && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
            ShowAnotherScrambleWhenDue(form_);
        return false;
    }

private:
    TForm1& form_;
};

bool CanDrawAnother(const TForm1& form)
{
    const bool idle = !form.state.attemptActive && !form.Timer1->isActive() && !form.Timer2->isActive();
    return idle && ScrambleMode(form) && form.state.nextCase > 0 && form.ScrambleLabel->isVisibleTo(&form)
           && form.res->isHidden();
}

}  // namespace

void BuildAnotherScrambleButton(TForm1& form)
{
    form.AnotherScramble = new AnotherScrambleButton(form);
    QObject::connect(form.AnotherScramble, &QPushButton::clicked, &form,
                     [&form] { form.Guarded([&form] { DrawAnotherScramble(form); }); });
}

void ShowAnotherScrambleWhenDue(TForm1& form)
{
    if (!form.AnotherScramble)
        return;
    form.AnotherScramble->setText(
        Tr(form.state.russianInterface, QStringLiteral("Другой скрамбл"), QStringLiteral("Another scramble")));
    form.AnotherScramble->setVisible(CanDrawAnother(form));
}

bool IsAnotherScrambleKey(int key, Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers commands = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    return key == Qt::Key_N && !(modifiers & commands);
}

void DrawAnotherScramble(TForm1& form)
{
    if (!form.AnotherScramble || form.AnotherScramble->isHidden())
        return;
    if (form.session.DrawAnotherSetupForWaitingCase())
        form.ScrambleLabel->setText(form.state.nextScramble);
}
