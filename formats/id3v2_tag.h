#pragma once
// ID3v2 tags at the start of MP3 files: reading versions 2.2 to 2.4 into
// frames of the version 2.3 layout, and writing version 2.3.

#include <cstdint>
#include <string>
#include <vector>

#include "formats/byte_source.h"
#include "formats/formats.h"

// The bytes of the ID3v2 tag at the start of the file (header, frames,
// padding and footer), or 0 when it has none.
int64_t id3v2TagBytes(ByteSource& bytes);
// The frames of that tag, in file order. False when the file has no tag.
bool readId3v2Frames(ByteSource& bytes, std::vector<Id3Frame>& frames);
// The tag name a text frame gives its value under, and that value as a tag
// set holds it; false for frames that carry no single text (pictures,
// private data, described comments and links).
bool frameValue(const Id3Frame& frame, std::string& name, std::string& value);
// A version 2.3 tag: the kept frames whose values were not edited, byte for
// byte, and new frames for the values of tags. Empty when it would not fit
// the 28-bit size of a tag.
std::vector<uint8_t> buildId3v2(const TagSet& tags, const std::vector<Id3Frame>& keptFrames);
