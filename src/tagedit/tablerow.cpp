#include "tablerow.h"

#include "settings/options.h"
#include "tagedit/fileinforeport.h"
#include "tagedit/tagtexts.h"
#include "tags/audiotag.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLocale>

std::optional<qint64> TableRow::number(TableColumn column) const
{
    switch (column) {
    case TableColumn::Size:
        return size;
    case TableColumn::Modified:
        return modifiedMs;
    case TableColumn::Length:
        return lengthMs;
    case TableColumn::BitRate:
        return bitRate;
    default:
        return std::nullopt;
    }
}

void fillTableRowFacts(TableRow& row, const AudioTag& tag)
{
    const TagLibAudioFacts facts = tag.audioFacts();
    row.lengthMs = facts.lengthMs;
    row.bitRate = facts.bitRate;
    row.cells[size_t(TableColumn::Length)]
        = facts.lengthMs > 0 ? formatPlayTime(float(facts.lengthMs) / 1000) : QString();
    row.cells[size_t(TableColumn::BitRate)] = facts.bitRate > 0 ? QString::number(facts.bitRate) : QString();
    row.factsRead = true;
}

TableRow fileTableRow(const QString& path)
{
    TableRow row;
    row.path = path;
    const QFileInfo info(path);
    row.cells[size_t(TableColumn::FileName)] = info.fileName();
    row.size = info.size();
    row.modifiedMs = info.lastModified().toMSecsSinceEpoch();
    row.cells[size_t(TableColumn::Size)] = QLocale::c().formattedDataSize(row.size);
    row.cells[size_t(TableColumn::Modified)] = info.lastModified().toString(QStringLiteral("yyyy-MM-dd hh:mm"));
    return row;
}

TableRow readTableRow(const QString& path, AudioTag& tag, const Options& options, bool withFacts)
{
    TableRow row = fileTableRow(path);
    if (!tag.setFileName(path).ok())
        return row;
    const TagTexts texts = tagTextsOf(tag, options);
    for (TableColumn column : allTableColumns())
        if (const auto field = tableColumnField(column))
            row.cells[size_t(column)] = texts[size_t(*field)];
    row.cells[size_t(TableColumn::Format)] = audioFormatName(tag.format());
    if (withFacts)
        fillTableRowFacts(row, tag);
    return row;
}
