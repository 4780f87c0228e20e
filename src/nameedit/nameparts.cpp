#include "nameparts.h"

#include "cleanup.h"
#include "tags/audioformat.h"
#include "text/texthelpers.h"

#include <QFileInfo>

QString nameExtension(const QString& fileName)
{
    // Lower case, as a loaded "x.MP3" has always become "x.mp3".
    return isAudioFileName(fileName) ? QLatin1Char('.') + QFileInfo(fileName).suffix().toLower()
                                     : QStringLiteral(".mp3");
}

QStringList nameParts(const QString& fileName, const CleanupRules& rules, NameCase newFileCase)
{
    const QString name = applyNameCase(cleanupFileName(beforeLast(fileName, QLatin1Char('.')), rules), newFileCase);
    QStringList pieces = name.split(QLatin1Char('-'));
    for (QString& piece : pieces)
        piece = trimSpaces(piece);
    return pieces;
}

int partAtCursor(const QString& text, int cursor)
{
    const QString base = beforeLast(text, QLatin1Char('.'));
    if (trimSpaces(base).isEmpty())
        return -1;
    const QStringList pieces = base.split(QLatin1Char('-'));
    qsizetype end = -1; // the dash before piece 0 that is not there
    for (int i = 0; i < pieces.size(); ++i) {
        end += pieces.at(i).size() + 1;
        if (end >= cursor)
            return i;
    }
    return -1;
}

QString toggledName(
    const QString& text, const QString& part, const QString& separator, const QString& extension, bool* removed)
{
    QString base = beforeLast(text, QLatin1Char('.'));
    const qsizetype at = base.indexOf(part, 0, Qt::CaseInsensitive);
    if (at >= 0) {
        base.remove(at, part.size());
    } else {
        if (!trimSpaces(base).isEmpty())
            base += separator;
        base += part;
    }
    if (removed)
        *removed = at >= 0;
    base = replaceAll(base, QStringLiteral("- -"), QStringLiteral("-"));
    base = replaceAll(base, QStringLiteral("-  -"), QStringLiteral("-"));
    base = replaceAll(base, QStringLiteral("--"), QStringLiteral("-"));
    if (trimSpaces(base).endsWith(QLatin1Char('-')))
        base = beforeLast(base, QLatin1Char('-'));
    if (trimSpaces(base).startsWith(QLatin1Char('-')))
        base = afterFirst(base, QLatin1Char('-'));
    return trimSpaces(base).isEmpty() ? QString() : trimSpaces(base) + extension;
}
