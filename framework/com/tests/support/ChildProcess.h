#pragma once
// Child processes for tests that need several real processes at once.

#include <functional>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

/// Runs body in a forked child, which exits with body's result.
inline pid_t SpawnChild(const std::function<int()>& body)
{
    pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    return pid;
}

/// How a child ended: its exit status, or 128 + the signal that killed it.
inline int WaitForChild(pid_t pid)
{
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
