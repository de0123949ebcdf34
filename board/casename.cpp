#include "board/casename.h"

#include "core/language.h"
#include "core/caseidentity.h"
#include "core/timetext.h"
#include "window/fonts.h"
#include "window/tform1.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>

namespace {

// Between the picture frame and the hint line; between the cycle buttons and the mode line.
const QRect kAboveHint(8, 240, 265, 20);
const QRect kAfterStop(8, 371, 265, 20);

// The line hides itself when what it names goes: the hint line is hidden,
// or the stopped time is accepted or discarded (Accept disabled again).
class CaseNameLine : public QLabel {
public:
    explicit CaseNameLine(TForm1& form) : QLabel(&form), form_(form)
    {
        setObjectName(QStringLiteral("CaseName"));
        setFont(InterfaceFont(12, true));
        setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        setTextFormat(Qt::PlainText);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
        form.res->installEventFilter(this);
        form.BitBtn2->installEventFilter(this);
    }

    void ShowAt(const QRect& place, int caseNumber)
    {
        setGeometry(place);
        setText(CaseTitle(form_.state.currentSet, caseNumber));
        show();
        raise();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const bool hintGone = watched == form_.res && event->type() == QEvent::Hide && geometry() == kAboveHint;
        const bool timeGone = watched == form_.BitBtn2 && event->type() == QEvent::EnabledChange
                              && !form_.BitBtn2->isEnabled() && geometry() == kAfterStop;
        if (hintGone || timeGone)
            hide();
        return false;
    }

private:
    TForm1& form_;
};

CaseNameLine& NameLine(TForm1& form)
{
    auto* line = static_cast<CaseNameLine*>(form.findChild<QLabel*>(QStringLiteral("CaseName"), Qt::FindDirectChildrenOnly));
    return line ? *line : *new CaseNameLine(form);
}

}  // namespace

void ShowCaseNameAboveHint(TForm1& form, int caseNumber) { NameLine(form).ShowAt(kAboveHint, caseNumber); }

void ShowCaseNameAfterStop(TForm1& form, int caseNumber) { NameLine(form).ShowAt(kAfterStop, caseNumber); }

QString ExamCaseNames(const TForm1& form)
{
    constexpr int kMostNamed = 8;   // the message box stays on the screen
    const bool ru = form.state.russianInterface;
    const CaseSet set = form.state.currentSet;
    QStringList notDone;
    int done = 0, slowest = 0;
    double slowestTime = 0;
    for (int n = 1; n <= CaseCount(set); ++n) {
        const QLabel* label = ExamLabel(form, n);
        if (!label || label->text().isEmpty())
            continue;
        if (const std::optional<double> time = ParseTimeText(label->text())) {
            ++done;
            if (*time > slowestTime)
                slowestTime = *time, slowest = n;
        } else {
            notDone << CaseTitle(set, n);
        }
    }
    QStringList lines;
    if (done >= 2 && slowest > 0)
        lines << Tr(ru, QStringLiteral("Медленнее всего: %1 (%2)"), QStringLiteral("Slowest: %1 (%2)"))
                     .arg(CaseTitle(set, slowest), ExamLabel(form, slowest)->text());
    if (!notDone.isEmpty()) {
        const qsizetype more = notDone.size() - kMostNamed;
        QString names = notDone.mid(0, kMostNamed).join(QStringLiteral(", "));
        if (more > 0)
            names += Tr(ru, QStringLiteral(" и ещё %1"), QStringLiteral(" and %1 more")).arg(more);
        lines << Tr(ru, QStringLiteral("Не выполнены: "), QStringLiteral("Not completed: ")) + names;
    }
    return lines.isEmpty() ? QString() : QStringLiteral("\r\n\r\n") + lines.join(QStringLiteral("\r\n"));
}
