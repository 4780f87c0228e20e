#pragma once

#include <QList>
#include <QString>

class SettingsStore;

// What a filter does. None marks the placeholder record of a list with
// nothing stored; it does nothing.
enum class FilterKind { None, Delete, Replace };

// One search-and-replace filter: Delete removes search, Replace puts replace
// in its place. Stored as "@" + search (delete) or search + "@" + replace.
struct FilterRecord {
    FilterKind kind = FilterKind::None;
    QString search;
    QString replace;

    bool operator==(const FilterRecord&) const = default;
};

// Always at least one record long: nothing stored gives one empty record.
using FilterList = QList<FilterRecord>;

FilterList loadFilters(const SettingsStore& store);
