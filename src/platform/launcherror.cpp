#include "launcherror.h"

#include "platform/launcher.h"

#include <QRegularExpression>

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

int launchCodeForOpener(OpenerEnd end, int exitCode)
{
    switch (end) {
    case OpenerEnd::StillRunning:
        return 0;
    case OpenerEnd::NotStarted:
        return Launcher::NoAssociation;
    case OpenerEnd::Crashed:
        return Launcher::OpenerFailed;
    case OpenerEnd::Exited:
        break;
    }
    // xdg-open's exit codes: 2 the file is missing, 3 no program for it,
    // 4 the program (or the desktop's own opener) failed to open it.
    switch (exitCode) {
    case 0:
        return 0;
    case 2:
        return Launcher::FileNotFound;
    case 3:
    case 4:
        return Launcher::NoAssociation;
    default:
        return Launcher::OpenerFailed;
    }
}

QString firstDesktopId(const QString& queryOutput)
{
    static const QRegularExpression separators(QStringLiteral("[;\\s]+"));
    const QStringList ids = queryOutput.split(separators, Qt::SkipEmptyParts);
    return ids.isEmpty() ? QString() : ids.first();
}

bool isVelmoraDesktopId(const QString& desktopId)
{
    const QString id = desktopId.trimmed().toLower();
    if (!id.endsWith(QLatin1String(".desktop")))
        return false;
    const QString name = id.chopped(8);
    return name == QLatin1String("velmora") || name.endsWith(QLatin1String("-velmora"))
        || name.endsWith(QLatin1String(".velmora"));
}
