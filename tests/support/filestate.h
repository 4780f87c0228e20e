#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <fcntl.h>
#include <linux/fs.h>
#include <ostream>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

// A file as a write would change it: its bytes, permission bits and
// modification time to the nanosecond. Two equal states: the file was left
// exactly as it was.
struct FileState {
    QByteArray bytes;
    mode_t mode = 0;
    qint64 mtimeNs = -1;

    bool operator==(const FileState&) const = default;

    static FileState of(const QString& path)
    {
        FileState s;
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            s.bytes = file.readAll();
        struct stat st { };
        if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
            s.mode = st.st_mode & 07777;
            s.mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        }
        return s;
    }
};

inline void PrintTo(const FileState& s, std::ostream* os)
{
    *os << "{" << s.bytes.size() << " bytes, mode " << std::oct << s.mode << std::dec << ", mtime " << s.mtimeNs << "}";
}

// Sets or clears the immutable flag (chattr +i): even root may then not
// open the file for writing. False when the file system or the process
// cannot set it.
inline bool setImmutable(const QString& path, bool on)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}
