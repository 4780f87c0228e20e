#pragma once

#include "settings/options.h"
#include "tagedit/manyfiles.h"

#include <QObject>
#include <QStringList>

#include <atomic>
#include <thread>

// Reads many selected files' tags off the thread that shows them, into
// their common values. A new start or stop drops the read in progress, and
// nothing it found is reported after that.
class ManyFilesReader : public QObject {
    Q_OBJECT
public:
    explicit ManyFilesReader(QObject* parent = nullptr);
    ~ManyFilesReader() override;

    void start(const QStringList& paths, const Options& options);
    void stop();
    bool reading() const { return m_reading; }

signals:
    void progress(int done, int total);
    // Every file was read; a file that cannot be read counts as one with no tags.
    void finished(const CommonTags& common);

private:
    // Runs in this object's thread, unless a newer read has started since.
    void report(int generation, std::function<void()> what);

    std::thread m_thread;
    std::atomic<bool> m_stop { false };
    int m_generation = 0;
    bool m_reading = false;
};
