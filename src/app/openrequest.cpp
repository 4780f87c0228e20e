#include "openrequest.h"

#include "text/texthelpers.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace {

QString localPath(const QString& argument, const QString& workingDir)
{
    // A desktop may hand over URLs rather than paths; only local ones open.
    if (argument.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        const QUrl url(argument);
        return url.isLocalFile() ? url.toLocalFile() : QString();
    }
    return QDir(workingDir).absoluteFilePath(argument);
}

} // namespace

OpenRequest openRequestFor(const QStringList& arguments, const QString& workingDir)
{
    OpenRequest request;
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--"))
            continue;
        const QString path = localPath(argument, workingDir);
        const QFileInfo info(path);
        if (!path.isEmpty() && info.isDir()) {
            request.folder = withTrailingSlash(QDir::cleanPath(info.absoluteFilePath()));
            return request;
        }
        if (!path.isEmpty() && info.isFile() && info.fileName().endsWith(QLatin1String(".mp3"), Qt::CaseInsensitive)) {
            request.folder = withTrailingSlash(QDir::cleanPath(info.absolutePath()));
            request.file = info.fileName();
            return request;
        }
        request.refused << argument;
    }
    return request;
}
