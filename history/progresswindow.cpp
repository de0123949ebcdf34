#include "history/progresswindow.h"

#include "app/language.h"
#include "resources/resources.h"
#include "trainer/pictures.h"
#include "trainer/seams.h"
#include "trainer/timetext.h"
#include "window/fonts.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHorizontalBarSeries>
#include <QKeyEvent>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QValueAxis>
#include <QVBoxLayout>

namespace {

constexpr int kTextPixels = 11;
constexpr int kTitlePixels = 16;
constexpr size_t kMostLinePoints = 800;
constexpr int kBarPixels = 22;          // height of one case's bar in the set view
const QColor kSingleColour(0x7A, 0x8C, 0xA8);
const QColor kAo5Colour(0xE0, 0x8A, 0x1E);
const QColor kAo12Colour(0x42, 0xBB, 0x42);   // the bar colour of an enabled tile
const QColor kBestColour(0xC8, 0x28, 0x28);

QString TimeOrDash(const std::optional<double>& seconds)
{
    return seconds ? MakeTimeText(*seconds) : QStringLiteral("—");
}

QString CaseName(CaseSet set, int caseNumber) { return SetName(set) + QLatin1Char(' ') + QString::number(caseNumber); }

QImage CasePicture(const QString& programFolder, CaseSet set, int caseNumber)
{
    // The picture the user may have replaced, else the one carried inside.
    QImage picture = ReadPictureFile(InFolder(programFolder, EasyPicturePath(set, caseNumber)));
    if (picture.isNull())
        picture.loadFromData(EmbeddedResource((set == CaseSet::OLL ? QStringLiteral("O") : QStringLiteral("P"))
                                              + QString::number(caseNumber)));
    return picture;
}

QChart* NewChart()
{
    auto* chart = new QChart;
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->legend()->setFont(InterfaceFont(kTextPixels));
    chart->legend()->setAlignment(Qt::AlignBottom);
    return chart;
}

QValueAxis* NewValueAxis(const QString& title)
{
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setTitleFont(InterfaceFont(kTextPixels));
    axis->setLabelsFont(InterfaceFont(kTextPixels));
    return axis;
}

// Adds a series to the chart against both axes.
template <typename Series> Series* AddSeries(QChart* chart, const QString& name, const QColor& colour)
{
    auto* series = new Series;
    series->setName(name);
    series->setColor(colour);
    chart->addSeries(series);
    for (QAbstractAxis* axis : chart->axes())
        series->attachAxis(axis);
    return series;
}

// A dot drawn by the painter: thousands of them stay quick, where one
// graphics item per point would not.
QImage Dot(const QColor& colour)
{
    QImage dot(7, 7, QImage::Format_ARGB32_Premultiplied);
    dot.fill(Qt::transparent);
    QPainter painter(&dot);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(0.5, 0.5, 6, 6));
    return dot;
}

// An average line needs no more points than the chart is wide: beyond
// that, every k-th point draws the same line, and quicker.
QList<QPointF> AveragePoints(const std::vector<std::optional<double>>& averages)
{
    const size_t stride = std::max<size_t>(1, averages.size() / kMostLinePoints);
    QList<QPointF> points;
    for (size_t i = 0; i < averages.size(); ++i)
        if (averages[i] && (i % stride == 0 || i + 1 == averages.size()))
            points.append(QPointF(static_cast<double>(i + 1), *averages[i]));
    return points;
}

// A step line: the best stays level until a faster time replaces it.
QList<QPointF> StepPoints(const std::vector<double>& best)
{
    QList<QPointF> points;
    for (size_t i = 0; i < best.size(); ++i) {
        const double x = static_cast<double>(i + 1);
        if (i == 0 || best[i] != best[i - 1]) {
            if (i > 0)
                points.append(QPointF(x, best[i - 1]));
            points.append(QPointF(x, best[i]));
        }
    }
    if (best.size() > 1)
        points.append(QPointF(static_cast<double>(best.size()), best.back()));
    return points;
}

QString JoinNumbers(const std::vector<int>& numbers)
{
    QStringList texts;
    for (const int number : numbers)
        texts << QString::number(number);
    return texts.join(QStringLiteral(", "));
}

} // namespace

