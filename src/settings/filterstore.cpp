#include "filterstore.h"

#include "preferences.h"
#include "settingsstore.h"

QString filterDisplayText(const FilterRecord& filter)
{
    if (filter.kind == FilterKind::Delete)
        return QStringLiteral("Delete Occurences Of '") + filter.search + QLatin1Char('\'');
    return QStringLiteral("Replace '") + filter.search + QStringLiteral("' With '") + filter.replace
        + QLatin1Char('\'');
}

QString filterStoredValue(const FilterRecord& filter)
{
    if (filter.kind == FilterKind::Delete)
        return QLatin1Char('@') + filter.search;
    return filter.search + QLatin1Char('@') + filter.replace;
}

FilterEditorState loadFilterList(const SettingsStore& store)
{
    FilterEditorState state;
    // The stored list is read by the same rule as the in-memory filters;
    // only the placeholder record of an empty list is dropped.
    for (const FilterRecord& r : loadFilters(store))
        if (r.kind != FilterKind::None)
            state.filters.append(r);
    state.enableFilters = isOn(store.getOption(QStringLiteral("EnableFilters"), QStringLiteral("1")));
    state.filterCase = isOn(store.getOption(QStringLiteral("FilterCase"), QStringLiteral("1")));
    return state;
}

void saveFilterList(Preferences& prefs, const FilterEditorState& state)
{
    prefs.store.deleteSection(QStringLiteral("Filters"));
    // Written from the records, not parsed back from the display lines, so
    // that a "'" as search or replacement survives.
    for (int i = 0; i < state.filters.size(); ++i)
        prefs.store.saveFilterValue(numberedKey(QStringLiteral("Filter"), i), filterStoredValue(state.filters.at(i)));
    prefs.store.saveOption(
        QStringLiteral("EnableFilters"), state.enableFilters ? QStringLiteral("1") : QStringLiteral("0"));
    prefs.store.saveOption(QStringLiteral("FilterCase"), state.filterCase ? QStringLiteral("1") : QStringLiteral("0"));
    prefs.loadFilters();
}

FilterCheck checkNewFilter(const QString& search, const QString& replace)
{
    const QString s = trimSpaces(search);
    const QString r = trimSpaces(replace);
    if (s.isEmpty() && r.isEmpty())
        return FilterCheck::NothingDefined;
    if (s == r)
        return FilterCheck::SameCharacters;
    // Stored as "@x", which reads back as "delete x".
    if (search.isEmpty() && !replace.isEmpty())
        return FilterCheck::ReplaceWithoutSearch;
    // Stored as "@@x", which reads back as "delete '@x'".
    if (search == QLatin1String("@") && !replace.isEmpty())
        return FilterCheck::AtCannotBeReplaced;
    return FilterCheck::Ok;
}

QString filterCheckMessage(FilterCheck check)
{
    switch (check) {
    case FilterCheck::Ok:
        return {};
    case FilterCheck::NothingDefined:
        return QStringLiteral("No Search or Replace Characters Defined!");
    case FilterCheck::SameCharacters:
        return QStringLiteral("Invalid Search and Replace Characters Specified!");
    case FilterCheck::ReplaceWithoutSearch:
        return QStringLiteral("No Search Character Defined For The Replacement!");
    case FilterCheck::AtCannotBeReplaced:
        return QStringLiteral("The Character '@' Can Only Be Deleted, Not Replaced!");
    }
    return {};
}

FilterRecord makeFilter(const QString& search, const QString& replace)
{
    if (replace.isEmpty() && !search.isEmpty())
        return { FilterKind::Delete, search, QString() };
    return { FilterKind::Replace, search, replace };
}

bool addFilterOnce(FilterList& filters, const FilterRecord& filter)
{
    const QString text = filterDisplayText(filter);
    for (const FilterRecord& listed : filters) {
        if (filterDisplayText(listed) == text)
            return false;
    }
    filters.append(filter);
    return true;
}
