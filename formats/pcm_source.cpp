#include "formats/pcm_source.h"

#include <algorithm>
#include <bit>

#include "formats/g711.h"
#include "formats/pcm_convert.h"

int bytesPerSample(SampleEncoding encoding) {
  switch (encoding) {
    case SampleEncoding::Unsigned8:
    case SampleEncoding::Signed8:
    case SampleEncoding::MuLaw:
    case SampleEncoding::ALaw:
      return 1;
    case SampleEncoding::Int16LE:
    case SampleEncoding::Int16BE:
      return 2;
    case SampleEncoding::Int24LE:
    case SampleEncoding::Int24BE:
      return 3;
    case SampleEncoding::Int32LE:
    case SampleEncoding::Int32BE:
    case SampleEncoding::Float32LE:
      return 4;
    case SampleEncoding::Float64LE:
      return 8;
  }
  return 2;
}

namespace {

int32_t signExtend24(uint32_t v) { return static_cast<int32_t>(v << 8) >> 8; }

Sample sampleFromFloat(double v) {
  double scaled = v * kSampleFullScale;
  if (!(scaled == scaled)) return 0;  // not a number
  return clampToInt32(static_cast<int64_t>(std::clamp(scaled, -2147483648.0, 2147483647.0)));
}

}  // namespace

void decodeSamples(SampleEncoding encoding, const uint8_t* in, size_t count, Sample* out) {
  switch (encoding) {
    case SampleEncoding::Unsigned8:
      for (size_t i = 0; i < count; ++i) out[i] = sampleFromUnsigned8(in[i]);
      break;
    case SampleEncoding::Signed8:
      for (size_t i = 0; i < count; ++i) out[i] = sampleFromSigned8(static_cast<int8_t>(in[i]));
      break;
    case SampleEncoding::MuLaw:
      for (size_t i = 0; i < count; ++i) out[i] = sampleFrom16(muLawToLinear(in[i]));
      break;
    case SampleEncoding::ALaw:
      for (size_t i = 0; i < count; ++i) out[i] = sampleFrom16(aLawToLinear(in[i]));
      break;
    case SampleEncoding::Int16LE:
      for (size_t i = 0; i < count; ++i) out[i] = sampleFrom16(static_cast<int16_t>(le16(in + 2 * i)));
      break;
    case SampleEncoding::Int16BE:
      for (size_t i = 0; i < count; ++i) out[i] = sampleFrom16(static_cast<int16_t>(be16(in + 2 * i)));
      break;
    case SampleEncoding::Int24LE:
      for (size_t i = 0; i < count; ++i) {
        const uint8_t* p = in + 3 * i;
        out[i] = sampleFrom24(signExtend24(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16));
      }
      break;
    case SampleEncoding::Int24BE:
      for (size_t i = 0; i < count; ++i) {
        const uint8_t* p = in + 3 * i;
        out[i] = sampleFrom24(signExtend24(uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | uint32_t(p[2])));
      }
      break;
    case SampleEncoding::Int32LE:
      for (size_t i = 0; i < count; ++i) out[i] = sampleFrom32(static_cast<int32_t>(le32(in + 4 * i)));
      break;
    case SampleEncoding::Int32BE:
      for (size_t i = 0; i < count; ++i) out[i] = sampleFrom32(static_cast<int32_t>(be32(in + 4 * i)));
      break;
    case SampleEncoding::Float32LE:
      for (size_t i = 0; i < count; ++i) {
        uint32_t bits = le32(in + 4 * i);
        out[i] = sampleFromFloat(std::bit_cast<float>(bits));
      }
      break;
    case SampleEncoding::Float64LE:
      for (size_t i = 0; i < count; ++i) {
        uint64_t bits = le32(in + 8 * i) | static_cast<uint64_t>(le32(in + 8 * i + 4)) << 32;
        out[i] = sampleFromFloat(std::bit_cast<double>(bits));
      }
      break;
  }
}

