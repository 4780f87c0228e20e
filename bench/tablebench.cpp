// table DIR: the file table's model without a window: how soon the first
// rows and all rows are read, a sort of every column, a filter, the peak
// memory; then one field saved into 1,000 of the files as a multi-row save
// does (MultiTagWriter, one file after another).
#include "peakmemory.h"

#include "platform/localfilesystem.h"
#include "tagedit/filetablemodel.h"
#include "tagedit/multitagwriter.h"
#include "tagedit/tableloader.h"

#include <QElapsedTimer>
#include <QEventLoop>

#include <cstdio>

int tableBench(const QStringList& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: velmora-bench table DIR\n");
        return 2;
    }
    FileTableModel model;
    TableLoader loader;
    QElapsedTimer timer;
    qint64 firstRowsMs = -1, allRowsMs = -1;
    QObject::connect(&loader, &TableLoader::rowsRead, &model, [&](const QList<TableRow>& rows, int done, int total) {
        model.appendRows(rows);
        if (firstRowsMs < 0)
            firstRowsMs = timer.elapsed();
        if (done == total)
            allRowsMs = timer.elapsed();
    });
    QObject::connect(&loader, &TableLoader::factsRead, &model, &FileTableModel::updateFacts);
    QEventLoop loop;
    QObject::connect(&loader, &TableLoader::finished, &loop, &QEventLoop::quit);
    timer.start();
    loader.start(args.at(0), ListedFormats::All, Options {});
    loop.exec();
    const qint64 factsMs = timer.elapsed();
    std::printf("rows: %d\nfirst_rows_ms: %lld\nall_rows_ms: %lld\nfacts_ms: %lld\n", model.totalRows(),
        static_cast<long long>(firstRowsMs), static_cast<long long>(allRowsMs), static_cast<long long>(factsMs));

    qint64 slowestSort = 0;
    for (TableColumn column : allTableColumns()) {
        timer.restart();
        model.sortBy(column, Qt::AscendingOrder);
        slowestSort = qMax(slowestSort, timer.elapsed());
    }
    timer.restart();
    model.setFilter(QStringLiteral("title:7"));
    const qint64 filterMs = timer.elapsed();
    std::printf("slowest_sort_ms: %lld\nfilter_ms: %lld\nfiltered_rows: %d\npeak_resident_mb: %.1f\n",
        static_cast<long long>(slowestSort), static_cast<long long>(filterMs), model.rowCount(),
        double(peakResidentKb()) / 1024);
    model.setFilter(QString());

    LocalFileSystem files;
    MultiTagWriter writer(files);
    MultiTagValues values;
    values.included[int(FieldId::Comments)] = true;
    values.texts[int(FieldId::Comments)] = QStringLiteral("Saved from the table");
    const int count = qMin(1000, model.rowCount());
    int failed = 0;
    timer.restart();
    for (int i = 0; i < count; ++i)
        failed += !writer.tagFile(model.rowAt(i).path, values).ok();
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    std::printf("saved_files: %d\nsave_failures: %d\nsave_files_per_second: %.0f\n", count, failed,
        seconds > 0 ? count / seconds : 0.0);
    return failed ? 1 : 0;
}
