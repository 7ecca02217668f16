#pragma once
// A WAVE file of a compressed format, decoded to 16-bit PCM by the platform's
// codecs. Without a codec for the format the status is 5.
//
// A "fact" chunk's sample count is the sound's length: the encoder filled
// the last block up, and what the codec makes of that filling is not part of
// the sound. Without one the length is estimated until the end is decoded.

#include <memory>
#include <vector>

#include "core/sample_source.h"
#include "formats/byte_source.h"
#include "formats/wave_format.h"
#include "sys/codec_stream.h"

class CodecSource final : public SampleSource {
 public:
  CodecSource(std::unique_ptr<ByteSource> bytes, const WaveLayout& layout);

  void read(Sample* buffer, int32_t frames) override;
  int32_t position() const override { return m_position; }
  // The "fact" count, or exact once the end has been decoded, or an estimate.
  int32_t length() const override;
  void seek(int32_t frame) override;

 private:
  bool restartAt(int64_t dataOffset);
  // Decodes the next piece into m_decoded; false at the end of the data.
  bool decodeMore();
  void discardFrames(int64_t frames);
  void endAt(int64_t frames);
  void learnFramesPerBlock(size_t consumed, size_t producedFrames);
  // Where decoding restarts for a seek to target: a data offset and its frame.
  void restartPointFor(int64_t target, int64_t& offset, int64_t& frame) const;

  std::unique_ptr<ByteSource> m_bytes;
  WaveFormat m_format;
  std::unique_ptr<sys::CodecStream> m_stream;
  int64_t m_dataStart;
  int64_t m_dataBytes;     // clamped to the file
  int64_t m_dataRead = 0;  // data bytes taken from the file so far
  std::vector<uint8_t> m_input;
  size_t m_inputFill = 0;
  std::vector<uint8_t> m_output;
  std::vector<Sample> m_decoded;  // decoded samples not yet handed out
  size_t m_decodedNext = 0;
  int64_t m_decodeFrame = 0;  // the frame of m_decoded[m_decodedNext]
  int32_t m_position = 0;
  bool m_ended = false;
  int64_t m_exactLength = -1;
  int64_t m_factFrames = -1;     // the length the file states; -1 when it states none
  // Frames in each block, as the format states it or learnt from two
  // conversions that agree; 0 until known, -1 for a codec whose blocks vary.
  int64_t m_framesPerBlock = 0;
  int64_t m_framesPerBlockSeen = 0;  // what the first conversion showed
};