void encodeSamples(SampleEncoding encoding, const Sample* in, size_t count, uint8_t* out) {
  switch (encoding) {
    case SampleEncoding::Unsigned8:
      for (size_t i = 0; i < count; ++i) out[i] = unsigned8FromSample(in[i]);
      break;
    case SampleEncoding::Signed8:
      for (size_t i = 0; i < count; ++i) out[i] = static_cast<uint8_t>(signed8FromSample(in[i]));
      break;
    case SampleEncoding::MuLaw:
      for (size_t i = 0; i < count; ++i) out[i] = linearToMuLaw(int16FromSample(in[i]));
      break;
    case SampleEncoding::ALaw:
      for (size_t i = 0; i < count; ++i) out[i] = linearToALaw(int16FromSample(in[i]));
      break;
    case SampleEncoding::Int16LE:
      for (size_t i = 0; i < count; ++i) storeLe16(out + 2 * i, static_cast<uint16_t>(int16FromSample(in[i])));
      break;
    case SampleEncoding::Int16BE:
      for (size_t i = 0; i < count; ++i) storeBe16(out + 2 * i, static_cast<uint16_t>(int16FromSample(in[i])));
      break;
    case SampleEncoding::Int24LE:
      for (size_t i = 0; i < count; ++i) {
        auto v = static_cast<uint32_t>(int24FromSample(in[i]));
        out[3 * i] = v & 0xFF;
        out[3 * i + 1] = (v >> 8) & 0xFF;
        out[3 * i + 2] = (v >> 16) & 0xFF;
      }
      break;
    case SampleEncoding::Int24BE:
      for (size_t i = 0; i < count; ++i) {
        auto v = static_cast<uint32_t>(int24FromSample(in[i]));
        out[3 * i] = (v >> 16) & 0xFF;
        out[3 * i + 1] = (v >> 8) & 0xFF;
        out[3 * i + 2] = v & 0xFF;
      }
      break;
    case SampleEncoding::Int32LE:
      for (size_t i = 0; i < count; ++i) storeLe32(out + 4 * i, static_cast<uint32_t>(int32FromSample(in[i])));
      break;
    case SampleEncoding::Int32BE:
      for (size_t i = 0; i < count; ++i) storeBe32(out + 4 * i, static_cast<uint32_t>(int32FromSample(in[i])));
      break;
    case SampleEncoding::Float32LE:
      for (size_t i = 0; i < count; ++i)
        storeLe32(out + 4 * i, std::bit_cast<uint32_t>(static_cast<float>(in[i]) / kSampleFullScale));
      break;
    case SampleEncoding::Float64LE:
      for (size_t i = 0; i < count; ++i) {
        auto bits = std::bit_cast<uint64_t>(static_cast<double>(in[i]) / kSampleFullScale);
        storeLe32(out + 8 * i, static_cast<uint32_t>(bits));
        storeLe32(out + 8 * i + 4, static_cast<uint32_t>(bits >> 32));
      }
      break;
  }
}

PcmSource::PcmSource(std::unique_ptr<ByteSource> bytes, int64_t dataStart, uint64_t dataBytes,
                     int32_t sampleRate, int channels, SampleEncoding encoding)
    : SampleSource(sampleRate, channels, kLargest16BitSample),
      m_bytes(std::move(bytes)),
      m_encoding(encoding),
      m_dataStart(dataStart),
      m_frameBytes(this->channels() * bytesPerSample(encoding)) {
  if (!m_bytes) {
    setStatus(SourceStatus::CannotOpen);
    return;
  }
  // A header may promise more than the file holds (an interrupted recording,
  // a damaged file): only what is there is read.
  int64_t available = std::max<int64_t>(0, m_bytes->size() - dataStart);
  uint64_t usable = std::min<uint64_t>(dataBytes, static_cast<uint64_t>(available));
  // Sizes from 0xFFFFFFF0 up are what writers leave in a file they never
  // closed (0xFFFFFFFF, less a chunk's own fields) and mean "to the end";
  // any other size beyond the end is a file cut off.
  constexpr uint64_t kUnclosedSizes = 0xFFFFFFF0u;
  if (dataBytes > static_cast<uint64_t>(available) && dataBytes < kUnclosedSizes) reportDamage(SourceStatus::Corrupt);
  uint64_t frames = usable / static_cast<uint64_t>(m_frameBytes);
  if (frames > static_cast<uint64_t>(kMaxFrames)) {
    setStatus(SourceStatus::Corrupt);
    return;
  }
  m_length = static_cast<int32_t>(frames);
  m_bytes->seek(m_dataStart);
  // A short file needs no more room than it has frames.
  m_conversion.resize(static_cast<size_t>(m_frameBytes) * std::min(kProcessChunkFrames, std::max(m_length, 1)));
}

void PcmSource::read(Sample* buffer, int32_t frames) {
  if (frames <= 0) return;
  const size_t channelCount = channels();
  std::fill_n(buffer, static_cast<size_t>(frames) * channelCount, 0);
  int64_t first = m_position;
  int64_t end = first + frames;
  m_position = clampToInt32(end);
  if (!good() || end <= 0) return;
  int64_t from = std::max<int64_t>(first, 0);
  int64_t to = std::min<int64_t>(end, m_length);
  if (from >= to) return;
  // The file is where the previous read left it, unless this read began before frame 0.
  if (first < 0) m_bytes->seek(m_dataStart);
  Sample* out = buffer + static_cast<size_t>(from - first) * channelCount;
  int64_t remaining = to - from;
  while (remaining > 0) {
    auto chunk = static_cast<int32_t>(
        std::min<int64_t>(remaining, static_cast<int64_t>(m_conversion.size()) / m_frameBytes));
    size_t wanted = static_cast<size_t>(chunk) * m_frameBytes;
    size_t got = m_bytes->read(m_conversion.data(), wanted);
    size_t samples = got / bytesPerSample(m_encoding);
    decodeSamples(m_encoding, m_conversion.data(), samples, out);
    if (got < wanted) break;  // a short file: the rest stays silent
    out += static_cast<size_t>(chunk) * channelCount;
    remaining -= chunk;
  }
}

void PcmSource::seek(int32_t frame) {
  m_position = frame;
  if (!good()) return;
  int64_t target = frame > 0 ? std::min(frame, m_length) : 0;
  m_bytes->seek(m_dataStart + target * m_frameBytes);
}
