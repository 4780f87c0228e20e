#pragma once

#include <QChar>
#include <QString>

// Small text helpers every folder may use. All comparisons are
// case-sensitive; "trim" removes spaces (code 32) only, tabs stay.

// Text before the first c; s unchanged when c does not occur.
QString beforeFirst(const QString& s, QChar c);
// Text after the first c; "" when c does not occur.
QString afterFirst(const QString& s, QChar c);
// Text before the last c; "" when c does not occur.
QString beforeLast(const QString& s, QChar c);
// Text after the last c; "" when c does not occur.
QString afterLast(const QString& s, QChar c);

// Replaces find by repl until find no longer occurs anywhere, each time
// searching again from the start, so that runs collapse completely ("   "
// with "  " -> " " gives " "). When repl contains find that could never end;
// then every occurrence is replaced once, left to right. An empty find
// returns s unchanged.
QString replaceAll(const QString& s, const QString& find, const QString& repl);

// path followed by "/" unless it already ends in one.
QString withTrailingSlash(const QString& path);

// path without one trailing "/"; the root "/" and "" stay as they are.
QString withoutTrailingSlash(const QString& path);

// Removes spaces (code 32 only) from both ends.
QString trimSpaces(const QString& s);

// The number at the start of the text (blanks skipped, an optional sign,
// then digits), 0 when the text does not start with one: "" is 0, "1abc" 1.
int leadingNumber(const QString& text);

// A name as typed on a command line or in a filter, compared loosely: lower
// case, without blanks ("Total Tracks" and "totaltracks" match).
QString looseName(const QString& name);

// A flag is on when the number at the start of its text is exactly 1.
inline bool isOn(const QString& text)
{
    return leadingNumber(text) == 1;
}
