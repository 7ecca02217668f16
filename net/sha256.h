#pragma once
// SHA-256 of bytes and files, for checking downloads against known hashes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace net {

class Sha256 {
 public:
  Sha256();
  void update(const void* data, size_t bytes);
  // The digest of everything given; the object is spent afterwards.
  std::array<uint8_t, 32> finish();

 private:
  void compress(const uint8_t* block);

  std::array<uint32_t, 8> m_state;
  std::array<uint8_t, 64> m_block{};
  size_t m_blockBytes = 0;
  uint64_t m_totalBytes = 0;
};

// Lower-case hexadecimal text of a digest.
std::string toHex(const std::array<uint8_t, 32>& digest);
std::string sha256Hex(const void* data, size_t bytes);
// The file's hash as lower-case hex, or nothing when it cannot be read.
std::optional<std::string> sha256OfFile(const std::string& path);

}  // namespace net
