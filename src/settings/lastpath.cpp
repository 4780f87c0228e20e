#include "lastpath.h"

#include "settingsstore.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

bool DirExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    struct stat st { };
    return ::stat(QFile::encodeName(WithTrailingSlash(path)).constData(), &st) == 0;
}

QString GetLastPath(const SettingsStore& store, const QString& key)
{
    QString p = store.GetOption(key, QString());
    if (!DirExists(p)) {
        const qsizetype slash = p.lastIndexOf(QLatin1Char('/'));
        p = slash < 0 ? QString() : p.left(slash);
    }
    return WithTrailingSlash(DirExists(p) ? p : QDir::homePath());
}
