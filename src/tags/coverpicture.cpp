#include "coverpicture.h"

#include "tags/imageheader.h"

CoverPicture coverPicture(const QByteArray& data, int type, const QString& description)
{
    CoverPicture p;
    p.type = type;
    p.description = description;
    p.data = data;
    return withImageFacts(p);
}

CoverPicture withImageFacts(CoverPicture picture)
{
    const ImageHeader h = readImageHeader(picture.data);
    if (picture.mimeType.isEmpty())
        picture.mimeType = h.mimeType;
    if (h.width > 0 && h.height > 0) {
        picture.width = h.width;
        picture.height = h.height;
        picture.depth = h.depth;
    }
    return picture;
}

bool samePicture(const CoverPicture& a, const CoverPicture& b)
{
    return a.type == b.type && a.mimeType == b.mimeType && a.description == b.description && a.data == b.data;
}

FileError pictureRefusal(const CoverPicture& picture)
{
    if (readImageHeader(picture.data).mimeType.isEmpty())
        return { ErrorNo::WrongType,
            QStringLiteral("The picture is no JPEG, PNG, GIF or BMP image. The file was left as it was.") };
    if (picture.data.size() > kMaxPictureBytes)
        return { ErrorNo::Overflow,
            QStringLiteral("The picture is larger than %1 MB. The file was left as it was.")
                .arg(kMaxPictureBytes / (1024 * 1024)) };
    if (picture.type < 0 || picture.type > 255)
        return {
            ErrorNo::Internal,
            QStringLiteral("The picture type %1 is none a tag can hold. The file was left as it was.").arg(picture.type)
        };
    return {};
}

int frontCoverIndex(const QList<CoverPicture>& pictures)
{
    for (int i = 0; i < pictures.size(); ++i)
        if (pictures[i].type == kFrontCoverType)
            return i;
    return pictures.isEmpty() ? -1 : 0;
}
