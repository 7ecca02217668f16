#pragma once
// Hand-made WAVE, AIFF and AU images, built field by field so that a test can
// set any field to a value no writer would produce (damaged and hostile
// files). Size fields left empty are written as the size of what is there.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace testkit {

using Bytes = std::vector<uint8_t>;

// A size field: the value to write, or nothing for the size of what is there.
using SizeField = std::optional<uint32_t>;

// count bytes of a fixed, non-repeating-looking pattern standing in for samples.
Bytes patternBytes(size_t count);
// A chunk with a size field of size and bodyBytes bytes of body (the size
// may claim more or less than there is).
Bytes littleEndianChunk(const char* id, uint32_t size, size_t bodyBytes);
Bytes bigEndianChunk(const char* id, uint32_t size, size_t bodyBytes);
// Signed 16-bit samples as little-endian bytes.
Bytes le16Bytes(const std::vector<int16_t>& samples);

// RIFF WAVE: "RIFF" size "WAVE", the "fmt " chunk (a PCM record with
// averageBytesPerSecond and blockAlign worked out from the other fields),
// then "data".
struct WaveImage {
  uint16_t tag = 1;
  uint16_t channels = 1;
  uint32_t rate = 8000;
  uint16_t bits = 16;
  uint32_t fmtBytes = 16;   // zero-padded, or cut, to this; a size beyond 8,194 is only claimed
  uint16_t extraBytes = 0;  // written when the fmt chunk has room for the count
  SizeField dataBytes;
  SizeField riffBytes;  // actual: the size from "WAVE" to the end
  Bytes inFront;     // top-level bytes before the RIFF header
  Bytes beforeFmt;   // chunks between "WAVE" and "fmt "
  Bytes beforeData;  // chunks between "fmt " and "data"
  Bytes samples = patternBytes(20);
  Bytes afterData;  // chunks after the samples, which get a pad byte first when odd

  Bytes build() const;
};

// AIFF or AIFC: "FORM" size type, the chunks in front, then "COMM" and
// "SSND" (or the other way round).
struct AiffImage {
  const char* formType = "AIFF";
  SizeField formBytes;  // actual: the size from the form type to the end
  uint16_t channels = 1;
  SizeField sampleFrames;  // actual: the samples' bytes / 2
  uint16_t bits = 16;
  uint16_t rateExponent = 0x400B;  // 8,000
  uint32_t rateMantissa = 0xFA000000;
  SizeField commBytes;
  const char* compression = "NONE";  // written in AIFC forms only
  SizeField soundBytes;  // actual: 8 + the bytes before the samples + the samples
  uint32_t soundOffset = 0;
  bool soundFirst = false;
  Bytes inFront;         // chunks before "COMM"
  Bytes beforeSamples;   // inside "SSND", between its header and the samples
  Bytes samples = patternBytes(20);

  Bytes build() const;
};

// Sun AU: the six big-endian header fields, then the samples.
struct AuImage {
  uint32_t magic = 0x2E736E64;  // ".snd"
  uint32_t dataOffset = 24;
  SizeField dataBytes;
  uint32_t encoding = 3;  // 16-bit big-endian
  uint32_t rate = 8000;
  uint32_t channels = 1;
  Bytes beforeData;  // between the header and the samples
  Bytes samples = patternBytes(20);

  Bytes build() const;
};

}  // namespace testkit
