#pragma once
// The wave-format record of a "fmt " chunk and the data chunk that follows.

#include <cstdint>
#include <vector>

#include "core/source_status.h"
#include "formats/byte_source.h"

constexpr uint16_t kWaveFormatPcm = 1;
constexpr uint16_t kWaveFormatFloat = 3;
constexpr uint16_t kWaveFormatExtensible = 0xFFFE;
constexpr int32_t kMaxWaveRate = 196000;

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
};

struct WaveLayout {
  WaveFormat format;
  int64_t dataStart = 0;
  uint32_t dataBytes = 0;  // as the header says; 0xFFFFFFFF: to the end of the file
};

// Finds the RIFF WAVE header (skipping other top-level chunks in front), the
// "fmt " and "data" chunks. Leaves bytes at the data. Good, Corrupt.
SourceStatus parseWaveLayout(ByteSource& bytes, WaveLayout& layout);
