#pragma once
// A process that keeps one core busy until it is killed (SIGKILL, then waitpid).

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

inline pid_t StartBusyCore()
{
    const pid_t child = ::fork();
    if (child == 0) {
        volatile unsigned long spin = 0;
        for (;;)
            spin = spin + 1;
    }
    return child;
}
