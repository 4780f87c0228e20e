#include "renamecleanup.h"

#include "nameedit/cleanup.h"
#include "nameedit/stringhelpers.h"
#include "settings/options.h"

RenameCleanupRules MakeRenameCleanupRules(bool useOptions, bool useFilters, const Options& options,
                                          const FilterList& filters, bool filterCase)
{
    RenameCleanupRules r;
    r.useOptions = useOptions;
    r.removeParens = options.RemoveParens;
    r.separatorString = options.SeparatorString;
    r.useFilters = useFilters;
    r.filterCase = filterCase;
    if (useFilters)
        r.filters = filters;
    r.newFileCase = options.NewFileCase;
    return r;
}

QString RunSeparator(const RenameCleanupRules& rules)
{
    return rules.useOptions ? rules.separatorString : QStringLiteral(" - ");
}

QString MassRenameCleanup(QString s, const RenameCleanupRules& rules)
{
    // "/" cannot occur in a file name, so it serves as the private marker of
    // a separator position (and any "/" from a tag becomes a separator).
    const QString tilde = QStringLiteral("~");
    const QString marker = QStringLiteral("/");
    s = ReplaceAll(s, QStringLiteral("%20"), QStringLiteral(" "));
    for (int n = 7; n >= 2; --n)
        s = ReplaceAll(s, QString(n, QLatin1Char('-')), QStringLiteral(" ~ "));
    s = ReplaceAll(s, QStringLiteral(" - "), tilde);
    s = ReplaceAll(s, QStringLiteral("-"), tilde);
    s = ReplaceAll(s, tilde, marker);
    for (int n = 5; n >= 1; --n)
        s = ReplaceAll(s, QString(n, QLatin1Char(' ')), tilde);
    s = ReplaceAll(s, QStringLiteral("_"), tilde);
    s = ReplaceAll(s, tilde, QStringLiteral(" "));
    if (rules.useOptions && rules.removeParens) {
        s = ReplaceAll(s, QStringLiteral("("), QString());
        s = ReplaceAll(s, QStringLiteral(")"), QString());
    }
    s = ReplaceAll(s, marker, RunSeparator(rules));
    s = ReplaceAll(s, QStringLiteral("  "), QStringLiteral(" "));
    if (rules.useFilters) {
        for (const FilterRecord& f : rules.filters) {
            if (f.Kind == QLatin1String("D"))
                s = FilterReplace(s, f.Search, QString(), rules.filterCase);
            else if (f.Kind == QLatin1String("R"))
                s = FilterReplace(s, f.Search, f.Replace, rules.filterCase);
        }
    }
    if (rules.newFileCase == QLatin1String("TC"))
        s = MakeTitleCase(s);
    else if (rules.newFileCase == QLatin1String("UC"))
        s = s.toUpper();
    else if (rules.newFileCase == QLatin1String("LC"))
        s = s.toLower();
    return ReplaceAll(s, QStringLiteral("  "), QStringLiteral(" "));
}
