#pragma once

#include <QList>
#include <QString>

class SettingsStore;

// One search-and-replace filter: Kind "D" deletes Search, "R" replaces it by
// Replace. Stored as "@" + Search (delete) or Search + "@" + Replace.
struct FilterRecord {
    QString kind;
    QString search;
    QString replace;

    bool operator==(const FilterRecord&) const = default;
};

// Always at least one record long: nothing stored gives one empty record.
using FilterList = QList<FilterRecord>;

FilterList loadFilters(const SettingsStore& store);
