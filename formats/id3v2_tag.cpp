#include "formats/id3v2_tag.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "formats/id3_genres.h"
#include "formats/tag_text.h"

namespace {

constexpr size_t kHeaderBytes = 10;
constexpr uint8_t kUnsynchronised = 0x80, kExtendedHeader = 0x40, kFooter = 0x10;
constexpr uint32_t kMaxSynchsafe = (1u << 28) - 1;

// Version 2.3 frame flags, and those of version 2.4 that change the payload.
constexpr uint16_t kV24Grouping = 0x0040, kV24Compressed = 0x0008, kV24Encrypted = 0x0004;
constexpr uint16_t kV24Unsynchronised = 0x0002, kV24DataLength = 0x0001;

enum Encoding : uint8_t { kLatin1 = 0, kUtf16 = 1, kUtf16Be = 2, kUtf8 = 3 };

struct StandardFrame {
  const char* tag;
  const char* id;
};
constexpr StandardFrame kStandardFrames[] = {
    {"TITLE", "TIT2"}, {"ARTIST", "TPE1"}, {"ALBUM", "TALB"},  {"DATE", "TYER"},
    {"COMMENT", "COMM"}, {"TRACKNUMBER", "TRCK"}, {"GENRE", "TCON"},
};

// Version 2.2 names of the frames that have a version 2.3 counterpart.
struct OldFrameId {
  const char* oldId;
  const char* id;
};
constexpr OldFrameId kOldFrameIds[] = {
    {"TT1", "TIT1"}, {"TT2", "TIT2"}, {"TT3", "TIT3"}, {"TP1", "TPE1"}, {"TP2", "TPE2"}, {"TP3", "TPE3"},
    {"TP4", "TPE4"}, {"TAL", "TALB"}, {"TYE", "TYER"}, {"TRK", "TRCK"}, {"TCO", "TCON"}, {"TCM", "TCOM"},
    {"TPA", "TPOS"}, {"TEN", "TENC"}, {"TSS", "TSSE"}, {"TCR", "TCOP"}, {"TPB", "TPUB"}, {"TBP", "TBPM"},
    {"TLA", "TLAN"}, {"TXT", "TEXT"}, {"TLE", "TLEN"}, {"TXX", "TXXX"}, {"COM", "COMM"}, {"WXX", "WXXX"},
    {"PIC", "APIC"}, {"UFI", "UFID"}, {"GEO", "GEOB"}, {"ULT", "USLT"}, {"CNT", "PCNT"}, {"POP", "POPM"},
};

uint32_t synchsafe(const uint8_t* p) { return uint32_t(p[0]) << 21 | uint32_t(p[1]) << 14 | uint32_t(p[2]) << 7 | p[3]; }

bool isFrameIdChar(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

// Undoes the 0xFF 0x00 stuffing that keeps tag bytes from looking like audio.
void removeUnsynchronisation(std::vector<uint8_t>& data) {
  size_t out = 0;
  for (size_t in = 0; in < data.size(); ++in) {
    data[out++] = data[in];
    if (data[in] == 0xFF && in + 1 < data.size() && data[in + 1] == 0) ++in;
  }
  data.resize(out);
}

struct Header {
  uint8_t major = 0;
  uint8_t flags = 0;
  uint32_t bodyBytes = 0;
};

bool readHeader(ByteSource& bytes, Header& header) {
  uint8_t raw[kHeaderBytes];
  if (!bytes.seek(0) || !bytes.readExact(raw, sizeof raw) || std::memcmp(raw, "ID3", 3) != 0) return false;
  if (raw[3] < 2 || raw[3] > 4 || raw[4] == 0xFF) return false;
  for (int i = 6; i < 10; ++i)
    if (raw[i] >= 0x80) return false;
  header.major = raw[3];
  header.flags = raw[5];
  header.bodyBytes = synchsafe(raw + 6);
  return true;
}

// A version 2.2 picture names its image type in three letters where later
// versions give a MIME type.
std::vector<uint8_t> convertOldPicture(const std::vector<uint8_t>& payload) {
  if (payload.size() < 4) return {};
  std::string format(payload.begin() + 1, payload.begin() + 4);
  for (char& c : format) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const std::string mime = format == "JPG" ? "image/jpeg" : format == "PNG" ? "image/png" : "image/" + format;
  std::vector<uint8_t> converted{payload[0]};
  converted.insert(converted.end(), mime.begin(), mime.end());
  converted.push_back(0);
  converted.insert(converted.end(), payload.begin() + 4, payload.end());
  return converted;
}

// Turns a version 2.4 frame into the 2.3 layout; false for one that cannot be
// kept (compressed or encrypted).
bool convertV24Frame(Id3Frame& frame, bool tagUnsynchronised) {
  const uint16_t flags = frame.flags;
  if (flags & (kV24Compressed | kV24Encrypted)) return false;
  if ((flags & kV24Unsynchronised) || tagUnsynchronised) removeUnsynchronisation(frame.payload);
  if (flags & kV24DataLength) {
    const size_t at = (flags & kV24Grouping) ? 1 : 0;
    if (frame.payload.size() < at + 4) return false;
    frame.payload.erase(frame.payload.begin() + at, frame.payload.begin() + at + 4);
  }
  // The status flags move up one bit; grouping keeps its byte.
  frame.flags = static_cast<uint16_t>((flags & 0x7000) << 1 | ((flags & kV24Grouping) ? 0x0020 : 0));
  return true;
}

// Where a zero-terminated string of an encoding ends, and where the text after it starts.
size_t terminatedEnd(const std::vector<uint8_t>& data, size_t from, uint8_t encoding, size_t& next) {
  if (encoding == kUtf16 || encoding == kUtf16Be) {
    for (size_t i = from; i + 1 < data.size(); i += 2) {
      if (data[i] == 0 && data[i + 1] == 0) {
        next = i + 2;
        return i;
      }
    }
  } else {
    for (size_t i = from; i < data.size(); ++i) {
      if (data[i] == 0) {
        next = i + 1;
        return i;
      }
    }
  }
  next = data.size();
  return data.size();
}

std::string decodeText(const std::vector<uint8_t>& data, size_t from, uint8_t encoding) {
  size_t next = 0;
  const size_t end = terminatedEnd(data, from, encoding, next);
  const uint8_t* start = data.data() + from;
  const size_t bytes = end > from ? end - from : 0;
  switch (encoding) {
    case kLatin1: return latin1ToUtf8(std::string(reinterpret_cast<const char*>(start), bytes));
    case kUtf16: return utf16ToUtf8(start, bytes, false);
    case kUtf16Be: return utf16ToUtf8(start, bytes, true);
    default: {
      // Bytes that are not UTF-8 after all are taken as Latin-1.
      std::string text(reinterpret_cast<const char*>(start), bytes);
      return isUtf8(text) ? text : latin1ToUtf8(text);
    }
  }
}

// "(17)" and "(17)Rock" are how older tags write a genre by its number.
std::string genreText(const std::string& text) {
  if (text.size() > 2 && text[0] == '(' && std::isdigit(static_cast<unsigned char>(text[1]))) {
    const size_t close = text.find(')');
    if (close != std::string::npos && close <= 4) {
      const std::string rest = text.substr(close + 1);
      if (!rest.empty()) return rest;
      if (const char* name = genreName(std::atoi(text.c_str() + 1))) return name;
    }
  }
  return text;
}

const char* tagNameOfFrame(const std::string& id) {
  for (const StandardFrame& frame : kStandardFrames)
    if (id == frame.id) return frame.tag;
  if (id == "TDRC") return "DATE";  // the date frame of version 2.4
  return nullptr;
}

std::string frameIdOfTag(const std::string& name) {
  for (const StandardFrame& frame : kStandardFrames)
    if (name == frame.tag) return frame.id;
  // Other names are frame ids of their own; only text and link frames can be
  // made from a text value.
  const bool isId = name.size() == 4 && std::all_of(name.begin(), name.end(), [](char c) { return isFrameIdChar(c); });
  if (isId && ((name[0] == 'T' && name != "TXXX") || name == "WXXX")) return name;
  return {};
}

void putBe32(std::vector<uint8_t>& out, uint32_t value) {
  uint8_t bytes[4];
  storeBe32(bytes, value);
  out.insert(out.end(), bytes, bytes + 4);
}

// Text in the encoding a new frame uses: Latin-1 when it can, else UTF-16
// with a byte-order mark.
struct EncodedText {
  uint8_t encoding;
  std::string bytes;
  std::string terminator;
};
EncodedText encodeText(const std::string& value) {
  if (auto latin1 = utf8ToLatin1(value)) return {kLatin1, *latin1, std::string(1, '\0')};
  return {kUtf16, utf8ToUtf16WithBom(value), std::string(2, '\0')};
}

Id3Frame newFrame(const std::string& id, const std::string& value) {
  Id3Frame frame{id, 0, {}};
  auto append = [&](const std::string& bytes) { frame.payload.insert(frame.payload.end(), bytes.begin(), bytes.end()); };
  if (id == "WXXX") {
    // The link itself is always Latin-1; the empty description follows the encoding.
    frame.payload = {kLatin1, 0};
    append(utf8ToLatin1(value).value_or(value));
    frame.payload.push_back(0);
    return frame;
  }
  const EncodedText text = encodeText(value);
  frame.payload.push_back(text.encoding);
  if (id == "COMM") {
    append(std::string(3, '\0'));  // no language
    append(text.encoding == kUtf16 ? std::string("\xFF\xFE\0\0", 4) : text.terminator);  // no description
  }
  append(text.bytes);
  append(text.terminator);
  return frame;
}

void appendFrame(std::vector<uint8_t>& tag, const Id3Frame& frame) {
  tag.insert(tag.end(), frame.id.begin(), frame.id.end());
  putBe32(tag, static_cast<uint32_t>(frame.payload.size()));
  tag.push_back(static_cast<uint8_t>(frame.flags >> 8));
  tag.push_back(static_cast<uint8_t>(frame.flags & 0xFF));
  tag.insert(tag.end(), frame.payload.begin(), frame.payload.end());
}

// Text frames of encodings that version 2.3 lacks are written anew.
bool writableAsIs(const Id3Frame& frame) { return frame.payload.empty() || frame.payload[0] == kLatin1 || frame.payload[0] == kUtf16; }

}  // namespace

int64_t id3v2TagBytes(ByteSource& bytes) {
  Header header;
  if (!readHeader(bytes, header)) return 0;
  const bool footer = header.major == 4 && (header.flags & kFooter);
  return int64_t{kHeaderBytes} + header.bodyBytes + (footer ? kHeaderBytes : 0);
}

bool readId3v2Frames(ByteSource& bytes, std::vector<Id3Frame>& frames) {
  Header header;
  if (!readHeader(bytes, header)) return false;
  // A size beyond the file is cut to what the file holds.
  const int64_t available = std::max<int64_t>(bytes.size() - int64_t{kHeaderBytes}, 0);
  std::vector<uint8_t> body(static_cast<size_t>(std::min<int64_t>(header.bodyBytes, available)));
  if (!body.empty()) body.resize(bytes.read(body.data(), body.size()));
  if (header.major < 4 && (header.flags & kUnsynchronised)) removeUnsynchronisation(body);
  // In version 2.2 this flag means a compression nobody defined.
  if (header.major == 2 && (header.flags & kExtendedHeader)) return true;

  size_t position = 0;
  if (header.flags & kExtendedHeader) {
    if (body.size() < 4) return true;
    // Version 2.3 counts the bytes after the size field, 2.4 the whole header.
    position = header.major == 3 ? 4 + size_t{be32(body.data())} : size_t{synchsafe(body.data())};
  }
  const size_t idBytes = header.major == 2 ? 3 : 4;
  const size_t frameHeaderBytes = header.major == 2 ? 6 : 10;
  while (position + frameHeaderBytes <= body.size()) {
    const uint8_t* raw = body.data() + position;
    if (!std::all_of(raw, raw + idBytes, isFrameIdChar)) break;  // the padding after the last frame
    uint32_t payloadBytes = 0;
    uint16_t flags = 0;
    if (header.major == 2) {
      payloadBytes = uint32_t(raw[3]) << 16 | uint32_t(raw[4]) << 8 | raw[5];
    } else {
      payloadBytes = header.major == 4 ? synchsafe(raw + 4) : be32(raw + 4);
      flags = be16(raw + 8);
    }
    const size_t payloadStart = position + frameHeaderBytes;
    if (payloadBytes > body.size() - payloadStart) break;
    Id3Frame frame{std::string(reinterpret_cast<const char*>(raw), idBytes), flags,
                   std::vector<uint8_t>(body.begin() + payloadStart, body.begin() + payloadStart + payloadBytes)};
    position = payloadStart + payloadBytes;

    bool keep = payloadBytes > 0;
    if (header.major == 2) {
      const OldFrameId* known = std::find_if(std::begin(kOldFrameIds), std::end(kOldFrameIds),
                                             [&](const OldFrameId& old) { return frame.id == old.oldId; });
      keep = keep && known != std::end(kOldFrameIds);
      if (keep) {
        frame.id = known->id;
        if (frame.id == "APIC") frame.payload = convertOldPicture(frame.payload);
        keep = !frame.payload.empty();
      }
    } else if (header.major == 4) {
      keep = keep && convertV24Frame(frame, header.flags & kUnsynchronised);
    }
    if (keep) frames.push_back(std::move(frame));
  }
  return true;
}

bool frameValue(const Id3Frame& frame, std::string& name, std::string& value) {
  const std::vector<uint8_t>& data = frame.payload;
  // Compressed, encrypted or grouped frames hold no plain text.
  if (data.empty() || (frame.flags & 0x00E0) || data[0] > kUtf8) return false;
  const uint8_t encoding = data[0];
  std::string text;
  if (frame.id == "COMM") {
    if (data.size() < 4) return false;
    size_t textStart = 0;
    const size_t descriptionEnd = terminatedEnd(data, 4, encoding, textStart);
    if (!decodeText(data, 4, encoding).empty() || descriptionEnd == data.size()) return false;
    text = decodeText(data, textStart, encoding);
    name = "COMMENT";
  } else if (frame.id == "WXXX") {
    size_t linkStart = 0;
    terminatedEnd(data, 1, encoding, linkStart);
    if (!decodeText(data, 1, encoding).empty()) return false;
    text = decodeText(data, linkStart, kLatin1);
    name = "WXXX";
  } else if (frame.id[0] == 'T' && frame.id != "TXXX") {
    text = decodeText(data, 1, encoding);
    const char* standard = tagNameOfFrame(frame.id);
    name = standard ? standard : frame.id;
    if (name == "GENRE") text = genreText(text);
  } else {
    return false;
  }
  value = trimmedTagText(readBackValue(text));
  return true;
}

std::vector<uint8_t> buildId3v2(const TagSet& tags, const std::vector<Id3Frame>& keptFrames) {
  std::vector<uint8_t> tag = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 0};
  std::vector<std::string> written;
  auto isWritten = [&](const std::string& name) { return std::find(written.begin(), written.end(), name) != written.end(); };
  auto writeValue = [&](const std::string& name) {
    if (!isWritten(name)) written.push_back(name);
    const std::string value = tagValueOf(tags, name);
    const std::string id = frameIdOfTag(name);
    if (!value.empty() && !id.empty()) appendFrame(tag, newFrame(id, value));
  };
  // The kept frames in their order; a text frame as it was when its value is
  // unchanged, as a new frame when it was edited, left out when emptied.
  for (const Id3Frame& frame : keptFrames) {
    std::string name, value;
    if (!frameValue(frame, name, value)) {
      appendFrame(tag, frame);
      continue;
    }
    if (isWritten(name)) continue;  // a repeated frame: the first one counts
    // Tags without the name say nothing about it (an empty frame was never
    // read into them): the frame stays as it was.
    const bool unchanged = !hasTag(tags, name) || (tagValueOf(tags, name) == value && !value.empty());
    written.push_back(name);
    const std::string id = frameIdOfTag(name);
    if (unchanged && writableAsIs(frame))
      appendFrame(tag, frame);
    else if (!unchanged)
      writeValue(name);
    else if (!value.empty() && !id.empty())
      appendFrame(tag, newFrame(id, value));  // in an encoding version 2.3 has
  }
  for (const auto& entry : tags)
    if (!isWritten(entry.first)) writeValue(entry.first);

  const size_t frameBytes = tag.size() - kHeaderBytes;
  if (frameBytes > kMaxSynchsafe) return {};
  for (int i = 0; i < 4; ++i) tag[6 + i] = static_cast<uint8_t>(frameBytes >> (7 * (3 - i)) & 0x7F);
  return tag;
}
