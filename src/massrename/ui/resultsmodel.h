#pragma once

#include "massrename/massrenameview.h"

#include <QAbstractTableModel>
#include <QList>

// The results grid of a mass rename: one row per outcome, columns "In
// Directory", "Old Filename", "New Filename"; the New Filename text is dark
// green for a rename and red for a skip or an error (or a previewed name
// that is taken, which says why in its tooltip). Rows are collected by
// Append and shown in batches by Flush, so a run of many files costs one
// view update per repaint, not one per file.
class ResultsModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Row {
        QString dir;
        QString oldName;
        QString newName;
        ResultColour colour;
        QString note = {}; // shown as the New Filename cell's tooltip
    };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Texts equal to the previous row's share its memory, so a long run in
    // one folder keeps one copy of the folder's name.
    void append(Row row);
    // Shows the appended rows; true when there were any.
    bool flush();
    void clear();
    // Shown and pending rows.
    qsizetype totalRows() const { return m_rows.size() + m_pending.size(); }

private:
    QList<Row> m_rows;
    QList<Row> m_pending;
    QString m_lastDir;
};
