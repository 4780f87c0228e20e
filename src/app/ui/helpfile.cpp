#include "helpfile.h"

#include <QDir>
#include <QFileInfo>

QString helpFilePath(const QString& programDir, const QString& dataDir)
{
    const QString name = QStringLiteral("velmora.html");
    const QString beside = QDir(programDir).filePath(name);
    if (QFileInfo(beside).isFile())
        return beside;
    return QDir(dataDir).filePath(name);
}
