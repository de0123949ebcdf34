#include "trainer/drawchoice.h"

#include "core/language.h"
#include "core/namingdrill.h"
#include "window/progresshub.h"
#include "settings/settingsfile.h"
#include "window/tform1.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <QWheelEvent>

namespace {

// The drill's answer times for the weak rule, made from History.csv's drill
// lines as they come: a child of the window, found by its name.
class AnswerTimes : public QObject {
public:
    explicit AnswerTimes(QObject* parent) : QObject(parent) { setObjectName(QStringLiteral("NamingAnswerTimes")); }
    const std::vector<Attempt>& CatchUp(const std::vector<DrillRecord>& lines)
    {
        if (lines.size() < times_.size())
            times_.clear();
        for (size_t i = times_.size(); i < lines.size(); ++i)
            times_.push_back(AnswerTimeForDraw(lines[i].attempt, lines[i].detail.result));
        return times_;
    }

private:
    std::vector<Attempt> times_;
};

AnswerTimes& AnswerTimesOf(TForm1& form)
{
    auto* times = form.findChild<AnswerTimes*>(QStringLiteral("NamingAnswerTimes"), Qt::FindDirectChildrenOnly);
    return times ? *times : *new AnswerTimes(&form);
}

// The drill's answer times for the weak rule, or nothing while History.csv
// is not read.
const std::vector<Attempt>* NamingAnswersForDraw(TForm1& form)
{
    if (!form.progress || !form.progress->Store().IsLoaded())
        return nullptr;
    return &AnswerTimesOf(form).CatchUp(form.progress->Store().Drill());
}

const QString kSettings = QStringLiteral("Settings");
const QString kDrawKey = QStringLiteral("Draw");
// The round goes to the left end of the total-time panel, which is wide
// enough for both; the right panel holds only the attempt count.
constexpr int kRoundPanel = 3;
// The entries in the order of DrawRule.
constexpr DrawRule kRules[] = {DrawRule::Random, DrawRule::Weak, DrawRule::Round};

// Room beside an entry's text in the open list: its margins and a scroll bar.
constexpr int kListPadding = 28;

QStringList EntryTexts(bool russian)
{
    return {Tr(russian, QStringLiteral("Случайно"), QStringLiteral("At random")),
            Tr(russian, QStringLiteral("Чаще слабые"), QStringLiteral("Weak cases more often")),
            Tr(russian, QStringLiteral("Все по разу"), QStringLiteral("Each case once"))};
}

void WidenListToEntries(QComboBox& box);

// The drop-down remembers whether its list was open, which is how a choice
// from the list is told from one made with the arrow keys on the closed box.
class DrawChoiceBox : public QComboBox {
public:
    using QComboBox::QComboBox;
    void showPopup() override
    {
        listOpen_ = true;
        // Made wide enough only when it opens: the list's view is built on
        // its first use, which start-up need not pay for.
        WidenListToEntries(*this);
        QComboBox::showPopup();
    }
    void hidePopup() override
    {
        QComboBox::hidePopup();
        // The choice, if any, is announced right after the list closes.
        QTimer::singleShot(0, this, [this] { listOpen_ = false; });
    }
    bool ChoseFromList() const { return listOpen_; }

protected:
    // A wheel turned while the pointer merely passes over the box must not
    // change the rule behind the user's back: only a focused box takes it.
    void wheelEvent(QWheelEvent* event) override
    {
        if (hasFocus())
            QComboBox::wheelEvent(event);
        else
            event->ignore();
    }

private:
    bool listOpen_ = false;
};

// The closed box cuts "Weak cases more often" short: its tip reads it whole.
void ShowChoiceWhole(QComboBox& box)
{
    box.setToolTip(box.currentText());
}

void ChooseRule(TForm1& form, int index)
{
    if (index < 0 || index >= int(std::size(kRules)))
        return;
    // The case waiting under its setup scramble when rounds are chosen is
    // the round's first case; one the round cannot take is drawn again.
    if (!form.session.SetRule(kRules[index]))
        DrawInAdvance(form);
    ShowChoiceWhole(*form.ComboBox1);
    ShowDrawProgress(form);
    // A choice from the list hands the keys back to Start: the next Space
    // starts an attempt instead of opening the list again. Arrow keys on the
    // closed box keep it focused, so the user can step on through the entries.
    const auto* box = static_cast<const DrawChoiceBox*>(form.ComboBox1);
    if (box->ChoseFromList() && form.BitBtn1->isEnabled())
        form.BitBtn1->setFocus();
}

// "Weak cases more often" is wider than the box: the open list is made wide
// enough to read every entry whole, while the box keeps its place.
void WidenListToEntries(QComboBox& box)
{
    const QFontMetrics metrics(box.view()->font());
    int widest = 0;
    for (int i = 0; i < box.count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(box.itemText(i)));
    box.view()->setMinimumWidth(std::max(box.width(), widest + kListPadding));
}

QString RoundText(const TForm1& form)
{
    const std::vector<int> enabled = EnabledCaseNumbers(form);
    const CaseRound& round = form.caseDraw.RoundOf(form.state.currentSet);
    return Tr(form.state.russianInterface, QStringLiteral("Круг %1: %2 из %3"), QStringLiteral("Round %1: %2 of %3"))
        .arg(round.Number())
        .arg(round.Taken(enabled))
        .arg(enabled.size());
}

// Only an open (or once opened) Progress window shows the shares.
void ShowDrawShares(TForm1& form)
{
    if (form.progress && form.progress->WindowMade())
        form.progress->ShowDrawShares(form.state.currentSet, DrawSharesOfActiveSet(form));
}

} // namespace

