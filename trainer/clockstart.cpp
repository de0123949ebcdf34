// Where the stopwatch's time starts: when the frame that shows the question
// has been handed to the window system.

#include "window/tform1.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

namespace {

// The requests that carry the frame leave for the X server now, not when the
// event loop next comes round to it.
void FlushToWindowSystem()
{
    if (const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        if (xcb_connection_t* connection = x11->connection())
            xcb_flush(connection);
    }
}

} // namespace

// The picture, or under a setup scramble the empty frame that ends the
// countdown, is painted at once with everything else that changed and the
// window's backing store flushed to the window system; only then is the
// clock read. The cuber is not charged for the decoding, the paint and the
// flush, however long a loaded machine takes over them.
void StartClockWhenShown(TForm1& form)
{
    // A repaint paints every dirty part of the window, not only the picture
    // frame, and hands the frame over before it returns.
    form.Image1->repaint();
    FlushToWindowSystem();
    form.state.startTimeUs = form.env.clock->MonotonicUs();
}
