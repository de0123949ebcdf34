#include "about/cubespin.h"

#include <cmath>

bool CubeSpin::Press(Qt::MouseButton button, int x, int y, std::uint32_t tick)
{
    if (button != Qt::LeftButton)
        return false;
    DragLastX = DragStartX = x;
    DragStartY = y;
    DragActive = true;
    DragStartTick = tick;
    return true;
}

bool CubeSpin::Move(int x, int y, std::uint32_t tick)
{
    if (!DragActive)
        return false;
    // One degree per pixel about (1, 0, 1); moving right turns the negative way.
    DragRotation.rotate(float(DragLastX - x), 1.0f, 0.0f, 1.0f);
    DragLastX = x;
    // Straight-line pixels from the drag's start per millisecond. The tick
    // count wraps, so the difference is taken modulo 2^32; the +1 is added in
    // double precision, where it cannot wrap to a division by zero.
    const std::uint32_t elapsed = tick - DragStartTick;
    const double dx = double(x) - DragStartX;
    const double dy = double(y) - DragStartY;
    SpinStep = float(std::sqrt(dx * dx + dy * dy) / (double(elapsed) + 1.0));
    return true;
}
