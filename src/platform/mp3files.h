#pragma once

#include <QString>
#include <QStringList>

// The names (no folder) of the folder's "*.mp3" files, the extension and
// the order compared without regard to case. Hidden files are left out.
QStringList listMp3Files(const QString& folder);
