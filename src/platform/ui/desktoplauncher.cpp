#include "desktoplauncher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

int DesktopLauncher::open(const QString& path)
{
    if (!QFileInfo::exists(path))
        return FileNotFound;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path)) ? 0 : NoAssociation;
}
