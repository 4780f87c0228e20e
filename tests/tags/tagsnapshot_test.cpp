// The fingerprint undo journals store: journals written by earlier versions
// hold Qt's SHA-1 of the same bytes, and must still match.
#include "tags/tagsnapshot.h"

#include <QCryptographicHash>

#include <gtest/gtest.h>

namespace {

QByteArray earlierFingerprint(const TagSnapshot& s)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    const qint64 lengths[2] = { s.v2.size(), s.trailer.size() };
    hash.addData(QByteArrayView(reinterpret_cast<const char*>(lengths), sizeof lengths));
    hash.addData(s.v2);
    hash.addData(s.trailer);
    if (s.throughTagLib()) {
        const qint32 kind = qint32(s.format);
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(&kind), sizeof kind));
        hash.addData(s.items);
    }
    return hash.result();
}

TEST(TagSnapshot, FingerprintIsTheOneEarlierJournalsHold)
{
    const QByteArray picture(400 * 1024, 'p');
    TagSnapshot none;
    TagSnapshot v2Only;
    v2Only.v2 = "ID3\x03" + picture;
    TagSnapshot both = v2Only;
    both.trailer = "TAG" + QByteArray(125, 'x');
    TagSnapshot trailerOnly;
    trailerOnly.trailer = both.trailer;
    TagSnapshot flac;
    flac.format = AudioFormat::Flac;
    flac.items = picture;
    TagSnapshot emptyOgg;
    emptyOgg.format = AudioFormat::OggVorbis;
    for (const TagSnapshot& s : { none, v2Only, both, trailerOnly, flac, emptyOgg })
        EXPECT_EQ(s.tagHash(), earlierFingerprint(s)) << s.v2.size() << " " << s.trailer.size();
    // Which tag the bytes sit in counts, not only the bytes.
    TagSnapshot moved;
    moved.v2 = both.trailer;
    EXPECT_NE(moved.tagHash(), trailerOnly.tagHash());
    EXPECT_NE(flac.tagHash(), emptyOgg.tagHash());
}

} // namespace
