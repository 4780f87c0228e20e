#pragma once

#include "tagedit/multitagwriter.h"
#include "tagedit/tagtexts.h"
#include "tags/coverpicture.h"

#include <QList>
#include <QMap>

#include <optional>

// What the tag panel shows for many selected files, gathered one file at a
// time, so that memory stays that of one file whatever the count: each
// field's common value, or "<different values>" where they differ; the
// front cover they share.
class CommonTags {
public:
    void add(const TagTexts& texts, const std::optional<CoverPicture>& front);
    int count() const { return m_count; }
    TagTexts texts() const;
    // The front cover every file holds; nothing when none has one or they differ.
    const std::optional<CoverPicture>& cover() const { return m_cover; }
    bool coversDiffer() const { return m_coversDiffer; }

private:
    int m_count = 0;
    TagTexts m_first;
    std::array<bool, kFieldCount> m_differ {};
    std::optional<CoverPicture> m_cover;
    bool m_coversDiffer = false;
};

TagTexts commonTexts(const QList<TagTexts>& files);

// The fields whose box the user changed from what it showed, as the values
// a save writes into every selected file; a box left as shown, even one
// showing "<different values>", is not written. Copyright is the MPEG
// header's bit, never a tag: never included.
MultiTagValues changedFields(const TagTexts& shown, const TagTexts& typed);

// One file's pending cell edits as the values its save writes.
MultiTagValues editedValues(const QMap<FieldId, QString>& edits);
