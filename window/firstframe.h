#pragma once
// Work the first frame of a window has no use for, run just after that frame:
// once the window's first paint is over, its backing store has been handed to
// the window system, and a zero timer then runs the work before any later
// event of the window.

#include <functional>

class QWidget;

// Runs `work` once, after the first paint of `window` (a top-level widget);
// never when the window is destroyed before it is painted.
void AfterFirstFrame(QWidget* window, std::function<void()> work);
