#include "taglibstring.h"

#include <taglib/tstring.h>

QString toQString(const TagLib::String& s)
{
    const std::string utf8 = s.to8Bit(true);
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

TagLib::String toTagString(const QString& s)
{
    return TagLib::String(s.toUtf8().toStdString(), TagLib::String::UTF8);
}

bool fitsLatin1(const QString& s)
{
    for (QChar c : s)
        if (c.unicode() > 0xFF)
            return false;
    return true;
}
