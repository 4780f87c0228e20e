#include "nameparts.h"

#include "cleanup.h"
#include "text/texthelpers.h"

QStringList NameParts(const QString& fileName, const CleanupRules& rules, NameCase newFileCase)
{
    const QString name = ApplyNameCase(CleanupFileName(BeforeLast(fileName, QLatin1Char('.')), rules), newFileCase);
    QStringList pieces = name.split(QLatin1Char('-'));
    for (QString& piece : pieces)
        piece = TrimSpaces(piece);
    return pieces;
}

int PartAtCursor(const QString& text, int cursor)
{
    const QString base = BeforeLast(text, QLatin1Char('.'));
    if (TrimSpaces(base).isEmpty())
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

QString ToggledName(const QString& text, const QString& part, const QString& separator, bool* removed)
{
    QString base = BeforeLast(text, QLatin1Char('.'));
    const qsizetype at = base.indexOf(part, 0, Qt::CaseInsensitive);
    if (at >= 0) {
        base.remove(at, part.size());
    } else {
        if (!TrimSpaces(base).isEmpty())
            base += separator;
        base += part;
    }
    if (removed)
        *removed = at >= 0;
    base = ReplaceAll(base, QStringLiteral("- -"), QStringLiteral("-"));
    base = ReplaceAll(base, QStringLiteral("-  -"), QStringLiteral("-"));
    base = ReplaceAll(base, QStringLiteral("--"), QStringLiteral("-"));
    if (TrimSpaces(base).endsWith(QLatin1Char('-')))
        base = BeforeLast(base, QLatin1Char('-'));
    if (TrimSpaces(base).startsWith(QLatin1Char('-')))
        base = AfterFirst(base, QLatin1Char('-'));
    return TrimSpaces(base).isEmpty() ? QString() : TrimSpaces(base) + QStringLiteral(".mp3");
}
