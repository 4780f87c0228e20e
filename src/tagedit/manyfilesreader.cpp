#include "manyfilesreader.h"

#include "tags/audiotag.h"

#include <QElapsedTimer>

namespace {

// Progress reports at most this often: enough for a bar that moves.
constexpr qint64 kProgressMs = 100;

} // namespace

ManyFilesReader::ManyFilesReader(QObject* parent)
    : QObject(parent)
{
}

ManyFilesReader::~ManyFilesReader()
{
    stop();
}

void ManyFilesReader::stop()
{
    ++m_generation;
    m_reading = false;
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

void ManyFilesReader::report(int generation, std::function<void()> what)
{
    QMetaObject::invokeMethod(
        this,
        [this, generation, what = std::move(what)] {
            if (generation == m_generation)
                what();
        },
        Qt::QueuedConnection);
}

void ManyFilesReader::start(const QStringList& paths, const Options& options)
{
    stop();
    m_stop = false;
    m_reading = true;
    const int generation = m_generation;
    m_thread = std::thread([=, this] {
        AudioTag tag;
        tag.setKeepTrailerOnLoad(true); // showing writes nothing
        CommonTags common;
        QElapsedTimer sinceReport;
        sinceReport.start();
        const int total = int(paths.size());
        for (const QString& path : paths) {
            if (m_stop)
                return;
            const bool read = tag.setFileName(path).ok();
            common.add(read ? tagTextsOf(tag, options) : TagTexts(), read ? tag.frontCover() : std::nullopt);
            if (sinceReport.elapsed() >= kProgressMs) {
                sinceReport.restart();
                report(generation, [this, done = common.count(), total] { emit progress(done, total); });
            }
        }
        report(generation, [this, common] {
            m_reading = false;
            emit finished(common);
        });
    });
}