ProgressWindow::ProgressWindow(const HistoryStore& store, QString programFolder, bool russian, QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window),
      store_(store),
      programFolder_(std::move(programFolder)),
      russian_(russian),
      mainWindow_(mainWindow)
{
    setObjectName(QStringLiteral("ProgressWindow"));
    setWindowTitle(Tr(russian_, QStringLiteral("Прогресс"), QStringLiteral("Progress")));
    setFont(InterfaceFont(kTextPixels));
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

void ProgressWindow::BuildControls()
{
    levelFilter = new QComboBox(this);
    levelFilter->setObjectName(QStringLiteral("levelFilter"));
    levelFilter->addItems({Tr(russian_, QStringLiteral("Все уровни"), QStringLiteral("All levels")),
                           Tr(russian_, QStringLiteral("Простой"), QStringLiteral("Easy")),
                           Tr(russian_, QStringLiteral("Сложный"), QStringLiteral("Hard"))});
    recognitionFilter = new QComboBox(this);
    recognitionFilter->setObjectName(QStringLiteral("recognitionFilter"));
    recognitionFilter->addItems({Tr(russian_, QStringLiteral("Любое определение"), QStringLiteral("Any recognition")),
                                 Tr(russian_, QStringLiteral("По верхней грани"), QStringLiteral("Top face")),
                                 Tr(russian_, QStringLiteral("По двум граням"), QStringLiteral("2-side recognition"))});
    setButton = new QPushButton(this);
    setButton->setObjectName(QStringLiteral("setButton"));
    skippedNote = new QLabel(this);
    skippedNote->setObjectName(QStringLiteral("skippedNote"));
    skippedNote->setStyleSheet(QStringLiteral("color: #B00000"));
    pages = new QStackedWidget(this);
    BuildCasePage();
    BuildSetPage();

    // Nothing here takes the keyboard focus: keys reach the window itself,
    // which hands the cycle's keys to the main window.
    for (QWidget* control : {static_cast<QWidget*>(levelFilter), static_cast<QWidget*>(recognitionFilter),
                             static_cast<QWidget*>(setButton)})
        control->setFocusPolicy(Qt::NoFocus);
    connect(levelFilter, &QComboBox::currentIndexChanged, this, &ProgressWindow::Refresh);
    connect(recognitionFilter, &QComboBox::currentIndexChanged, this, &ProgressWindow::Refresh);
    connect(setButton, &QPushButton::clicked, this, [this] { ShowSet(set_); });

    auto* filters = new QHBoxLayout;
    filters->addWidget(levelFilter);
    filters->addWidget(recognitionFilter);
    filters->addStretch(1);
    filters->addWidget(skippedNote);
    filters->addWidget(setButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(pages, 1);
}

void ProgressWindow::BuildCasePage()
{
    auto* page = new QWidget(pages);
    casePicture = new QLabel(page);
    casePicture->setObjectName(QStringLiteral("casePicture"));
    casePicture->setFixedSize(100, 100);
    casePicture->setAlignment(Qt::AlignCenter);
    caseTitle = new QLabel(page);
    caseTitle->setObjectName(QStringLiteral("caseTitle"));
    caseTitle->setFont(InterfaceFont(kTitlePixels, true));
    figures = new QLabel(page);
    figures->setObjectName(QStringLiteral("figures"));
    figures->setTextFormat(Qt::PlainText);
    caseChart = new QChartView(page);
    caseChart->setObjectName(QStringLiteral("caseChart"));
    caseChart->setRenderHint(QPainter::Antialiasing);
    caseChart->setFocusPolicy(Qt::NoFocus);
    caseChart->setChart(BuildCaseChart());

    auto* side = new QVBoxLayout;
    side->addWidget(casePicture);
    side->addWidget(caseTitle);
    side->addWidget(figures);
    side->addStretch(1);
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(side);
    layout->addWidget(caseChart, 1);
    pages->addWidget(page);
}

// The case chart is made once; each drawing replaces its points.
QChart* ProgressWindow::BuildCaseChart()
{
    QChart* chart = NewChart();
    caseAxisX_ = NewValueAxis(Tr(russian_, QStringLiteral("Попытка"), QStringLiteral("Attempt")));
    caseAxisY_ = NewValueAxis(Tr(russian_, QStringLiteral("Секунды"), QStringLiteral("Seconds")));
    caseAxisX_->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(caseAxisX_, Qt::AlignBottom);
    chart->addAxis(caseAxisY_, Qt::AlignLeft);
    // Dots without a line between them.
    singles_ = AddSeries<QLineSeries>(chart, Tr(russian_, QStringLiteral("Время"), QStringLiteral("Single")), kSingleColour);
    singles_->setPen(Qt::NoPen);
    singles_->setMarkerSize(7);
    singles_->setLightMarker(Dot(kSingleColour));
    singles_->setPointsVisible(true);
    ao5_ = AddSeries<QLineSeries>(chart, QStringLiteral("ao5"), kAo5Colour);
    ao12_ = AddSeries<QLineSeries>(chart, QStringLiteral("ao12"), kAo12Colour);
    best_ = AddSeries<QLineSeries>(chart, Tr(russian_, QStringLiteral("Лучшее"), QStringLiteral("Best so far")), kBestColour);
    for (QLegendMarker* marker : chart->legend()->markers(singles_))
        marker->setBrush(kSingleColour);   // the series has no pen to take the colour from
    return chart;
}

void ProgressWindow::BuildSetPage()
{
    auto* page = new QWidget(pages);
    setTitle = new QLabel(page);
    setTitle->setObjectName(QStringLiteral("setTitle"));
    setTitle->setFont(InterfaceFont(kTitlePixels, true));
    setChart = new QChartView;
    setChart->setObjectName(QStringLiteral("setChart"));
    setChart->setFocusPolicy(Qt::NoFocus);
    setChart->setChart(NewChart());
    setScroll = new QScrollArea(page);
    setScroll->setObjectName(QStringLiteral("setScroll"));
    setScroll->setFocusPolicy(Qt::NoFocus);
    setScroll->setWidgetResizable(true);
    setScroll->setFrameShape(QFrame::NoFrame);
    setScroll->setWidget(setChart);
    withoutTimes = new QLabel(page);
    withoutTimes->setObjectName(QStringLiteral("withoutTimes"));
    withoutTimes->setWordWrap(true);

    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(setTitle);
    layout->addWidget(setScroll, 1);
    layout->addWidget(withoutTimes);
    pages->addWidget(page);
}

void ProgressWindow::ShowCase(CaseSet set, int caseNumber)
{
    set_ = set;
    caseNumber_ = caseNumber;
    Refresh();
}

void ProgressWindow::ShowSet(CaseSet set)
{
    set_ = set;
    caseNumber_ = 0;
    Refresh();
}

void ProgressWindow::Refresh()
{
    ShowFilters();
    ShowSkippedNote();
    if (ShowingCase())
        DrawCase();
    else
        DrawSet();
}

AttemptFilter ProgressWindow::Filter() const
{
    AttemptFilter filter;
    if (levelFilter->currentIndex() > 0)
        filter.level = levelFilter->currentIndex() == 1 ? Level::Easy : Level::Hard;
    if (set_ == CaseSet::PLL && recognitionFilter->currentIndex() > 0)
        filter.twoSide = recognitionFilter->currentIndex() == 2;
    return filter;
}

// Recognition from two faces exists only for PLL.
void ProgressWindow::ShowFilters()
{
    recognitionFilter->setVisible(set_ == CaseSet::PLL);
    setButton->setVisible(ShowingCase());
    setButton->setText(Tr(russian_, QStringLiteral("Все случаи "), QStringLiteral("All ")) + SetName(set_)
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
    skippedNote->setText(note);
    skippedNote->setVisible(!note.isEmpty());
}

void ProgressWindow::ReplaceChart(QChartView* view, QChart* chart)
{
    QChart* old = view->chart();
    view->setChart(chart);
    delete old;
}

void ProgressWindow::DrawCase()
{
    pages->setCurrentIndex(0);
    const QImage picture = CasePicture(programFolder_, set_, caseNumber_);
    casePicture->setPixmap(QPixmap::fromImage(picture.scaled(casePicture->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    caseTitle->setText(CaseName(set_, caseNumber_));

    const std::vector<int> times = CaseTimes(store_.Attempts(), set_, caseNumber_, Filter());
    const CaseFigures f = FiguresOf(times);
    const std::optional<qint64> last = LastPractised(store_.Attempts(), set_, caseNumber_);
    const auto line = [this](const char* ru, const char* en, const QString& value) {
        return Tr(russian_, QString::fromUtf8(ru), QString::fromUtf8(en)) + QStringLiteral(": ") + value;
    };
    const bool any = f.attempts > 0;
    figures->setText(QStringList{
        line("Попыток", "Attempts", QString::number(f.attempts)),
        line("Лучшее", "Best", any ? MakeTimeText(f.bestSeconds) : QStringLiteral("—")),
        line("Среднее", "Mean", any ? MakeTimeText(f.meanSeconds) : QStringLiteral("—")),
        line("Текущее ao5", "Current ao5", TimeOrDash(f.currentAo5)),
        line("Текущее ao12", "Current ao12", TimeOrDash(f.currentAo12)),
        line("Лучшее ao5", "Best ao5", TimeOrDash(f.bestAo5)),
        line("Последняя тренировка", "Last practised",
             last ? QDateTime::fromSecsSinceEpoch(*last).toString(QStringLiteral("yyyy-MM-dd")) : QStringLiteral("—")),
    }.join(QLatin1Char('\n')));

    caseAxisX_->setRange(0, std::max<double>(5, static_cast<double>(times.size()) + 1));
    const int slowest = times.empty() ? 5000 : *std::max_element(times.begin(), times.end());
    caseAxisY_->setRange(0, slowest / 1000.0 * 1.1);
    caseAxisX_->applyNiceNumbers();
    caseAxisY_->applyNiceNumbers();
    QList<QPointF> singles;
    singles.reserve(static_cast<qsizetype>(times.size()));
    for (size_t i = 0; i < times.size(); ++i)
        singles.append(QPointF(static_cast<double>(i + 1), times[i] / 1000.0));
    singles_->replace(singles);
    ao5_->replace(AveragePoints(RollingAverages(times, 5)));
    ao12_->replace(AveragePoints(RollingAverages(times, 12)));
    best_->replace(StepPoints(BestSoFar(times)));
}

void ProgressWindow::DrawSet()
{
    pages->setCurrentIndex(1);
    setTitle->setText(SetName(set_) + Tr(russian_, QStringLiteral(": среднее последних 12 попыток, медленные сверху"),
                                         QStringLiteral(": mean of the last 12 times, slowest first")));
    const SetRanking ranking = RankSet(store_.Attempts(), set_, Filter());

    QChart* chart = NewChart();
    chart->legend()->hide();
    auto* bars = new QBarSet(QString());
    bars->setColor(kAo12Colour);
    bars->setBorderColor(kAo12Colour);
    QStringList categories;
    barCases_.clear();
    // A horizontal bar chart draws its first bar at the bottom: the slowest go last.
    for (auto it = ranking.slowestFirst.rbegin(); it != ranking.slowestFirst.rend(); ++it) {
        *bars << it->seconds;
        // The mean in the program's own time form, beside the case number.
        categories << QString::number(it->caseNumber) + QStringLiteral("   ") + MakeTimeText(it->seconds);
        barCases_.push_back(it->caseNumber);
    }
    auto* series = new QHorizontalBarSeries;
    series->append(bars);
    series->setBarWidth(0.7);
    chart->addSeries(series);
    auto* caseAxis = new QBarCategoryAxis;
    caseAxis->append(categories);
    caseAxis->setLabelsFont(InterfaceFont(kTextPixels));
    QValueAxis* seconds = NewValueAxis(Tr(russian_, QStringLiteral("Секунды"), QStringLiteral("Seconds")));
    const double slowest = ranking.slowestFirst.empty() ? 5 : ranking.slowestFirst.front().seconds;
    seconds->setRange(0, slowest * 1.1);
    seconds->applyNiceNumbers();
    chart->addAxis(caseAxis, Qt::AlignLeft);
    chart->addAxis(seconds, Qt::AlignBottom);
    series->attachAxis(caseAxis);
    series->attachAxis(seconds);
    connect(bars, &QBarSet::clicked, this, [this](int index) {
        if (index >= 0 && static_cast<size_t>(index) < barCases_.size())
            ShowCase(set_, barCases_[static_cast<size_t>(index)]);
    });
    ReplaceChart(setChart, chart);
    setChart->setMinimumHeight(static_cast<int>(barCases_.size()) * kBarPixels + 90);

    if (ranking.slowestFirst.empty())
        withoutTimes->setText(Tr(russian_, QStringLiteral("Записанных времён пока нет."), QStringLiteral("No times recorded yet.")));
    else if (ranking.withoutTimes.empty())
        withoutTimes->clear();
    else
        withoutTimes->setText(Tr(russian_, QStringLiteral("Без времён: "), QStringLiteral("No times yet: "))
                              + JoinNumbers(ranking.withoutTimes));
    withoutTimes->setVisible(!withoutTimes->text().isEmpty());
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
    if (!mainWindow_->isEnabled())
        return false;
    mainWindow_->activateWindow();
    QWidget* target = mainWindow_->focusWidget() ? mainWindow_->focusWidget() : mainWindow_;
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
