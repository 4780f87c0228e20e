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
