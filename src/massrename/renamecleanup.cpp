#include "renamecleanup.h"

#include "nameedit/cleanup.h"
#include "settings/options.h"
#include "text/texthelpers.h"

RenameCleanupRules makeRenameCleanupRules(
    bool useOptions, bool useFilters, const Options& options, const FilterList& filters, bool filterCase)
{
    RenameCleanupRules r;
    r.useOptions = useOptions;
    r.removeParens = options.removeParens;
    r.separatorString = options.separatorString;
    r.useFilters = useFilters;
    r.filterCase = filterCase;
    if (useFilters)
        r.filters = filters;
    r.newFileCase = options.newFileCase;
    return r;
}

QString runSeparator(const RenameCleanupRules& rules)
{
    return rules.useOptions ? rules.separatorString : QStringLiteral(" - ");
}

QString massRenameCleanup(QString s, const RenameCleanupRules& rules)
{
    // "/" cannot occur in a file name, so it serves as the private marker of
    // a separator position (and any "/" from a tag becomes a separator).
    static const QString tilde = QStringLiteral("~");
    static const QString marker = QStringLiteral("/");
    static const QString space = QStringLiteral(" ");
    static const QString spacedTilde = QStringLiteral(" ~ ");
    static const QString dashRuns[] = { QString(7, u'-'), QString(6, u'-'), QString(5, u'-'), QString(4, u'-'),
        QString(3, u'-'), QString(2, u'-') };
    static const QString spaceRuns[]
        = { QString(5, u' '), QString(4, u' '), QString(3, u' '), QString(2, u' '), space };
    s = replaceAll(s, QStringLiteral("%20"), space);
    for (const QString& run : dashRuns)
        s = replaceAll(s, run, spacedTilde);
    s = replaceAll(s, QStringLiteral(" - "), tilde);
    s = replaceAll(s, QStringLiteral("-"), tilde);
    s = replaceAll(s, tilde, marker);
    for (const QString& run : spaceRuns)
        s = replaceAll(s, run, tilde);
    s = replaceAll(s, QStringLiteral("_"), tilde);
    s = replaceAll(s, tilde, space);
    if (rules.useOptions && rules.removeParens) {
        s = replaceAll(s, QStringLiteral("("), QString());
        s = replaceAll(s, QStringLiteral(")"), QString());
    }
    s = replaceAll(s, marker, runSeparator(rules));
    s = replaceAll(s, spaceRuns[3], space);
    if (rules.useFilters)
        s = applyFilters(s, rules.filters, rules.filterCase);
    s = applyNameCase(s, rules.newFileCase);
    return replaceAll(s, spaceRuns[3], space);
}
