#include "aac_output.h"

#include <array>
#include <cstdio>

namespace components {
namespace {

constexpr std::array<int, 13> kSamplingRates = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                                22050, 16000, 12000, 11025, 8000,  7350};
constexpr int kHeaderBytes = 7;          // no CRC
constexpr int kMaxFrameBytes = 0x1FFF;   // 13-bit frame length
constexpr int kLowComplexityProfile = 1; // object type 2, minus one

class AdtsOutput : public AacOutput {
public:
  AdtsOutput(std::FILE* file, int rateIndex, int channels, bool mpeg2)
      : m_file(file), m_rateIndex(rateIndex), m_channels(channels), m_mpeg2(mpeg2) {}
  ~AdtsOutput() override {
    if (m_file) std::fclose(m_file);
  }

  bool write(const AVPacket& packet) override {
    const int length = kHeaderBytes + packet.size;
    if (length > kMaxFrameBytes) return false;
    const unsigned char header[kHeaderBytes] = {
        0xFF,
        static_cast<unsigned char>(0xF1 | (m_mpeg2 ? 0x08 : 0)),  // sync, ID, layer 0, no CRC
        static_cast<unsigned char>((kLowComplexityProfile << 6) | (m_rateIndex << 2) |
                                   (m_channels >> 2)),
        static_cast<unsigned char>(((m_channels & 3) << 6) | (length >> 11)),
        static_cast<unsigned char>((length >> 3) & 0xFF),
        static_cast<unsigned char>(((length & 7) << 5) | 0x1F),  // buffer fullness: variable
        0xFC};                                                  // one raw block per frame
    return std::fwrite(header, 1, kHeaderBytes, m_file) == kHeaderBytes &&
           std::fwrite(packet.data, 1, packet.size, m_file) == static_cast<size_t>(packet.size);
  }

  bool finish() override {
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    return closed;
  }

private:
  std::FILE* m_file;
  int m_rateIndex;
  int m_channels;
  bool m_mpeg2;
};

}  // namespace

std::unique_ptr<AacOutput> makeAdtsOutput(const std::string& path, const AVCodecContext& encoder,
                                          bool mpeg2) {
  int rateIndex = -1;
  for (size_t i = 0; i < kSamplingRates.size(); ++i)
    if (kSamplingRates[i] == encoder.sample_rate) rateIndex = static_cast<int>(i);
  const int channels = encoder.ch_layout.nb_channels;
  if (rateIndex < 0 || channels < 1 || channels > 7) return nullptr;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return nullptr;
  return std::make_unique<AdtsOutput>(file, rateIndex, channels, mpeg2);
}

}  // namespace components
