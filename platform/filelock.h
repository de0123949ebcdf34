#pragma once
// The exclusive lock copies of the program take on a shared file or folder.
// Another copy stopped while holding it (Ctrl+Z) must not freeze this one:
// the wait is bounded. No widgets.

#include <chrono>
#include <functional>

// How a lock waits while another process holds it: called after each refusal,
// it pauses and returns true to try again, or returns false to give up. An
// empty one never waits.
using LockWait = std::function<bool()>;

// Pauses of pause for at most patience in all (2 s of 10 ms pauses unless
// told otherwise); zero patience gives up at the first refusal.
LockWait BoundedLockWait(std::chrono::milliseconds patience = std::chrono::seconds(2),
                         std::chrono::milliseconds pause = std::chrono::milliseconds(10));

enum class Locking {
    Locked,    // the lock is held: closing the descriptor releases it
    Taken,     // another process holds it and the wait gave up
    Refused,   // the system refused locking this file at all (errno tells why)
};

// flock(LOCK_EX) on fd, retried when a signal interrupts it, asking wait
// after each refusal because another process holds it.
Locking LockExclusive(int fd, const LockWait& wait);
