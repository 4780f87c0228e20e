#pragma once

#include "tags/id3frame.h"

#include <QList>

// Writes the items of an ID3V2Tag into TagLib's tag of the file: changed
// values into their frames, deleted frames out, new items as new frames.
// Included by the tag layer's own .cpp files only.
namespace TagLib {
namespace ID3v2 {
    class Frame;
    class Tag;
} // namespace ID3v2
} // namespace TagLib

class ID3V2Tag;

class ID3V2TagWriter {
public:
    // tag is the file's tag (not owned); v4 when it is written as ID3v2.4.
    ID3V2TagWriter(const ID3V2Tag& owner, TagLib::ID3v2::Tag* tag, bool v4)
        : m_owner(owner)
        , m_tag(tag)
        , m_v4(v4)
    {
    }

    // itemsFromTrailer: the items came from an ID3v1 trailer and have no
    // frames yet.
    void apply(const QList<clsID3Frame>& items, bool itemsFromTrailer);

private:
    void write(TagLib::ID3v2::Frame* frame, const clsID3Frame& item);
    void create(const clsID3Frame& item);

    const ID3V2Tag& m_owner;
    TagLib::ID3v2::Tag* m_tag;
    bool m_v4;
};
