#include "formatmask.h"

#include "text/texthelpers.h"

QStringList MaskTokens(const QString& mask)
{
    // A mask typed without an extension would otherwise address nothing.
    const QString pattern = mask.contains(QLatin1Char('.')) ? BeforeLast(mask, QLatin1Char('.')) : mask;
    return pattern.split(QLatin1Char('-'));
}

bool MaskTokenField(const QString& token, FieldId* out)
{
    return fieldByName(TrimSpaces(token), out);
}

QString NameFromFields(const QString& mask, const std::function<QString(FieldId)>& fieldText, const QString& separator)
{
    QString result;
    for (const QString& token : MaskTokens(mask)) {
        FieldId field;
        if (!MaskTokenField(token, &field))
            continue;
        const QString value = fieldText(field);
        if (TrimSpaces(value).isEmpty())
            continue;
        if (!TrimSpaces(result).isEmpty())
            result += separator;
        result += value;
    }
    return TrimSpaces(result) + QStringLiteral(".mp3");
}

QList<QPair<FieldId, QString>> FieldsFromName(const QString& mask, const QString& name, bool removeParens)
{
    QString base = BeforeLast(name, QLatin1Char('.'));
    if (removeParens) {
        base.remove(QLatin1Char('('));
        base.remove(QLatin1Char(')'));
    }
    const QStringList pieces = base.split(QLatin1Char('-'));
    const QStringList tokens = MaskTokens(mask);
    QList<QPair<FieldId, QString>> out;
    for (qsizetype i = 0; i < pieces.size() && i < tokens.size(); ++i) {
        FieldId field;
        if (MaskTokenField(tokens.at(i), &field))
            out.append({ field, TrimSpaces(pieces.at(i)) });
    }
    return out;
}
