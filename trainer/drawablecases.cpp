// The cases the next draw may give, for the countdown's draw, the exam's and
// the case drawn in advance under a setup scramble alike.

#include "trainer/cycle_internal.h"
#include "window/tform1.h"

#include <QListWidget>

#include <algorithm>

namespace cycle {

std::vector<int> ExamDrawnCases(const TForm1& form)
{
    std::vector<int> drawn;
    for (int row = 0; row < form.exdone->count(); ++row)
        drawn.push_back(form.exdone->item(row)->text().toInt());
    return drawn;
}

QStringList CasesThatCanBeDrawn(const TForm1& form)
{
    if (!form.state.examActive)
        return form.state.enabledCases;
    const std::vector<int> drawn = ExamDrawnCases(form);
    QStringList undrawn;
    for (const QString& number : form.state.enabledCases) {
        if (std::find(drawn.begin(), drawn.end(), number.toInt()) == drawn.end())
            undrawn << number;
    }
    return undrawn;
}

} // namespace cycle
