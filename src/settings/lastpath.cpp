#include "lastpath.h"

#include "settingsstore.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

bool DirExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    QString p = path;
    if (!p.endsWith(QLatin1Char('/')))
        p += QLatin1Char('/');
    struct stat st {};
    return ::stat(QFile::encodeName(p).constData(), &st) == 0;
}

QString GetLastPath(const SettingsStore& store, const QString& key)
{
    QString p = store.GetOption(key, QString());
    if (!DirExists(p)) {
        const qsizetype slash = p.lastIndexOf(QLatin1Char('/'));
        p = slash < 0 ? QString() : p.left(slash);
    }
    if (DirExists(p))
        return p.endsWith(QLatin1Char('/')) ? p : p + QLatin1Char('/');
    QString home = QDir::homePath();
    return home.endsWith(QLatin1Char('/')) ? home : home + QLatin1Char('/');
}
