#include "framehandover.h"

#include <atomic>
#include <dlfcn.h>
#include <mutex>
#include <sys/socket.h>
#include <sys/uio.h>
#include <time.h>
#include <xcb/xcb.h>

namespace {

std::int64_t MonotonicNs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

std::mutex requestsMutex;
std::vector<FrameRequest> requests;
std::atomic<int> watchedDescriptor = -1;

void NoteQueued(std::uint32_t drawable, int x, int y, int width, int height)
{
    const std::lock_guard<std::mutex> lock(requestsMutex);
    requests.push_back({drawable, QRect(x, y, width, height), MonotonicNs(), 0});
}

// Called at the return of a socket write: if it sent all it was given, every
// request queued before it began has left the process.
void NoteWritten(int descriptor, std::int64_t beganNs, ssize_t written, size_t given)
{
    if (descriptor != watchedDescriptor.load() || written < 0 || size_t(written) != given)
        return;
    const std::int64_t atNs = MonotonicNs();
    const std::lock_guard<std::mutex> lock(requestsMutex);
    for (FrameRequest& request : requests)
        if (request.handedOverNs == 0 && request.queuedNs <= beganNs)
            request.handedOverNs = atNs;
}

size_t TotalLength(const iovec* vector, int count)
{
    size_t total = 0;
    for (int i = 0; i < count; ++i)
        total += vector[i].iov_len;
    return total;
}

// The real function: the next definition after this executable's, or, for a
// library the platform plugin loaded privately, that library's own.
template <typename Function> Function Real(const char* name, const char* library = nullptr)
{
    void* symbol = dlsym(RTLD_NEXT, name);
    if (!symbol && library) {
        void* handle = dlopen(library, RTLD_LAZY | RTLD_NOLOAD);
        if (!handle)
            handle = dlopen(library, RTLD_LAZY);
        symbol = handle ? dlsym(handle, name) : nullptr;
    }
    return reinterpret_cast<Function>(symbol);
}

} // namespace

namespace framehandover {

void WatchConnection(int descriptor) { watchedDescriptor = descriptor; }

std::vector<FrameRequest> Requests()
{
    const std::lock_guard<std::mutex> lock(requestsMutex);
    return requests;
}

void Forget()
{
    const std::lock_guard<std::mutex> lock(requestsMutex);
    requests.clear();
}

} // namespace framehandover

extern "C" {

// libxcb-shm's request, declared here as its header declares it.
using ShmPutImage = xcb_void_cookie_t (*)(xcb_connection_t*, xcb_drawable_t, xcb_gcontext_t, uint16_t, uint16_t,
                                          uint16_t, uint16_t, uint16_t, uint16_t, int16_t, int16_t, uint8_t, uint8_t,
                                          uint8_t, uint32_t, uint32_t);

xcb_void_cookie_t xcb_shm_put_image(xcb_connection_t* c, xcb_drawable_t drawable, xcb_gcontext_t gc,
                                    uint16_t total_width, uint16_t total_height, uint16_t src_x, uint16_t src_y,
                                    uint16_t src_width, uint16_t src_height, int16_t dst_x, int16_t dst_y,
                                    uint8_t depth, uint8_t format, uint8_t send_event, uint32_t shmseg,
                                    uint32_t offset)
{
    static const auto real = Real<ShmPutImage>("xcb_shm_put_image", "libxcb-shm.so.0");
    NoteQueued(drawable, dst_x, dst_y, src_width, src_height);
    return real(c, drawable, gc, total_width, total_height, src_x, src_y, src_width, src_height, dst_x, dst_y, depth,
                format, send_event, shmseg, offset);
}

xcb_void_cookie_t xcb_put_image(xcb_connection_t* c, uint8_t format, xcb_drawable_t drawable, xcb_gcontext_t gc,
                                uint16_t width, uint16_t height, int16_t dst_x, int16_t dst_y, uint8_t left_pad,
                                uint8_t depth, uint32_t data_len, const uint8_t* data)
{
    using PutImage = decltype(&xcb_put_image);
    static const auto real = Real<PutImage>("xcb_put_image", "libxcb.so.1");
    NoteQueued(drawable, dst_x, dst_y, width, height);
    return real(c, format, drawable, gc, width, height, dst_x, dst_y, left_pad, depth, data_len, data);
}

xcb_void_cookie_t xcb_copy_area(xcb_connection_t* c, xcb_drawable_t src_drawable, xcb_drawable_t dst_drawable,
                                xcb_gcontext_t gc, int16_t src_x, int16_t src_y, int16_t dst_x, int16_t dst_y,
                                uint16_t width, uint16_t height)
{
    using CopyArea = decltype(&xcb_copy_area);
    static const auto real = Real<CopyArea>("xcb_copy_area", "libxcb.so.1");
    NoteQueued(dst_drawable, dst_x, dst_y, width, height);
    return real(c, src_drawable, dst_drawable, gc, src_x, src_y, dst_x, dst_y, width, height);
}

ssize_t writev(int fd, const iovec* iov, int iovcnt)
{
    static const auto real = Real<decltype(&::writev)>("writev");
    const std::int64_t beganNs = MonotonicNs();
    const ssize_t written = real(fd, iov, iovcnt);
    NoteWritten(fd, beganNs, written, TotalLength(iov, iovcnt));
    return written;
}

ssize_t sendmsg(int fd, const msghdr* message, int flags)
{
    static const auto real = Real<decltype(&::sendmsg)>("sendmsg");
    const std::int64_t beganNs = MonotonicNs();
    const ssize_t written = real(fd, message, flags);
    NoteWritten(fd, beganNs, written, TotalLength(message->msg_iov, int(message->msg_iovlen)));
    return written;
}

} // extern "C"
