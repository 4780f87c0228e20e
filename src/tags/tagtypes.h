#pragma once

// Kinds of tag a file can carry, as flags. -1 (All) asks for every kind.
namespace TagType {
constexpr int ID3v1 = 1;
constexpr int ID3v2 = 2;
constexpr int Lyrics3 = 4;
constexpr int Lyrics3v2 = 8;
constexpr int MusicMatch = 16;
constexpr int All = -1;
} // namespace TagType
