#include "renameerror.h"

#include <cerrno>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

bool isErrno(const FileError& error, int err)
{
    const FileError system = fileErrorFromErrno(err);
    return error.number == system.number && error.description == system.description;
}

// Only causes that are true here: a rename needs no access to the file
// itself, so nothing is said about the file's content or its use.
QString likelyCause(const FileError& error)
{
    switch (error.number) {
    case 13:
        return QStringLiteral("Possible Cause: Check The Internal ID Tag Values.  Ensure Alpha Entries Are Alpha "
                              "and Numeric Entries Are Numeric");
    case 53:
        if (isErrno(error, ENOENT))
            return QStringLiteral("Possible Cause: The File Was Moved Or Deleted By Another Program");
        return QStringLiteral("Possible Cause: Illegal Filename");
    case 75:
        if (isErrno(error, EACCES))
            return QStringLiteral("Possible Cause: Renaming Needs Write Permission On The Folder");
        return QString();
    default:
        return QString();
    }
}

} // namespace

QString renameErrorStatus(const QString& newName)
{
    return QStringLiteral("Renaming Of '") + newName + QStringLiteral("' Encountered Errors");
}

QString renameErrorMessage(const QString& source, const QString& newName, const FileError& error)
{
    QString text = renameErrorStatus(newName) + kCrLf + kCrLf;
    if (!source.isEmpty())
        text += source + kCrLf + kCrLf;
    text += QStringLiteral("Error: ") + error.description + QStringLiteral(" (") + QString::number(error.number)
        + QStringLiteral(")");
    const QString cause = likelyCause(error);
    if (!cause.isEmpty())
        text += kCrLf + kCrLf + cause;
    return text;
}

QString renameErrorMessage(const QString& newName, const FileError& error)
{
    return renameErrorMessage(QString(), newName, error);
}
