#pragma once
// The key a Ctrl shortcut (Ctrl+A, ...) is matched against.

class QKeyEvent;

// A letter key stands for the letter of the active layout when that letter is
// Latin, so a layout that moves the A (AZERTY) uses its own A. Under a
// non-Latin layout (Russian, Ukrainian, Belarusian, Greek ...) it stands for
// the Latin letter the US layout puts on the same physical key, the way Ctrl+C
// works in other programs. Every other key keeps its own code.
int ShortcutKey(const QKeyEvent& key);
