#pragma once

#include "tagedit/multitagwriter.h"
#include "tagedit/tagtexts.h"

#include <QList>
#include <QMap>

// What the tag panel shows for many selected files: each field's common
// value, or "<different values>" where they differ.
TagTexts commonTexts(const QList<TagTexts>& files);

// The fields whose box the user changed from what it showed, as the values
// a save writes into every selected file; a box left as shown, even one
// showing "<different values>", is not written. Copyright is the MPEG
// header's bit, never a tag: never included.
MultiTagValues changedFields(const TagTexts& shown, const TagTexts& typed);

// One file's pending cell edits as the values its save writes.
MultiTagValues editedValues(const QMap<FieldId, QString>& edits);
