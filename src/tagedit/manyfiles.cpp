#include "manyfiles.h"

#include "tagedit/tableedits.h"

#include <QStringList>

TagTexts commonTexts(const QList<TagTexts>& files)
{
    TagTexts common;
    for (int i = 0; i < kFieldCount; ++i) {
        QStringList values;
        values.reserve(files.size());
        for (const TagTexts& texts : files)
            values << texts[size_t(i)];
        common[size_t(i)] = commonValue(values);
    }
    return common;
}

MultiTagValues changedFields(const TagTexts& shown, const TagTexts& typed)
{
    MultiTagValues values;
    for (int i = 0; i < kFieldCount; ++i) {
        if (FieldId(i) == FieldId::CopyRight || typed[size_t(i)] == shown[size_t(i)])
            continue;
        values.included[size_t(i)] = true;
        values.texts[size_t(i)] = typed[size_t(i)];
    }
    return values;
}

MultiTagValues editedValues(const QMap<FieldId, QString>& edits)
{
    MultiTagValues values;
    for (auto it = edits.cbegin(); it != edits.cend(); ++it) {
        values.included[size_t(it.key())] = true;
        values.texts[size_t(it.key())] = it.value();
    }
    return values;
}
