#pragma once
// The moment a frame's pixels leave the process for the X server, witnessed
// outside the program's own code: this executable defines the xcb requests
// Qt's backing store sends a frame with (xcb_shm_put_image, xcb_put_image,
// xcb_copy_area) and the socket writes libxcb sends requests with (writev,
// sendmsg), notes what each does and forwards it to the real one.
//
// A frame request is handed over when a write on the program's X connection
// that began after it was queued has sent every byte libxcb gave it: libxcb
// writes its whole output buffer, so that write carried the request. The
// moment is CLOCK_MONOTONIC at that write's return.

#include <QRect>
#include <cstdint>
#include <vector>

struct FrameRequest {
    std::uint32_t drawable = 0;
    QRect area;                 // in the drawable's coordinates
    std::int64_t queuedNs = 0;
    std::int64_t handedOverNs = 0;   // 0 while it waits in libxcb's buffer
};

namespace framehandover {

// Only writes on this descriptor count (the program's X connection); none
// are watched until it is set.
void WatchConnection(int descriptor);

std::vector<FrameRequest> Requests();
void Forget();

} // namespace framehandover
