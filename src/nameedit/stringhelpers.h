#pragma once

#include <QChar>
#include <QString>

// Small text helpers shared by the name editing commands, the mask
// synchronisation and the settings. All comparisons are case-sensitive.

// Text before the first c; s unchanged when c does not occur.
QString BeforeFirst(const QString& s, QChar c);
// Text after the first c; "" when c does not occur.
QString AfterFirst(const QString& s, QChar c);
// Text before the last c; "" when c does not occur.
QString BeforeLast(const QString& s, QChar c);
// Text after the last c; "" when c does not occur.
QString AfterLast(const QString& s, QChar c);

// Replaces find by repl until find no longer occurs anywhere, each time
// searching again from the start, so that runs collapse completely ("   "
// with "  " -> " " gives " "). When repl contains find that could never end;
// then every occurrence is replaced once, left to right. An empty find
// returns s unchanged.
QString ReplaceAll(const QString& s, const QString& find, const QString& repl);

// path followed by "/" unless it already ends in one.
QString WithTrailingSlash(const QString& path);

// Removes spaces (code 32 only) from both ends; tabs stay.
QString Trim(const QString& s);
