// Qt 6.4 finds a Latin letter for a Ctrl shortcut only in another layout the
// user has configured (us,ru): with the Russian layout alone, Ctrl and the A
// key arrive as Ctrl+Ф, and QShortcut does not match them either. The last
// resort is the key's position, which the event carries as its X key code
// (the evdev code plus 8, as xcb and Wayland report it).

#include "window/shortcutkey.h"

#include <QChar>
#include <QKeyEvent>

#include <string_view>

namespace {

struct LetterRow {
    quint32 firstKeyCode;
    std::string_view letters;
};

// The three letter rows of the US layout.
constexpr LetterRow kUsLetterRows[] = {
    {24, "QWERTYUIOP"},
    {38, "ASDFGHJKL"},
    {52, "ZXCVBNM"},
};

bool IsNonLatinLetter(int key)
{
    if (key <= 0 || key > 0xFFFF)
        return false;
    const QChar character{char16_t(key)};
    return character.isLetter() && character.script() != QChar::Script_Latin;
}

int UsLetterAt(quint32 keyCode)
{
    for (const LetterRow& row : kUsLetterRows) {
        if (keyCode >= row.firstKeyCode && keyCode < row.firstKeyCode + quint32(row.letters.size()))
            return Qt::Key_A + (row.letters[keyCode - row.firstKeyCode] - 'A');
    }
    return 0;
}

}   // namespace

int ShortcutKey(const QKeyEvent& key)
{
    if (!IsNonLatinLetter(key.key()))
        return key.key();
    const int usLetter = UsLetterAt(key.nativeScanCode());
    return usLetter != 0 ? usLetter : key.key();
}
