#include "id3v1tag.h"

#include "platform/fileerror.h"
#include "tags/id3v1trailer.h"
#include "tags/regularfile.h"
#include "tags/tagscan.h"
#include "text/texthelpers.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kTrailerBytes = int(kId3v1TrailerBytes);

// Text of one trailer field: cut before the first zero byte, trailing
// blanks removed (leading blanks kept).
QString fieldText(const char* bytes, int width)
{
    int n = 0;
    while (n < width && bytes[n] != '\0')
        ++n;
    while (n > 0 && bytes[n - 1] == ' ')
        --n;
    return QString::fromLatin1(bytes, n);
}

void putField(char* out, const QString& text, int width)
{
    const QByteArray bytes = text.left(width).toLatin1();
    std::memcpy(out, bytes.constData(), size_t(qMin<qsizetype>(bytes.size(), width)));
}

} // namespace

bool ID3V1Tag::setGenre(int genre)
{
    if (genre < 0 || genre > 255)
        return false;
    m_genre = genre;
    return true;
}

void ID3V1Tag::clear()
{
    m_tagged = false;
    m_title.clear();
    m_artist.clear();
    m_album.clear();
    m_year.clear();
    m_comment.clear();
    m_genre = 255;
    m_track = 0;
}

bool ID3V1Tag::readFromFile(const QString& fileName)
{
    if (fileName.isEmpty())
        return false;
    clear();
    struct stat st { };
    const int fd = openRegularFile(fileName, &st);
    if (fd < 0)
        return false;
    QByteArray t(kTrailerBytes, '\0');
    const bool read = st.st_size >= kTrailerBytes
        && readFully(fd, st.st_size - kTrailerBytes, kTrailerBytes, reinterpret_cast<unsigned char*>(t.data()));
    ::close(fd);
    // The record is read wherever the last 128 bytes hold one, even when
    // they are the whole file; only a replacement needs audio before it.
    return read && readFromBytes(t);
}

bool ID3V1Tag::readFromBytes(const QByteArray& trailer)
{
    clear();
    if (trailer.size() != kTrailerBytes || !trailer.startsWith("TAG"))
        return false;
    const char* t = trailer.constData();
    m_tagged = true;
    m_title = fieldText(t + 3, 30);
    m_artist = fieldText(t + 33, 30);
    m_album = fieldText(t + 63, 30);
    m_year = fieldText(t + 93, 4);
    m_comment = fieldText(t + 97, 30);
    m_genre = uchar(t[127]);
    m_track = (t[125] == '\0' && t[126] != '\0') ? int(uchar(t[126])) : -1;
    return true;
}

bool ID3V1Tag::writeToFile(const QString& fileName)
{
    m_lastWriteError = fileErrorFromErrno(ENOENT);
    if (fileName.isEmpty())
        return false;
    // Hidden files are never touched (the name alone decides): to the
    // trailer they are missing.
    if (fileName.mid(fileName.lastIndexOf(QLatin1Char('/')) + 1).startsWith(QLatin1Char('.'))) {
        m_lastWriteError = { ErrorNo::NotFound, QStringLiteral("A hidden file is never written") };
        return false;
    }

    int fd = -1;
    auto fail = [&](const FileError& e) {
        m_lastWriteError = e;
        if (fd >= 0)
            ::close(fd);
        return false;
    };

    const QByteArray path = QFile::encodeName(fileName);
    struct stat st { };
    fd = ::open(path.constData(), O_RDWR | O_CLOEXEC | O_NONBLOCK); // never waits on a pipe or device
    if (fd < 0) {
        const int openError = errno;
        const bool found = ::stat(path.constData(), &st) == 0;
        return fail(fileErrorFromErrno(found && !S_ISREG(st.st_mode) ? EISDIR : openError));
    }
    if (::fstat(fd, &st) != 0)
        return fail(fileErrorFromErrno(errno));
    if (!S_ISREG(st.st_mode))
        return fail(fileErrorFromErrno(EISDIR));
    // A read-only file stays so: whether to make it writable is a question
    // for the command the user gave, asked before it writes.
    if (!(st.st_mode & S_IWUSR))
        return fail(fileErrorFromErrno(EACCES));

    char t[kTrailerBytes] = {};
    std::memcpy(t, "TAG", 3);
    putField(t + 3, m_title, 30);
    putField(t + 33, m_artist, 30);
    putField(t + 63, m_album, 30);
    putField(t + 93, m_year, 4);
    if (m_track == -1) {
        putField(t + 97, m_comment, 30);
    } else {
        if (m_track < 0 || m_track > 255)
            return fail(FileError { ErrorNo::Overflow, QStringLiteral("Overflow") });
        putField(t + 97, m_comment, 28);
        t[125] = '\0';
        t[126] = char(uchar(m_track));
    }
    t[127] = char(uchar(m_genre));

    qint64 offset = st.st_size;
    QByteArray last(kTrailerBytes, '\0');
    if (st.st_size > kTrailerBytes
        && readFully(fd, st.st_size - kTrailerBytes, kTrailerBytes, reinterpret_cast<unsigned char*>(last.data()))
        && hasId3v1Trailer(st.st_size, last))
        offset = st.st_size - kTrailerBytes;

    const ssize_t written = ::pwrite(fd, t, kTrailerBytes, off_t(offset));
    if (written != kTrailerBytes) {
        const int err = written < 0 ? errno : ENOSPC;
        // Never leave half a trailer behind.
        if (written > 0 && offset == st.st_size) {
            const int rc = ::ftruncate(fd, off_t(st.st_size));
            (void)rc;
        }
        return fail(fileErrorFromErrno(err));
    }
    if (::close(fd) != 0) {
        fd = -1;
        return fail(fileErrorFromErrno(errno));
    }
    m_lastWriteError = {};
    return true;
}

