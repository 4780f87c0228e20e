#include "openrequest.h"

#include "tags/audioformat.h"
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
        if (!path.isEmpty() && info.isFile() && isAudioFileName(info.fileName())) {
            request.folder = withTrailingSlash(QDir::cleanPath(info.absolutePath()));
            request.file = info.fileName();
            return request;
        }
        request.refused << argument;
    }
    return request;
}

QString nearestExistingFolder(const QString& path)
{
    if (path.isEmpty())
        return withTrailingSlash(QDir::homePath());
    QString folder = QDir::cleanPath(QDir(QDir::rootPath()).absoluteFilePath(path));
    while (!QFileInfo(folder).isDir()) {
        if (folder == QDir::rootPath())
            return withTrailingSlash(QDir::homePath());
        const qsizetype slash = folder.lastIndexOf(QLatin1Char('/'));
        folder = slash <= 0 ? QDir::rootPath() : folder.left(slash);
    }
    return withTrailingSlash(folder);
}
