#include "platform/descriptorio.h"

#include <cerrno>
#include <unistd.h>

bool WriteAll(int fd, const char* data, qsizetype size)
{
    while (size > 0) {
        const ssize_t done = ::write(fd, data, static_cast<size_t>(size));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        data += done;
        size -= done;
    }
    return true;
}

ssize_t ReadSome(int fd, char* data, size_t size)
{
    ssize_t got;
    do {
        got = ::read(fd, data, size);
    } while (got < 0 && errno == EINTR);
    return got;
}

std::optional<QByteArray> ReadAll(int fd, qsizetype largest)
{
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ReadSome(fd, buffer, sizeof buffer);
        if (got < 0 || bytes.size() + got > largest)
            return std::nullopt;
        if (got == 0)
            return bytes;
        bytes.append(buffer, got);
    }
}
