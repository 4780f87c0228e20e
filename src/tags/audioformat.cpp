#include "audioformat.h"

#include "tags/regularfile.h"

#include <unistd.h>

namespace {

constexpr int kHeadBytes = 64;

// The size of an ID3v2 tag at the start of head (header and footer
// included); 0 when none.
qint64 id3v2Size(const QByteArray& head)
{
    if (head.size() < 10 || !head.startsWith("ID3"))
        return 0;
    const auto b = reinterpret_cast<const unsigned char*>(head.constData());
    if ((b[6] | b[7] | b[8] | b[9]) & 0x80)
        return 0;
    const qint64 body = (qint64(b[6]) << 21) | (b[7] << 14) | (b[8] << 7) | b[9];
    return 10 + body + ((b[5] & 0x10) ? 10 : 0);
}

bool isMpegSync(const QByteArray& bytes)
{
    if (bytes.size() < 2)
        return false;
    const auto b = reinterpret_cast<const unsigned char*>(bytes.constData());
    // Sync bits, a known version and layer.
    return b[0] == 0xFF && (b[1] & 0xE0) == 0xE0 && (b[1] & 0x18) != 0x08 && (b[1] & 0x06) != 0;
}

std::optional<AudioFormat> formatAfterId3(const QByteArray& bytes)
{
    if (bytes.startsWith("fLaC"))
        return AudioFormat::Flac;
    if (isMpegSync(bytes))
        return AudioFormat::Mp3;
    return std::nullopt;
}

} // namespace

std::optional<AudioFormat> audioFormatOfHead(const QByteArray& head)
{
    if (head.startsWith("fLaC"))
        return AudioFormat::Flac;
    if (head.startsWith("OggS") && head.size() >= 27) {
        // The first page holds the first packet alone, after its lacing table.
        const int segments = static_cast<unsigned char>(head.at(26));
        const QByteArray packet = head.mid(27 + segments, 8);
        if (packet.startsWith("\x01vorbis"))
            return AudioFormat::OggVorbis;
        if (packet == "OpusHead")
            return AudioFormat::Opus;
        return std::nullopt;
    }
    if (head.mid(4, 4) == "ftyp")
        return AudioFormat::Mp4;
    return formatAfterId3(head);
}

std::optional<AudioFormat> audioFormatOf(const QString& path)
{
    const int fd = openRegularFile(path);
    if (fd < 0)
        return std::nullopt;
    QByteArray head(kHeadBytes, '\0');
    const ssize_t n = ::pread(fd, head.data(), size_t(head.size()), 0);
    head.truncate(n > 0 ? int(n) : 0);
    std::optional<AudioFormat> format;
    if (const qint64 tag = id3v2Size(head); tag > 0) {
        // What follows the tag decides: FLAC or MPEG audio.
        QByteArray after(4, '\0');
        if (::pread(fd, after.data(), size_t(after.size()), off_t(tag)) == after.size())
            format = formatAfterId3(after);
    } else {
        format = audioFormatOfHead(head);
    }
    ::close(fd);
    return format;
}

QString audioFormatName(AudioFormat format)
{
    switch (format) {
    case AudioFormat::Mp3:
        return QStringLiteral("MP3");
    case AudioFormat::Flac:
        return QStringLiteral("FLAC");
    case AudioFormat::OggVorbis:
        return QStringLiteral("Ogg Vorbis");
    case AudioFormat::Opus:
        return QStringLiteral("Opus");
    case AudioFormat::Mp4:
        return QStringLiteral("MP4");
    }
    return QString();
}
