#pragma once

#include "tags/fieldcatalogue.h"

#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// What a field of many files shows: "<different values>" when they differ.
extern const QString kDifferentValues;

// The value every one of values has; kDifferentValues when they differ; ""
// for none.
QString commonValue(const QStringList& values);

// Edits made in the table or the tag panel and not saved yet, file by file.
// They outlive every change of the selection, the sort and the filter.
class PendingEdits {
public:
    // A field's new text in a file; giving it back its stored text ends the edit.
    void set(const QString& path, FieldId field, const QString& text, const QString& stored);
    std::optional<QString> value(const QString& path, FieldId field) const;
    bool isEdited(const QString& path, FieldId field) const { return value(path, field).has_value(); }
    QMap<FieldId, QString> editsOf(const QString& path) const { return m_edits.value(path); }
    QStringList paths() const { return m_edits.keys(); }
    bool isEmpty() const { return m_edits.isEmpty(); }
    // The file's edits were saved, or given up.
    void drop(const QString& path) { m_edits.remove(path); }
    void clear() { m_edits.clear(); }
    // The file now has this path: its edits follow it.
    void renamed(const QString& oldPath, const QString& newPath);

private:
    QHash<QString, QMap<FieldId, QString>> m_edits;
};
