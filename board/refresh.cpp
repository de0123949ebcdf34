// The statistics board: the summary in the status bar, the tiles' bars, the
// list of enabled cases and the buttons that depend on it.

#include "core/summary.h"
#include "window/progresshub.h"
#include "core/timetext.h"
#include "window/tform1.h"

#include <QPushButton>
#include <algorithm>
#include <optional>

namespace {

const QString kExamDash = QStringLiteral("\u2014");

// Holds a widget's painting for a scope, so the many bar, label and button
// changes of one refresh reach the screen in one go.
class UpdatesSuspended {
public:
    explicit UpdatesSuspended(QWidget* widget) : widget_(widget), wasEnabled_(widget->updatesEnabled())
    {
        widget_->setUpdatesEnabled(false);
    }
    ~UpdatesSuspended() { widget_->setUpdatesEnabled(wasEnabled_); }
    UpdatesSuspended(const UpdatesSuspended&) = delete;
    UpdatesSuspended& operator=(const UpdatesSuspended&) = delete;

private:
    QWidget* widget_;
    bool wasEnabled_;
};

void UpdateButtonsFromEnabledCount(TForm1& form)
{
    const int enabledCount = form.state.enabledCount;
    const bool any = enabledCount > 0;
    form.BitBtn5->setEnabled(any);
    form.BitBtn7->setEnabled(any);
    form.BitBtn1->setEnabled(any);
    form.BitBtn4->setEnabled(!any || enabledCount != CaseCount(form.state.currentSet));
    if (any)
        form.BitBtn1->setFocus();
}

void WriteStatusBar(TForm1& form, const BoardSummary& summary)
{
    const QStringList texts = StatusTexts(summary, form.state.russianInterface);
    for (int panel = 0; panel < texts.size() && panel < PanelStatusBar::kPanels; ++panel)
        form.StatusBar1->SetPanelText(panel, texts[panel]);
    // In the language chosen last.
    const int unwritten = form.progress ? form.progress->Store().PendingCount() : 0;
    form.StatusBar1->SetPanelAlert(kUnwrittenTimesPanel, UnwrittenTimesText(unwritten, form.state.russianInterface));
}

BoardSummary SummariseRecords(const TForm1& form)
{
    const int caseCount = CaseCount(form.state.currentSet);
    QVector<CaseRecord> records;
    records.reserve(caseCount);
    for (int n = 1; n <= caseCount; ++n)
        records.append(form.session.Record(n));
    return ComputeSummary(records);
}

void RebuildEnabledCases(TForm1& form)
{
    form.state.enabledCases.clear();
    for (int n = 1; n <= CaseCount(form.state.currentSet); ++n)
        if (form.session.CaseEnabled(n))
            form.state.enabledCases << QString::number(n);
}

// The bars of the tiles made so far (a tile made later gets its bar then).
void ShowPracticeBars(TForm1& form, const BoardSummary& summary)
{
    for (int n = 1; n <= CaseCount(form.state.currentSet); ++n) {
        // A stored time that does not read counts as no time at all: the
        // tile keeps showing the text as stored, the bar leaves it out.
        const double average = form.session.Record(n).Average().value_or(0.0);
        if (CaseTile* tile = form.MadeTile(n))
            tile->proll->SetLevel(BarLevel(average, summary.maxAverage));
    }
}

void RefreshPracticeBoard(TForm1& form)
{
    UpdateButtonsFromEnabledCount(form);
    const BoardSummary summary = SummariseRecords(form);
    WriteStatusBar(form, summary);
    RebuildEnabledCases(form);
    ShowPracticeBars(form, summary);
}

// The time an exam label shows; none while it is empty, shows the dash or
// does not exist yet.
std::optional<double> ExamTime(const TForm1& form, int caseNumber)
{
    const QLabel* label = ExamLabel(form, caseNumber);
    if (!label || label->text().isEmpty() || label->text() == kExamDash)
        return std::nullopt;
    return ParseTimeText(label->text());
}

bool ExamLabelEmpty(const TForm1& form, int caseNumber)
{
    const QLabel* label = ExamLabel(form, caseNumber);
    return !label || label->text().isEmpty();
}

// During an exam the bars show the exam times, scaled to the slowest one so
// far; buttons, focus and the status bar stay as the exam left them. A
// disabled case takes no part, so its bar keeps the level it had.
void ShowExamBars(TForm1& form)
{
    const int caseCount = CaseCount(form.state.currentSet);
    double examMax = 0;
    for (int n = 1; n <= caseCount; ++n)
        examMax = std::max(examMax, ExamTime(form, n).value_or(0.0));
    for (int n = 1; n <= caseCount; ++n) {
        CaseTile* tile = form.MadeTile(n);
        if (!tile)
            continue;
        if (const auto time = ExamTime(form, n))
            tile->proll->SetLevel(BarLevel(*time, examMax));
        else if (!ExamLabelEmpty(form, n) || form.session.CaseEnabled(n))
            tile->proll->SetLevel(0);
    }
}

void RefreshExamBoard(TForm1& form)
{
    RebuildEnabledCases(form);
    ShowExamBars(form);
}

}  // namespace

void RefreshBoard(TForm1& form)
{
    UpdatesSuspended suspended(&form);
    if (form.state.examActive)
        RefreshExamBoard(form);
    else
        RefreshPracticeBoard(form);
    // What can be drawn may have changed under a case drawn in advance.
    emit form.BoardRefreshed();
}

void RefreshTileBars(TForm1& form)
{
    if (form.state.examActive)
        ShowExamBars(form);
    else
        ShowPracticeBars(form, SummariseRecords(form));
}

void ApplyTileStyle(TForm1& form, int caseNumber, bool enabled)
{
    using Key = TuningColours::Key;
    CaseTile* tile = form.Tile(caseNumber);
    const TuningColours& tuning = form.tuning;
    const QColor bar = tuning.ColourOrDefault(enabled ? Key::EnabledBarTrackColor : Key::DisabledBarTrackColor);
    const QColor back = tuning.ColourOrDefault(enabled ? Key::EnabledBarBckColor : Key::DisabledBarBckColor);
    const QColor text = tuning.ColourOrDefault(enabled ? Key::EnabledTextColor : Key::DisabledTextColor);
    tile->proll->SetColours(bar, back);
    for (QLabel* label : {tile->acoll, tile->avoll, tile->bcoll, tile->bvoll, tile->ncoll, tile->nvoll}) {
        // A palette set is re-resolved through the label's children and
        // repolished: 10,000 instructions a label, 3.6 M for the board at
        // start-up, where the labels already show the enabled colour.
        if (label->palette().color(QPalette::WindowText) == text)
            continue;
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, text);
        label->setPalette(palette);
    }
    tile->bioll->setVisible(!enabled);
}
