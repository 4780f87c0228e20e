#include "filetablemodel.h"

#include "tagedit/naturalorder.h"

#include <QHash>
#include <QSet>

#include <algorithm>

FileTableModel::FileTableModel(QObject* parent)
    : QAbstractTableModel(parent)
    , m_columns(allTableColumns())
{
}

void FileTableModel::setColumns(const QList<TableColumn>& columns)
{
    beginResetModel();
    m_columns = columns;
    endResetModel();
}

void FileTableModel::clear()
{
    beginResetModel();
    m_rows.clear();
    m_shown.clear();
    m_edits.clear();
    endResetModel();
}

void FileTableModel::setRows(std::vector<TableRow> rows)
{
    m_rows = std::move(rows);
    QSet<QString> listed;
    for (const TableRow& row : m_rows)
        listed.insert(row.path);
    for (const QString& path : m_edits.paths())
        if (!listed.contains(path))
            m_edits.drop(path);
    rebuild();
}

void FileTableModel::appendRows(const QList<TableRow>& rows)
{
    QList<int> kept;
    for (const TableRow& row : rows) {
        m_rows.push_back(row);
        if (m_filter.matches(row))
            kept << int(m_rows.size()) - 1;
    }
    if (kept.isEmpty())
        return;
    beginInsertRows({}, int(m_shown.size()), int(m_shown.size() + kept.size()) - 1);
    m_shown << kept;
    endInsertRows();
}

void FileTableModel::updateFacts(const QList<TableRow>& rows)
{
    QHash<QString, const TableRow*> byPath;
    for (const TableRow& row : rows)
        byPath.insert(row.path, &row);
    for (TableRow& row : m_rows) {
        if (const TableRow* facts = byPath.value(row.path)) {
            row.lengthMs = facts->lengthMs;
            row.bitRate = facts->bitRate;
            row.cells[size_t(TableColumn::Length)] = facts->text(TableColumn::Length);
            row.cells[size_t(TableColumn::BitRate)] = facts->text(TableColumn::BitRate);
            row.factsRead = true;
        }
    }
    if (!m_shown.isEmpty())
        emit dataChanged(index(0, 0), index(int(m_shown.size()) - 1, int(m_columns.size()) - 1));
}

void FileTableModel::updateRows(const QList<TableRow>& rows)
{
    QHash<QString, const TableRow*> byPath;
    for (const TableRow& row : rows)
        byPath.insert(row.path, &row);
    for (TableRow& row : m_rows) {
        const TableRow* read = byPath.value(row.path);
        if (!read)
            continue;
        const TableRow facts = row;
        row = *read;
        if (facts.factsRead && !read->factsRead) {
            row.lengthMs = facts.lengthMs;
            row.bitRate = facts.bitRate;
            row.cells[size_t(TableColumn::Length)] = facts.text(TableColumn::Length);
            row.cells[size_t(TableColumn::BitRate)] = facts.text(TableColumn::BitRate);
            row.factsRead = true;
        }
    }
    if (!m_shown.isEmpty())
        emit dataChanged(index(0, 0), index(int(m_shown.size()) - 1, int(m_columns.size()) - 1));
}

int FileTableModel::shownRowOf(const QString& path) const
{
    for (int i = 0; i < m_shown.size(); ++i)
        if (m_rows[size_t(m_shown[i])].path == path)
            return i;
    return -1;
}

bool FileTableModel::less(int a, int b) const
{
    const TableRow& ra = m_rows[size_t(a)];
    const TableRow& rb = m_rows[size_t(b)];
    const TableColumn column = m_sort->first;
    int order = 0;
    if (const auto na = ra.number(column))
        order = *na < *rb.number(column) ? -1 : *na > *rb.number(column) ? 1 : 0;
    else
        order = naturalCompare(cellText(ra, column), cellText(rb, column));
    if (order == 0) // equal cells keep the files in name order
        order = naturalCompare(ra.text(TableColumn::FileName), rb.text(TableColumn::FileName));
    if (order == 0)
        order = a < b ? -1 : a > b ? 1 : 0;
    return m_sort->second == Qt::AscendingOrder ? order < 0 : order > 0;
}

void FileTableModel::rebuild()
{
    beginResetModel();
    m_shown.clear();
    for (int i = 0; i < int(m_rows.size()); ++i)
        if (m_filter.matches(m_rows[size_t(i)]))
            m_shown << i;
    if (m_sort)
        std::sort(m_shown.begin(), m_shown.end(), [this](int a, int b) { return less(a, b); });
    endResetModel();
}

void FileTableModel::sortBy(TableColumn column, Qt::SortOrder order)
{
    m_sort = { column, order };
    rebuild();
}

void FileTableModel::sort(int column, Qt::SortOrder order)
{
    if (column >= 0 && column < m_columns.size())
        sortBy(m_columns[column], order);
}

void FileTableModel::setFilter(const QString& text)
{
    m_filter = TableFilter(text);
    rebuild();
}

int FileTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

int FileTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QString FileTableModel::cellText(const TableRow& row, TableColumn column) const
{
    if (!m_edits.isEmpty())
        if (const auto field = tableColumnField(column))
            if (const auto edited = m_edits.value(row.path, *field))
                return *edited;
    return row.text(column);
}

QString FileTableModel::shownText(int shownRow, TableColumn column) const
{
    return cellText(rowAt(shownRow), column);
}

QVariant FileTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_shown.size() || index.column() >= m_columns.size())
        return {};
    const TableColumn column = m_columns[index.column()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return shownText(index.row(), column);
    case EditedRole: {
        const auto field = tableColumnField(column);
        return field && m_edits.isEdited(rowAt(index.row()).path, *field);
    }
    default:
        return {};
    }
}

QVariant FileTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= m_columns.size())
        return {};
    return tableColumnName(m_columns[section]);
}

Qt::ItemFlags FileTableModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && tableColumnField(m_columns[index.column()]))
        f |= Qt::ItemIsEditable;
    return f;
}

bool FileTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid())
        return false;
    const TableColumn column = m_columns[index.column()];
    const auto field = tableColumnField(column);
    if (!field)
        return false;
    const TableRow& row = rowAt(index.row());
    m_edits.set(row.path, *field, value.toString(), row.text(column));
    emit dataChanged(index, index, { Qt::DisplayRole, Qt::EditRole, EditedRole });
    return true;
}
