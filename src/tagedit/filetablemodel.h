#pragma once

#include "tagedit/tableedits.h"
#include "tagedit/tablefilter.h"
#include "tagedit/tablerow.h"

#include <QAbstractTableModel>
#include <QList>

#include <optional>
#include <vector>

// The files of a folder as a table: the chosen columns in their order, rows
// sorted in natural order by any column and kept by the filter, tag cells
// editable in place. An edit is pending (EditedRole is true for its cell)
// until it is saved; sorting, filtering and selecting keep it.
class FileTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int EditedRole = Qt::UserRole + 1;

    explicit FileTableModel(QObject* parent = nullptr);

    void setColumns(const QList<TableColumn>& columns);
    const QList<TableColumn>& columns() const { return m_columns; }
    // Drops every row (and every pending edit).
    void clear();
    // Replaces every row, as a folder listed again gives them; the pending
    // edits of files no longer listed are dropped.
    void setRows(std::vector<TableRow> rows);
    const std::vector<TableRow>& rows() const { return m_rows; }
    // New rows go after the rows shown, as they are read; sortBy orders them
    // all again.
    void appendRows(const QList<TableRow>& rows);
    // The audio facts of rows read before them, found by path.
    void updateFacts(const QList<TableRow>& rows);
    // Rows read again (their tags, name, size and time), found by path;
    // their audio facts and pending edits stay.
    void updateRows(const QList<TableRow>& rows);
    // The shown row of path; -1 when it is not shown.
    int shownRowOf(const QString& path) const;
    void sortBy(TableColumn column, Qt::SortOrder order);
    void setFilter(const QString& text);

    // The rows shown, and all rows read.
    int rowCount(const QModelIndex& parent = {}) const override;
    int totalRows() const { return int(m_rows.size()); }
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    void sort(int column, Qt::SortOrder order) override;

    const TableRow& rowAt(int shownRow) const { return m_rows[size_t(m_shown[shownRow])]; }
    PendingEdits& edits() { return m_edits; }
    const PendingEdits& edits() const { return m_edits; }
    // The cell as shown: the pending edit, else what the file holds.
    QString shownText(int shownRow, TableColumn column) const;

private:
    void rebuild();
    // A row's cell as shown: sorting goes by what the user sees.
    QString cellText(const TableRow& row, TableColumn column) const;
    bool less(int a, int b) const;

    std::vector<TableRow> m_rows;
    QList<int> m_shown; // indexes into m_rows, in the order shown
    QList<TableColumn> m_columns;
    TableFilter m_filter;
    std::optional<std::pair<TableColumn, Qt::SortOrder>> m_sort;
    PendingEdits m_edits;
};
