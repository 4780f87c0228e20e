#include "systemtrash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>

bool SystemTrash::moveFile(const QString& path, QString* inTrash)
{
    return QFile::moveToTrash(path, inTrash);
}

bool SystemTrash::moveToTrash(const QString& path, FileError* err)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return reportFileError(err, fileErrorFromErrno(ENOENT));
    // Without an existing data folder Qt builds files/ and info/ beside the
    // file instead of a real trash.
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataHome.isEmpty() || !QDir().mkpath(dataHome))
        return reportFileError(err, { 75, QStringLiteral("The trash folder cannot be created") });

    const QString folder = info.absolutePath();
    const QStringList before = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    QString inTrash;
    if (!moveFile(path, &inTrash) || inTrash.isEmpty())
        return reportFileError(err, { 75, QStringLiteral("The trash cannot take the file") });
    const QFileInfo trashed(inTrash);
    const QString infoFile = trashed.dir().absoluteFilePath(QStringLiteral("../info/")) + trashed.fileName()
        + QStringLiteral(".trashinfo");
    if (!QFileInfo::exists(infoFile))
        return reportFileError(err, { 51, QStringLiteral("The trash did not record the file") });
    // A trash made next to the file is no trash: leave nothing behind there.
    for (const QString& name : QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (!before.contains(name) && (name == QLatin1String("files") || name == QLatin1String("info")))
            return reportFileError(err, { 51, QStringLiteral("The trash was made in the file's own folder") });
    }
    return reportFileError(err, {});
}
