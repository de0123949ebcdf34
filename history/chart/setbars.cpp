#include "history/chart/setbars.h"

#include "history/chart/scales.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace {

const QColor kBarColour(0x42, 0xBB, 0x42);   // the bar colour of an enabled tile
constexpr int kGap = 8;
constexpr int kRightMargin = 24;

} // namespace

SetBars::SetBars(const QFont& font, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("setBars"));
    setFont(font);
    setCursor(Qt::PointingHandCursor);
}

void SetBars::Show(CaseSet set, const std::vector<CaseMean>& slowestFirst)
{
    set_ = set;
    rows_ = slowestFirst;
    const double slowest = rows_.empty() ? 5 : rows_.front().milliseconds / 1000.0;
    const double step = RulerStep(slowest, 8);
    scaleSeconds_ = std::max(step, std::ceil(slowest / step) * step);
    Relabel();
    setFixedHeight(static_cast<int>(rows_.size()) * kBarPixels + 4);
    update();
    emit ScaleChanged();
}

void SetBars::SetShares(const QHash<int, double>& shareByCase)
{
    shares_ = shareByCase;
    Relabel();
    update();
    emit ScaleChanged();
}

void SetBars::Relabel()
{
    labels_.clear();
    labelWidth_ = 0;
    const QFontMetrics metrics(font());
    for (const CaseMean& row : rows_) {
        const QString title = caseTitle_ ? caseTitle_(set_, row.caseNumber)
                                         : SetName(set_) + QLatin1Char(' ') + QString::number(row.caseNumber);
        QString label = title + QStringLiteral(" · ")
                        + MsText(row.milliseconds);
        if (const auto share = shares_.constFind(row.caseNumber); share != shares_.constEnd())
            label += QStringLiteral("   %1 %").arg(std::lround(*share * 100));
        labels_ << label;
        labelWidth_ = std::max(labelWidth_, metrics.horizontalAdvance(label));
    }
    labelWidth_ += 2 * kGap;
}

int SetBars::BarWidth() const { return std::max(10, width() - labelWidth_ - kRightMargin); }

int SetBars::CaseAt(int y) const
{
    const int row = y / kBarPixels;
    return y >= 0 && row < static_cast<int>(rows_.size()) ? rows_[static_cast<size_t>(row)].caseNumber : 0;
}

QSize SetBars::sizeHint() const { return {labelWidth_ + 200, static_cast<int>(rows_.size()) * kBarPixels + 4}; }

void SetBars::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    for (size_t i = 0; i < rows_.size(); ++i) {
        const int top = static_cast<int>(i) * kBarPixels;
        painter.setPen(Qt::black);
        painter.drawText(QRect(0, top, labelWidth_ - kGap, kBarPixels), Qt::AlignRight | Qt::AlignVCenter,
                         labels_[static_cast<int>(i)]);
        const double share = rows_[i].milliseconds / 1000.0 / scaleSeconds_;
        const int length = std::max(1, static_cast<int>(std::lround(share * BarWidth())));
        painter.fillRect(QRect(labelWidth_, top + 3, length, kBarPixels - 6), kBarColour);
    }
}

void SetBars::mousePressEvent(QMouseEvent* event)
{
    if (const int caseNumber = CaseAt(event->position().toPoint().y()))
        emit CaseClicked(caseNumber);
}

void SetBars::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    emit ScaleChanged();
}

SecondsRuler::SecondsRuler(const SetBars& bars, const QString& title, const QFont& font, QWidget* parent)
    : QWidget(parent), bars_(bars), title_(title)
{
    setObjectName(QStringLiteral("secondsRuler"));
    setFont(font);
    setFixedHeight(QFontMetrics(font).height() * 2 + 12);
    connect(&bars, &SetBars::ScaleChanged, this, qOverload<>(&QWidget::update));
}

QSize SecondsRuler::sizeHint() const { return {200, height()}; }

// Lined up with the bars, wherever the scrolled area puts them.
void SecondsRuler::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const int left = bars_.mapTo(window(), QPoint(bars_.BarLeft(), 0)).x() - mapTo(window(), QPoint()).x();
    const int width = bars_.BarWidth();
    const double scale = bars_.ScaleSeconds();
    const double step = RulerStep(scale, std::max(2, width / 60));
    const int lineHeight = QFontMetrics(font()).height();
    painter.setPen(Qt::black);
    painter.drawLine(left, 2, left + width, 2);
    for (int i = 0; i * step <= scale + 1e-9; ++i) {
        const double seconds = i * step;
        const int x = left + static_cast<int>(std::lround(seconds / scale * width));
        painter.drawLine(x, 2, x, 6);
        // The comma of the tiles, and no more decimals than the step needs.
        const QString text = QString::number(seconds, 'f', step < 1 ? 1 : 0).replace(QLatin1Char('.'), QLatin1Char(','));
        painter.drawText(QRect(x - 30, 7, 60, lineHeight), Qt::AlignHCenter | Qt::AlignTop, text);
    }
    painter.drawText(QRect(left, 7 + lineHeight, width, lineHeight), Qt::AlignHCenter | Qt::AlignTop, title_);
}
