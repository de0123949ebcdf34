#include "history/placement.h"

#include <algorithm>

namespace {

QPoint OnScreen(QPoint at, const QSize& frame, const QRect& available)
{
    at.setX(std::max(available.left(), std::min(at.x(), available.right() + 1 - frame.width())));
    at.setY(std::max(available.top(), std::min(at.y(), available.bottom() + 1 - frame.height())));
    return at;
}

long long CoveredArea(const QRect& window, const QList<QRect>& keepVisible)
{
    long long area = 0;
    for (const QRect& part : keepVisible) {
        const QRect covered = window.intersected(part);
        area += static_cast<long long>(covered.width()) * covered.height();
    }
    return area;
}

} // namespace

QPoint PlaceBeside(const QRect& mainFrame, const QSize& frame, const QRect& available, const QList<QRect>& keepVisible)
{
    const int top = mainFrame.top();
    if (mainFrame.right() + frame.width() <= available.right())
        return OnScreen({mainFrame.right() + 1, top}, frame, available);
    if (mainFrame.left() - frame.width() >= available.left())
        return OnScreen({mainFrame.left() - frame.width(), top}, frame, available);
    // Not beside it: the screen's corners and edges against the main window,
    // the first that hides the least.
    const QList<QPoint> candidates{
        {available.right(), top}, {available.left() - frame.width(), top},
        {available.right(), available.bottom()}, {available.left() - frame.width(), available.bottom()},
        {available.right(), available.top() - frame.height()}, {available.left() - frame.width(), available.top() - frame.height()}};
    QPoint best;
    long long leastCovered = -1;
    for (const QPoint& candidate : candidates) {
        const QPoint at = OnScreen(candidate, frame, available);
        const long long covered = CoveredArea(QRect(at, frame), keepVisible);
        if (leastCovered < 0 || covered < leastCovered) {
            leastCovered = covered;
            best = at;
        }
    }
    return best;
}