void BuildDrawChoice(TForm1& form)
{
    auto* box = new DrawChoiceBox(&form);
    box->setObjectName(QStringLiteral("ComboBox1"));
    box->setGeometry(144, 521, 119, 21);
    // As with the check box: a choice made with the mouse leaves the focus
    // on Start, so Space and Enter go on driving the cycle.
    box->setFocusPolicy(Qt::TabFocus);
    form.ComboBox1 = box;
    QObject::connect(box, &QComboBox::activated, &form,
                     [&form](int index) { form.Guarded([&] { ChooseRule(form, index); }); });
}

void ReadDrawChoice(TForm1& form, const SettingsFile& file)
{
    const QSignalBlocker quiet(form.ComboBox1);
    form.ComboBox1->clear();
    form.ComboBox1->addItems(EntryTexts(form.state.russianInterface));
    form.caseDraw.rule = DrawRuleFromText(file.ReadString(kSettings, kDrawKey, QString()));
    form.ComboBox1->setCurrentIndex(static_cast<int>(form.caseDraw.rule));
    ShowChoiceWhole(*form.ComboBox1);
}

void WriteDrawChoice(TForm1& form, SettingsFile& file)
{
    // A value that already reads as the rule is left as the user wrote it:
    // a missing key or one the program does not know (both read as Random),
    // "Weak" for weak.
    if (DrawRuleFromText(file.ReadString(kSettings, kDrawKey, QString())) == form.caseDraw.rule)
        return;
    file.WriteString(kSettings, kDrawKey, DrawRuleText(form.caseDraw.rule));
}

void ShowDrawProgress(TForm1& form)
{
    const bool rounds = form.caseDraw.rule == DrawRule::Round && !form.state.examActive;
    form.StatusBar1->SetPanelNote(kRoundPanel, rounds ? RoundText(form) : QString());
    ShowDrawShares(form);
}

void ConnectDrawToProgress(TForm1& form)
{
    ProgressHub* hub = form.progress;
    if (!hub)
        return;
    QObject::connect(hub, &ProgressHub::DrawSharesWanted, &form, [&form] { ShowDrawShares(form); });
    QObject::connect(&form.session, &TrainingSession::CaseDrawn, hub, &ProgressHub::NoteDrawnCase);
    form.session.LinkHistory([hub](double seconds, bool exam, const QString& scramble,
                                   std::optional<qint64> splitMs) {
        return hub->RecordAccepted(seconds, exam, scramble, splitMs);
    });
}

std::vector<int> EnabledCaseNumbers(const TForm1& form)
{
    std::vector<int> numbers;
    numbers.reserve(form.state.enabledCases.size());
    for (const QString& text : form.state.enabledCases)
        numbers.push_back(text.toInt());
    return numbers;
}

// History.csv is read in the background from the first weak draw on (the
// countdown before it starts the reading): the window never waits for the
// disk. A draw that comes before the reading is done is uniform.
const std::vector<Attempt>* HistoryForDraw(TForm1& form)
{
    if (form.caseDraw.rule != DrawRule::Weak || !form.progress)
        return nullptr;
    HistoryStore& store = form.progress->Store();
    store.StartLoading();
    if (form.session.naming.Active())
        return NamingAnswersForDraw(form);
    return store.IsLoaded() ? &store.Attempts() : nullptr;
}

QHash<int, double> DrawSharesOfActiveSet(TForm1& form)
{
    if (form.caseDraw.rule != DrawRule::Weak || !form.progress || !form.progress->Store().IsLoaded())
        return {};
    const std::vector<Attempt>& history =
        form.session.naming.Active() ? *NamingAnswersForDraw(form) : form.progress->Store().Attempts();
    return form.caseDraw.Shares(form.state.currentSet, EnabledCaseNumbers(form), history, form.env.clock->UtcSeconds());
}
