#include "regularfile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

int openRegularFile(const QString& path, struct stat* st)
{
    // O_NONBLOCK makes the open of a pipe return at once; the status then
    // tells it from a regular file before anything is read.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return -1;
    struct stat own { };
    struct stat* status = st ? st : &own;
    const bool statusRead = ::fstat(fd, status) == 0;
    if (!statusRead || !S_ISREG(status->st_mode)) {
        const int e = statusRead ? EISDIR : errno;
        ::close(fd);
        errno = e;
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}
