#include "lastpath.h"

#include "settingsstore.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

bool dirExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    struct stat st { };
    return ::stat(QFile::encodeName(withTrailingSlash(path)).constData(), &st) == 0;
}

QString getLastPath(const SettingsStore& store, const QString& key)
{
    QString p = store.getOption(key, QString());
    if (!dirExists(p)) {
        const qsizetype slash = p.lastIndexOf(QLatin1Char('/'));
        p = slash < 0 ? QString() : p.left(slash);
    }
    return withTrailingSlash(dirExists(p) ? p : QDir::homePath());
}
