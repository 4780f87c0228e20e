#pragma once

#include "settings/filters.h"
#include "settings/options.h"

#include <QString>

// What the mass rename's cleanup depends on. Options and filters take part
// only when the run's "Use All Defined Options" / "Use Defined Filters"
// boxes are checked; the casing always does.
struct RenameCleanupRules {
    bool useOptions = false;
    bool removeParens = false;
    QString separatorString = QStringLiteral("-");
    bool useFilters = false;
    bool filterCase = false; // filters match case-sensitively
    FilterList filters;
    NameCase newFileCase = NameCase::Title;
};

RenameCleanupRules makeRenameCleanupRules(
    bool useOptions, bool useFilters, const Options& options, const FilterList& filters, bool filterCase);

// The separator the run joins name parts with: the options' separator when
// options are used, else " - ".
QString runSeparator(const RenameCleanupRules& rules);

// Cleans a base name (no extension): dash runs, tildes and "/" become one
// separator, space and underscore runs one space, "%20" a space; then the
// parentheses (with options), the filters (when used) and the casing. A "/"
// from a tag value thus never reaches the file name as a folder separator.
// Leading and trailing separators are kept.
QString massRenameCleanup(QString s, const RenameCleanupRules& rules);
