#pragma once
// The cube panel of the About window.

#include <QWidget>

// A plain white panel that reports the mouse in its own coordinates. The cube
// view on top of it lets the mouse through, so the panel answers the mouse
// whether or not a cube is drawn.
class CubePanel : public QWidget {
    Q_OBJECT
public:
    explicit CubePanel(QWidget* parent = nullptr);

signals:
    void MouseDown(Qt::MouseButton button, int x, int y);
    void MouseMove(int x, int y);
    void MouseUp(Qt::MouseButton button, int x, int y);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
