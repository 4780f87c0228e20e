#include "manyfiles.h"

#include "tagedit/tableedits.h"

void CommonTags::add(const TagTexts& texts, const std::optional<CoverPicture>& front)
{
    if (m_count++ == 0) {
        m_first = texts;
        m_cover = front;
        return;
    }
    for (int i = 0; i < kFieldCount; ++i)
        m_differ[size_t(i)] = m_differ[size_t(i)] || texts[size_t(i)] != m_first[size_t(i)];
    if (!m_coversDiffer && (front.has_value() != m_cover.has_value() || (front && !samePicture(*front, *m_cover)))) {
        m_coversDiffer = true;
        m_cover.reset();
    }
}

TagTexts CommonTags::texts() const
{
    TagTexts common;
    for (int i = 0; i < kFieldCount; ++i)
        common[size_t(i)] = m_differ[size_t(i)] ? kDifferentValues : m_first[size_t(i)];
    return common;
}

TagTexts commonTexts(const QList<TagTexts>& files)
{
    CommonTags common;
    for (const TagTexts& texts : files)
        common.add(texts, std::nullopt);
    return common.texts();
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
