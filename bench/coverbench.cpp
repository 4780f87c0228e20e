// covers DIR --set IMAGE: puts one image into every audio file of the folder
// as its front cover (replacing the front cover, keeping other pictures),
// then reads every file again and checks that the stored cover is the
// image's bytes exactly.
#include "platform/audiofiles.h"
#include "tags/audiotag.h"
#include "tags/coverpicture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>

int coversBench(const QStringList& args)
{
    if (args.size() != 3 || args.at(1) != QLatin1String("--set")) {
        std::fprintf(stderr, "usage: velmora-bench covers DIR --set IMAGE\n");
        return 2;
    }
    QFile image(args.at(2));
    if (!image.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(args.at(2)));
        return 2;
    }
    const CoverPicture cover = coverPicture(image.readAll());
    const QDir dir(args.at(0));
    QStringList files;
    for (const QString& name : listAudioFiles(dir.path(), ListedFormats::All))
        files << dir.filePath(name);
    AudioTag tag;
    tag.setKeepTrailerOnLoad(true);
    int failed = 0;
    QElapsedTimer timer;
    timer.start();
    for (const QString& path : files) {
        QList<CoverPicture> pictures;
        if (tag.setFileName(path).ok())
            pictures = tag.pictures();
        const int front = frontCoverIndex(pictures);
        if (front >= 0)
            pictures[front] = cover;
        else
            pictures.prepend(cover);
        if (!tag.setPictures(pictures) || !tag.update()) {
            ++failed;
            std::printf("failed: %s: %s\n", qPrintable(path), qPrintable(tag.lastWriteError().description));
        }
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    int differing = 0;
    for (const QString& path : files) {
        tag.setFileName(path);
        const std::optional<CoverPicture> stored = tag.frontCover();
        differing += !stored || stored->data != cover.data;
    }
    std::printf("files: %lld\nfailed: %d\nseconds: %.3f\nfiles_per_second: %.0f\nextracted_differing: %d\n",
        static_cast<long long>(files.size()), failed, seconds, seconds > 0 ? double(files.size()) / seconds : 0.0,
        differing);
    return failed || differing ? 1 : 0;
}
