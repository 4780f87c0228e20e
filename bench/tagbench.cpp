// Tag layer benchmarks: loading every audio file of a folder as a selection in
// the main window does, saving them as "Save ID3 Tags" does, and a
// generator for the test folder.
#include "platform/audiofiles.h"
#include "tags/audioformat.h"
#include "tags/audiotag.h"
#include "tags/fieldcatalogue.h"
#include "tags/id3v1tag.h"
#include "tags/id3v2tag.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

// CPU time of this process in seconds: on a busy machine it shows what the
// wall-clock rate would be without the other load.
double cpuSeconds()
{
    struct timespec ts { };
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

void printRate(qsizetype files, qint64 nanoseconds, double cpu)
{
    const double seconds = double(nanoseconds) / 1e9;
    std::printf("files: %lld\n", static_cast<long long>(files));
    std::printf("cpu_seconds: %.3f\n", cpu);
    std::printf("seconds: %.3f\n", seconds);
    std::printf("files_per_second: %.0f\n", seconds > 0 ? double(files) / seconds : 0.0);
}

// The audio of the generated files: MPEG-1 Layer III frames, 128 kbit/s.
QByteArray audioFrames(int count)
{
    QByteArray frame(417, '\0');
    const char header[4] = { char(0xFF), char(0xFB), char(0x90), char(0x64) };
    std::copy(header, header + 4, frame.begin());
    for (int i = 4; i < frame.size(); ++i)
        frame[i] = char((i * 7 + 3) & 0x7F);
    QByteArray out;
    for (int n = 0; n < count; ++n)
        out += frame;
    return out;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// The folder's audio files of every format, by name.
QStringList audioFiles(const QString& dir)
{
    QStringList out;
    const QDir folder(dir);
    for (const QString& name : listAudioFiles(dir, ListedFormats::All))
        out << folder.filePath(name);
    return out;
}

} // namespace

int readTagsBench(const QStringList& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: velmora-bench read-tags DIR\n");
        return 2;
    }
    // Every audio format: MP3 through Velmora's own ID3 code, the others
    // through TagLib, tags and audio facts alike.
    const QStringList files = audioFiles(args.at(0));
    AudioTag tag;
    tag.setKeepTrailerOnLoad(true); // a selection reads, the trailer is written apart
    qint64 titles = 0;
    QElapsedTimer timer;
    const double cpuStart = cpuSeconds();
    timer.start();
    for (const QString& path : files)
        if (tag.setFileName(path).ok())
            titles += tag.fieldText(FieldId::Title).size();
    const qint64 ns = timer.nsecsElapsed();
    const double cpu = cpuSeconds() - cpuStart;
    std::printf("title_characters: %lld\n", static_cast<long long>(titles));
    printRate(files.size(), ns, cpu);
    return 0;
}

int saveTagsBench(const QStringList& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: velmora-bench save-tags DIR\n");
        return 2;
    }
    // As "Save" does for each file: read the boxes, change one of them
    // (Comments), write, and for MP3 write the ID3v1 trailer from the boxes.
    const QStringList files = audioFiles(args.at(0));
    AudioTag tag;
    tag.setKeepTrailerOnLoad(true);
    ID3V1Tag v1;
    QStringList problems;
    const QString stamp = QString::number(QDateTime::currentMSecsSinceEpoch());
    QElapsedTimer timer;
    const double cpuStart = cpuSeconds();
    timer.start();
    for (const QString& path : files) {
        if (!tag.setFileName(path).ok()) {
            problems << QStringLiteral("unreadable: ") + path;
            continue;
        }
        QStringList boxes;
        for (int i = 0; i < kFieldCount; ++i)
            boxes << tag.fieldText(fieldInfo(i).id);
        boxes[int(FieldId::Comments)] = QStringLiteral("Saved ") + stamp;
        tag.setFieldText(FieldId::Comments, boxes.at(int(FieldId::Comments)));
        if (!tag.update()) {
            problems << QStringLiteral("refused or failed: ") + path + QStringLiteral(": ")
                    + tag.lastWriteError().description;
            continue;
        }
        if (!tag.isMp3())
            continue;
        v1.clear();
        v1.setArtist(boxes.at(int(FieldId::Artist)));
        v1.setAlbum(boxes.at(int(FieldId::Album)));
        v1.setTitle(boxes.at(int(FieldId::Title)));
        v1.setComment(boxes.at(int(FieldId::Comments)));
        v1.setTrack(boxes.at(int(FieldId::Track)).toInt());
        v1.setTheYear(boxes.at(int(FieldId::Year)).toInt());
        v1.setGenre(getGenreIndex(boxes.at(int(FieldId::Genre))));
        if (!v1.writeToFile(path))
            problems << QStringLiteral("ID3v1 write failed: ") + path;
    }
    const qint64 ns = timer.nsecsElapsed();
    const double cpu = cpuSeconds() - cpuStart;
    for (const QString& p : problems)
        std::printf("%s\n", qPrintable(p));
    printRate(files.size(), ns, cpu);
    return problems.isEmpty() ? 0 : 1;
}

