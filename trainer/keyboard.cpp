// Keyboard control. The window sees every key aimed at it or its controls
// before they do: Space and Enter press the focused button, Escape gives up
// the attempt's time, Ctrl+A enables or disables all cases, N draws another
// setup scramble. Letter keys are matched on ShortcutKey, so they work under
// a non-Latin layout too.
//
// Space and Enter act when the key goes down, not when it comes up: a
// stopwatch that stopped on release would add the time the key is held to
// every solve. The press, its release and its auto-repeats are kept from the
// button, so the button's own click-on-release never fires, and a held key
// does nothing more.
//
// X11 sends a held key as pairs of release and press that carry the same
// time stamp, and Qt does not always see that they are repeats: a press
// stamped with the very millisecond of the key's last release is a repeat
// whatever its flag says (no finger lifts and strikes a key that fast).

#include "window/tform1.h"

#include "trainer/anotherscramble.h"
#include "trainer/namedrill.h"
#include "window/shortcutkey.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr QChar kEscapeCharacter(27);

unsigned HeldBit(int key)
{
    switch (key) {
    case Qt::Key_Space: return 1u;
    case Qt::Key_Return: return 2u;
    case Qt::Key_Enter: return 4u;
    default: return 0u;
    }
}

bool IsCtrlA(const QKeyEvent* key)
{
    return ShortcutKey(*key) == Qt::Key_A && key->modifiers().testFlag(Qt::ControlModifier);
}

bool IsN(const QKeyEvent* key)
{
    return IsAnotherScrambleKey(ShortcutKey(*key), key->modifiers());
}

bool IsActionKey(const QKeyEvent* key)
{
    return HeldBit(key->key()) != 0 || key->key() == Qt::Key_Escape || IsCtrlA(key) || IsN(key);
}

QChar TypedCharacter(const QKeyEvent* key)
{
    if (!key->text().isEmpty())
        return key->text().at(0);
    return key->key() == Qt::Key_Escape ? kEscapeCharacter : QChar();
}

// Key events go to the focused control, or to the window when none has the
// focus; Qt hands an ignored event on to the parents, which must not see it
// a second time.
bool IsKeyPreviewTarget(TForm1& form, QObject* watched)
{
    if (QApplication::activeModalWidget())
        return false;
    QWidget* target = form.focusWidget() ? form.focusWidget() : &form;
    return watched == target;
}

bool CountdownFieldAccepts(TForm1& form, QObject* watched, const QKeyEvent* key)
{
    if (watched != form.Edit1 || key->text().isEmpty())
        return true;
    return form.Edit1KeyPress(key->text().at(0));
}

bool ClickFocusedButton(TForm1& form, QObject* watched, unsigned heldBit)
{
    auto* button = qobject_cast<QPushButton*>(watched);
    if (!button || !button->isEnabled() || !button->isVisible())
        return false;
    form.heldActionKeys |= heldBit;
    button->click();
    return true;
}

bool IsRepeatAfterRelease(const TForm1& form, const QKeyEvent* key)
{
    const TForm1::KeyRelease& last = form.lastKeyRelease;
    return key->timestamp() != 0 && last.key == key->key() && last.timestamp == key->timestamp();
}

// A repeat whose release was taken for the real one: the key is still held.
void KeepHeld(TForm1& form, const QKeyEvent* key)
{
    if (IsRepeatAfterRelease(form, key))
        form.heldActionKeys |= form.lastKeyRelease.heldBitCleared;
}

// While the stopwatch runs, Tab (a key that may mark recognition) must not
// hand the focus on: the next Space would press another button instead of Stop.
bool MovesFocusWhileTiming(const TForm1& form, const QKeyEvent* key)
{
    return form.Timer1->isActive() && (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab);
}

// Returns true when the press is kept from the focused control.
bool PreviewKeyPress(TForm1& form, QObject* watched, const QKeyEvent* key)
{
    if (key->isAutoRepeat() || IsRepeatAfterRelease(form, key)) {
        KeepHeld(form, key);
        return IsActionKey(key) || !CountdownFieldAccepts(form, watched, key);
    }
    if (AnswerNamingByKey(form, *key))
        return true;
    form.FormKeyDown(ShortcutKey(*key), key->modifiers());
    if (const QChar character = TypedCharacter(key); !character.isNull())
        form.FormKeyPress(character);
    if (const unsigned bit = HeldBit(key->key()))
        return ClickFocusedButton(form, watched, bit);
    if (key->key() == Qt::Key_Escape || IsCtrlA(key) || IsN(key) || MovesFocusWhileTiming(form, key))
        return true;
    return !CountdownFieldAccepts(form, watched, key);
}

bool PreviewKeyRelease(TForm1& form, const QKeyEvent* key)
{
    const unsigned bit = HeldBit(key->key());
    const bool held = bit != 0 && (form.heldActionKeys & bit) != 0;
    const bool releasesKey = held && !key->isAutoRepeat();
    form.lastKeyRelease = {key->key(), key->timestamp(), releasesKey ? bit : 0u};
    if (releasesKey)
        form.heldActionKeys &= ~bit;
    return held;
}

void SyncCountdownField(TForm1& form)
{
    // The up-down takes a valid number typed into its field as its position.
    bool ok = false;
    const int typed = form.Edit1->text().toInt(&ok);
    if (ok && typed >= form.UpDown1->Minimum() && typed <= form.UpDown1->Maximum())
        form.UpDown1->SetPosition(typed);
    form.Edit1->setText(QString::number(form.UpDown1->Position()));
}

} // namespace

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || !IsKeyPreviewTarget(*this, watched))
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<const QKeyEvent*>(event);
    bool swallowed = false;
    Guarded([&] {
        swallowed = type == QEvent::KeyPress ? PreviewKeyPress(*this, watched, key) : PreviewKeyRelease(*this, key);
    });
    return swallowed;
}

// A control that loses its enabled state while it has the focus would hand
// the focus on along the tab chain, to a control that the next Space or Enter
// would press (the set switch, once Start is disabled). The window takes the
// focus instead: Space and Enter then press nothing, while Escape and Ctrl+A
// still reach its key handling.
bool TForm1::focusNextPrevChild(bool next)
{
    QWidget* focused = focusWidget();
    if (focused && focused != this && !focused->isEnabled()) {
        setFocus(Qt::OtherFocusReason);
        return true;
    }
    return QWidget::focusNextPrevChild(next);
}

// key is the event's ShortcutKey: a Ctrl shortcut compares with its Latin letter.
void TForm1::FormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    MarkRecognitionByKey(*this, key);
    const bool bulkAllowed = !state.attemptActive && !state.examActive;
    if (key == Qt::Key_A && modifiers.testFlag(Qt::ControlModifier) && bulkAllowed) {
        if (state.enabledCount != 0)
            DisableAllCases();
        else
            EnableAllCases();
    }
    if (IsAnotherScrambleKey(key, modifiers))
        DrawAnotherScramble(*this);
    SyncCountdownField(*this);
}

void TForm1::FormKeyPress(QChar character)
{
    if (character != kEscapeCharacter || !state.attemptActive)
        return;
    if (BitBtn1->isEnabled())
        BitBtn1Click();
    if (BitBtn3->isEnabled())
        BitBtn3Click();
}

bool TForm1::Edit1KeyPress(QChar character)
{
    return character >= u'0' && character <= u'9';
}
