#include "history/chart/progresswindow.h"

#include "core/language.h"
#include "history/chart/casechart.h"
#include "history/chart/scales.h"
#include "history/chart/setbars.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

constexpr int kTextPixels = 11;
constexpr int kTitlePixels = 16;

QString TimeOrDash(const std::optional<int>& milliseconds)
{
    return milliseconds ? MsText(*milliseconds) : QStringLiteral("—");
}

QString JoinNumbers(const std::vector<int>& numbers, const std::function<QString(int)>& title)
{
    QStringList texts;
    for (const int number : numbers)
        texts << title(number);
    return texts.join(QStringLiteral(", "));
}

QLabel* NewLabel(const QString& name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    return label;
}

} // namespace

ProgressWindow::ProgressWindow(const ProgressWindowContext& context)
    // A tool window of the main window: above it, never buried by a click on it.
    : QWidget(context.mainWindow, Qt::Tool),
      context_(context),
      store_(*context.store),
      russian_(context.russian)
{
    setObjectName(QStringLiteral("ProgressWindow"));
    setWindowTitle(Tr(russian_, QStringLiteral("Прогресс"), QStringLiteral("Progress")));
    setFont(Font(kTextPixels));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    // Opening it leaves the keyboard with the main window.
    setAttribute(Qt::WA_ShowWithoutActivating);
    resize(760, 540);
    setMinimumSize(520, 400);
    BuildControls();
}

