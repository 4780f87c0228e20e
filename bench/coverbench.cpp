// covers DIR --set IMAGE | --shrink N: a cover run over every audio file of
// the folder, as the MultiTagger makes it (CoverBatch: undo journal, checked
// writes), timed, with the peak memory. Then every file is read again:
// --set checks that its front cover is the image's bytes exactly; --shrink
// that every picture larger than N is now a baseline JPEG whose larger side
// is N, and that every other picture kept its bytes.
#include "peakmemory.h"

#include "coverimage/coverimage.h"
#include "platform/audiofiles.h"
#include "platform/consoleprompter.h"
#include "platform/localfilesystem.h"
#include "tagedit/coverbatch.h"
#include "tags/audiotag.h"
#include "tags/coverpicture.h"
#include "tags/imageheader.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {

// What --shrink expects of one picture afterwards.
struct Expected {
    QByteArray sha1; // of the bytes it keeps; empty: it must have been shrunk
};

QByteArray sha1(const QByteArray& data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Sha1);
}

int usage()
{
    std::fprintf(stderr, "usage: velmora-bench covers DIR --set IMAGE | --shrink N\n");
    return 2;
}

} // namespace

int coversBench(const QStringList& args)
{
    if (args.size() != 3 || (args.at(1) != QLatin1String("--set") && args.at(1) != QLatin1String("--shrink")))
        return usage();
    const bool shrinking = args.at(1) == QLatin1String("--shrink");
    bool ok = true;
    const int limit = shrinking ? args.at(2).toInt(&ok) : 0;
    if (!ok || (shrinking && limit < 1))
        return usage();
    QByteArray image;
    if (!shrinking) {
        QFile file(args.at(2));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(args.at(2)));
            return 2;
        }
        image = file.readAll();
    }
    const QDir dir(args.at(0));
    QStringList files;
    for (const QString& name : listAudioFiles(dir.path(), ListedFormats::All))
        files << dir.filePath(name);

    AudioTag tag;
    tag.setKeepTrailerOnLoad(true);
    QList<QList<Expected>> expected; // --shrink: per file, per picture
    if (shrinking) {
        for (const QString& path : files) {
            QList<Expected> pictures;
            if (tag.setFileName(path).ok())
                for (const CoverPicture& p : tag.pictures())
                    pictures << Expected { std::max(p.width, p.height) > limit ? QByteArray() : sha1(p.data) };
            expected << pictures;
        }
    }

    LocalFileSystem fileSystem;
    QTextStream errors(stderr);
    ConsolePrompter prompter(errors);
    QTemporaryDir journalFolder;
    CoverBatch batch(fileSystem, prompter, journalFolder.filePath(QStringLiteral("covers.journal")));
    CoverBatchRequest request;
    request.operation = shrinking ? CoverOperation::Shrink : CoverOperation::SetImage;
    request.imagePath = args.at(2);
    request.shrink = [limit](const CoverPicture& p) { return shrunkCover(p, limit, 85); };
    QElapsedTimer timer;
    timer.start();
    const CoverBatchReport report = batch.run(files, request, {});
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    const qint64 peakKb = peakResidentKb();

    int differing = 0;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const bool read = tag.setFileName(files[i]).ok();
        bool right = read;
        if (read && !shrinking) {
            const std::optional<CoverPicture> stored = tag.frontCover();
            right = stored && stored->data == image;
        } else if (read) {
            const QList<CoverPicture> pictures = tag.pictures();
            right = pictures.size() == expected[i].size();
            for (qsizetype k = 0; right && k < pictures.size(); ++k) {
                const CoverPicture& p = pictures[k];
                if (!expected[i][k].sha1.isEmpty())
                    right = sha1(p.data) == expected[i][k].sha1;
                else
                    right = readImageHeader(p.data).jpegFrame == 0xC0 && std::max(p.width, p.height) == limit;
            }
        }
        if (!right) {
            ++differing;
            std::printf("differing: %s\n", qPrintable(files[i]));
        }
    }
    std::printf("files: %lld\nwritten: %d\nunchanged: %d\nfailed: %d\nseconds: %.3f\nfiles_per_second: %.0f\n"
                "peak_memory_kb: %lld\nchecked_differing: %d\n",
        static_cast<long long>(files.size()), report.run.written, report.unchanged, report.run.failed, seconds,
        seconds > 0 ? double(files.size()) / seconds : 0.0, static_cast<long long>(peakKb), differing);
    return report.run.failed || differing || !report.run.refused.ok() ? 1 : 0;
}
