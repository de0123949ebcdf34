#pragma once
// The chart of one case: every time as a dot (an exam time hollow), ao5,
// ao12 and the best so far as lines, the best single and the best ao5
// marked. A new time is added to the series without drawing the rest again.

#include "history/progressstats.h"

#include <QChartView>

class QLineSeries;
class QScatterSeries;
class QValueAxis;

class CaseChart : public QChartView {
    Q_OBJECT
public:
    CaseChart(bool russian, const QString& fontFamily, QWidget* parent);

    // The filtered attempts of the case, in order, and the recognition split
    // of each (CaseSplits), drawn as a series of its own when any has one.
    void Draw(std::vector<Attempt> attempts, std::vector<std::optional<int>> splits = {});
    void Add(const Attempt& attempt, std::optional<int> split = std::nullopt);
    const std::vector<int>& Times() const { return times_; }
    const std::vector<std::optional<int>>& Splits() const { return splits_; }
    const std::vector<Attempt>& Shown() const { return attempts_; }

    // The dot under a point of the view, if any (for the tooltip).
    std::optional<size_t> DotAt(const QPoint& at) const;
    QString DotText(size_t index) const;

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QFont Font(int pixels) const;
    QValueAxis* NewAxis(const QString& title);
    void FitAxes();
    void MarkBests();
    void ShowLoneAverages();
    void ShowRecognition();
    void ShowDotTip(const QPoint& at, const QPoint& globalAt);
    QPointF Dot(size_t index) const;

    bool russian_;
    QString fontFamily_;
    std::vector<Attempt> attempts_;
    std::vector<int> times_;
    std::vector<std::optional<int>> splits_;   // one per time
    int fastest_ = 0, slowest_ = 0;
    QValueAxis* axisX_ = nullptr;
    QValueAxis* axisY_ = nullptr;
    QLineSeries* singles_ = nullptr;
    QLineSeries* examSingles_ = nullptr;
    QLineSeries* ao5_ = nullptr;
    QLineSeries* ao12_ = nullptr;
    QLineSeries* best_ = nullptr;
    QScatterSeries* bestSingle_ = nullptr;
    QScatterSeries* bestAo5_ = nullptr;
    QLineSeries* recognition_ = nullptr;   // the splits' dots, shown when there are any
};
