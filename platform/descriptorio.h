#pragma once
// Reading and writing a file descriptor whole, through interruptions by
// signals and short transfers. No widgets.

#include <QByteArray>

#include <optional>
#include <sys/types.h>

// Writes every byte; false when the system refuses or writes nothing (errno
// tells why), with an unknown part written.
bool WriteAll(int fd, const char* data, qsizetype size);
inline bool WriteAll(int fd, const QByteArray& bytes) { return WriteAll(fd, bytes.constData(), bytes.size()); }

// Reads up to the end of the file; nothing when the system refuses a read or
// the file holds more than largest bytes.
std::optional<QByteArray> ReadAll(int fd, qsizetype largest);

// One read(2) of at most size bytes, repeated while a signal interrupts it.
ssize_t ReadSome(int fd, char* data, size_t size);
