#include "coveredits.h"

#include "tagedit/filesize.h"

#include <QSaveFile>

#include <cerrno>

QString pictureTypeName(int type)
{
    static const char* const names[kPictureTypeCount] = { "Other", "File Icon", "Other File Icon", "Front Cover",
        "Back Cover", "Leaflet Page", "Media", "Lead Artist", "Artist", "Conductor", "Band", "Composer", "Lyricist",
        "Recording Location", "During Recording", "During Performance", "Movie Screen Capture",
        "A Bright Coloured Fish", "Illustration", "Band Logo", "Publisher Logo" };
    if (type >= 0 && type < kPictureTypeCount)
        return QString::fromLatin1(names[type]);
    return QStringLiteral("Picture Type %1").arg(type);
}

QList<CoverPicture> withCover(QList<CoverPicture> pictures, const CoverPicture& picture)
{
    for (CoverPicture& held : pictures) {
        if (held.type == picture.type) {
            held = picture;
            return pictures;
        }
    }
    pictures << picture;
    return pictures;
}

QString coverFactsText(const QList<CoverPicture>& pictures)
{
    const int front = frontCoverIndex(pictures);
    if (front < 0)
        return QStringLiteral("No Cover");
    const CoverPicture p = withImageFacts(pictures[front]);
    QStringList facts { pictureTypeName(p.type) };
    if (!p.mimeType.isEmpty())
        facts << p.mimeType;
    if (p.width > 0 && p.height > 0)
        facts << QStringLiteral("%1 x %2").arg(p.width).arg(p.height);
    facts << formatFileSize(p.data.size());
    QString text = facts.join(QStringLiteral(", "));
    const qsizetype others = pictures.size() - 1;
    if (others == 1)
        text += QStringLiteral(" + 1 other picture");
    else if (others > 1)
        text += QStringLiteral(" + %1 other pictures").arg(others);
    return text;
}

QString pictureFileSuffix(const QString& mimeType)
{
    const QString kind = mimeType.toLower();
    if (kind == QLatin1String("image/jpeg"))
        return QStringLiteral("jpg");
    if (kind.startsWith(QLatin1String("image/")))
        return kind.mid(6);
    return QString();
}

QString pictureRefusedText(const QString& source, const FileError& error)
{
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("Cannot Use The Picture From: ") + crlf + crlf + source + crlf + crlf
        + QStringLiteral("Error: ") + error.description + QStringLiteral(" (") + QString::number(error.number)
        + QLatin1Char(')');
}

namespace {

FileError saveError(const QSaveFile& file)
{
    FileError e = fileErrorFromErrno(errno);
    if (e.ok())
        e = { ErrorNo::Internal, file.errorString() };
    return e;
}

} // namespace

FileError writePictureFile(const QString& path, const QByteArray& data)
{
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return saveError(file);
    if (file.write(data) != data.size()) {
        const FileError e = saveError(file);
        file.cancelWriting();
        return e;
    }
    errno = 0;
    if (!file.commit())
        return saveError(file);
    return {};
}
