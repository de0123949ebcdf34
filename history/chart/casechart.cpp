#include "history/chart/casechart.h"

#include "core/language.h"
#include "history/chart/scales.h"

#include <QDateTime>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QPainter>
#include <QScatterSeries>
#include <QToolTip>
#include <QValueAxis>
#include <cmath>

namespace {

constexpr int kTextPixels = 11;
constexpr size_t kMostLinePoints = 800;
constexpr int kDotPixels = 7;
constexpr int kLoneAveragePixels = 9;
constexpr double kHoverPixels = 5;
constexpr int kLegendRowPixels = 560;
const QColor kSingleColour(0x7A, 0x8C, 0xA8);
const QColor kAo5Colour(0xE0, 0x8A, 0x1E);
const QColor kAo12Colour(0x42, 0xBB, 0x42);   // the bar colour of an enabled tile
const QColor kBestColour(0xC8, 0x28, 0x28);
const QColor kRecognitionColour(0x8E, 0x44, 0xAD);

double Seconds(int milliseconds) { return milliseconds / 1000.0; }

// A dot drawn by the painter: thousands of them stay quick, where one
// graphics item per point would not. An exam time is a ring.
QImage DotImage(const QColor& colour, bool hollow)
{
    QImage dot(kDotPixels, kDotPixels, QImage::Format_ARGB32_Premultiplied);
    dot.fill(Qt::transparent);
    QPainter painter(&dot);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(hollow ? QPen(colour, 1.5) : QPen(Qt::NoPen));
    painter.setBrush(hollow ? QBrush(Qt::white) : QBrush(colour));
    painter.drawEllipse(QRectF(1, 1, kDotPixels - 2, kDotPixels - 2));
    return dot;
}

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

QLineSeries* AddDots(QChart* chart, const QString& name, bool hollow, const QColor& colour = kSingleColour)
{
    auto* dots = AddSeries<QLineSeries>(chart, name, colour);
    dots->setPen(Qt::NoPen);   // dots without a line between them
    dots->setMarkerSize(kDotPixels);
    dots->setLightMarker(DotImage(colour, hollow));
    dots->setPointsVisible(true);
    for (QLegendMarker* marker : chart->legend()->markers(dots))
        marker->setBrush(hollow ? QBrush(Qt::white) : QBrush(colour));
    return dots;
}

QScatterSeries* AddMark(QChart* chart, const QString& name, const QColor& colour)
{
    auto* mark = AddSeries<QScatterSeries>(chart, name, colour);
    mark->setMarkerSize(13);
    mark->setBrush(Qt::NoBrush);
    mark->setPen(QPen(colour, 2));
    return mark;
}

// An average line needs no more points than the chart is wide: beyond
// that, every k-th point draws the same line, and quicker.
QList<QPointF> AveragePoints(const std::vector<std::optional<int>>& averages)
{
    const size_t stride = std::max<size_t>(1, averages.size() / kMostLinePoints);
    QList<QPointF> points;
    for (size_t i = 0; i < averages.size(); ++i)
        if (averages[i] && (i % stride == 0 || i + 1 == averages.size()))
            points.append(QPointF(static_cast<double>(i + 1), Seconds(*averages[i])));
    return points;
}

// A step line: the best stays level until a faster time replaces it.
QList<QPointF> StepPoints(const std::vector<int>& best)
{
    QList<QPointF> points;
    for (size_t i = 0; i < best.size(); ++i) {
        const double x = static_cast<double>(i + 1);
        if (i > 0 && best[i] != best[i - 1])
            points.append(QPointF(x, Seconds(best[i - 1])));
        if (i == 0 || best[i] != best[i - 1] || i + 1 == best.size())
            points.append(QPointF(x, Seconds(best[i])));
    }
    return points;
}

void AppendAverage(QLineSeries* series, const std::vector<int>& times, size_t n)
{
    if (times.size() >= n)
        series->append(static_cast<double>(times.size()), Seconds(TrimmedMeanMs(times, times.size() - n, n)));
}

} // namespace

