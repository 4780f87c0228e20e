#include "resultsmodel.h"

#include <QColor>

int ResultsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ResultsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const Row& row = m_rows.at(index.row());
    if (role == Qt::ToolTipRole && index.column() == 2 && !row.note.isEmpty())
        return row.newName + QStringLiteral(" - ") + row.note;
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        switch (index.column()) {
        case 0:
            return row.dir;
        case 1:
            return row.oldName;
        case 2:
            return row.newName;
        default:
            return {};
        }
    }
    if (role == Qt::ForegroundRole && index.column() == 2)
        return row.colour == ResultColour::Renamed ? QColor(0, 64, 0) : QColor(255, 0, 0);
    return {};
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case 0:
        return QStringLiteral("In Directory");
    case 1:
        return QStringLiteral("Old Filename");
    case 2:
        return QStringLiteral("New Filename");
    default:
        return {};
    }
}

void ResultsModel::append(Row row)
{
    if (row.dir == m_lastDir)
        row.dir = m_lastDir;
    else
        m_lastDir = row.dir;
    if (row.newName == row.oldName)
        row.newName = row.oldName;
    m_pending.append(std::move(row));
}

bool ResultsModel::flush()
{
    if (m_pending.isEmpty())
        return false;
    beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + m_pending.size() - 1));
    m_rows.append(std::move(m_pending));
    m_pending = {};
    endInsertRows();
    return true;
}

void ResultsModel::clear()
{
    beginResetModel();
    m_rows.clear();
    m_pending.clear();
    m_lastDir.clear();
    endResetModel();
}
