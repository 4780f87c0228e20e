#include "fileicon.h"

#include "tagedit/filefacts.h"

#include <QFileIconProvider>
#include <QFileInfo>

QIcon fileIcon(const FileFacts& info)
{
    if (!info.fileExists())
        return {};
    return QFileIconProvider().icon(QFileInfo(info.fullPathName()));
}
