#include "autoformat.h"

#include "settings/settingsstore.h"

QStringList formatListEntries()
{
    return { QStringLiteral("None"), QStringLiteral("Artist"), QStringLiteral("Title"), QStringLiteral("Album"),
        QStringLiteral("Comments"), QStringLiteral("Track"), QStringLiteral("Total Tracks"), QStringLiteral("Year"),
        QStringLiteral("Genre"), QStringLiteral("Unique Key"), QStringLiteral("User Text"), QStringLiteral("User URL"),
        QStringLiteral("Artist URL"), QStringLiteral("Composer"), QStringLiteral("Orig Artist"),
        QStringLiteral("Encoded By"), QStringLiteral("Copyright"), QStringLiteral("Mood"), QStringLiteral("Preference"),
        QStringLiteral("Situation"), QStringLiteral("Tempo") };
}

AutoFormat parseBuiltFormat(const QString& builtFormat)
{
    AutoFormat f;
    if (trimSpaces(builtFormat).isEmpty()) {
        f.formatString = QStringLiteral("None");
        return f;
    }
    f.formatString = builtFormat;
    const QStringList pieces = builtFormat.split(QLatin1Char('-'));
    for (const QString& piece : pieces)
        f.parts << trimSpaces(piece);
    return f;
}

QString appendFormatEntry(const QString& builtFormat, const QString& entry, const QString& separator)
{
    if (entry == QLatin1String("None"))
        return {};
    if (trimSpaces(builtFormat).isEmpty())
        return builtFormat + entry;
    return builtFormat + separator + entry;
}
