#include "tabletext.h"

namespace {

QString quoted(const QString& cell)
{
    if (!cell.contains(QLatin1Char('\t')) && !cell.contains(QLatin1Char('\n')) && !cell.contains(QLatin1Char('"'))
        && !cell.contains(QLatin1Char('\r')))
        return cell;
    QString out = cell;
    out.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

} // namespace

QString blockToText(const QList<QStringList>& block)
{
    QString out;
    for (const QStringList& row : block) {
        QStringList cells;
        for (const QString& cell : row)
            cells << quoted(cell);
        out += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return out;
}

QList<QStringList> blockFromText(const QString& text)
{
    QList<QStringList> block;
    QStringList row;
    QString cell;
    bool inQuotes = false;
    bool cellStarted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                cell += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                inQuotes = false;
            } else {
                cell += c;
            }
        } else if (c == QLatin1Char('"') && !cellStarted) {
            inQuotes = true;
            cellStarted = true;
        } else if (c == QLatin1Char('\t')) {
            row << cell;
            cell.clear();
            cellStarted = false;
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            row << cell;
            block << row;
            row.clear();
            cell.clear();
            cellStarted = false;
        } else {
            cell += c;
            cellStarted = true;
        }
    }
    if (cellStarted || !cell.isEmpty() || !row.isEmpty()) {
        row << cell;
        block << row;
    }
    return block;
}

QList<PastedCell> pastedCells(const QList<QStringList>& block, int anchorRow, int anchorColumn, int rowCount,
    int columnCount, const QList<std::pair<int, int>>& selected)
{
    QList<PastedCell> cells;
    if (block.size() == 1 && block.first().size() == 1 && selected.size() > 1) {
        for (const auto& [row, column] : selected)
            cells << PastedCell { row, column, block.first().first() };
        return cells;
    }
    for (int r = 0; r < block.size() && anchorRow + r < rowCount; ++r)
        for (int c = 0; c < block[r].size() && anchorColumn + c < columnCount; ++c)
            cells << PastedCell { anchorRow + r, anchorColumn + c, block[r][c] };
    return cells;
}
