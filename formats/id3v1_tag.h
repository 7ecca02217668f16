#pragma once
// The ID3v1 block: the last 128 bytes of an MP3 file.
//   0 "TAG", 3 title (30), 33 artist (30), 63 album (30), 93 year (4),
//   97 comment (30; with a track number: 28, a zero at 125, the track at 126),
//   127 genre index.

#include <array>
#include <cstdint>

#include "formats/formats.h"

using Id3v1Block = std::array<uint8_t, 128>;

bool isId3v1(const Id3v1Block& block);
// A block with no values; its genre byte says "none" (255).
Id3v1Block emptyId3v1();
// Adds the block's values to tags where they have none yet.
void readId3v1(const Id3v1Block& block, TagSet& tags);
// Puts every standard value that tags hold into the block; fields whose
// names tags do not hold stay as they are.
void updateId3v1(Id3v1Block& block, const TagSet& tags);
// True when every standard value of tags can be stored in the block whole.
bool fitsId3v1(const TagSet& tags);
