// Any bytes as an MP3 file whose ID3v2 and ID3v1 tags are read; the tags read
// are written into a new ID3v2 tag and read back.

#include <cstddef>
#include <cstdint>

#include "formats/formats.h"
#include "formats/id3v2_tag.h"
#include "fuzz/source_exercise.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MemoryByteSource bytes(data, size);
  FileTags tags;
  readMp3Tags(bytes, tags);
  size_t frameBytes = 0;
  for (const Id3Frame& frame : tags.id3Frames) {
    if (frame.id.size() != 4) fuzz::brokenPromise("frame id not of four characters");
    frameBytes += frame.payload.size();
  }
  // Converting version 2.2 pictures adds a few bytes to each.
  if (frameBytes > size + 16 * tags.id3Frames.size()) fuzz::brokenPromise("frames larger than the file");
  for (const auto& [name, value] : tags.values) {
    if (name.empty() || value.empty()) fuzz::brokenPromise("tag without a name or a value");
    if (value.find('\0') != std::string::npos) fuzz::brokenPromise("tag value holds a zero");
  }

  const std::vector<uint8_t> rebuilt = buildId3v2(tags.values, tags.id3Frames);
  if (rebuilt.empty()) return 0;
  MemoryByteSource again(rebuilt);
  FileTags readBack;
  readMp3Tags(again, readBack);
  // Every value of a text frame comes back as it went in (genres aside:
  // "(2)" may be a name or a number).
  for (const auto& [name, value] : tags.values) {
    if (name == "GENRE") continue;
    bool found = false;
    for (const auto& [backName, backValue] : readBack.values)
      if (backName == name) found = backValue == value;
    if (!found) fuzz::brokenPromise("a value did not survive writing");
  }
  return 0;
}