QFont ProgressWindow::Font(int pixels, bool bold) const
{
    QFont font(context_.fontFamily);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void ProgressWindow::BuildControls()
{
    levelFilter_ = new QComboBox(this);
    levelFilter_->setObjectName(QStringLiteral("levelFilter"));
    levelFilter_->addItems({Tr(russian_, QStringLiteral("Все уровни"), QStringLiteral("All levels")),
                            Tr(russian_, QStringLiteral("Простой"), QStringLiteral("Easy")),
                            Tr(russian_, QStringLiteral("Сложный"), QStringLiteral("Hard"))});
    recognitionFilter_ = new QComboBox(this);
    recognitionFilter_->setObjectName(QStringLiteral("recognitionFilter"));
    recognitionFilter_->addItems({Tr(russian_, QStringLiteral("Любое определение"), QStringLiteral("Any recognition")),
                                  Tr(russian_, QStringLiteral("По верхней грани"), QStringLiteral("Top face")),
                                  Tr(russian_, QStringLiteral("По двум граням"), QStringLiteral("2-side recognition"))});
    examBox_ = new QCheckBox(Tr(russian_, QStringLiteral("С экзаменом"), QStringLiteral("With exam times")), this);
    examBox_->setObjectName(QStringLiteral("examBox"));
    setButton_ = new QPushButton(this);
    setButton_->setObjectName(QStringLiteral("setButton"));
    recognitionButton_ = new QPushButton(Tr(russian_, QStringLiteral("Распознавание"), QStringLiteral("Recognition")), this);
    recognitionButton_->setObjectName(QStringLiteral("recognitionButton"));
    skippedNote_ = NewLabel(QStringLiteral("skippedNote"), this);
    skippedNote_->setStyleSheet(QStringLiteral("color: #B00000"));
    skippedNote_->setWordWrap(true);
    pages_ = new QStackedWidget(this);
    pages_->setObjectName(QStringLiteral("pages"));
    BuildCasePage();
    BuildSetPage();
    BuildReadingPage();
    BuildRecognitionPage();

    // Nothing here takes the keyboard focus: keys reach the window itself,
    // which hands the cycle's keys to the main window.
    for (QWidget* control : std::initializer_list<QWidget*>{levelFilter_, recognitionFilter_, examBox_, setButton_,
                                                                    recognitionButton_})
        control->setFocusPolicy(Qt::NoFocus);
    connect(levelFilter_, &QComboBox::currentIndexChanged, this, &ProgressWindow::Refresh);
    connect(recognitionFilter_, &QComboBox::currentIndexChanged, this, &ProgressWindow::Refresh);
    connect(examBox_, &QCheckBox::toggled, this, &ProgressWindow::Refresh);
    connect(setButton_, &QPushButton::clicked, this, [this] { ShowSet(set_); });
    connect(recognitionButton_, &QPushButton::clicked, this, [this] { ShowRecognition(set_); });

    auto* filters = new QHBoxLayout;
    filters->addWidget(levelFilter_);
    filters->addWidget(recognitionFilter_);
    filters->addWidget(examBox_);
    filters->addStretch(1);
    filters->addWidget(recognitionButton_);
    filters->addWidget(setButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(skippedNote_);
    layout->addWidget(pages_, 1);
}

void ProgressWindow::BuildCasePage()
{
    auto* page = new QWidget(pages_);
    casePicture_ = NewLabel(QStringLiteral("casePicture"), page);
    casePicture_->setFixedSize(100, 100);
    casePicture_->setAlignment(Qt::AlignCenter);
    caseTitle_ = NewLabel(QStringLiteral("caseTitle"), page);
    caseTitle_->setFont(Font(kTitlePixels, true));
    figures_ = NewLabel(QStringLiteral("figures"), page);
    figures_->setTextFormat(Qt::PlainText);
    caseChart_ = new CaseChart(russian_, context_.fontFamily, page);
    noTimes_ = NewLabel(QStringLiteral("noTimes"), page);
    noTimes_->setText(Tr(russian_, QStringLiteral("Пока нет времён"), QStringLiteral("No times yet")));
    noTimes_->setAlignment(Qt::AlignCenter);
    noTimes_->setFont(Font(kTitlePixels));
    caseChartOrNone_ = new QStackedWidget(page);
    caseChartOrNone_->addWidget(caseChart_);
    caseChartOrNone_->addWidget(noTimes_);

    auto* side = new QVBoxLayout;
    side->addWidget(casePicture_);
    side->addWidget(caseTitle_);
    side->addWidget(figures_);
    side->addStretch(1);
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(side);
    layout->addWidget(caseChartOrNone_, 1);
    pages_->addWidget(page);
}

void ProgressWindow::BuildSetPage()
{
    auto* page = new QWidget(pages_);
    setTitle_ = NewLabel(QStringLiteral("setTitle"), page);
    setTitle_->setFont(Font(kTitlePixels, true));
    setTitle_->setWordWrap(true);
    setBars_ = new SetBars(Font(kTextPixels), page);
    setBars_->SetCaseTitles([this](CaseSet set, int n) { return CaseTitleOf(set, n); });
    setScroll_ = new QScrollArea(page);
    setScroll_->setObjectName(QStringLiteral("setScroll"));
    setScroll_->setFocusPolicy(Qt::NoFocus);
    setScroll_->setWidgetResizable(true);
    setScroll_->setFrameShape(QFrame::NoFrame);
    setScroll_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setScroll_->setWidget(setBars_);
    ruler_ = new SecondsRuler(*setBars_, Tr(russian_, QStringLiteral("Секунды"), QStringLiteral("Seconds")),
                              Font(kTextPixels), page);
    withoutTimes_ = NewLabel(QStringLiteral("withoutTimes"), page);
    withoutTimes_->setWordWrap(true);
    connect(setBars_, &SetBars::CaseClicked, this, [this](int caseNumber) { ShowCase(set_, caseNumber); });

    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(setTitle_);
    layout->addWidget(setScroll_, 1);
    layout->addWidget(ruler_);
    layout->addWidget(withoutTimes_);
    pages_->addWidget(page);
}

void ProgressWindow::BuildReadingPage()
{
    auto* page = new QWidget(pages_);
    auto* text = NewLabel(QStringLiteral("readingNote"), page);
    text->setText(Tr(russian_, QStringLiteral("Чтение History.csv…"), QStringLiteral("Reading History.csv…")));
    text->setAlignment(Qt::AlignCenter);
    readingBar_ = new QProgressBar(page);
    readingBar_->setObjectName(QStringLiteral("readingBar"));
    readingBar_->setRange(0, 1000);
    readingBar_->setTextVisible(false);
    auto* layout = new QVBoxLayout(page);
    layout->addStretch(1);
    layout->addWidget(text);
    layout->addWidget(readingBar_);
    layout->addStretch(1);
    pages_->addWidget(page);
}

void ProgressWindow::BuildRecognitionPage()
{
    auto* page = new QWidget(pages_);
    recognitionTitle_ = NewLabel(QStringLiteral("recognitionTitle"), page);
    recognitionTitle_->setFont(Font(kTitlePixels, true));
    recognitionTitle_->setWordWrap(true);
    recognitionList_ = new QListWidget(page);
    recognitionList_->setObjectName(QStringLiteral("recognitionList"));
    recognitionList_->setFocusPolicy(Qt::NoFocus);
    recognitionList_->setFrameShape(QFrame::NoFrame);
    recognitionList_->setSpacing(2);
    recognitionList_->viewport()->setCursor(Qt::PointingHandCursor);   // a row opens its case, as a bar does
    neverNamed_ = NewLabel(QStringLiteral("neverNamed"), page);
    neverNamed_->setWordWrap(true);
    connect(recognitionList_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { ShowCase(set_, item->data(Qt::UserRole).toInt()); });
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(recognitionTitle_);
    layout->addWidget(recognitionList_, 1);
    layout->addWidget(neverNamed_);
    pages_->addWidget(page);
}

void ProgressWindow::ShowCase(CaseSet set, int caseNumber)
{
    set_ = set;
    caseNumber_ = caseNumber;
    recognition_ = false;
    Refresh();
}

void ProgressWindow::ShowSet(CaseSet set)
{
    set_ = set;
    caseNumber_ = 0;
    recognition_ = false;
    Refresh();
}

void ProgressWindow::ShowRecognition(CaseSet set)
{
    set_ = set;
    caseNumber_ = 0;
    recognition_ = true;
    Refresh();
}

void ProgressWindow::ShowReadingShare(double share)
{
    readingBar_->setValue(static_cast<int>(share * 1000));
}

void ProgressWindow::SetDrawShares(const QHash<int, double>& shareByCase) { setBars_->SetShares(shareByCase); }

void ProgressWindow::Refresh()
{
    ShowFilters();
    ShowSkippedNote();
    if (!store_.IsLoaded())
        pages_->setCurrentIndex(ReadingPage);
    else if (ShowingCase())
        DrawCase();
    else if (recognition_)
        DrawRecognition();
    else
        DrawSet();
}

// The store has taken the attempt with its split or its answer by now.
void ProgressWindow::AddAttempt(const Attempt& attempt)
{
    if (!store_.IsLoaded() || attempt.set != set_ || !Filter().Matches(attempt))
        return;
    if ((attempt.mode == AttemptMode::Name) != recognition_)
        return;   // a drill answer is no time, a time no answer
    if (recognition_) {
        DrawRecognition();
    } else if (!ShowingCase()) {
        DrawSet();
    } else if (attempt.caseNumber == caseNumber_) {
        const std::vector<AttemptSplit>& splits = store_.Splits();
        const bool marked = attempt.mode == AttemptMode::Split && !splits.empty()
                            && splits.back().attempt + 1 == store_.Attempts().size();
        caseChart_->Add(attempt, marked ? std::optional<int>(splits.back().splitMilliseconds) : std::nullopt);
        ShowFigures();
    }
}

AttemptFilter ProgressWindow::Filter() const
{
    AttemptFilter filter;
    if (levelFilter_->currentIndex() > 0)
        filter.level = levelFilter_->currentIndex() == 1 ? Level::Easy : Level::Hard;
    if (set_ == CaseSet::PLL && recognitionFilter_->currentIndex() > 0)
        filter.twoSide = recognitionFilter_->currentIndex() == 2;
    filter.withExam = examBox_->isChecked();
    return filter;
}

// "Hard · 2-side recognition · with exam times", or nothing without a filter.
QString ProgressWindow::FilterName() const
{
    QStringList parts;
    if (levelFilter_->currentIndex() > 0)
        parts << levelFilter_->currentText();
    if (set_ == CaseSet::PLL && recognitionFilter_->currentIndex() > 0)
        parts << recognitionFilter_->currentText();
    if (examBox_->isChecked())
        parts << Tr(russian_, QStringLiteral("с экзаменом"), QStringLiteral("with exam times"));
    return parts.join(QStringLiteral(" · "));
}

// Recognition from two faces exists only for PLL.
void ProgressWindow::ShowFilters()
{
    recognitionFilter_->setVisible(set_ == CaseSet::PLL);
    setButton_->setVisible(ShowingCase() || recognition_);
    recognitionButton_->setVisible(!recognition_);
    setButton_->setText(Tr(russian_, QStringLiteral("Все случаи "), QStringLiteral("All ")) + SetName(set_)
                        + Tr(russian_, QString(), QStringLiteral(" cases")));
}

void ProgressWindow::ShowSkippedNote()
{
    QString note;
    if (store_.Unreadable())
        note = Tr(russian_, QStringLiteral("Не удалось прочитать %1"), QStringLiteral("Unable to read %1")).arg(store_.Path());
    else if (store_.SkippedLines() > 0)
        note = Tr(russian_, QStringLiteral("Пропущено повреждённых строк History.csv: %1"),
                  QStringLiteral("Damaged lines of History.csv skipped: %1"))
                   .arg(store_.SkippedLines());
    skippedNote_->setText(note);
    skippedNote_->setVisible(!note.isEmpty());
}

QString ProgressWindow::CaseTitleOf(CaseSet set, int caseNumber) const
{
    return context_.caseTitle ? context_.caseTitle(set, caseNumber)
                              : SetName(set) + QLatin1Char(' ') + QString::number(caseNumber);
}

void ProgressWindow::DrawCase()
{
    pages_->setCurrentIndex(CasePage);
    const QImage picture = context_.casePicture ? context_.casePicture(set_, caseNumber_) : QImage();
    casePicture_->setPixmap(QPixmap::fromImage(
        picture.scaled(casePicture_->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    caseTitle_->setText(CaseTitleOf(set_, caseNumber_));
    caseChart_->Draw(CaseAttempts(store_.Attempts(), set_, caseNumber_, Filter()),
                     CaseSplits(store_.Attempts(), store_.Splits(), set_, caseNumber_, Filter()));
    ShowFigures();
}

void ProgressWindow::ShowFigures()
{
    const CaseFigures f = FiguresOf(caseChart_->Times());
    const std::vector<Attempt>& shown = caseChart_->Shown();
    std::optional<qint64> last;
    for (const Attempt& attempt : shown)
        last = std::max(last.value_or(attempt.utcSeconds), attempt.utcSeconds);
    const auto line = [this](const char* ru, const char* en, const QString& value) {
        return Tr(russian_, QString::fromUtf8(ru), QString::fromUtf8(en)) + QStringLiteral(": ") + value;
    };
    const bool any = f.attempts > 0;
    QStringList lines{
        line("Попыток", "Attempts", QString::number(f.attempts)),
        line("Лучшее", "Best", any ? MsText(f.bestMs) : QStringLiteral("—")),
        line("Среднее", "Mean", any ? MsText(f.meanMs) : QStringLiteral("—")),
        line("Текущее ao5", "Current ao5", TimeOrDash(f.currentAo5)),
        line("Текущее ao12", "Current ao12", TimeOrDash(f.currentAo12)),
        line("Лучшее ao5", "Best ao5", TimeOrDash(f.bestAo5)),
        line("Последняя тренировка", "Last practised",
             last ? QDateTime::fromSecsSinceEpoch(*last).toString(QStringLiteral("yyyy-MM-dd")) : QStringLiteral("—")),
    };
    // Without a recognition mark the figures are the times' alone.
    const SplitFigures split = SplitMeans(caseChart_->Times(), caseChart_->Splits());
    if (split.count > 0)
        lines << QString() << line("Распознавание отмечено", "Recognition timed", QString::number(split.count))
              << line("Распознавание", "Recognition", MsText(split.recognitionMs))
              << line("Исполнение", "Execution", MsText(split.executionMs));
    figures_->setText(lines.join(QLatin1Char('\n')));
    caseChartOrNone_->setCurrentWidget(any ? static_cast<QWidget*>(caseChart_) : noTimes_);
}

void ProgressWindow::DrawSet()
{
    pages_->setCurrentIndex(SetPage);
    const QString filter = FilterName();
    setTitle_->setText(SetName(set_) + (filter.isEmpty() ? QString() : QStringLiteral(" · ") + filter)
                       + Tr(russian_, QStringLiteral(": среднее последних 12 попыток, медленные сверху"),
                            QStringLiteral(": mean of the last 12 times, slowest first")));
    const SetRanking ranking = RankSet(store_.Attempts(), set_, Filter());
    setBars_->Show(set_, ranking.slowestFirst);
    ruler_->setVisible(!ranking.slowestFirst.empty());
    if (ranking.slowestFirst.empty())
        withoutTimes_->setText(Tr(russian_, QStringLiteral("Пока нет времён"), QStringLiteral("No times yet")));
    else if (ranking.withoutTimes.empty())
        withoutTimes_->clear();
    else
        withoutTimes_->setText(Tr(russian_, QStringLiteral("Без времён: "), QStringLiteral("No times yet: "))
                               + JoinNumbers(ranking.withoutTimes, [this](int n) { return CaseTitleOf(set_, n); }));
    withoutTimes_->setVisible(!withoutTimes_->text().isEmpty());
}

// "PLL Gc · 1,240 · 3 of 20 missed"
QString ProgressWindow::NamingLine(const NamingFigures& figures) const
{
    const QString answers = QString::number(figures.answers);
    const QString misses = QString::number(figures.misses);
    return CaseTitleOf(set_, figures.caseNumber) + QStringLiteral(" · ") + TimeOrDash(figures.meanMs)
           + QStringLiteral(" · ")
           + (russian_ ? QStringLiteral("пропущено %1 из %2") : QStringLiteral("%1 of %2 missed")).arg(misses, answers);
}

void ProgressWindow::DrawRecognition()
{
    pages_->setCurrentIndex(RecognitionPage);
    const QString filter = FilterName();
    recognitionTitle_->setText(
        SetName(set_) + (filter.isEmpty() ? QString() : QStringLiteral(" · ") + filter)
        + Tr(russian_, QStringLiteral(": называние случая — среднее время верных ответов и промахи, худшие сверху"),
             QStringLiteral(": naming the case — mean time of right answers and misses, worst first")));
    const NamingRanking ranking = RankNaming(store_.Drill(), set_, Filter());
    recognitionList_->clear();
    for (const NamingFigures& figures : ranking.worstFirst) {
        auto* item = new QListWidgetItem(NamingLine(figures), recognitionList_);
        item->setData(Qt::UserRole, figures.caseNumber);
    }
    recognitionList_->setVisible(!ranking.worstFirst.empty());
    if (ranking.worstFirst.empty())
        neverNamed_->setText(Tr(russian_, QStringLiteral("Случаи этого набора ещё не называли"),
                                QStringLiteral("No case of this set named yet")));
    else if (ranking.neverDrilled.empty())
        neverNamed_->clear();
    else
        neverNamed_->setText(Tr(russian_, QStringLiteral("Ещё не называли: "), QStringLiteral("Never named yet: "))
                             + JoinNumbers(ranking.neverDrilled, [this](int n) { return CaseTitleOf(set_, n); }));
    neverNamed_->setVisible(!neverNamed_->text().isEmpty());
}

bool ProgressWindow::ForwardToMainWindow(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        break;
    default:
        return false;
    }
    QWidget* mainWindow = context_.mainWindow;
    if (!mainWindow->isEnabled())
        return false;
    mainWindow->activateWindow();
    QWidget* target = mainWindow->focusWidget() ? mainWindow->focusWidget() : mainWindow;
    QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->nativeScanCode(), event->nativeVirtualKey(),
                   event->nativeModifiers(), event->text(), event->isAutoRepeat(), static_cast<quint16>(event->count()));
    copy.setTimestamp(event->timestamp());
    QCoreApplication::sendEvent(target, &copy);
    return true;
}

void ProgressWindow::keyPressEvent(QKeyEvent* event)
{
    if (!ForwardToMainWindow(event))
        QWidget::keyPressEvent(event);
}

void ProgressWindow::keyReleaseEvent(QKeyEvent* event)
{
    if (!ForwardToMainWindow(event))
        QWidget::keyReleaseEvent(event);
}
