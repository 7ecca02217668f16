#include "formats/raw_adpcm_source.h"

#include <algorithm>

namespace {

// Bytes read from the file per transfer.
constexpr size_t kInputChunkBytes = 8192;

}  // namespace

RawAdpcmSource::RawAdpcmSource(std::unique_ptr<ByteSource> bytes, int32_t sampleRate, int channels)
    : SampleSource(sampleRate, channels, sampleFromAdpcm12(kAdpcmSampleMax)),
      m_bytes(std::move(bytes)) {
  if (!m_bytes) {
    setStatus(SourceStatus::CannotOpen);
    return;
  }
  const int64_t fileBytes = std::max<int64_t>(m_bytes->size(), 0);
  const int64_t frames = fileBytes * 2 / this->channels();
  if (frames > kMaxFrames) {
    setStatus(SourceStatus::Corrupt);
    return;
  }
  m_length = static_cast<int32_t>(frames);
  // A short file needs no more than itself.
  m_input.resize(static_cast<size_t>(std::min<int64_t>(fileBytes, kInputChunkBytes)));
  restart();
}

void RawAdpcmSource::restart() {
  m_decoder.reset();
  m_nextCode = 0;
  m_heldByte = 0;
  m_inStep = m_bytes->seek(0);
}

bool RawAdpcmSource::moveDecoderTo(int64_t code) {
  if (!m_inStep || code < m_nextCode) restart();
  if (!m_inStep) return false;
  const int64_t skip = code - m_nextCode;
  return decodeCodes(skip, nullptr) == skip;
}

int64_t RawAdpcmSource::decodeCodes(int64_t count, Sample* out) {
  int64_t done = 0;
  auto put = [&](uint8_t nibble) {
    const int16_t sample = m_decoder.decode(nibble);
    if (out) out[done] = sampleFromAdpcm12(sample);
    ++done;
    ++m_nextCode;
  };
  if (count > 0 && (m_nextCode & 1)) put(m_heldByte & 0x0F);
  while (done < count) {
    // Whole bytes for the codes still wanted, one more when their count is
    // odd (its low nibble is then held for later).
    const int64_t wanted = count - done;
    const size_t request = static_cast<size_t>(std::min<int64_t>((wanted + 1) / 2, m_input.size()));
    const size_t got = request ? m_bytes->read(m_input.data(), request) : 0;
    for (size_t i = 0; i < got; ++i) {
      put(m_input[i] >> 4);
      if (done == count) {
        m_heldByte = m_input[i];
        break;
      }
      put(m_input[i] & 0x0F);
    }
    if (got < request || request == 0) {
      // The file ended or failed early: the decoder no longer knows where
      // it is in the stream.
      m_inStep = false;
      break;
    }
  }
  return done;
}

void RawAdpcmSource::read(Sample* buffer, int32_t frames) {
  if (frames <= 0) return;
  const int channels = this->channels();
  std::fill(buffer, buffer + static_cast<int64_t>(frames) * channels, 0);
  const int64_t start = m_position;
  const int64_t end = start + frames;
  m_position = clampToInt32(end);
  if (!good()) return;

  const int64_t first = std::max<int64_t>(start, 0);
  const int64_t last = std::min<int64_t>(end, m_length);
  if (first >= last) return;
  if (!moveDecoderTo(first * channels)) return;
  decodeCodes((last - first) * channels, buffer + (first - start) * channels);
}
