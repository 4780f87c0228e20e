#pragma once

#include "platform/audiofiles.h"
#include "settings/options.h"
#include "tagedit/tablerow.h"

#include <QList>
#include <QObject>

#include <atomic>
#include <thread>

// Reads a folder's rows off the thread that shows them: the tags first, in
// batches, so that the first rows show at once; then the audio facts of the
// same files. Stop ends both passes before the next file.
class TableLoader : public QObject {
    Q_OBJECT
public:
    explicit TableLoader(QObject* parent = nullptr);
    ~TableLoader() override;

    // Starts reading folder (stopping a read in progress first).
    void start(const QString& folder, ListedFormats formats, const Options& options, int batchSize = 200);
    // Starts reading these files, in this order.
    void start(const QStringList& paths, const Options& options, int batchSize = 200);
    void stop();

signals:
    // A batch of rows with their tags; facts follow in factsRead.
    void rowsRead(const QList<TableRow>& rows, int done, int total);
    void factsRead(const QList<TableRow>& rows);
    // Both passes are over (or were stopped).
    void finished(bool stopped);

private:
    void run(const QStringList& paths, const Options& options, int batchSize);

    std::thread m_thread;
    std::atomic<bool> m_stop { false };
};
