#pragma once
// Watches the tile area for the main window: its resizes run the tile
// layout, and a wheel turn anywhere over it (viewport, tiles, scroll bars)
// goes to the window's wheel handler instead of the scroll area's own
// scrolling, so that one wheel event scrolls by the window's fixed step.

#include <QObject>

class TForm1;

class TileAreaEvents : public QObject {
    Q_OBJECT
public:
    explicit TileAreaEvents(TForm1* form);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TForm1* form_;
};
