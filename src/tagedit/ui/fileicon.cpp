#include "fileicon.h"

#include "tagedit/cfileinfo.h"

#include <QFileIconProvider>
#include <QFileInfo>

QIcon FileIcon(const CFileInfo& info)
{
    if (!info.FileExists())
        return {};
    return QFileIconProvider().icon(QFileInfo(info.FullPathName()));
}
