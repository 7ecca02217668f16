// The MP3 reader: MPEG audio decoded by libmpg123 into 16-bit samples.
//
// The length is exact from the start (the decoder scans the frame headers
// when it opens), so a load decodes the stream once, front to back. A read
// that does not continue where the last one ended seeks the decoder through
// the index the scan built. Decoding runs a few pieces ahead of the reads on
// a thread of its own.

#include <algorithm>
#include <memory>
#include <vector>

#include "core/silence_source.h"
#include "formats/decode_ahead.h"
#include "formats/formats.h"
#include "formats/mpg123_decoder.h"
#include "formats/pcm_convert.h"

namespace {

constexpr int32_t kMp3NominalPeak = 0x7FFF0;  // 32,767 as a Sample
constexpr int32_t kPieceFrames = 4096;

class Mp3Source final : public SampleSource {
 public:
  explicit Mp3Source(std::unique_ptr<ByteSource> bytes)
      : SampleSource(44100, 1, kMp3NominalPeak), m_bytes(std::move(bytes)) {
    if (m_decoder.open(*m_bytes) != Mpg123Decoder::OpenResult::Opened || m_decoder.length() > kMaxFrames) {
      setStatus(SourceStatus::Corrupt);
      return;
    }
    setFormat(m_decoder.sampleRate(), m_decoder.channels());
    m_length = static_cast<int32_t>(m_decoder.length());
    m_piece.resize(static_cast<size_t>(kPieceFrames) * m_decoder.channels());
    m_ahead = std::make_unique<DecodeAhead>(
        [this](int16_t* pcm, int32_t frames) { return m_decoder.decode(pcm, frames); }, m_decoder.channels(),
        kPieceFrames);
  }

  void read(Sample* buffer, int32_t frames) override {
    if (frames <= 0) return;
    const int channelCount = channels();
    std::fill_n(buffer, static_cast<size_t>(frames) * channelCount, 0);
    const int64_t start = m_position;
    m_position = clampToInt32(start + frames);
    if (!good()) return;

    int64_t at = std::max<int64_t>(start, 0);
    const int64_t last = std::min<int64_t>(start + frames, m_length);
    if (at >= last) return;
    if (at != m_decodedFrame) {
      m_ahead->stop();
      if (!moveDecoderTo(at)) return;
    }
    m_ahead->start();
    while (at < last) {
      const auto want = static_cast<int32_t>(std::min<int64_t>(last - at, kPieceFrames));
      const int32_t got = m_ahead->take(m_piece.data(), want);
      // A stream that ends before its scanned length reads as silence from there.
      if (got <= 0) {
        reportDamage(SourceStatus::Corrupt);
        return;
      }
      Sample* out = buffer + (at - start) * channelCount;
      for (size_t i = 0; i < static_cast<size_t>(got) * channelCount; ++i) out[i] = sampleFrom16(m_piece[i]);
      at += got;
      m_decodedFrame += got;
    }
    // At the last frame the decoder is let run to the end of the stream, so
    // that damage at its very end is known when the read returns.
    if (at == m_length) {
      while (m_ahead->take(m_piece.data(), kPieceFrames) > 0) m_decodedFrame = -1;
    }
    if (m_decoder.damaged()) reportDamage(SourceStatus::Corrupt);
  }

  int32_t position() const override { return m_position; }
  int32_t length() const override { return m_length; }
  void seek(int32_t frame) override { m_position = std::min(frame, m_length); }

 private:
  bool moveDecoderTo(int64_t frame) {
    if (!m_decoder.seek(frame)) {
      m_decodedFrame = -1;  // unknown: the next read tries again
      return false;
    }
    m_decodedFrame = frame;
    return true;
  }

  std::unique_ptr<ByteSource> m_bytes;
  Mpg123Decoder m_decoder;
  std::unique_ptr<DecodeAhead> m_ahead;  // ends before the decoder it calls
  int32_t m_position = 0;
  int32_t m_length = 0;
  int64_t m_decodedFrame = 0;  // the frame the decoder gives next
  std::vector<int16_t> m_piece;
};

}  // namespace

SampleSourceRef openMp3Source(std::unique_ptr<ByteSource> bytes) {
  if (!bytes) return makeSilenceSource(SourceStatus::CannotOpen);
  return makeRef<Mp3Source>(std::move(bytes));
}