int makeCorpusBench(const QStringList& args)
{
    bool ok = false;
    const int count = args.size() == 2 ? args.at(1).toInt(&ok) : 0;
    if (!ok || count <= 0) {
        std::fprintf(stderr, "usage: velmora-bench make-corpus DIR N\n");
        return 2;
    }
    const QString dir = args.at(0);
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(dir));
        return 1;
    }
    // One file is tagged through the tag layer; the others copy its bytes
    // with their own number in the texts (same lengths, so the tag stays valid).
    // The number has as many digits as count, so no two files share a text.
    const int digits = std::max(5, int(QString::number(count).size()));
    const QString templatePath = QDir(dir).filePath(QStringLiteral(".template.mp3"));
    if (!writeFile(templatePath, audioFrames(24)))
        return 1;
    ID3V2Tag tag;
    tag.setFileName(templatePath);
    const QString n(digits, QLatin1Char('#'));
    tag.setArtist(QStringLiteral("Artist ") + n);
    tag.setAlbum(QStringLiteral("Album ") + n);
    tag.setTitle(QStringLiteral("Title ") + n);
    tag.setTrack(7);
    tag.setTotalTracks(12);
    tag.setYear(1999);
    tag.setGenre(QStringLiteral("Trip-Hop"));
    tag.setComments(QStringLiteral("Comment ") + n);
    tag.setUniqueKey(QStringLiteral("KEY") + n);
    tag.setUserText(QStringLiteral("User text ") + n);
    tag.setUserURL(QStringLiteral("http://example.org/u/") + n);
    tag.setArtistURL(QStringLiteral("http://example.org/a/") + n);
    tag.setComposer(QStringLiteral("Composer ") + n);
    tag.setOrigArtist(QStringLiteral("Orig ") + n);
    tag.setEncodedBy(QStringLiteral("Velmora bench"));
    tag.setMood(QStringLiteral("Calm"));
    tag.setPreference(QStringLiteral("Good"));
    tag.setSituation(QStringLiteral("Work"));
    tag.setTempo(QStringLiteral("Fast"));
    if (!tag.update()) {
        std::fprintf(stderr, "cannot tag %s\n", qPrintable(templatePath));
        return 1;
    }
    QFile templateFile(templatePath);
    if (!templateFile.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray bytes = templateFile.readAll();
    templateFile.close();
    QFile::remove(templatePath);
    const QByteArray placeholder = n.toLatin1();
    if (bytes.count(placeholder) < 2) { // at least the artist and the title
        std::fprintf(stderr, "the tag does not hold the file number\n");
        return 1;
    }
    for (int i = 1; i <= count; ++i) {
        const QByteArray number = QByteArray::number(i).rightJustified(digits, '0');
        QByteArray copy = bytes;
        copy.replace(placeholder, number);
        const QString name = QStringLiteral("track-%1.mp3").arg(i, std::max(6, digits), 10, QLatin1Char('0'));
        if (!writeFile(QDir(dir).filePath(name), copy)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
            return 1;
        }
    }
    std::printf("files: %d\n", count);
    return 0;
}
