#include "platform/filelock.h"

#include <cerrno>
#include <sys/file.h>
#include <thread>

LockWait BoundedLockWait(std::chrono::milliseconds patience, std::chrono::milliseconds pause)
{
    const auto giveUpAt = std::chrono::steady_clock::now() + patience;
    return [giveUpAt, pause] {
        if (std::chrono::steady_clock::now() >= giveUpAt)
            return false;
        std::this_thread::sleep_for(pause);
        return true;
    };
}

Locking LockExclusive(int fd, const LockWait& wait)
{
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return Locking::Locked;
        if (errno != EWOULDBLOCK && errno != EINTR)
            return Locking::Refused;
        if (errno == EWOULDBLOCK && !(wait && wait()))
            return Locking::Taken;
    }
}
