#pragma once

#include "platform/fileerror.h"

#include <QByteArray>
#include <QList>
#include <QString>

// A picture of a tag in one form for every format: an ID3v2 APIC frame, a
// FLAC picture block, a picture in an Ogg comment, an MP4 cover.
struct CoverPicture {
    // The picture type of ID3v2 and FLAC (3: front cover). MP4 covers have
    // none and read as front covers.
    int type = 3;
    QString mimeType; // "" on a new picture: taken from its bytes
    QString description; // MP4 covers have none
    QByteArray data; // the image file's bytes, exactly as stored
    // From the image header (FLAC stores them); 0 when unknown.
    int width = 0, height = 0, depth = 0;

    bool operator==(const CoverPicture&) const = default;
};

constexpr int kFrontCoverType = 3;
// The largest image a tag takes: a FLAC picture block holds no more.
constexpr qint64 kMaxPictureBytes = 16 * 1024 * 1024;

// A picture of the image's bytes, its MIME type and size read from them.
CoverPicture coverPicture(const QByteArray& data, int type = kFrontCoverType, const QString& description = QString());
// The picture with the MIME type (when it has none) and the size and depth
// its image header gives.
CoverPicture withImageFacts(CoverPicture picture);
// The same picture for a format that stores no width, height or depth:
// type, MIME type, description and bytes.
bool samePicture(const CoverPicture& a, const CoverPicture& b);
// Why a tag cannot take the picture: its data is no JPEG, PNG, GIF or BMP
// image, or is larger than kMaxPictureBytes; ok() when it can.
FileError pictureRefusal(const CoverPicture& picture);
// The front cover: the first picture of type 3, else the first; -1 when
// there is none.
int frontCoverIndex(const QList<CoverPicture>& pictures);
