#include "filters.h"

#include "settingsstore.h"

FilterList loadFilters(const SettingsStore& store)
{
    FilterList filters { FilterRecord {} };
    if (store.getFilterValue(QStringLiteral("Filter00"), QString()).isEmpty())
        return filters;
    for (int n = 0;; ++n) {
        const QString v = store.getFilterValue(numberedKey(QStringLiteral("Filter"), n), QString());
        if (v.isEmpty())
            break;
        FilterRecord r;
        if (v.startsWith(QLatin1Char('@'))) {
            r.kind = FilterKind::Delete;
            r.search = v.mid(1);
        } else {
            r.kind = FilterKind::Replace;
            const qsizetype at = v.indexOf(QLatin1Char('@'));
            r.search = at < 0 ? v : v.left(at);
            r.replace = at < 0 ? QString() : v.mid(at + 1);
        }
        if (n < filters.size())
            filters[n] = r;
        else
            filters.append(r);
    }
    return filters;
}
