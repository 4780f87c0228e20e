#pragma once

#include "platform/fileerror.h"
#include "tags/coverpicture.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The edits of a file's picture list that the cover pane offers, and the
// texts it shows; the images themselves are decoded by the pane.

// The picture types of ID3v2 and FLAC: 0 (Other) to 20 (Publisher Logo).
constexpr int kPictureTypeCount = 21;

// "Front Cover", "Back Cover", ... in the order of the ID3v2 standard;
// "Picture Type N" for a type beyond it.
QString pictureTypeName(int type);

// The list with picture in the place of the first picture of its type, or
// added last when there is none of that type; the others stay as they were.
QList<CoverPicture> withCover(QList<CoverPicture> pictures, const CoverPicture& picture);

// What the pane says of the front cover (frontCoverIndex): "Front Cover,
// image/png, 16 x 8, 1,023 bytes", the pixel size left out when unknown,
// then " + 1 other picture" or " + N other pictures"; "No Cover" for none.
QString coverFactsText(const QList<CoverPicture>& pictures);

// The name suffix of an image's MIME type: "jpg", "png", "gif", "bmp"; for
// any other the part after "image/" ("" when there is none).
QString pictureFileSuffix(const QString& mimeType);

// "Cannot Use The Picture From: " CRLF CRLF source CRLF CRLF "Error: "
// description " (" number ")": a picture refused before anything changed.
QString pictureRefusedText(const QString& source, const FileError& error);

// Writes data as the file at path, exactly. An existing file is replaced
// only once the whole of data is on disk (a copy in its folder that takes
// its place), so a failed write leaves it as it was.
FileError writePictureFile(const QString& path, const QByteArray& data);
