// Descriptive tags of WAVE files: the items of "LIST"/"INFO" chunks and the
// title of a "DISP" chunk.
//
// Both directions walk the top-level chunks after "RIFF"/"WAVE" up to the end
// of the file rather than the RIFF size, because tag chunks appended by older
// versions of this program were left outside it. No size read from the file
// is trusted past the file's end, and every text read is capped, so a damaged
// file can neither make the walk loop nor make it allocate much.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "formats/formats.h"
#include "formats/tag_text.h"
#include "sys/file.h"

namespace {

struct InfoItem {
  const char* tag;
  char id[5];
};
// TITLE is read from "IPRD" but written as a "DISP" chunk.
constexpr InfoItem kInfoItems[] = {
    {"TITLE", "IPRD"}, {"ARTIST", "IART"},      {"ALBUM", "INAM"}, {"DATE", "ICOP"},
    {"TRACKNUMBER", "ITRK"}, {"GENRE", "IGNR"}, {"COMMENT", "ICMT"},
};
constexpr char kTitle[] = "TITLE";
// The DISP type of plain text; other types (pictures and the like) are
// neither read as a title nor overwritten.
constexpr uint32_t kDispText = 1;
// More than any tag can usefully hold; longer texts are cut.
constexpr size_t kMaxTagText = 65536;
// The largest RIFF size that is neither wrapped nor the "unknown" marker.
constexpr uint64_t kMaxRiffSize = 0xFFFFFFFE;

bool idIs(const uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

// A DISP chunk, or a chunk of four-space id (a DISP blanked earlier).
struct DispChunk {
  int64_t start = 0;  // of the chunk header
  uint32_t size = 0;
  bool blank = false;
};

struct ChunkScan {
  std::vector<std::pair<std::string, std::string>> infoItems;  // (id, text), text non-empty
  bool haveDispTitle = false;
  std::string dispTitle;
  std::vector<DispChunk> dispChunks;  // text DISP and blanked chunks only
  std::vector<DispChunk> infoLists;   // LIST/INFO chunks
  // True when the chunks end exactly at the end of the file, or one pad byte
  // short of it; false when a chunk runs past the end or stray bytes follow.
  bool endsCleanly = false;
  bool needsPad = false;
};

// Reads up to bytes (capped) at offset and returns the text before the first zero.
std::string readText(ByteSource& bytes, int64_t offset, int64_t available) {
  if (available <= 0 || !bytes.seek(offset)) return {};
  std::string text(static_cast<size_t>(std::min<int64_t>(available, kMaxTagText)), '\0');
  text.resize(bytes.read(text.data(), text.size()));
  text.resize(std::min(text.size(), text.find('\0')));
  return text;
}

void scanInfoList(ByteSource& bytes, int64_t itemsStart, int64_t listEnd, ChunkScan& scan) {
  int64_t item = itemsStart;
  while (item + 8 <= listEnd) {
    uint8_t header[8];
    if (!bytes.seek(item) || !bytes.readExact(header, sizeof header)) return;
    const uint32_t textBytes = le32(header + 4);
    const int64_t textStart = item + 8;
    const int64_t textEnd = std::min<int64_t>(textStart + textBytes, listEnd);
    std::string text = readText(bytes, textStart, textEnd - textStart);
    if (!text.empty()) scan.infoItems.emplace_back(std::string(reinterpret_cast<char*>(header), 4), text);
    item = textStart + textBytes + (textBytes & 1);
  }
}

// Walks the chunks after the 12-byte RIFF header. False on a read failure.
bool scanChunks(ByteSource& bytes, ChunkScan& scan) {
  const int64_t fileBytes = bytes.size();
  int64_t chunkStart = 12;
  bool overruns = false;
  while (chunkStart + 8 <= fileBytes) {
    uint8_t header[12];
    if (!bytes.seek(chunkStart) || !bytes.readExact(header, 8)) return false;
    const uint32_t chunkBytes = le32(header + 4);
    const int64_t bodyStart = chunkStart + 8;
    const int64_t bodyEnd = bodyStart + chunkBytes;
    const int64_t readableEnd = std::min(bodyEnd, fileBytes);
    if (idIs(header, "LIST") && readableEnd - bodyStart >= 4) {
      if (!bytes.readExact(header + 8, 4)) return false;
      if (idIs(header + 8, "INFO")) {
        scanInfoList(bytes, bodyStart + 4, readableEnd, scan);
        scan.infoLists.push_back({chunkStart, chunkBytes, false});
      }
    } else if (idIs(header, "DISP")) {
      uint32_t type = kDispText;
      if (readableEnd - bodyStart >= 4) {
        uint8_t typeBytes[4];
        if (!bytes.readExact(typeBytes, 4)) return false;
        type = le32(typeBytes);
      }
      if (type == kDispText) {
        if (chunkBytes >= 4) {
          scan.haveDispTitle = true;
          scan.dispTitle = readText(bytes, bodyStart + 4, readableEnd - bodyStart - 4);
        }
        scan.dispChunks.push_back({chunkStart, chunkBytes, false});
      }
    } else if (idIs(header, "    ")) {
      scan.dispChunks.push_back({chunkStart, chunkBytes, true});
    }
    if (bodyEnd > fileBytes) {
      overruns = true;
      break;
    }
    chunkStart = bodyEnd + (chunkBytes & 1);
  }
  scan.endsCleanly = !overruns && (chunkStart == fileBytes || chunkStart == fileBytes + 1);
  scan.needsPad = chunkStart == fileBytes + 1;
  return true;
}

bool readRiffWaveHeader(ByteSource& bytes) {
  uint8_t header[12];
  return bytes.seek(0) && bytes.readExact(header, sizeof header) && idIs(header, "RIFF") &&
         idIs(header + 8, "WAVE");
}

// The first non-empty value of a tag, cut at any zero character.
std::string tagValue(const TagSet& tags, const char* name) {
  for (const auto& [tagName, value] : tags)
    if (tagName == name && !value.empty()) return value.substr(0, value.find('\0'));
  return {};
}

// Reads and writes a File that stays owned by its caller.
class FileBytes final : public ByteSource {
 public:
  explicit FileBytes(sys::File& file) : m_file(file) {}
  size_t read(void* data, size_t bytes) override { return m_file.read(data, bytes); }
  bool seek(int64_t offset) override { return offset >= 0 && m_file.seek(offset); }
  int64_t tell() const override { return m_file.tell(); }
  int64_t size() const override { return m_file.size(); }

 private:
  sys::File& m_file;
};

void putLe32(std::vector<uint8_t>& out, uint32_t value) {
  uint8_t bytes[4];
  storeLe32(bytes, value);
  out.insert(out.end(), bytes, bytes + 4);
}

void putId(std::vector<uint8_t>& out, const char* id) { out.insert(out.end(), id, id + 4); }

// The text of the last item of an id in the file's lists, empty when none.
std::string fileItem(const ChunkScan& scan, const char* id) {
  for (auto found = scan.infoItems.rbegin(); found != scan.infoItems.rend(); ++found)
    if (found->first == id) return found->second;
  return {};
}

bool isWrittenItem(const std::string& id) {
  for (const InfoItem& item : kInfoItems)
    if (std::strcmp(item.tag, kTitle) != 0 && id == item.id) return true;
  return false;
}

// True when tags give an item a value other than the one the file holds
// (emptied values included), so that the lists must be written anew.
bool changesAnItem(const TagSet& tags, const ChunkScan& scan) {
  for (const InfoItem& item : kInfoItems) {
    if (std::strcmp(item.tag, kTitle) == 0 || !hasTag(tags, item.tag)) continue;
    const std::string old = trimmedTagText(fileItem(scan, item.id));
    if (!old.empty() && old != tagValue(tags, item.tag)) return true;
  }
  return false;
}

void putItem(std::vector<uint8_t>& list, const char* id, const std::string& text) {
  putId(list, id);
  putLe32(list, static_cast<uint32_t>(text.size() + 1));
  list.insert(list.end(), text.begin(), text.end());
  list.push_back(0);
  if (list.size() & 1) list.push_back(0);
}

// A LIST/INFO chunk of the tags that have text and that the file lacks, or
// with replacing, of every tag with text and of the items of the old lists
// that no tag stands for; empty when there are no items.
std::vector<uint8_t> makeInfoList(const TagSet& tags, const ChunkScan& scan, bool replacing) {
  std::vector<uint8_t> list;
  putId(list, "LIST");
  putLe32(list, 0);  // filled in below
  putId(list, "INFO");
  bool anyItem = false;
  for (const InfoItem& item : kInfoItems) {
    if (std::strcmp(item.tag, kTitle) == 0) continue;
    const std::string text = tagValue(tags, item.tag);
    if (text.empty()) continue;
    if (!replacing && !fileItem(scan, item.id).empty()) continue;
    anyItem = true;
    putItem(list, item.id, text);
  }
  if (replacing) {
    std::vector<std::string> carried;
    for (auto found = scan.infoItems.rbegin(); found != scan.infoItems.rend(); ++found) {
      if (isWrittenItem(found->first) || std::find(carried.begin(), carried.end(), found->first) != carried.end())
        continue;
      carried.push_back(found->first);
      anyItem = true;
      putItem(list, found->first.c_str(), found->second);
    }
  }
  if (!anyItem) return {};
  storeLe32(list.data() + 4, static_cast<uint32_t>(list.size() - 8));
  return list;
}

// A DISP chunk of plain text: the type word, the title and at least one zero,
// to an even length.
std::vector<uint8_t> makeDisp(const std::string& title) {
  const uint32_t textBytes = static_cast<uint32_t>((title.size() + 2) & ~size_t{1});
  std::vector<uint8_t> disp;
  putId(disp, "DISP");
  putLe32(disp, 4 + textBytes);
  putLe32(disp, kDispText);
  disp.insert(disp.end(), title.begin(), title.end());
  disp.resize(8 + 4 + textBytes, 0);
  return disp;
}

bool writeAt(sys::File& file, int64_t offset, const void* data, size_t bytes) {
  return file.seek(offset) && file.write(data, bytes) == bytes;
}

}  // namespace

// Sets the tags found (replacing values of the same names); true when the
// bytes are a RIFF WAVE file. A DISP title wins over an "IPRD" item, since
// the DISP chunk is what the writer keeps up to date.
bool readWaveTags(ByteSource& bytes, TagSet& tags) {
  if (!readRiffWaveHeader(bytes)) return false;
  ChunkScan scan;
  scanChunks(bytes, scan);
  // Texts of nothing but blanks are no values.
  auto set = [&](const char* name, const std::string& text) {
    if (trimmedTagText(text).empty()) return false;
    setTagValue(tags, name, text);
    return true;
  };
  for (const InfoItem& item : kInfoItems) {
    if (std::strcmp(item.tag, kTitle) == 0 && scan.haveDispTitle && set(kTitle, scan.dispTitle)) continue;
    // The last of repeated items wins.
    for (auto found = scan.infoItems.rbegin(); found != scan.infoItems.rend(); ++found) {
      if (found->first == item.id) {
        set(item.tag, found->second);
        break;
      }
    }
  }
  return true;
}

bool readWaveTags(const std::string& path, TagSet& tags) {
  auto bytes = openFileBytes(path);
  return bytes && readWaveTags(*bytes, tags);
}

// Adds the tags the file lacks, or when a tag changes one the file has,
// writes a new list of them all. Nothing is written when the file is not a
// RIFF WAVE file whose chunks end at its end (a chunk that runs past the end,
// as in a recording never closed, would swallow appended chunks into its
// data), or when the result would not fit the 32-bit RIFF size.
bool writeWaveTags(const std::string& path, const TagSet& tags) {
  sys::File file = sys::File::open(path, sys::Access::ReadWrite, sys::Share::Read,
                                   sys::Disposition::OpenExisting);
  if (!file.isOpen()) return false;
  FileBytes bytes(file);
  const int64_t fileBytes = bytes.size();
  ChunkScan scan;
  if (!readRiffWaveHeader(bytes) || !scanChunks(bytes, scan) || !scan.endsCleanly) return false;

  std::vector<uint8_t> appended;
  if (scan.needsPad) appended.push_back(0);
  // A changed item makes a new list of every item; the old lists go the way
  // of an old title: one of the same size is overwritten, the others blanked.
  const bool replacing = changesAnItem(tags, scan);
  const std::vector<uint8_t> list = makeInfoList(tags, scan, replacing);
  const DispChunk* reusedList = nullptr;
  std::vector<int64_t> toBlank;
  if (replacing) {
    for (const DispChunk& old : scan.infoLists)
      if (!reusedList && !list.empty() && old.size + 8 == list.size()) reusedList = &old;
    for (const DispChunk& old : scan.infoLists)
      if (&old != reusedList) toBlank.push_back(old.start);
  }
  if (!reusedList) appended.insert(appended.end(), list.begin(), list.end());

  // The title goes into a DISP chunk of the same size if there is one (a live
  // one first, else a blanked one); every other text DISP is blanked so that
  // only one title remains.
  const std::string title = tagValue(tags, kTitle);
  std::vector<uint8_t> disp;
  const DispChunk* reused = nullptr;
  if (!title.empty()) {
    disp = makeDisp(title);
    const uint32_t dispBytes = static_cast<uint32_t>(disp.size() - 8);
    for (bool blank : {false, true}) {
      for (const DispChunk& chunk : scan.dispChunks)
        if (!reused && chunk.blank == blank && chunk.size == dispBytes) reused = &chunk;
    }
    for (const DispChunk& chunk : scan.dispChunks)
      if (!chunk.blank && &chunk != reused) toBlank.push_back(chunk.start);
    if (!reused) appended.insert(appended.end(), disp.begin(), disp.end());
  }

  const bool appending = appended.size() > (scan.needsPad ? 1u : 0u);
  if (!appending && !reused && !reusedList && toBlank.empty()) return true;
  const uint64_t finalBytes = static_cast<uint64_t>(fileBytes) + (appending ? appended.size() : 0);
  if (finalBytes - 8 > kMaxRiffSize) return false;

  bool written = true;
  if (appending) {
    written = writeAt(file, fileBytes, appended.data(), appended.size());
    // A short write (a full disk) leaves no partial chunk behind.
    if (!written) {
      if (file.seek(fileBytes)) file.truncateHere();
      return false;
    }
  }
  if (written && reused) written = writeAt(file, reused->start, disp.data(), disp.size());
  if (written && reusedList) written = writeAt(file, reusedList->start, list.data(), list.size());
  for (int64_t start : toBlank)
    if (written) written = writeAt(file, start, "    ", 4);
  if (written) {
    uint8_t riffSize[4];
    storeLe32(riffSize, static_cast<uint32_t>(finalBytes - 8));
    written = writeAt(file, 4, riffSize, sizeof riffSize);
  }
  return written;
}
