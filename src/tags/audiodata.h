#pragma once

#include "platform/fileerror.h"
#include "tags/audioformat.h"

#include <QByteArray>
#include <QStringList>

// What a FLAC, Ogg or MP4 file's audio is made of, read by Velmora's own
// small parsers (not TagLib), so that a save can prove the audio survived:
// - FLAC: every byte after the last metadata block, each frame checked
//   against its CRC-16 (a stream cut short or changed is damaged); the
//   metadata blocks other
//   than the comment, pictures and padding (stream info, seek table, cue
//   sheet, application blocks), in order; an ID3v2 tag before the stream;
// - Ogg: every packet of every logical stream except the first stream's
//   comment packet, with the granule positions of the pages after the header
//   packets (page boundaries and checksums may change);
// - MP4: the payloads of the mdat boxes in order (fragmented files too),
//   where in the top-level boxes the chunk offsets (stco, co64) and the
//   fragment base offsets (tfhd) point, and the names of the items in
//   moov/udta/meta/ilst.
// Memory stays bounded: the data are hashed as they stream by.
struct AudioDigest {
    QByteArray audio; // SHA-256 of the audio data
    QByteArray blocks; // SHA-256 of the FLAC blocks above; empty for the others
    QByteArray front; // the ID3v2 tag before a FLAC stream, as stored; empty when none
    QStringList itemNames; // MP4 item keys as TagLib names them ("\u00A9nam", "----:com.apple.iTunes:MOOD")
    qint64 audioBytes = 0; // how many bytes the audio data came to
};

// Reads the digest of path, which holds format; an error naming the damage
// (a truncated box or page, a bad page checksum, no audio) otherwise.
FileError readAudioDigest(const QString& path, AudioFormat format, AudioDigest* out);
