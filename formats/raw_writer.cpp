// The raw writers: headerless files in the codec of a RawFormat. The sound
// arrives already at the sink's rate and channels; nothing describes them in
// the file, so the reader must be told the same layout.

#include <cstdint>
#include <string>
#include <vector>

#include "formats/dialogic_adpcm.h"
#include "formats/file_sink.h"
#include "formats/formats.h"

namespace {

constexpr int kMaxChannels = 255;

bool validLayout(int32_t sampleRate, int channels) {
  return sampleRate > 0 && channels >= 1 && channels <= kMaxChannels;
}

// The stateless codecs: every sample becomes a fixed number of bytes.
class RawPcmSink final : public FileSink {
 public:
  RawPcmSink(const std::string& path, int32_t sampleRate, int channels, SampleEncoding encoding)
      : FileSink(sampleRate, channels), m_encoding(encoding) {
    if (!validLayout(sampleRate, channels)) fail();
    if (!good()) return;
    openOutput(path, sys::Disposition::CreateAlways);
  }
  ~RawPcmSink() override { close(); }

  void write(const Sample* buffer, int32_t frames) override {
    if (!good() || !m_file.isOpen() || frames <= 0) return;
    writeEncoded(m_encoding, buffer, frames);
  }

 protected:
  void commit() override { m_file.close(); }

 private:
  SampleEncoding m_encoding;
};

// The ADPCM stream: one encoder over the interleaved samples of all
// channels, two codes a byte, the earlier in the high nibble.
class RawAdpcmSink final : public FileSink {
 public:
  RawAdpcmSink(const std::string& path, int32_t sampleRate, int channels)
      : FileSink(sampleRate, channels) {
    if (!validLayout(sampleRate, channels)) fail();
    if (!good()) return;
    openOutput(path, sys::Disposition::CreateAlways);
  }
  ~RawAdpcmSink() override { close(); }

  void write(const Sample* buffer, int32_t frames) override {
    if (!good() || !m_file.isOpen() || frames <= 0) return;
    if (!advance(frames)) return;
    const size_t count = static_cast<size_t>(frames) * channels();
    m_packed.clear();
    m_packed.reserve(count / 2 + 1);
    for (size_t i = 0; i < count; ++i) {
      const uint8_t code = m_encoder.encode(adpcm12FromSample(buffer[i]));
      if (m_haveHighNibble) {
        m_packed.push_back(static_cast<uint8_t>(m_highNibble << 4 | code));
        m_haveHighNibble = false;
      } else {
        m_highNibble = code;
        m_haveHighNibble = true;
      }
    }
    if (!m_packed.empty()) writeBytes(m_packed.data(), m_packed.size());
  }

 protected:
  void commit() override {
    if (!m_file.isOpen()) return;
    // An odd number of codes leaves a half byte. Its partner is code 0, the
    // smallest step there is, so the one extra sample a reader finds stays
    // next to the last real one.
    if (m_haveHighNibble && good()) {
      const uint8_t last = static_cast<uint8_t>(m_highNibble << 4);
      writeBytes(&last, 1);
      m_haveHighNibble = false;
    }
    m_file.close();
  }

 private:
  DialogicAdpcmEncoder m_encoder;
  uint8_t m_highNibble = 0;
  bool m_haveHighNibble = false;
  std::vector<uint8_t> m_packed;
};

// A codec number outside the list: nothing is created, status 1.
class RefusedSink final : public FileSink {
 public:
  RefusedSink(int32_t sampleRate, int channels) : FileSink(sampleRate, channels) { fail(); }
  ~RefusedSink() override { close(); }
  void write(const Sample*, int32_t) override {}

 protected:
  void commit() override {}
};

}  // namespace

SampleSinkRef makeRawSink(const std::string& path, int32_t sampleRate, int channels,
                          const RawFormat& format) {
  switch (format.codec) {
    case RawCodec::DialogicAdpcm:
      return makeRef<RawAdpcmSink>(path, sampleRate, channels);
    case RawCodec::MuLaw:
      return makeRef<RawPcmSink>(path, sampleRate, channels, SampleEncoding::MuLaw);
    case RawCodec::ALaw:
      return makeRef<RawPcmSink>(path, sampleRate, channels, SampleEncoding::ALaw);
    case RawCodec::Pcm16LE:
      return makeRef<RawPcmSink>(path, sampleRate, channels, SampleEncoding::Int16LE);
    case RawCodec::Unsigned8:
      return makeRef<RawPcmSink>(path, sampleRate, channels, SampleEncoding::Unsigned8);
    case RawCodec::Signed8:
      return makeRef<RawPcmSink>(path, sampleRate, channels, SampleEncoding::Signed8);
  }
  return makeRef<RefusedSink>(sampleRate, channels);
}
