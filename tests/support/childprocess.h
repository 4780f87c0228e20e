#pragma once

#include <QByteArray>

#include <csignal>
#include <functional>
#include <grp.h>
#include <optional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// Child processes for the tests: work done as another user, under a file
// size limit, or killed at a chosen point.

// Ends this process at once, as kill -9 does: no destructor runs.
inline void killHere()
{
    ::kill(::getpid(), SIGKILL);
}

// Runs steps in a child process, which must end by killHere(): a run killed
// at a chosen point. True when the child died so; a child whose steps
// return (a step failed) does not.
inline bool killedIn(const std::function<void()>& steps)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        steps();
        ::_exit(1);
    }
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

// Runs work in a child process once prepare (which changes only the
// child: its user, its limits) succeeded, and gives back what work
// returned; nothing when prepare failed or the child did not end normally.
inline std::optional<QByteArray> inChild(const std::function<bool()>& prepare, const std::function<QByteArray()>& work)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return std::nullopt;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFds[0]);
        if (!prepare())
            ::_exit(3);
        const QByteArray out = work();
        for (qsizetype done = 0; done < out.size();) {
            const ssize_t n = ::write(pipeFds[1], out.constData() + done, size_t(out.size() - done));
            if (n <= 0)
                ::_exit(4);
            done += n;
        }
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    QByteArray out;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, n);
    ::close(pipeFds[0]);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return out;
}

// Becomes user and group 65534 (nobody), who cannot bypass permissions:
// the tests run as root, who can. For a child process only.
inline bool becomeNobody()
{
    return ::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0;
}

// Limits the size of files this process writes to bytes; a write past it
// fails with "File too large" (EFBIG) as a full disk fails with ENOSPC. For
// a child process only.
inline bool limitFileSize(qint64 bytes)
{
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit { rlim_t(bytes), rlim_t(bytes) };
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

// Runs work in a child process and gives back what it returned; with
// asNobody the child is user nobody (see becomeNobody).
inline std::optional<QByteArray> runInChild(const std::function<QByteArray()>& work, bool asNobody = true)
{
    return inChild([asNobody] { return !asNobody || becomeNobody(); }, work);
}
