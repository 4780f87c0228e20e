#include "tableloader.h"

#include "tags/audiotag.h"

#include <QDir>

TableLoader::TableLoader(QObject* parent)
    : QObject(parent)
{
}

TableLoader::~TableLoader()
{
    stop();
}

void TableLoader::stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

void TableLoader::start(const QString& folder, ListedFormats formats, const Options& options, int batchSize)
{
    stop();
    m_stop = false;
    m_thread = std::thread([=, this] {
        const QDir dir(folder);
        QStringList paths;
        for (const QString& name : listAudioFiles(folder, formats))
            paths << dir.filePath(name);
        run(paths, options, batchSize);
    });
}

void TableLoader::start(const QStringList& paths, const Options& options, int batchSize)
{
    stop();
    m_stop = false;
    m_thread = std::thread([=, this] { run(paths, options, batchSize); });
}

void TableLoader::run(const QStringList& paths, const Options& options, int batchSize)
{
    const int total = int(paths.size());
    AudioTag tag;
    tag.setKeepTrailerOnLoad(true); // reading a folder writes nothing
    QList<TableRow> batch;
    int done = 0;
    for (const QString& path : paths) {
        if (m_stop)
            break;
        batch << readTableRow(path, tag, options, false);
        if (++done % batchSize == 0 || done == total) {
            emit rowsRead(batch, done, total);
            batch.clear();
        }
    }
    // The audio facts take longer to read (the MPEG stream's length): after
    // every row shows.
    for (qsizetype i = 0; i < paths.size() && !m_stop; i += batchSize) {
        QList<TableRow> facts;
        for (const QString& path : paths.mid(i, batchSize)) {
            if (m_stop)
                break;
            TableRow row;
            row.path = path;
            if (tag.setFileName(path).ok())
                fillTableRowFacts(row, tag);
            facts << row;
        }
        emit factsRead(facts);
    }
    emit finished(m_stop);
}