CaseChart::CaseChart(bool russian, const QString& fontFamily, QWidget* parent)
    // Made with its chart: a chart given later would leave the view's own
    // first chart to nobody.
    : QChartView(new QChart, parent), russian_(russian), fontFamily_(fontFamily)
{
    setObjectName(QStringLiteral("caseChart"));
    setRenderHint(QPainter::Antialiasing);
    setFocusPolicy(Qt::NoFocus);
    viewport()->setMouseTracking(true);   // the tooltip of the dot under the pointer
    QChart* chart = this->chart();
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->legend()->setFont(Font(kTextPixels));
    chart->legend()->setAlignment(Qt::AlignBottom);
    // The comma of the tiles on the axes, in both languages.
    QLocale comma(QLocale::Russian);
    comma.setNumberOptions(QLocale::OmitGroupSeparator);
    chart->setLocale(comma);
    chart->setLocalizeNumbers(true);
    axisX_ = NewAxis(Tr(russian_, QStringLiteral("Попытка"), QStringLiteral("Attempt")));
    axisY_ = NewAxis(Tr(russian_, QStringLiteral("Секунды"), QStringLiteral("Seconds")));
    axisX_->setLabelFormat(QStringLiteral("%.0f"));
    axisY_->setLabelFormat(QStringLiteral("%.1f"));
    axisY_->setTickType(QValueAxis::TicksDynamic);
    chart->addAxis(axisX_, Qt::AlignBottom);
    chart->addAxis(axisY_, Qt::AlignLeft);
    singles_ = AddDots(chart, Tr(russian_, QStringLiteral("Время"), QStringLiteral("Single")), false);
    examSingles_ = AddDots(chart, Tr(russian_, QStringLiteral("Экзамен"), QStringLiteral("Exam")), true);
    ao5_ = AddSeries<QLineSeries>(chart, QStringLiteral("ao5"), kAo5Colour);
    ao12_ = AddSeries<QLineSeries>(chart, QStringLiteral("ao12"), kAo12Colour);
    for (QLineSeries* average : {ao5_, ao12_})
        average->setMarkerSize(kLoneAveragePixels);
    best_ = AddSeries<QLineSeries>(chart, Tr(russian_, QStringLiteral("Лучшее"), QStringLiteral("Best so far")), kBestColour);
    bestSingle_ = AddMark(chart, Tr(russian_, QStringLiteral("Лучшее время"), QStringLiteral("Best single")), kBestColour);
    bestAo5_ = AddMark(chart, Tr(russian_, QStringLiteral("Лучшее ao5"), QStringLiteral("Best ao5")), kAo5Colour);
    recognition_ = AddDots(chart, Tr(russian_, QStringLiteral("Распознавание"), QStringLiteral("Recognition")), false,
                           kRecognitionColour);
    ShowRecognition();
}

QFont CaseChart::Font(int pixels) const
{
    QFont font(fontFamily_);
    font.setPixelSize(pixels);
    return font;
}

QValueAxis* CaseChart::NewAxis(const QString& title)
{
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setTitleFont(Font(kTextPixels));
    axis->setLabelsFont(Font(kTextPixels));
    return axis;
}

QPointF CaseChart::Dot(size_t index) const
{
    return QPointF(static_cast<double>(index + 1), Seconds(times_[index]));
}

