#include "fileerror.h"

#include <cerrno>
#include <cstring>

FileError fileErrorFromErrno(int err)
{
    int number = 51;
    switch (err) {
    case 0:
        return {};
    case ENOENT:
    case ENOTDIR:
        number = 53;
        break;
    case EEXIST:
    case ENOTEMPTY:
        number = 58;
        break;
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
    case ETXTBSY:
    case EISDIR:
        number = 75;
        break;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        number = 61;
        break;
    case EXDEV:
        number = 74;
        break;
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ:
        number = 52;
        break;
    default:
        number = 51;
        break;
    }
    return { number, QString::fromLocal8Bit(std::strerror(err)) };
}

bool reportFileError(FileError* out, const FileError& e)
{
    if (out)
        *out = e;
    return e.ok();
}

bool openTruncated(QFile& file, FileError* out)
{
    errno = 0;
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return reportFileError(out, {});
    FileError e = fileErrorFromErrno(errno);
    if (e.ok())
        e = { 51, file.errorString() };
    return reportFileError(out, e);
}
