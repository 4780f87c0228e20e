#pragma once

#include <QFlags>

// Kinds of tag a file can carry.
enum class TagKind {
    ID3v1 = 0x01,
    ID3v2 = 0x02,
    Lyrics3 = 0x04,
    Lyrics3v2 = 0x08,
    MusicMatch = 0x10,
};
Q_DECLARE_FLAGS(TagKinds, TagKind)
Q_DECLARE_OPERATORS_FOR_FLAGS(TagKinds)

// Every kind, in the order a strip removes them.
constexpr TagKind kTagKinds[]
    = { TagKind::ID3v1, TagKind::ID3v2, TagKind::Lyrics3, TagKind::Lyrics3v2, TagKind::MusicMatch };

constexpr TagKinds kAllTagKinds
    = TagKind::ID3v1 | TagKind::ID3v2 | TagKind::Lyrics3 | TagKind::Lyrics3v2 | TagKind::MusicMatch;

// The kinds as the bits of an int, for the end-of-file scanner that stores
// them so (TagKinds::fromInt reads them back).
namespace TagType {
constexpr int ID3v1 = int(TagKind::ID3v1);
constexpr int ID3v2 = int(TagKind::ID3v2);
constexpr int Lyrics3 = int(TagKind::Lyrics3);
constexpr int Lyrics3v2 = int(TagKind::Lyrics3v2);
constexpr int MusicMatch = int(TagKind::MusicMatch);
} // namespace TagType
