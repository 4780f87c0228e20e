#include "formatmask.h"

#include "text/texthelpers.h"

QStringList maskTokens(const QString& mask)
{
    // A mask typed without an extension would otherwise address nothing.
    const QString pattern = mask.contains(QLatin1Char('.')) ? beforeLast(mask, QLatin1Char('.')) : mask;
    return pattern.split(QLatin1Char('-'));
}

bool maskTokenField(const QString& token, FieldId* out)
{
    return fieldByName(trimSpaces(token), out);
}

QString nameFromFields(const QString& mask, const std::function<QString(FieldId)>& fieldText, const QString& separator,
    const QString& extension)
{
    QString result;
    for (const QString& token : maskTokens(mask)) {
        FieldId field;
        if (!maskTokenField(token, &field))
            continue;
        const QString value = fieldText(field);
        if (trimSpaces(value).isEmpty())
            continue;
        if (!trimSpaces(result).isEmpty())
            result += separator;
        result += value;
    }
    return trimSpaces(result) + extension;
}

QList<QPair<FieldId, QString>> fieldsFromName(const QString& mask, const QString& name, bool removeParens)
{
    QString base = beforeLast(name, QLatin1Char('.'));
    if (removeParens) {
        base.remove(QLatin1Char('('));
        base.remove(QLatin1Char(')'));
    }
    const QStringList pieces = base.split(QLatin1Char('-'));
    const QStringList tokens = maskTokens(mask);
    QList<QPair<FieldId, QString>> out;
    for (qsizetype i = 0; i < pieces.size() && i < tokens.size(); ++i) {
        FieldId field;
        if (maskTokenField(tokens.at(i), &field))
            out.append({ field, trimSpaces(pieces.at(i)) });
    }
    return out;
}
