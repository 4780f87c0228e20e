#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Blocks of cells as tab-separated text, the way spreadsheets put them on
// the clipboard: a cell holding a tab, a line break or a quote is quoted,
// its quotes doubled.
QString blockToText(const QList<QStringList>& block);
// Reads such text back; a line break at the end makes no empty row; CR LF
// and LF both end a row.
QList<QStringList> blockFromText(const QString& text);

// One cell a paste fills.
struct PastedCell {
    int row = 0;
    int column = 0;
    QString text;
    bool operator==(const PastedCell&) const = default;
};

// The cells a pasted block fills: its own shape from the anchor (the
// current cell), cut at the table's edges; a single value fills every
// selected cell instead (selected: row, column pairs).
QList<PastedCell> pastedCells(const QList<QStringList>& block, int anchorRow, int anchorColumn, int rowCount,
    int columnCount, const QList<std::pair<int, int>>& selected);
