#include "launcherror.h"

QString launchErrorText(int code)
{
    switch (code) {
    case 2:
        return QStringLiteral("File not found");
    case 3:
        return QStringLiteral("Path not found");
    case 5:
        return QStringLiteral("Access denied");
    case 8:
        return QStringLiteral("Out of memory");
    case 26:
        return QStringLiteral("A sharing violation occurred");
    case 27:
        return QStringLiteral("Incomplete or invalid file association");
    case 31:
        return QStringLiteral("No association for file extension");
    default:
        return QStringLiteral("Unknown error");
    }
}

QString launchFailureText(int code, const QString& path)
{
    return launchErrorText(code) + QStringLiteral("\r\n\r\n") + path;
}
