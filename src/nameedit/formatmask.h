#pragma once

#include "tags/fieldcatalogue.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <functional>

// Format masks such as "Artist - Title.mp3": the text before the last "."
// is the pattern (a mask typed without any "." is all pattern), split at every "-" into tokens; a trimmed token that is
// a field name (case-sensitive, "Song" meaning Title) addresses that field, any other token is a placeholder that only
// holds a position.

// The pattern split at every "-", untrimmed ({""} for an empty pattern).
// A mask's own extension is ignored: its ".mp3" stands for the extension of
// the file being named.
QStringList maskTokens(const QString& mask);

// The field a token names after trimming; false for a placeholder.
bool maskTokenField(const QString& token, FieldId* out);

// The new name built from the field texts: non-blank values joined by the
// separator, as they stand, then trimmed and extension appended (extension
// alone when every value is blank).
QString nameFromFields(const QString& mask, const std::function<QString(FieldId)>& fieldText, const QString& separator,
    const QString& extension);

// The field assignments a new name gives through a mask: piece i of the
// name (before its last ".", split at "-", with "(" and ")" removed when
// removeParens) goes trimmed to the field of token i. Surplus pieces and
// tokens are ignored; placeholders consume their piece.
QList<QPair<FieldId, QString>> fieldsFromName(const QString& mask, const QString& name, bool removeParens);
