#include "wave_file_writer.h"

#include <limits>

namespace components {
namespace {

constexpr long kRiffSizeOffset = 4;
constexpr long kDataSizeOffset = 40;
constexpr uint32_t kHeaderBytesAfterRiffSize = 36;  // "WAVE", fmt chunk, data chunk head

void putLittle(unsigned char* at, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

}  // namespace

WaveFileWriter::~WaveFileWriter() { discard(); }

bool WaveFileWriter::open(const std::string& path, int sampleRate, int channels) {
  m_path = path;
  m_channels = channels;
  m_file = std::fopen(path.c_str(), "wb");
  if (!m_file) return false;
  unsigned char header[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E',
                              'f', 'm', 't', ' ', 16, 0, 0, 0};
  const uint32_t blockAlign = static_cast<uint32_t>(channels) * 2;
  putLittle(header + 20, 1, 2);  // plain PCM
  putLittle(header + 22, static_cast<uint32_t>(channels), 2);
  putLittle(header + 24, static_cast<uint32_t>(sampleRate), 4);
  putLittle(header + 28, static_cast<uint32_t>(sampleRate) * blockAlign, 4);
  putLittle(header + 32, blockAlign, 2);
  putLittle(header + 34, 16, 2);
  header[36] = 'd'; header[37] = 'a'; header[38] = 't'; header[39] = 'a';
  if (std::fwrite(header, 1, sizeof header, m_file) != sizeof header) m_failed = true;
  return !m_failed;
}

bool WaveFileWriter::write(const int16_t* samples, size_t frames) {
  if (!m_file || m_failed) return false;
  const size_t count = frames * static_cast<size_t>(m_channels);
  unsigned char bytes[4096];
  for (size_t done = 0; done < count;) {
    const size_t step = std::min(count - done, sizeof bytes / 2);
    for (size_t i = 0; i < step; ++i)
      putLittle(bytes + 2 * i, static_cast<uint16_t>(samples[done + i]), 2);
    if (std::fwrite(bytes, 2, step, m_file) != step) { m_failed = true; return false; }
    done += step;
  }
  m_dataBytes += count * 2;
  return true;
}

bool WaveFileWriter::finish() {
  if (!m_file) return false;
  // A WAVE file cannot describe more than 4 GB of data.
  if (m_dataBytes > std::numeric_limits<uint32_t>::max() - kHeaderBytesAfterRiffSize)
    m_failed = true;
  unsigned char size[4];
  if (!m_failed) {
    putLittle(size, static_cast<uint32_t>(kHeaderBytesAfterRiffSize + m_dataBytes), 4);
    m_failed = std::fseek(m_file, kRiffSizeOffset, SEEK_SET) != 0 ||
               std::fwrite(size, 1, 4, m_file) != 4;
  }
  if (!m_failed) {
    putLittle(size, static_cast<uint32_t>(m_dataBytes), 4);
    m_failed = std::fseek(m_file, kDataSizeOffset, SEEK_SET) != 0 ||
               std::fwrite(size, 1, 4, m_file) != 4;
  }
  const bool closed = std::fclose(m_file) == 0;
  m_file = nullptr;
  if (m_failed || !closed) {
    std::remove(m_path.c_str());
    return false;
  }
  return true;
}

void WaveFileWriter::discard() {
  if (!m_file) return;
  std::fclose(m_file);
  m_file = nullptr;
  std::remove(m_path.c_str());
}

}  // namespace components