void CaseChart::Draw(std::vector<Attempt> attempts, std::vector<std::optional<int>> splits)
{
    attempts_ = std::move(attempts);
    times_ = TimesOf(attempts_);
    splits_ = std::move(splits);
    splits_.resize(times_.size());
    fastest_ = times_.empty() ? 0 : *std::min_element(times_.begin(), times_.end());
    slowest_ = times_.empty() ? 0 : *std::max_element(times_.begin(), times_.end());
    QList<QPointF> singles, exams, recognition;
    singles.reserve(static_cast<qsizetype>(times_.size()));
    for (size_t i = 0; i < attempts_.size(); ++i) {
        (attempts_[i].exam ? exams : singles).append(Dot(i));
        if (splits_[i]) {
            recognition.append(QPointF(static_cast<double>(i + 1), Seconds(*splits_[i])));
            fastest_ = std::min(fastest_, *splits_[i]);
        }
    }
    FitAxes();
    singles_->replace(singles);
    examSingles_->replace(exams);
    recognition_->replace(recognition);
    ShowRecognition();
    ao5_->replace(AveragePoints(RollingAverages(times_, 5)));
    ao12_->replace(AveragePoints(RollingAverages(times_, 12)));
    best_->replace(StepPoints(BestSoFar(times_)));
    ShowLoneAverages();
    MarkBests();
}

void CaseChart::Add(const Attempt& attempt, std::optional<int> split)
{
    const int previousBest = times_.empty() ? 0 : *std::min_element(times_.begin(), times_.end());
    attempts_.push_back(attempt);
    times_.push_back(attempt.milliseconds);
    splits_.push_back(split);
    const int fastest = split ? std::min(*split, attempt.milliseconds) : attempt.milliseconds;
    fastest_ = times_.size() == 1 ? fastest : std::min(fastest_, fastest);
    slowest_ = std::max(slowest_, attempt.milliseconds);
    FitAxes();
    (attempt.exam ? examSingles_ : singles_)->append(Dot(times_.size() - 1));
    if (split) {
        recognition_->append(static_cast<double>(times_.size()), Seconds(*split));
        ShowRecognition();
    }
    AppendAverage(ao5_, times_, 5);
    AppendAverage(ao12_, times_, 12);
    const double x = static_cast<double>(times_.size());
    const int best = times_.size() == 1 ? attempt.milliseconds : std::min(previousBest, attempt.milliseconds);
    const int count = best_->count();
    if (count >= 2 && best == previousBest && best_->at(count - 2).y() == Seconds(best))
        best_->replace(count - 1, QPointF(x, Seconds(best)));   // the level line grows longer
    else {
        if (count > 0 && best != previousBest)
            best_->append(x, Seconds(previousBest));
        best_->append(x, Seconds(best));
    }
    ShowLoneAverages();
    MarkBests();
}

// The first average of a case (its fifth or twelfth time) is a single point,
// which a line does not draw: it shows as a dot of its line's colour until
// the next average joins it.
void CaseChart::ShowLoneAverages()
{
    for (QLineSeries* average : {ao5_, ao12_}) {
        const bool lone = average->count() == 1;
        if (average->pointsVisible() != lone)
            average->setPointsVisible(lone);
    }
}

// The recognition series and its legend entry only when some time has a
// split: a case timed whole looks as it always did.
void CaseChart::ShowRecognition()
{
    const bool any = recognition_->count() > 0;
    if (recognition_->isVisible() != any)
        recognition_->setVisible(any);
    for (QLegendMarker* marker : chart()->legend()->markers(recognition_))
        marker->setVisible(any);
}

// The attempts from 0 with room to grow, so that a new time seldom moves the
// axis; the seconds from just under the fastest time, with a grid that reads
// a time to a tenth.
void CaseChart::FitAxes()
{
    const double count = static_cast<double>(times_.size());
    const double xStep = RulerStep(std::max(5.0, count * 1.1), 8);
    const double xMax = std::ceil((count + 1) / xStep) * xStep;
    if (axisX_->max() != xMax || axisX_->min() != 0) {
        axisX_->setRange(0, xMax);
        axisX_->setTickCount(static_cast<int>(xMax / xStep) + 1);
    }
    const double low = times_.empty() ? 0 : std::max(0.0, std::floor(Seconds(fastest_) * 10 - 1) / 10);
    const double high = times_.empty() ? 5 : std::ceil(Seconds(slowest_) * 10 + 1) / 10;
    if (axisY_->min() == low && axisY_->max() == high)
        return;
    const double step = RulerStep(high - low, 10);
    axisY_->setRange(low, high);
    axisY_->setTickAnchor(std::ceil(low / step) * step);
    axisY_->setTickInterval(step);
    axisY_->setMinorTickCount(step <= 1 + 1e-9 ? std::max(0, static_cast<int>(std::lround(step * 10)) - 1) : 1);
}

