#pragma once
// The layout of a WAVE file's header, shared by its reader and writers: the
// wave-format record of the "fmt " chunk with its named fields, the chunks
// around it, and the data chunk that follows.

#include <cstdint>
#include <vector>

#include "core/source_status.h"
#include "formats/byte_source.h"

constexpr uint16_t kWaveFormatPcm = 1;
constexpr uint16_t kWaveFormatFloat = 3;
constexpr uint16_t kWaveFormatExtensible = 0xFFFE;
constexpr int32_t kMaxWaveRate = 196000;

// Byte offsets of the fields of a wave-format record.
namespace wave_record {
constexpr size_t kTag = 0;
constexpr size_t kChannels = 2;
constexpr size_t kSampleRate = 4;
constexpr size_t kAverageBytesPerSecond = 8;
constexpr size_t kBlockAlign = 12;
constexpr size_t kBitsPerSample = 14;
// The fixed fields end here; a plain PCM record may stop at them.
constexpr size_t kFixedBytes = 16;
// The count of extra bytes that follow the 18 bytes of a full record.
constexpr size_t kExtraBytes = 16;
constexpr size_t kFullBytes = 18;
// An extensible record names its real format in the first two bytes of its
// subformat identifier.
constexpr size_t kSubFormat = 24;
}  // namespace wave_record

struct WaveFormat {
  uint16_t tag = kWaveFormatPcm;
  uint16_t channels = 0;
  uint32_t sampleRate = 0;
  uint32_t averageBytesPerSecond = 0;
  uint16_t blockAlign = 0;
  uint16_t bitsPerSample = 0;
  // The whole record as stored (18 bytes plus the extra bytes), with an
  // extra-bytes count cut to what the chunk holds.
  std::vector<uint8_t> record;

  // The tag that says how samples are stored: an extensible record's subformat.
  uint16_t effectiveTag() const;
  // The fixed fields from and to the first wave_record::kFixedBytes of a record.
  void loadFields(const uint8_t* fields);
  void storeFields(uint8_t* fields) const;
};

// A PCM record of recordBytes (16, or 18 with an extra-bytes count of 0).
std::vector<uint8_t> pcmWaveRecord(int channels, int32_t sampleRate, int bitsPerSample, size_t recordBytes);

// The bytes in front of a WAVE file's samples: the RIFF header, the "fmt "
// chunk holding record, and the header of the "data" chunk.
constexpr size_t waveFileHeaderBytes(size_t recordBytes) { return 12 + 8 + recordBytes + 8; }
// That header for dataBytes of samples. The RIFF size (the file less its
// first 8 bytes) saturates at 0xFFFFFFFF, so a data size of 0xFFFFFFFF, left
// while a recording is still being written, gives 0xFFFFFFFF for both.
std::vector<uint8_t> waveFileHeader(const std::vector<uint8_t>& record, uint32_t dataBytes);

struct WaveLayout {
  WaveFormat format;
  int64_t dataStart = 0;
  uint32_t dataBytes = 0;  // as the header says; 0xFFFFFFFF: to the end of the file
  // The sample count of a "fact" chunk in front of the data: the length of a
  // compressed sound, whose last block the encoder filled up. -1 without one.
  int64_t factFrames = -1;
};

// Finds the RIFF WAVE header (skipping other top-level chunks in front), the
// "fmt " and "data" chunks. Leaves bytes at the data. Good, Corrupt.
SourceStatus parseWaveLayout(ByteSource& bytes, WaveLayout& layout);
