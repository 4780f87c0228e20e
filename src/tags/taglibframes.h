#pragma once

#include "tags/id3frame.h"

#include <QByteArray>
#include <QString>

// The tag layer's reading of TagLib's ID3v2 frames. Included by the tag
// layer's own .cpp files only.
namespace TagLib {
namespace ID3v2 {
    class Frame;
    class Tag;
} // namespace ID3v2
} // namespace TagLib

class OpenedTagFile;

// The frame number of a frame (TDRC, TagLib's form of TYER, counts as TYER); 0 when none.
int FrameNumberOf(const TagLib::ID3v2::Frame* frame);
// The frame's description ("" when it has none).
QString DescriptionOf(const TagLib::ID3v2::Frame* frame);
// The item of a loaded frame; index is its 1-based position.
clsID3Frame ItemFor(const TagLib::ID3v2::Frame* frame, int index);
// Puts back what TagLib 1.13 reads wrongly, from the stored bytes of the
// file's tag: the empty description of TXXX frames and genre references
// such as "(17)Rock".
void RepairFrames(TagLib::ID3v2::Tag* tag, const OpenedTagFile& file);
// The stored ID3v2.3 frames TagLib leaves out when it writes a 2.3 tag
// (whole frames, ready to be put back with InsertFrames).
QByteArray FramesTagLibDrops(const QByteArray& original, const QByteArray& rendered);
