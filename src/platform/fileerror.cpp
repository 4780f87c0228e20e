#include "fileerror.h"

#include <cerrno>
#include <cstring>

FileError fileErrorFromErrno(int err)
{
    int number = ErrorNo::Internal;
    switch (err) {
    case 0:
        return {};
    case ENOENT:
    case ENOTDIR:
        number = ErrorNo::NotFound;
        break;
    case EEXIST:
    case ENOTEMPTY:
        number = ErrorNo::Exists;
        break;
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
    case ETXTBSY:
    case EISDIR:
        number = ErrorNo::Access;
        break;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        number = ErrorNo::DiskFull;
        break;
    case EXDEV:
        number = ErrorNo::OtherDevice;
        break;
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ:
        number = ErrorNo::BadName;
        break;
    default:
        number = ErrorNo::Internal;
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
        e = { ErrorNo::Internal, file.errorString() };
    return reportFileError(out, e);
}

QString fileErrorMessage(const QString& fileName, const FileError& e)
{
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("File Error On File ") + crlf + fileName + crlf + crlf + QStringLiteral("Error: ")
        + e.description + QStringLiteral(" (") + QString::number(e.number) + QStringLiteral(")");
}
