#include "id3v1trailer.h"

bool hasId3v1Trailer(qint64 fileSize, const QByteArray& lastBytes)
{
    if (fileSize <= kId3v1TrailerBytes || lastBytes.size() < kId3v1TrailerBytes)
        return false;
    return QByteArrayView(lastBytes).last(kId3v1TrailerBytes).startsWith("TAG");
}
