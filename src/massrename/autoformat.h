#pragma once

#include <QString>
#include <QStringList>

// The autoformat string of the mass rename: tag field names joined by
// separators, or "None" for a cleanup of the existing names.
struct AutoFormat {
    QString formatString; // the built text, or "None"
    QStringList parts; // the field names in order, each trimmed
};

// The entries of the field chooser, "None" first.
QStringList formatListEntries();

// The autoformat a built text stands for: "None" when the text is blank,
// else the text split at every "-", each piece trimmed.
AutoFormat parseBuiltFormat(const QString& builtFormat);

// The built text after a click on entry: "" for "None"; else the entry
// appended, after separator unless the text is blank.
QString appendFormatEntry(const QString& builtFormat, const QString& entry, const QString& separator);
