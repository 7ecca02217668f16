#pragma once
// MPEG audio (Layers I, II and III) decoded by libmpg123, reading through a
// ByteSource. The decoder scans the stream once when it opens, so that the
// length is exact before the first sample is decoded; with a Xing/Info
// header from LAME the encoder's leading delay and trailing padding are cut
// off, so the samples are those that went into the encoder.

#include <cstdint>
#include <memory>

#include "formats/byte_source.h"

struct mpg123_handle_struct;

class Mpg123Decoder {
 public:
  enum class OpenResult { Opened, NotMpegAudio };

  Mpg123Decoder();
  ~Mpg123Decoder();
  Mpg123Decoder(const Mpg123Decoder&) = delete;
  Mpg123Decoder& operator=(const Mpg123Decoder&) = delete;

  // bytes must outlive the decoder.
  OpenResult open(ByteSource& bytes);

  int32_t sampleRate() const { return m_sampleRate; }
  int channels() const { return m_channels; }
  // Frames of the whole stream, after the encoder delay and padding are removed.
  int64_t length() const { return m_length; }

  // Decodes up to frames frames of 16-bit samples (channels() of them per
  // frame) and returns how many frames came; 0 at the end of the stream or
  // after damage the decoder could not get past (frames it could resync
  // after are skipped, as the length scan skipped them).
  int32_t decode(int16_t* pcm, int32_t frames);
  // Moves so that the next decode starts at frame; false when it cannot.
  bool seek(int64_t frame);

 private:
  // Copies one decoded piece into pcm in the stream's first channel layout.
  int32_t takeDecoded(int16_t* pcm, int32_t frames, size_t bytes);

  struct Deleter {
    void operator()(mpg123_handle_struct* handle) const;
  };
  std::unique_ptr<mpg123_handle_struct, Deleter> m_handle;
  ByteSource* m_bytes = nullptr;
  int32_t m_sampleRate = 0;
  int m_channels = 0;          // of the first frame; later frames are matched to it
  int m_decodedChannels = 0;   // of the frames coming out now
  int64_t m_length = 0;
  bool m_ended = false;
  std::unique_ptr<int16_t[]> m_scratch;  // one piece in another channel layout
};