const QStringList& genreNames()
{
    static const QStringList names = {
        "Blues",
        "Classic Rock",
        "Country",
        "Dance",
        "Disco",
        "Funk",
        "Grunge",
        "Hip-Hop",
        "Jazz",
        "Metal",
        "New Age",
        "Oldies",
        "Other",
        "Pop",
        "R&B",
        "Rap",
        "Reggae",
        "Rock",
        "Techno",
        "Industrial",
        "Alternative",
        "Ska",
        "Death Metal",
        "Pranks",
        "Soundtrack",
        "Euro-Techno",
        "Ambient",
        "Trip-Hop",
        "Vocal",
        "Jazz+Funk",
        "Fusion",
        "Trance",
        "Classical",
        "Instrumental",
        "Acid",
        "House",
        "Game",
        "Sound Clip",
        "Gospel",
        "Noise",
        "AlternRock",
        "Bass",
        "Soul",
        "Punk",
        "Space",
        "Meditative",
        "Instrumental Pop",
        "Instrumental Rock",
        "Ethnic",
        "Gothic",
        "Darkwave",
        "Techno-Industrial",
        "Electronic",
        "Pop-Folk",
        "Eurodance",
        "Dream",
        "Southern Rock",
        "Comedy",
        "Cult",
        "Gangsta",
        "Top 40",
        "Christian Rap",
        "Pop/Funk",
        "Jungle",
        "Native American",
        "Cabaret",
        "New Wave",
        "Psychedelic",
        "Rave",
        "Showtunes",
        "Trailer",
        "Lo-Fi",
        "Tribal",
        "Acid Punk",
        "Acid Jazz",
        "Polka",
        "Retro",
        "Musical",
        "Rock & Roll",
        "Hard Rock",
        "Folk",
        "Folk/Rock",
        "National Folk",
        "Swing",
        "Bebob",
        "Latin",
        "Revival",
        "Celtic",
        "Bluegrass",
        "Avantgarde",
        "Gothic Rock",
        "Progressive Rock",
        "Psychedelic Rock",
        "Symphonic Rock",
        "Slow Rock",
        "Big Band",
        "Chorus",
        "Easy Listening",
        "Acoustic",
        "Humour",
        "Speech",
        "Chanson",
        "Opera",
        "Chamber Music",
        "Sonata",
        "Symphony",
        "Booty Bass",
        "Primus",
        "Porn Groove",
        "Satire",
        "Slow Jam",
        "Club",
        "Tango",
        "Samba",
        "Folklore",
    };
    return names;
}

QString genreName(int number)
{
    return number >= 0 && number <= GenreCount ? genreNames().at(number) : QString();
}

QString genreListText()
{
    return QStringLiteral("Unknown|") + genreNames().join(QLatin1Char('|'));
}

int getGenreIndex(const QString& name)
{
    // The names in lower case, made once: a mass rename asks for every file.
    static const QStringList lowerNames = [] {
        QStringList out;
        for (const QString& n : genreNames())
            out << n.toLower();
        return out;
    }();
    const QString wanted = name.toLower();
    for (int i = 0; i <= GenreCount; ++i)
        if (lowerNames.at(i) == wanted)
            return i;
    return 255;
}

void setTrailerFields(
    ID3V1Tag& tag, const std::array<QString, kFieldCount>& texts, const std::array<bool, kFieldCount>* include)
{
    auto wanted = [&](FieldId id) { return !include || (*include)[int(id)]; };
    auto text = [&](FieldId id) { return texts[int(id)]; };
    if (wanted(FieldId::Artist))
        tag.setArtist(text(FieldId::Artist));
    if (wanted(FieldId::Album))
        tag.setAlbum(text(FieldId::Album));
    if (wanted(FieldId::Title))
        tag.setTitle(text(FieldId::Title));
    if (wanted(FieldId::Comments))
        tag.setComment(text(FieldId::Comments));
    if (wanted(FieldId::Track)) {
        const int track = leadingNumber(text(FieldId::Track));
        tag.setTrack(track >= 0 && track <= 255 ? track : 0);
    }
    if (wanted(FieldId::Year))
        tag.setTheYear(leadingNumber(text(FieldId::Year)));
    if (wanted(FieldId::Genre))
        tag.setGenre(getGenreIndex(text(FieldId::Genre)));
}
