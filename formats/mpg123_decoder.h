#pragma once
// MPEG audio (Layers I, II and III) decoded by libmpg123, reading through a
// ByteSource. The decoder scans the stream once when it opens, so that the
// length is exact before the first sample is decoded; with a Xing/Info
// header from LAME the encoder's leading delay and trailing padding are cut
// off, so the samples are those that went into the encoder.

#include <atomic>
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
  // Whether decoding met damage: bytes between two frames that were passed
  // over, a last frame cut off by the end of the file, or a failure that
  // ended the stream early. May be asked from another thread.
  bool damaged() const { return m_damaged.load(); }

 private:
  // Decodes the next MPEG frame into m_pending; false at the end.
  bool decodeNextFrame();
  // Notes damage when this frame does not start where the last one ended.
  void checkFrameFollows();
  // At the end of the stream: notes damage when the bytes after the last
  // frame begin like another frame (one cut off by the end of the file).
  void checkEnd();
  // Copies up to frames pending frames into pcm in the stream's first
  // channel layout.
  int32_t takePending(int16_t* pcm, int32_t frames);

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
  // The decoded frame not yet handed out, in the library's buffer.
  const int16_t* m_pending = nullptr;
  int32_t m_pendingFrames = 0;
  int64_t m_expectedFrameAt = -1;  // byte offset where the next frame should start; -1 unknown
  std::atomic<bool> m_damaged{false};
};
