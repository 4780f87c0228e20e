#pragma once

#include "tagedit/tablecolumns.h"
#include "tagedit/tablerow.h"

#include <QString>

#include <optional>

// The filter box of the file table: a row stays when one of its cells
// contains the text (any case); "field:text" ("artist:beat", "year:199")
// looks in that column alone. A name before ":" that is no column makes
// the whole text plain ("Live: 1999" looks everywhere).
class TableFilter {
public:
    TableFilter() = default;
    explicit TableFilter(const QString& text);

    bool isEmpty() const { return m_text.isEmpty(); }
    bool matches(const TableRow& row) const;

private:
    QString m_text;
    std::optional<TableColumn> m_column;
};
