#include "foldercover.h"

#include <QDir>
#include <QRegularExpression>

#include <algorithm>

QStringList defaultCoverPatterns()
{
    return { QStringLiteral("cover.jpg"), QStringLiteral("folder.jpg") };
}

QStringList coverPatterns(const QString& text)
{
    QStringList patterns;
    for (const QString& part : text.split(QLatin1Char(';'))) {
        const QString pattern = part.trimmed();
        if (!pattern.isEmpty())
            patterns << pattern;
    }
    return patterns;
}

QString folderCoverFile(const QString& folder, const QStringList& patterns)
{
    const QDir dir(folder);
    QStringList names = dir.entryList(QDir::Files | QDir::Hidden);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    // The usual names come last, so a pattern of the user's wins over them.
    QStringList tried = patterns;
    for (const char* stem : { "cover", "folder" })
        for (const char* kind : { "jpg", "jpeg", "png", "gif", "bmp" })
            tried << QString::fromLatin1(stem) + QLatin1Char('.') + QString::fromLatin1(kind);
    for (const QString& pattern : tried) {
        const QRegularExpression re = QRegularExpression::fromWildcard(pattern, Qt::CaseInsensitive);
        for (const QString& name : names)
            if (re.match(name).hasMatch())
                return dir.filePath(name);
    }
    return {};
}
