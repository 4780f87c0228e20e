#include "texthelpers.h"

#include "settings/settingsstore.h"

QString beforeFirst(const QString& s, QChar c)
{
    const qsizetype at = s.indexOf(c);
    return at < 0 ? s : s.left(at);
}

QString afterFirst(const QString& s, QChar c)
{
    const qsizetype at = s.indexOf(c);
    return at < 0 ? QString() : s.mid(at + 1);
}

QString beforeLast(const QString& s, QChar c)
{
    const qsizetype at = s.lastIndexOf(c);
    return at < 0 ? QString() : s.left(at);
}

QString afterLast(const QString& s, QChar c)
{
    const qsizetype at = s.lastIndexOf(c);
    return at < 0 ? QString() : s.mid(at + 1);
}

QString replaceAll(const QString& s, const QString& find, const QString& repl)
{
    if (find.isEmpty())
        return s;
    QString out = s;
    if (repl.contains(find))
        return out.replace(find, repl);
    // Restarting from the first character after every replacement finds the
    // same occurrence as restarting just before the replaced text: nothing
    // earlier matched, and a new match must overlap the replacement.
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = out.indexOf(find, from);
        if (at < 0)
            return out;
        out.replace(at, find.size(), repl);
        from = qMax<qsizetype>(0, at - find.size() + 1);
    }
}

QString withTrailingSlash(const QString& path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

QString withoutTrailingSlash(const QString& path)
{
    return path.size() > 1 && path.endsWith(QLatin1Char('/')) ? path.left(path.size() - 1) : path;
}

QString trimSpaces(const QString& s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && s.at(end - 1) == QLatin1Char(' '))
        --end;
    return s.mid(begin, end - begin);
}

int leadingNumber(const QString& text)
{
    qsizetype i = 0;
    // Leading blanks are skipped: "  12" is 12.
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'); ++i) {
        value = value * 10 + (text.at(i).unicode() - '0');
        if (value > 2147483647LL)
            value = 2147483647LL;
    }
    return int(negative ? -value : value);
}

QString looseName(const QString& name)
{
    QString out;
    for (const QChar c : name)
        if (!c.isSpace())
            out += c.toLower();
    return out;
}
