#include "formats/id3v1_tag.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>
#include <string>

#include "formats/id3_genres.h"
#include "formats/tag_text.h"

namespace {

struct TextField {
  const char* tag;
  size_t offset;
  size_t readBytes;   // what a reader may take
  size_t writeBytes;  // what the writer fills, a zero always following
};
// Title, artist and album keep their last byte zero when written, so that
// readers that expect a terminator find one.
constexpr TextField kTextFields[] = {
    {"TITLE", 3, 30, 29}, {"ARTIST", 33, 30, 29}, {"ALBUM", 63, 30, 29}, {"DATE", 93, 4, 4},
};
constexpr size_t kCommentOffset = 97;
constexpr size_t kCommentBytes = 28;     // with a track number
constexpr size_t kLongCommentBytes = 30;  // without one
constexpr size_t kTrackMarker = 125;
constexpr size_t kTrack = 126;
constexpr size_t kGenre = 127;
constexpr uint8_t kNoGenre = 255;

std::string fieldText(const Id3v1Block& block, size_t offset, size_t bytes) {
  const char* start = reinterpret_cast<const char*>(block.data() + offset);
  return latin1ToUtf8(std::string(start, strnlen(start, bytes)));
}

void putField(Id3v1Block& block, size_t offset, size_t fieldBytes, size_t textBytes, const std::string& value) {
  const std::string text = utf8ToLatin1Lossy(value).substr(0, textBytes);
  std::fill(block.begin() + offset, block.begin() + offset + fieldBytes, 0);
  std::copy(text.begin(), text.end(), block.begin() + offset);
}

// 1 to 255 from a plain decimal number, else nullopt.
std::optional<int> trackByte(const std::string& value, bool wholeValue) {
  size_t digits = 0;
  while (digits < value.size() && std::isdigit(static_cast<unsigned char>(value[digits]))) ++digits;
  if (digits == 0 || digits > 3 || (wholeValue && digits != value.size())) return std::nullopt;
  const int number = std::stoi(value.substr(0, digits));
  if (number < 1 || number > 255) return std::nullopt;
  return number;
}

// The genre byte a value gives: a number, or the index of a listed name.
std::optional<int> genreByte(const std::string& value) {
  if (!value.empty() && std::isdigit(static_cast<unsigned char>(value[0]))) {
    size_t digits = 0;
    while (digits < value.size() && digits < 4 && std::isdigit(static_cast<unsigned char>(value[digits]))) ++digits;
    const int number = std::stoi(value.substr(0, digits));
    if (number <= 255) return number;
    return std::nullopt;
  }
  const int index = genreIndex(value);
  if (index < 0) return std::nullopt;
  return index;
}

}  // namespace

bool isId3v1(const Id3v1Block& block) { return std::memcmp(block.data(), "TAG", 3) == 0; }

Id3v1Block emptyId3v1() {
  Id3v1Block block{};
  std::memcpy(block.data(), "TAG", 3);
  block[kGenre] = kNoGenre;
  return block;
}

void readId3v1(const Id3v1Block& block, TagSet& tags) {
  if (!isId3v1(block)) return;
  auto fill = [&](const char* name, const std::string& value) {
    if (!trimmedTagText(value).empty()) setTagValue(tags, name, value, true);
  };
  for (const TextField& field : kTextFields) fill(field.tag, fieldText(block, field.offset, field.readBytes));
  // A zero before the last byte of the comment marks that byte as the track.
  const bool hasTrack = block[kTrackMarker] == 0 && block[kTrack] != 0;
  fill("COMMENT", fieldText(block, kCommentOffset, hasTrack ? kCommentBytes : kLongCommentBytes));
  if (hasTrack) fill("TRACKNUMBER", std::to_string(block[kTrack]));
  if (const char* genre = genreName(block[kGenre])) fill("GENRE", genre);
}

void updateId3v1(Id3v1Block& block, const TagSet& tags) {
  for (const TextField& field : kTextFields)
    if (hasTag(tags, field.tag)) putField(block, field.offset, field.readBytes, field.writeBytes, tagValueOf(tags, field.tag));
  if (hasTag(tags, "COMMENT")) {
    putField(block, kCommentOffset, kCommentBytes, kCommentBytes, tagValueOf(tags, "COMMENT"));
    block[kTrackMarker] = 0;
  }
  // A value the user emptied clears its byte rather than letting the old one
  // come back on the next read.
  if (hasTag(tags, "TRACKNUMBER")) {
    const std::string value = tagValueOf(tags, "TRACKNUMBER");
    if (auto track = trackByte(value, false)) {
      block[kTrackMarker] = 0;
      block[kTrack] = static_cast<uint8_t>(*track);
    } else if (value.empty() && block[kTrackMarker] == 0) {
      block[kTrack] = 0;
    }
  }
  if (hasTag(tags, "GENRE")) {
    const std::string value = tagValueOf(tags, "GENRE");
    if (value.empty())
      block[kGenre] = kNoGenre;
    else if (auto genre = genreByte(value))
      block[kGenre] = static_cast<uint8_t>(*genre);
  }
}

bool fitsId3v1(const TagSet& tags) {
  auto fits = [&](const char* name, size_t bytes) {
    const std::string value = tagValueOf(tags, name);
    auto latin1 = utf8ToLatin1(value);
    return latin1 && latin1->size() <= bytes;
  };
  for (const TextField& field : kTextFields)
    if (!fits(field.tag, field.writeBytes)) return false;
  if (!fits("COMMENT", kCommentBytes)) return false;
  const std::string track = tagValueOf(tags, "TRACKNUMBER");
  if (!track.empty() && !trackByte(track, true)) return false;
  const std::string genre = tagValueOf(tags, "GENRE");
  return genre.empty() || genreByte(genre);
}
