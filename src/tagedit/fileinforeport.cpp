#include "fileinforeport.h"

#include "filefacts.h"

#include "platform/prompter.h"
#include "tags/audiotag.h"
#include "tags/id3v2tag.h"
#include "tags/taglibtag.h"
#include "tags/tagtypes.h"

#include <QStringList>

#include <cmath>

namespace {
QString twoDigits(double value)
{
    // Half-way values round up: 4.5 shows as 05.
    return QStringLiteral("%1").arg(qint64(std::floor(value + 0.5)), 2, 10, QLatin1Char('0'));
}

QString yesNo(TagKinds kinds, TagKind kind)
{
    return kinds.testFlag(kind) ? QStringLiteral("Yes") : QStringLiteral("No");
}

QString channelModeText(MpegAudioFacts::ChannelMode mode)
{
    static const char* const names[] = { "Stereo", "Joint Stereo", "Dual Channel", "Mono" };
    return QLatin1String(names[int(mode)]);
}
} // namespace

QString formatPlayTime(float seconds)
{
    if (!(seconds > 0)) // negative or NaN
        seconds = 0;
    float secs = seconds;
    float minutes = 0;
    float hours = 0;
    if (seconds > 60) {
        minutes = std::trunc(seconds / 60);
        secs = seconds - minutes * 60;
        hours = std::trunc(minutes / 60);
        minutes = minutes - hours * 60;
    }
    return twoDigits(hours) + QLatin1Char(':') + twoDigits(minutes) + QLatin1Char(':') + twoDigits(secs);
}

QString fileInfoReportText(
    const QString& path, const MpegAudioFacts& facts, int frameCount, qint64 framesSize, TagKinds kinds)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    // Without a confirmed frame the header fields are blank (frequency 0).
    const bool decoded = facts.validHeader;
    const auto number = [decoded](qint64 value) { return decoded ? QString::number(value) : QString(); };
    const QStringList lines {
        QStringLiteral("File Path: ") + (slash < 0 ? QString() : path.left(slash)),
        QStringLiteral("File Name: ") + path.mid(slash + 1),
        QStringLiteral("File Size: ") + FileFacts::formatFileSize(facts.fileSize),
        QString(),
        QStringLiteral("Contains ID3V1.1 Tags: ") + yesNo(kinds, TagKind::ID3v1),
        QStringLiteral("Contains ID3V2 Tags: ") + yesNo(kinds, TagKind::ID3v2),
        QStringLiteral("Contains Lyric Tags: ") + yesNo(kinds, TagKind::Lyrics3),
        QStringLiteral("Contains Music Match Tags: ") + yesNo(kinds, TagKind::MusicMatch),
        QString(),
        QStringLiteral("MPEG Layer: ") + number(facts.layer),
        QStringLiteral("Bit Rate: ") + number(facts.bitRate),
        QStringLiteral("Frequency: ") + QString::number(decoded ? facts.sampleRate : 0),
        QStringLiteral("Sample Rate: ") + number(facts.sampleRate),
        QStringLiteral("Channel Mode: ") + (decoded ? channelModeText(facts.channelMode) : QString()),
        QStringLiteral("Play Time: ") + formatPlayTime(float(facts.duration)),
        QString(),
        QStringLiteral("Frame Count: ") + QString::number(frameCount),
        QStringLiteral("Frame Length: ") + QString::number(facts.frameLength),
        QStringLiteral("Frames Size: ") + QString::number(framesSize),
        QStringLiteral("Total Frames: ") + QString::number(facts.totalFrames),
        QString(),
        QStringLiteral("Protection: ") + (facts.protection ? QStringLiteral("True") : QStringLiteral("False")),
    };
    return lines.join(QStringLiteral("\r\n"));
}

QString fileInfoReport(const QString& currentFile, const ID3V2Tag& tag)
{
    // The facts were read when the file was loaded; the file may have grown
    // since (the ID3v1 trailer is written after the load): its size now.
    MpegAudioFacts facts = tag.audio();
    FileFacts info;
    info.setFullPathName(tag.fileName());
    if (info.fileExists())
        facts.fileSize = info.size();
    return fileInfoReportText(currentFile, facts, tag.frameCount(), tag.framesSize(), tag.tagKinds());
}

QString otherFormatReportText(
    const QString& path, qint64 fileSize, const QString& formatName, const TagLibAudioFacts& facts, int itemCount)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const auto known = [](qint64 value) { return value > 0 ? QString::number(value) : QString(); };
    const QStringList lines {
        QStringLiteral("File Path: ") + (slash < 0 ? QString() : path.left(slash)),
        QStringLiteral("File Name: ") + path.mid(slash + 1),
        QStringLiteral("File Size: ") + FileFacts::formatFileSize(fileSize),
        QString(),
        QStringLiteral("Format: ") + formatName,
        QStringLiteral("Codec: ") + facts.codec,
        QStringLiteral("Sample Rate: ") + known(facts.sampleRate),
        QStringLiteral("Channels: ") + known(facts.channels),
        QStringLiteral("Bits Per Sample: ") + known(facts.bitsPerSample),
        QStringLiteral("Bit Rate: ") + known(facts.bitRate),
        QStringLiteral("Play Time: ") + formatPlayTime(float(facts.lengthMs) / 1000),
        QString(),
        QStringLiteral("Tag Values: ") + QString::number(itemCount),
    };
    return lines.join(QStringLiteral("\r\n"));
}

QString fileInfoReport(const QString& currentFile, const AudioTag& tag)
{
    if (const ID3V2Tag* v2 = tag.id3v2())
        return fileInfoReport(currentFile, *v2);
    const TagLibTag* other = tag.taglib();
    FileFacts info;
    info.setFullPathName(tag.fileName());
    int items = 0;
    for (const QString& key : other->itemKeys())
        items += int(other->itemValues(key).size());
    return otherFormatReportText(
        currentFile, info.fileExists() ? info.size() : 0, audioFormatName(tag.format()), other->audio(), items);
}

void showFileInfoReport(Prompter& prompter, const QString& currentFile, const AudioTag& tag)
{
    prompter.message(
        QStringLiteral("Velmora - File Information"), fileInfoReport(currentFile, tag), MsgIcon::Information);
}
