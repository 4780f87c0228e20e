#include "mp3files.h"

#include <QDir>

QStringList listMp3Files(const QString& folder)
{
    if (folder.isEmpty())
        return {};
    // Name filters of QDir ignore case unless told otherwise.
    return QDir(folder).entryList({ QStringLiteral("*.mp3") }, QDir::Files, QDir::Name | QDir::IgnoreCase);
}
