#pragma once

#include <QByteArray>

#include <functional>
#include <grp.h>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>

// Runs work in a child process and gives back what it returned; nothing
// when the child could not be made or did not end normally. With asNobody
// the child is user and group 65534 (nobody): the tests run as root, who
// bypasses permissions, nobody does not. Folders and files such a child
// uses must be open to it.
inline std::optional<QByteArray> runInChild(const std::function<QByteArray()>& work, bool asNobody = true)
{
    int out[2];
    if (::pipe(out) != 0)
        return std::nullopt;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(out[0]);
        if (asNobody && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(2);
        const QByteArray result = work();
        const bool sent = ::write(out[1], result.constData(), size_t(result.size())) == result.size();
        ::_exit(sent ? 0 : 3);
    }
    ::close(out[1]);
    QByteArray result;
    char buf[4096];
    for (ssize_t n; pid > 0 && (n = ::read(out[0], buf, sizeof buf)) > 0;)
        result.append(buf, n);
    ::close(out[0]);
    int status = 0;
    if (pid <= 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return result;
}
