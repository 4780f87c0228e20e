#pragma once

#include "filters.h"

#include <QString>

class Preferences;
class SettingsStore;

// The filter editor's working copy: the stored filters (without the empty
// placeholder record) and its two check boxes.
struct FilterEditorState {
    FilterList filters;
    bool enableFilters = true;
    bool filterCase = true;
};

// Line of the editor's list: "Delete Occurences Of 'x'" or
// "Replace 'x' With 'y'".
QString filterDisplayText(const FilterRecord& filter);

// Value under "FilterNN": "@" + Search for a delete filter, Search + "@" +
// Replace for a replace filter.
QString filterStoredValue(const FilterRecord& filter);

// Reads the stored filters and the two flags ("EnableFilters" and
// "FilterCase", both on when nothing is stored yet).
FilterEditorState loadFilterList(const SettingsStore& store);

// Rewrites section "Filters" from the records (in order) and both flags as
// "1"/"0", then reloads the in-memory filters.
void saveFilterList(Preferences& prefs, const FilterEditorState& state);

// Whether a search and a replacement character typed into the editor make
// a filter. The stored form cannot carry a replacement with an empty search
// or a replacement of "@": those are refused rather than stored wrongly.
enum class FilterCheck {
    Ok,
    NothingDefined, // both empty after trimming
    SameCharacters, // trimmed search equals trimmed replacement
    ReplaceWithoutSearch, // empty search with a replacement
    AtCannotBeReplaced, // "@" as search of a replace filter
};
FilterCheck checkNewFilter(const QString& search, const QString& replace);

// The message shown for a refused filter; "" for Ok.
QString filterCheckMessage(FilterCheck check);

// The filter made from the untrimmed texts: delete when replace is empty,
// else replace. Only meaningful when checkNewFilter gives Ok.
FilterRecord makeFilter(const QString& search, const QString& replace);

// Appends filter unless one that reads the same is listed already (a second
// copy would only run twice). False when nothing was added.
bool addFilterOnce(FilterList& filters, const FilterRecord& filter);
