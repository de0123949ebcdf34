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
// rightmost shown tiles, with no margin (made yet or not).
QSize ShownTilesExtent(const TForm1& form)
{
    QSize extent(0, 0);
    for (int n = 1; n <= form.tilesShown; ++n) {
        const QPoint position = TilePosition(n, form.tileGrid);
        extent = extent.expandedTo(QSize(position.x() + kTileWidth, position.y() + kTileHeight));
    }
    return extent;
}

// The last shown tile whose row reaches into the tile area's view.
int LastTileInView(const TForm1& form)
{
    const int bottom = form.ScrollBox1->verticalScrollBar()->value() + form.ScrollBox1->height();
    int last = 0;
    for (int n = 1; n <= form.tilesShown && TilePosition(n, form.tileGrid).y() < bottom; ++n)
        last = n;
    return last;
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
    // A width outside the grid's range keeps the tiles where they are.
    if (const auto grid = ComputeTileGrid(ScrollBox1->width()))
        tileGrid = *grid;
    if (makeTilesUpTo)
        makeTilesUpTo(LastTileInView(*this));
    for (CaseTile* tile : tiles) {
        if (tile)
            tile->move(TilePosition(tile->CaseNumber(), tileGrid));
    }
    tileContent->resize(ShownTilesExtent(*this));
}

CaseTile* TForm1::Tile(int caseNumber) const
{
    if (!tiles[caseNumber - 1] && makeTilesUpTo)
        makeTilesUpTo(caseNumber);
    return tiles[caseNumber - 1];
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
