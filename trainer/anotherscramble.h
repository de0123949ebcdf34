#pragma once
// "Another scramble" under the picture frame, and the key N: a new setup for
// the case waiting under its setup scramble, for a cuber who slipped while
// doing the one shown. Only in Idle with a case waiting; the keyboard focus
// stays where it is (on Start).

#include <Qt>

class TForm1;

void BuildAnotherScrambleButton(TForm1& form);
// Shows the button when it can act, hides it otherwise; the caption in the
// interface language. Run whenever the scramble or Idle may have changed.
void ShowAnotherScrambleWhenDue(TForm1& form);
// The key N without Ctrl, Alt or Meta; key is the event's ShortcutKey, so
// under a non-Latin layout it is the key that carries the Latin N.
bool IsAnotherScrambleKey(int key, Qt::KeyboardModifiers modifiers);
// The button's action: does nothing while the button is hidden.
void DrawAnotherScramble(TForm1& form);
