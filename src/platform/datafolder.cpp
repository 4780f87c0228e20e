#include "datafolder.h"

#include <QStandardPaths>

QString userDataFolder()
{
    // Not AppDataLocation: with organisation and application both named
    // Velmora that would be two levels deep.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Velmora/");
}
