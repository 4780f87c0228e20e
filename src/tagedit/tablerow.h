#pragma once

#include "tagedit/tablecolumns.h"

#include <QString>

#include <array>

class AudioTag;
struct Options;

// One file of the file table: the text of each cell, and the numbers that
// order the columns of file facts (a size of "900 KB" sorts before "1.2 MB").
struct TableRow {
    QString path;
    std::array<QString, kTableColumnCount> cells;
    qint64 size = 0; // bytes
    qint64 modifiedMs = 0; // since the epoch
    qint64 lengthMs = 0;
    int bitRate = 0; // kbit/s
    bool factsRead = false; // Length and Bit Rate are filled in

    const QString& text(TableColumn column) const { return cells[size_t(column)]; }
    // The number a column of file facts sorts by; nothing for text columns.
    std::optional<qint64> number(TableColumn column) const;
};

// The row of path with its tags (tag is reused from row to row); its audio
// facts too when withFacts. The cells of a file that cannot be read stay
// empty but its name, size and time.
TableRow readTableRow(const QString& path, AudioTag& tag, const Options& options, bool withFacts);

// The row of a file before its tags are read: its name, size and time.
TableRow fileTableRow(const QString& path);
// Puts the audio facts of tag (loaded from row.path) into the row.
void fillTableRowFacts(TableRow& row, const AudioTag& tag);
