#pragma once
// The naming drill's answer, typed key by key and judged by the cases'
// standard identities (core/caseidentity.h). No widgets: the window hands it
// the Latin letter or digit of each key (read from the key code, as Ctrl+A
// is, so that a Russian layout answers the same).
//
// PLL: the letter, then the second letter where the letter names more than
// one case ("A" then "a" or "b", "G" then "a" to "d"); E, F, H, T, V, Y and
// Z are whole at once. OLL: the standard number, then Enter.

#include "core/caseidentity.h"

#include <QString>
#include <optional>

class NameAnswer {
public:
    NameAnswer(const CaseIdentityTable& table, CaseSet set) : table_(table), set_(set) {}

    enum class Step {
        Ignored,   // the key names no case from here: nothing typed
        Typed,     // taken, the answer goes on
        Whole,     // the answer names a case
    };
    Step Key(QChar latin);   // a letter (either case) or a digit
    Step Enter();
    void Clear() { text_.clear(); }
    // Backspace: takes back the last key typed, so that a slip need not end
    // the question.
    void EraseLast() { text_.chop(1); }

    QString Text() const { return text_; }   // "Ga", "27"
    // The program's case the whole answer names.
    std::optional<int> CaseNumber() const;

private:
    QStringList StandardsStartingWith(const QString& text) const;

    const CaseIdentityTable& table_;
    CaseSet set_;
    QString text_;
};

// The drill judges by the standard identity: two cases of a set with the
// same one would make a right answer ambiguous. The first clash, or empty.
QString FirstSharedStandardIdentity(const CaseIdentityTable& table);
