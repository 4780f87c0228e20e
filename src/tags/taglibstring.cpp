#include "taglibstring.h"

#include <taglib/tstring.h>

QString toQString(const TagLib::String& s)
{
    // TagLib keeps UTF-16 code units, one per wchar_t: copied as they are.
    QString out(qsizetype(s.size()), Qt::Uninitialized);
    QChar* to = out.data();
    for (auto it = s.begin(); it != s.end(); ++it)
        *to++ = QChar(char16_t(*it));
    return out;
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
