#include "shorten_header.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace components {
namespace {

constexpr int kFunctionBits = 2;          // Rice parameter of a command
constexpr int kUlongBits = 2;             // of the parameter of a number
constexpr int kVerbatimLengthBits = 5;
constexpr int kVerbatimByteBits = 8;
constexpr uint32_t kVerbatimCommand = 9;
constexpr size_t kHeadBytes = 65536;      // the header lies well within this
constexpr uint32_t kUnknownLength = 0xFFFFFFFF;

// Reads the file's bits, most significant first; reading past the end
// sets a flag instead.
class BitReader {
public:
  explicit BitReader(std::vector<unsigned char> bytes) : m_bytes(std::move(bytes)) {}
  bool failed() const { return m_failed; }

  uint32_t bit() {
    if (m_position >= m_bytes.size() * 8) {
      m_failed = true;
      return 0;
    }
    const uint32_t value = (m_bytes[m_position / 8] >> (7 - m_position % 8)) & 1;
    ++m_position;
    return value;
  }
  uint32_t bits(int count) {
    uint32_t value = 0;
    while (count-- > 0) value = (value << 1) | bit();
    return value;
  }
  // Rice code: a run of zeros ended by a one gives the high part, then k bits.
  uint32_t uvar(int k) {
    uint32_t zeros = 0;
    while (!m_failed && bit() == 0)
      if (++zeros > 1u << 20) m_failed = true;
    return (zeros << k) | bits(k);
  }
  uint32_t ulong(int version, int k) {
    if (version != 0) k = static_cast<int>(uvar(kUlongBits));
    if (k > 32) m_failed = true;
    return m_failed ? 0 : uvar(k);
  }

private:
  std::vector<unsigned char> m_bytes;
  size_t m_position = 0;
  bool m_failed = false;
};

uint32_t little32(const unsigned char* at) {
  return at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<uint32_t>(at[3]) << 24);
}

}  // namespace

std::optional<int64_t> shortenDeclaredFrames(const std::string& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!file) return std::nullopt;
  std::vector<unsigned char> head(kHeadBytes);
  head.resize(std::fread(head.data(), 1, head.size(), file.get()));
  if (head.size() < 5 || std::memcmp(head.data(), "ajkg", 4) != 0) return std::nullopt;
  const int version = head[4];
  BitReader reader(std::vector<unsigned char>(head.begin() + 5, head.end()));

  reader.ulong(version, 4);  // sample type
  reader.ulong(version, 0);  // channels
  if (version > 0) {
    reader.ulong(version, 8);  // block size
    reader.ulong(version, 2);  // prediction order
    reader.ulong(version, 0);  // running mean
    const uint32_t skip = reader.ulong(version, 1);
    if (skip > kHeadBytes) return std::nullopt;
    reader.bits(static_cast<int>(8 * skip));
  }
  if (reader.uvar(kFunctionBits) != kVerbatimCommand) return std::nullopt;
  const uint32_t length = reader.uvar(kVerbatimLengthBits);
  if (reader.failed() || length > kHeadBytes) return std::nullopt;
  std::vector<unsigned char> wave(length);
  for (auto& byte : wave) byte = static_cast<unsigned char>(reader.uvar(kVerbatimByteBits));
  if (reader.failed() || length < 12 || std::memcmp(wave.data(), "RIFF", 4) != 0 ||
      std::memcmp(wave.data() + 8, "WAVE", 4) != 0)
    return std::nullopt;

  // The chunks of the kept header: "fmt " gives the frame size, "data" the
  // length (unknown when it was written before the length was known).
  uint32_t blockAlign = 0;
  for (size_t at = 12; at + 8 <= wave.size();) {
    const uint32_t size = little32(&wave[at + 4]);
    if (std::memcmp(&wave[at], "fmt ", 4) == 0 && at + 8 + 14 <= wave.size())
      blockAlign = wave[at + 8 + 12] | (wave[at + 8 + 13] << 8);
    if (std::memcmp(&wave[at], "data", 4) == 0) {
      if (blockAlign == 0 || size == 0 || size == kUnknownLength) return std::nullopt;
      return static_cast<int64_t>(size / blockAlign);
    }
    at += 8 + size + (size & 1);
  }
  return std::nullopt;
}

}  // namespace components
