#include "tablecolumns.h"

#include "text/texthelpers.h"

#include <QStringList>

namespace {

const char* const kNames[kTableColumnCount] = { "File Name", "Title", "Artist", "Album", "Track", "Year", "Genre",
    "Length", "Bit Rate", "Format", "Size", "Modified" };

} // namespace

QString tableColumnName(TableColumn column)
{
    return QString::fromLatin1(kNames[int(column)]);
}

std::optional<TableColumn> tableColumnByName(const QString& name)
{
    const QString wanted = looseName(name);
    for (int i = 0; i < kTableColumnCount; ++i)
        if (looseName(QString::fromLatin1(kNames[i])) == wanted)
            return TableColumn(i);
    return std::nullopt;
}

std::optional<FieldId> tableColumnField(TableColumn column)
{
    switch (column) {
    case TableColumn::Title:
        return FieldId::Title;
    case TableColumn::Artist:
        return FieldId::Artist;
    case TableColumn::Album:
        return FieldId::Album;
    case TableColumn::Track:
        return FieldId::Track;
    case TableColumn::Year:
        return FieldId::Year;
    case TableColumn::Genre:
        return FieldId::Genre;
    default:
        return std::nullopt;
    }
}

QList<TableColumn> allTableColumns()
{
    QList<TableColumn> columns;
    for (int i = 0; i < kTableColumnCount; ++i)
        columns << TableColumn(i);
    return columns;
}

QString tableColumnsText(const QList<TableColumn>& columns)
{
    QStringList names;
    for (TableColumn column : columns)
        names << tableColumnName(column);
    return names.join(QLatin1Char(','));
}

QList<TableColumn> tableColumnsFromText(const QString& text)
{
    QList<TableColumn> columns;
    for (const QString& name : text.split(QLatin1Char(','), Qt::SkipEmptyParts))
        if (const auto column = tableColumnByName(name); column && !columns.contains(*column))
            columns << *column;
    if (columns.isEmpty())
        return allTableColumns();
    // Without it no row could be told from another.
    if (!columns.contains(TableColumn::FileName))
        columns.prepend(TableColumn::FileName);
    return columns;
}
