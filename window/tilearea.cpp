// The window's layout: the tile area beside the training column, the status
// bar along the bottom, the tiles in a grid, and scrolling with the wheel.
#include "window/tform1.h"

#include "window/layout.h"
#include "window/tileareaevents.h"

#include <QLabel>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

namespace {

// The window's direct child at a point of its client area, topmost first,
// disabled controls included.
QWidget* DirectChildAt(QWidget* window, const QPoint& point)
{
    const QObjectList& children = window->children();
    for (auto it = children.crbegin(); it != children.crend(); ++it) {
        auto* child = qobject_cast<QWidget*>(*it);
        if (child && !child->isWindow() && !child->isHidden() && child->geometry().contains(point))
            return child;
    }
    return nullptr;
}

// The content extends to the right and bottom edges of the lowest and
// rightmost visible tiles, with no margin.
QSize VisibleTilesExtent(const std::array<CaseTile*, kMaxCases>& tiles)
{
    QSize extent(0, 0);
    for (const CaseTile* tile : tiles) {
        if (tile->isHidden())
            continue;
        extent = extent.expandedTo(QSize(tile->geometry().right() + 1, tile->geometry().bottom() + 1));
    }
    return extent;
}

}   // namespace

void LayOutWindow(TForm1& form)
{
    QScrollBar* scroll = form.ScrollBox1->verticalScrollBar();
    const int remembered = scroll->value();
    scroll->setValue(0);
    // The status bar's height is kept free even while the bar is hidden.
    const int statusHeight = form.StatusBar1->height();
    form.ScrollBox1->setGeometry(kTrainingColumnWidth, 0, form.width() - kTrainingColumnWidth, form.height() - statusHeight);
    form.StatusBar1->setGeometry(0, form.height() - statusHeight, form.width(), statusHeight);
    form.ScrollBox1Resize();
    scroll->setValue(remembered);
    form.StatusBar1->SetPanelWidth(3, form.frameGeometry().width() - kStatusPanelOffset);
}

void TForm1::ScrollBox1Resize()
{
    if (const auto grid = ComputeTileGrid(ScrollBox1->width())) {
        for (CaseTile* tile : tiles)
            tile->move(TilePosition(tile->CaseNumber(), *grid));
    }
    tileContent->resize(VisibleTilesExtent(tiles));
}

void TForm1::FormMouseWheel(int delta, const QPoint& globalPos)
{
    QWidget* child = DirectChildAt(this, mapFromGlobal(globalPos));
    if (!child || child->objectName() != QLatin1String("ScrollBox1"))
        return;
    QScrollBar* scroll = ScrollBox1->verticalScrollBar();
    scroll->setValue(scroll->value() + (delta < 0 ? kWheelStep : -kWheelStep));
}

void TForm1::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayOutWindow(*this);
}

// ---- TileAreaEvents ---------------------------------------------------------------

TileAreaEvents::TileAreaEvents(TForm1* form) : QObject(form), form_(form)
{
    setObjectName(QStringLiteral("TileAreaEvents"));
    form->ScrollBox1->installEventFilter(this);
    form->ScrollBox1->viewport()->installEventFilter(this);
    form->ScrollBox1->verticalScrollBar()->installEventFilter(this);
    form->ScrollBox1->horizontalScrollBar()->installEventFilter(this);
}

bool TileAreaEvents::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == form_->ScrollBox1 && event->type() == QEvent::Resize) {
        form_->ScrollBox1Resize();
        return false;
    }
    if (event->type() != QEvent::Wheel)
        return false;
    const auto* wheel = static_cast<QWheelEvent*>(event);
    const int delta = wheel->angleDelta().y();
    if (delta != 0)
        form_->FormMouseWheel(delta, wheel->globalPosition().toPoint());
    return true;
}

QLabel* ExamLabel(const TForm1& form, int caseNumber)
{
    return form.findChild<QLabel*>(QStringLiteral("exl%1").arg(caseNumber));
}
