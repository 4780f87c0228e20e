#include "fileicon.h"

#include "tagedit/filefacts.h"

#include <QFileIconProvider>
#include <QFileInfo>

QIcon FileIcon(const FileFacts& info)
{
    if (!info.FileExists())
        return {};
    return QFileIconProvider().icon(QFileInfo(info.FullPathName()));
}
