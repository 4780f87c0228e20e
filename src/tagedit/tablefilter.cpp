#include "tablefilter.h"

TableFilter::TableFilter(const QString& text)
    : m_text(text.trimmed())
{
    const qsizetype colon = m_text.indexOf(QLatin1Char(':'));
    if (colon > 0) {
        m_column = tableColumnByName(m_text.left(colon));
        if (m_column)
            m_text = m_text.mid(colon + 1).trimmed();
    }
}

bool TableFilter::matches(const TableRow& row) const
{
    if (m_text.isEmpty())
        return true;
    if (m_column)
        return row.text(*m_column).contains(m_text, Qt::CaseInsensitive);
    for (const QString& cell : row.cells)
        if (cell.contains(m_text, Qt::CaseInsensitive))
            return true;
    return false;
}
