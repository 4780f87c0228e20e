#include "panelgenrelist.h"

#include "tags/id3v1tag.h"

const QStringList& panelGenreList()
{
    static const QStringList list = QStringList { QStringLiteral("Unknown") } + genreNames();
    return list;
}

int findGenreCompletion(const QStringList& list, const QString& typed)
{
    const QString wanted = typed.toUpper();
    const qsizetype n = typed.size();
    for (qsizetype i = 0; i < list.size(); ++i)
        if (list[i].left(n).toUpper() == wanted)
            return int(i);
    return -1;
}