// Each mark moves only when a better time or average comes: an ordinary new
// time leaves both series alone.
void CaseChart::MarkBests()
{
    const CaseFigures figures = FiguresOf(times_);
    const auto mark = [](QScatterSeries* series, std::optional<QPointF> at) {
        const std::optional<QPointF> now = series->count() ? std::optional(series->at(0)) : std::nullopt;
        if (now == at)
            return;
        series->clear();
        if (at)
            series->append(*at);
    };
    mark(bestSingle_, figures.attempts > 0 ? std::optional(Dot(figures.bestSingleIndex)) : std::nullopt);
    mark(bestAo5_, figures.bestAo5 ? std::optional(QPointF(static_cast<double>(*figures.bestAo5Index + 1),
                                                           Seconds(*figures.bestAo5)))
                                   : std::nullopt);
}

std::optional<size_t> CaseChart::DotAt(const QPoint& at) const
{
    if (times_.empty())
        return std::nullopt;
    const QPointF scene = mapToScene(at);
    const QPointF value = chart()->mapToValue(chart()->mapFromScene(scene), singles_);
    const long long nearest = std::llround(value.x()) - 1;
    std::optional<size_t> found;
    double closest = kHoverPixels;
    // The dots are one attempt apart: only the few around the pointer can be under it.
    for (long long i = nearest - 3; i <= nearest + 3; ++i) {
        if (i < 0 || i >= static_cast<long long>(times_.size()))
            continue;
        const QPointF dot = chart()->mapToPosition(Dot(static_cast<size_t>(i)), singles_);
        const double distance = QLineF(dot, chart()->mapFromScene(scene)).length();
        if (distance <= closest) {
            closest = distance;
            found = static_cast<size_t>(i);
        }
    }
    return found;
}

QString CaseChart::DotText(size_t index) const
{
    const Attempt& attempt = attempts_[index];
    QString text = MsText(attempt.milliseconds) + QStringLiteral(" · ")
                   + QDateTime::fromSecsSinceEpoch(attempt.utcSeconds).toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    if (attempt.exam)
        text += Tr(russian_, QStringLiteral(" · экзамен"), QStringLiteral(" · exam"));
    if (index < splits_.size() && splits_[index])
        text += Tr(russian_, QStringLiteral(" · распознавание "), QStringLiteral(" · recognition ")) + MsText(*splits_[index]);
    return text;
}

// Seven names do not fit in one row below a narrow chart (Russian ones least
// of all): there the legend stands beside it as a column.
void CaseChart::resizeEvent(QResizeEvent* event)
{
    const Qt::Alignment side = event->size().width() < kLegendRowPixels ? Qt::AlignRight : Qt::AlignBottom;
    if (chart()->legend()->alignment() != side)
        chart()->legend()->setAlignment(side);
    QChartView::resizeEvent(event);
}

void CaseChart::ShowDotTip(const QPoint& at, const QPoint& globalAt)
{
    if (const std::optional<size_t> dot = DotAt(at))
        QToolTip::showText(globalAt, DotText(*dot), this);
    else
        QToolTip::hideText();
}

void CaseChart::mouseMoveEvent(QMouseEvent* event)
{
    ShowDotTip(event->position().toPoint(), event->globalPosition().toPoint());
    QChartView::mouseMoveEvent(event);
}

// The tooltip event that comes when the pointer rests: the graphics view
// would hand it to the chart's items, which have no tooltip, and so hide the
// dot's tooltip a moment after it appeared.
bool CaseChart::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QChartView::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    ShowDotTip(help->pos(), help->globalPos());
    return true;
}
