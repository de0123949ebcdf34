#include "board/groups.h"

#include "core/language.h"
#include "core/caseidentity.h"
#include "settings/settingsfile.h"
#include "settings/setkeys.h"
#include "window/tform1.h"

#include <QPushButton>
#include <functional>

namespace {

const QString kSettings = QStringLiteral("Settings");

QList<int> CasesOfGroup(const TForm1& form, const QString& group)
{
    return CaseIdentities().CasesOf(form.state.currentSet, group);
}

// The active set's flags as the file keeps them ("1": disabled), one
// replacement for all of them; entries the file already holds stay as they are.
void WriteEnabledFlags(TForm1& form)
{
    SettingsFile file(SettingsPath(form), SettingsFile::Commit::AtClose);
    const SetKeys keys = SetKeys::Of(form.state.currentSet);
    for (int n = 1; n <= CaseCount(form.state.currentSet); ++n) {
        const QString key = keys.enabled + QString::number(n);
        const QString value = QString::number(form.session.CaseEnabled(n) ? 0 : 1);
        if (file.ReadString(kSettings, key, QStringLiteral("\n")) != value)
            file.WriteString(kSettings, key, value);
    }
    file.Close();
}

// Sets every case of the active set to wanted(n), redraws the board as Enable
// all does (a case drawn in advance that is now disabled is drawn again), then
// writes the flags.
void SetEnabledCases(TForm1& form, const std::function<bool(int, bool)>& wanted)
{
    form.RzPanel1->hide();
    int enabledCount = 0;
    for (int n = 1; n <= CaseCount(form.state.currentSet); ++n) {
        const bool enabled = wanted(n, form.session.CaseEnabled(n));
        if (enabled != form.session.CaseEnabled(n))
            form.session.SetCaseEnabled(n, enabled);   // the tile follows the session
        enabledCount += enabled ? 1 : 0;
    }
    form.state.enabledCount = enabledCount;
    RefreshBoard(form);
    WriteEnabledFlags(form);
}

}  // namespace

bool GroupActionsAllowed(const TForm1& form) { return !form.state.attemptActive && !form.state.examActive; }

GroupCount CountGroup(const TForm1& form, const QString& group)
{
    GroupCount count;
    for (int n : CasesOfGroup(form, group)) {
        ++count.total;
        count.enabled += form.session.CaseEnabled(n) ? 1 : 0;
    }
    return count;
}

void EnableOnlyGroup(TForm1& form, const QString& group)
{
    if (!GroupActionsAllowed(form))
        return;
    const QList<int> cases = CasesOfGroup(form, group);
    SetEnabledCases(form, [&](int n, bool) { return cases.contains(n); });
}

void ToggleGroup(TForm1& form, const QString& group)
{
    if (!GroupActionsAllowed(form))
        return;
    const GroupCount count = CountGroup(form, group);
    const bool enable = count.enabled < count.total;
    const QList<int> cases = CasesOfGroup(form, group);
    SetEnabledCases(form, [&](int n, bool was) { return cases.contains(n) ? enable : was; });
}
