#include "filetimes.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

bool readFileTime(const QString& path, FileTime* time, FileError* error)
{
    struct stat st { };
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0)
        return reportFileError(error, fileErrorFromErrno(path.isEmpty() ? ENOENT : errno));
    time->modified = st.st_mtim;
    return true;
}

bool writeFileTime(const QString& path, const FileTime& time, FileError* error)
{
    const timespec times[2] = { { 0, UTIME_OMIT }, time.modified };
    if (::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) != 0)
        return reportFileError(error, fileErrorFromErrno(errno));
    return true;
}

FileTimeKeeper::FileTimeKeeper(const QString& path, bool enabled)
    : m_path(path)
{
    m_pending = enabled && readFileTime(path, &m_time);
}

FileTimeKeeper::~FileTimeKeeper()
{
    restore();
}

bool FileTimeKeeper::restore(FileError* error)
{
    if (!m_pending)
        return true;
    m_pending = false;
    // Nothing was written, or the time is back already: leave the file be.
    FileTime now;
    if (readFileTime(m_path, &now) && now.modified.tv_sec == m_time.modified.tv_sec
        && now.modified.tv_nsec == m_time.modified.tv_nsec)
        return true;
    FileError failed;
    if (writeFileTime(m_path, m_time, &failed))
        return true;
    failed.description = QStringLiteral("The file's modification time could not be kept: ") + failed.description;
    return reportFileError(error, failed);
}
