#include "renameerror.h"

namespace {
const QString kCrLf = QStringLiteral("\r\n");
}

QString renameErrorStatus(const QString& newName)
{
    return QStringLiteral("Renaming Of '") + newName + QStringLiteral("' Encountered Errors");
}

QString renameErrorMessage(const QString& newName, const FileError& error)
{
    QString text = renameErrorStatus(newName) + kCrLf + kCrLf + QStringLiteral("Error: ") + error.description
        + QStringLiteral(" (") + QString::number(error.number) + QStringLiteral(")") + kCrLf + kCrLf;
    switch (error.number) {
    case 13:
        text += QStringLiteral("Possible Cause: Check The Internal ID Tag Values.  Ensure Alpha Entries Are Alpha "
                               "and Numeric Entries Are Numeric");
        break;
    case 53:
        text += QStringLiteral("Possible Cause: Illegal Filename");
        break;
    case 75:
        text += QStringLiteral("Possible Cause: Check The File, It May Not Be A Valid MP3 File");
        break;
    default:
        break;
    }
    return text;
}
