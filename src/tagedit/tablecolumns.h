#pragma once

#include "tags/fieldcatalogue.h"

#include <QList>
#include <QString>

#include <optional>

// The columns of the file table, in their default order.
enum class TableColumn { FileName, Title, Artist, Album, Track, Year, Genre, Length, BitRate, Format, Size, Modified };
constexpr int kTableColumnCount = 12;

// "File Name", "Title", ..., "Bit Rate", "Modified".
QString tableColumnName(TableColumn column);
// The column a name (as shown, any case, blanks optional) means.
std::optional<TableColumn> tableColumnByName(const QString& name);
// The tag field a column shows; nothing for the file's own facts.
std::optional<FieldId> tableColumnField(TableColumn column);
// Every column, in the default order.
QList<TableColumn> allTableColumns();
// The columns shown, as the settings keep them: "File Name,Title,...".
QString tableColumnsText(const QList<TableColumn>& columns);
// Columns read back from the settings: unknown names and repeats are
// skipped, and the file name is always shown (first when it was missing);
// every column when the text names none.
QList<TableColumn> tableColumnsFromText(const QString& text);
