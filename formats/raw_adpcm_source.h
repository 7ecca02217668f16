#pragma once
// A headerless Dialogic ADPCM stream as a source. The codes of all channels
// follow one another in one stream (two a byte), so a frame is `channels`
// consecutive codes decoded by the one predictor.

#include <memory>
#include <vector>

#include "core/sample_source.h"
#include "formats/byte_source.h"
#include "formats/dialogic_adpcm.h"

class RawAdpcmSource final : public SampleSource {
 public:
  // The whole of bytes is the stream; a length above the frame limit is
  // refused as corrupt.
  RawAdpcmSource(std::unique_ptr<ByteSource> bytes, int32_t sampleRate, int channels);

  void read(Sample* buffer, int32_t frames) override;
  int32_t position() const override { return m_position; }
  int32_t length() const override { return m_length; }
  // Only moves the position; the decoder catches up on the next read.
  void seek(int32_t frame) override { m_position = frame; }

 private:
  // Brings the decoder to the code of the given index: forward from where it
  // is, or again from the start of the stream when the code lies behind.
  bool moveDecoderTo(int64_t code);
  // Decodes the next count codes into out (null: discard them). Returns the
  // codes decoded, fewer when the bytes run out.
  int64_t decodeCodes(int64_t count, Sample* out);
  void restart();

  std::unique_ptr<ByteSource> m_bytes;
  DialogicAdpcmDecoder m_decoder;
  int64_t m_nextCode = 0;      // index of the code the decoder takes next
  uint8_t m_heldByte = 0;      // the byte whose low nibble comes next, when m_nextCode is odd
  bool m_inStep = true;        // false after a short read: restart before decoding again
  int32_t m_position = 0;
  int32_t m_length = 0;
  std::vector<uint8_t> m_input;
};
