#include "filterstore.h"

#include "preferences.h"
#include "settingsstore.h"

namespace {
const QString kDelete = QStringLiteral("D");
const QString kReplace = QStringLiteral("R");
} // namespace

QString FilterDisplayText(const FilterRecord& filter)
{
    if (filter.Kind == kDelete)
        return QStringLiteral("Delete Occurences Of '") + filter.Search + QLatin1Char('\'');
    return QStringLiteral("Replace '") + filter.Search + QStringLiteral("' With '") + filter.Replace
        + QLatin1Char('\'');
}

QString FilterStoredValue(const FilterRecord& filter)
{
    if (filter.Kind == kDelete)
        return QLatin1Char('@') + filter.Search;
    return filter.Search + QLatin1Char('@') + filter.Replace;
}

FilterEditorState LoadFilterList(const SettingsStore& store)
{
    FilterEditorState state;
    // The stored list is read by the same rule as the in-memory filters;
    // only the placeholder record of an empty list is dropped.
    for (const FilterRecord& r : LoadFilters(store))
        if (r.Kind == kDelete || r.Kind == kReplace)
            state.filters.append(r);
    state.enableFilters = IsOn(store.GetOption(QStringLiteral("EnableFilters"), QStringLiteral("1")));
    state.filterCase = IsOn(store.GetOption(QStringLiteral("FilterCase"), QStringLiteral("1")));
    return state;
}

void SaveFilterList(Preferences& prefs, const FilterEditorState& state)
{
    prefs.store.DeleteSection(QStringLiteral("Filters"));
    // Written from the records, not parsed back from the display lines, so
    // that a "'" as search or replacement survives.
    for (int i = 0; i < state.filters.size(); ++i)
        prefs.store.SaveFilterValue(NumberedKey(QStringLiteral("Filter"), i), FilterStoredValue(state.filters.at(i)));
    prefs.store.SaveOption(
        QStringLiteral("EnableFilters"), state.enableFilters ? QStringLiteral("1") : QStringLiteral("0"));
    prefs.store.SaveOption(QStringLiteral("FilterCase"), state.filterCase ? QStringLiteral("1") : QStringLiteral("0"));
    prefs.LoadFilters();
}

FilterCheck CheckNewFilter(const QString& search, const QString& replace)
{
    const QString s = TrimSpaces(search);
    const QString r = TrimSpaces(replace);
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

QString FilterCheckMessage(FilterCheck check)
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

FilterRecord MakeFilter(const QString& search, const QString& replace)
{
    if (replace.isEmpty() && !search.isEmpty())
        return { kDelete, search, QString() };
    return { kReplace, search, replace };
}
