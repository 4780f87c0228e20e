#pragma once

#include "settings/filters.h"
#include "settings/options.h"

#include <QString>

class Preferences;

// Everything the name cleanup depends on, captured at the moment of a call.
struct CleanupRules {
    bool removeParens = false;
    bool removeUnderscores = false;
    QString separatorString = QStringLiteral("-");
    bool enableFilters = false;
    bool filterCase = false; // filters match case-sensitively
    FilterList filters;
};

// The rules as they stand now: the in-memory options and filters, and the
// "EnableFilters" / "FilterCase" settings read from the store (default "0").
CleanupRules cleanupRulesFrom(const Preferences& prefs);

// Normalises one name or one part: every dash, run of dashes, tilde or "/"
// becomes one separator; runs of spaces (and of underscores, when asked)
// become one space; "%20" a space; parentheses go when asked; then the
// filters run once each. Leading and trailing separators are kept.
QString cleanupFileName(const QString& text, const CleanupRules& rules);

// Replaces every find in text by repl. Case-insensitive matching adapts the
// replacement to the case of each match when find and repl are both lower
// case (an upper-case match gives upper case, a capitalised one capitalised).
// The search continues behind each replacement, so repl may contain find.
// A blank find and repl, or an empty find, leave text unchanged.
QString filterReplace(const QString& text, const QString& find, const QString& repl, bool caseSensitive);

// Lower case, with the first character and every character after "-", " ",
// ".", "_" or "(" in upper case.
QString makeTitleCase(const QString& text);

QString applyNameCase(const QString& text, NameCase nameCase);

// Runs every delete and replace filter once, in order.
QString applyFilters(const QString& text, const FilterList& filters, bool caseSensitive);
