// The tags of MP3 files: an ID3v2 tag at the start, an ID3v1 block at the end.
//
// Only the start of the file is looked at for ID3v2: three bytes "ID3" with
// a plausible header turn up by chance inside hours of audio, and taking them
// for a tag would make the writer cut the audio there.

#include <algorithm>
#include <vector>

#include "formats/id3v1_tag.h"
#include "formats/id3v2_tag.h"
#include "formats/tag_text.h"
#include "sys/file.h"
#include "sys/folders.h"

namespace {

constexpr size_t kCopyChunkBytes = 1 << 20;
const char* const kStandardNames[] = {"TITLE", "ARTIST", "ALBUM", "DATE", "COMMENT", "TRACKNUMBER", "GENRE"};

bool isStandardName(const std::string& name) {
  return std::find(std::begin(kStandardNames), std::end(kStandardNames), name) != std::end(kStandardNames);
}

// Where the tags of a file are.
struct Mp3Layout {
  int64_t fileBytes = 0;
  int64_t id3v2Bytes = 0;  // at the start
  bool id3v2Overruns = false;  // its header claims more than the file holds
  bool hasId3v1 = false;   // the last 128 bytes
  Id3v1Block id3v1{};
};

Mp3Layout findLayout(ByteSource& bytes) {
  Mp3Layout layout;
  layout.fileBytes = bytes.size();
  const int64_t claimed = id3v2TagBytes(bytes);
  layout.id3v2Bytes = std::min(claimed, layout.fileBytes);
  layout.id3v2Overruns = claimed > layout.fileBytes;
  const int64_t blockStart = layout.fileBytes - static_cast<int64_t>(layout.id3v1.size());
  if (blockStart >= layout.id3v2Bytes && bytes.seek(blockStart) && bytes.readExact(layout.id3v1.data(), layout.id3v1.size()))
    layout.hasId3v1 = isId3v1(layout.id3v1);
  return layout;
}

// ID3v2 is needed whenever ID3v1 alone would lose something: a value it has
// no field for, a value too long or beyond Latin-1, frames kept from a tag
// read earlier, or a tag the file has (which would otherwise win with its
// old values on the next read).
bool needsId3v2(const FileTags& tags, const Mp3Layout& layout) {
  if (layout.id3v2Bytes > 0 || !tags.id3Frames.empty() || !fitsId3v1(tags.values)) return true;
  return std::any_of(tags.values.begin(), tags.values.end(),
                     [](const auto& entry) { return !entry.second.empty() && !isStandardName(entry.first); });
}

// The ID3v1 block alone, written in place: over the old block or appended.
bool writeId3v1InPlace(const std::string& path, const FileTags& tags) {
  Mp3Layout layout;
  {
    auto probe = openFileBytes(path);
    if (!probe) return false;
    layout = findLayout(*probe);
  }
  sys::File file = sys::File::open(path, sys::Access::ReadWrite, sys::Share::Read, sys::Disposition::OpenExisting);
  if (!file.isOpen()) return false;
  Id3v1Block block = layout.hasId3v1 ? layout.id3v1 : emptyId3v1();
  updateId3v1(block, tags.values);
  const int64_t at = layout.hasId3v1 ? layout.fileBytes - static_cast<int64_t>(block.size()) : layout.fileBytes;
  if (file.seek(at) && file.write(block.data(), block.size()) == block.size()) return true;
  // A short append leaves no partial block behind.
  if (!layout.hasId3v1 && file.seek(at)) file.truncateHere();
  return false;
}

bool copyRange(sys::File& from, sys::File& to, int64_t start, int64_t end) {
  std::vector<uint8_t> buffer(kCopyChunkBytes);
  if (!from.seek(start)) return false;
  for (int64_t at = start; at < end;) {
    const size_t want = static_cast<size_t>(std::min<int64_t>(end - at, static_cast<int64_t>(buffer.size())));
    if (from.read(buffer.data(), want) != want || to.write(buffer.data(), want) != want) return false;
    at += static_cast<int64_t>(want);
  }
  return true;
}

// The new ID3v2 tag, the audio and the ID3v1 block go into a new file beside
// the original, which it replaces only once it is complete.
bool rewriteWithId3v2(const std::string& path, const FileTags& tags) {
  Mp3Layout layout;
  std::vector<Id3Frame> fileFrames;
  {
    auto probe = openFileBytes(path);
    if (!probe) return false;
    layout = findLayout(*probe);
    if (tags.id3Frames.empty()) readId3v2Frames(*probe, fileFrames);
  }
  // Where a damaged tag ends is unknown: whatever follows it might be audio,
  // and replacing the tag could drop it.
  if (layout.id3v2Overruns) return false;
  // Tags that carry no frames of their own keep those of the file.
  const std::vector<uint8_t> id3v2 = buildId3v2(tags.values, tags.id3Frames.empty() ? fileFrames : tags.id3Frames);
  if (id3v2.empty()) return false;
  Id3v1Block id3v1 = layout.hasId3v1 ? layout.id3v1 : emptyId3v1();
  updateId3v1(id3v1, tags.values);
  const int64_t audioEnd = layout.fileBytes - (layout.hasId3v1 ? static_cast<int64_t>(id3v1.size()) : 0);

  const std::string temporary = sys::createFileBeside(path);
  if (temporary.empty()) return false;
  bool written = false;
  {  // both files are closed before the replace
    sys::File original = sys::File::open(path, sys::Access::Read, sys::Share::Read, sys::Disposition::OpenExisting);
    sys::File out = sys::File::open(temporary, sys::Access::ReadWrite, sys::Share::None, sys::Disposition::OpenExisting);
    written = original.isOpen() && out.isOpen() && out.write(id3v2.data(), id3v2.size()) == id3v2.size() &&
              copyRange(original, out, layout.id3v2Bytes, audioEnd) &&
              out.write(id3v1.data(), id3v1.size()) == id3v1.size() && out.flush();
  }
  if (written && sys::replaceFile(temporary, path)) return true;
  sys::deleteFile(temporary);
  return false;
}

}  // namespace

bool readMp3Tags(ByteSource& bytes, FileTags& tags) {
  std::vector<Id3Frame> frames;
  if (readId3v2Frames(bytes, frames)) {
    std::vector<std::string> seen;
    for (const Id3Frame& frame : frames) {
      std::string name, value;
      if (!frameValue(frame, name, value) || value.empty()) continue;
      // A repeated frame does not override the first.
      if (std::find(seen.begin(), seen.end(), name) != seen.end()) continue;
      seen.push_back(name);
      setTagValue(tags.values, name, value);
    }
    tags.id3Frames = std::move(frames);
  }
  const Mp3Layout layout = findLayout(bytes);
  if (layout.hasId3v1) readId3v1(layout.id3v1, tags.values);
  return true;
}

bool writeMp3Tags(const std::string& path, const FileTags& tags) {
  bool id3v2 = false;
  {
    auto probe = openFileBytes(path);
    if (!probe) return false;
    id3v2 = needsId3v2(tags, findLayout(*probe));
  }  // closed before the file is replaced
  return id3v2 ? rewriteWithId3v2(path, tags) : writeId3v1InPlace(path, tags);
}
