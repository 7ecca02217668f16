#pragma once
// A source of fixed-width samples stored back to back from a data start:
// the PCM of WAVE, AIFF and AU files and the stateless raw codecs.

#include <memory>
#include <vector>

#include "core/sample_source.h"
#include "formats/byte_source.h"

enum class SampleEncoding {
  Unsigned8,   // 128 = zero
  Signed8,
  Int16LE,
  Int16BE,
  Int24LE,
  Int24BE,
  Int32LE,
  Int32BE,
  MuLaw,
  ALaw,
  Float32LE,  // IEEE float, 1.0 = full scale
  Float64LE,
};

int bytesPerSample(SampleEncoding encoding);
// Decodes count samples from bytes into Samples.
void decodeSamples(SampleEncoding encoding, const uint8_t* bytes, size_t count, Sample* out);
// Encodes count Samples into bytes, saturating at the encoding's limits.
void encodeSamples(SampleEncoding encoding, const Sample* samples, size_t count, uint8_t* out);

class PcmSource final : public SampleSource {
 public:
  // dataBytes is clamped to what the file holds after dataStart; a length
  // above the frame limit is refused as corrupt.
  PcmSource(std::unique_ptr<ByteSource> bytes, int64_t dataStart, uint64_t dataBytes,
            int32_t sampleRate, int channels, SampleEncoding encoding);

  void read(Sample* buffer, int32_t frames) override;
  int32_t position() const override { return m_position; }
  int32_t length() const override { return m_length; }
  void seek(int32_t frame) override;

 private:
  std::unique_ptr<ByteSource> m_bytes;
  SampleEncoding m_encoding;
  int64_t m_dataStart;
  int32_t m_frameBytes;
  int32_t m_position = 0;
  int32_t m_length = 0;
  std::vector<uint8_t> m_conversion;
};
