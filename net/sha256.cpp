#include "net/sha256.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "sys/file.h"

namespace net {

namespace {

constexpr std::array<uint32_t, 64> kRoundConstants = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr std::array<uint32_t, 8> kInitialState = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                                   0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

constexpr uint32_t rotateRight(uint32_t value, int bits) { return (value >> bits) | (value << (32 - bits)); }

}  // namespace

Sha256::Sha256() : m_state(kInitialState) {}

void Sha256::compress(const uint8_t* block) {
  uint32_t schedule[64];
  for (int i = 0; i < 16; ++i)
    schedule[i] = (uint32_t(block[4 * i]) << 24) | (uint32_t(block[4 * i + 1]) << 16) |
                  (uint32_t(block[4 * i + 2]) << 8) | uint32_t(block[4 * i + 3]);
  for (int i = 16; i < 64; ++i) {
    uint32_t s0 = rotateRight(schedule[i - 15], 7) ^ rotateRight(schedule[i - 15], 18) ^ (schedule[i - 15] >> 3);
    uint32_t s1 = rotateRight(schedule[i - 2], 17) ^ rotateRight(schedule[i - 2], 19) ^ (schedule[i - 2] >> 10);
    schedule[i] = schedule[i - 16] + s0 + schedule[i - 7] + s1;
  }
  uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3];
  uint32_t e = m_state[4], f = m_state[5], g = m_state[6], h = m_state[7];
  for (int i = 0; i < 64; ++i) {
    uint32_t sum1 = rotateRight(e, 6) ^ rotateRight(e, 11) ^ rotateRight(e, 25);
    uint32_t choice = (e & f) ^ (~e & g);
    uint32_t t1 = h + sum1 + choice + kRoundConstants[i] + schedule[i];
    uint32_t sum0 = rotateRight(a, 2) ^ rotateRight(a, 13) ^ rotateRight(a, 22);
    uint32_t majority = (a & b) ^ (a & c) ^ (b & c);
    uint32_t t2 = sum0 + majority;
    h = g;
    g = f;
    f = e;
    e = d + t1;
    d = c;
    c = b;
    b = a;
    a = t1 + t2;
  }
  m_state[0] += a;
  m_state[1] += b;
  m_state[2] += c;
  m_state[3] += d;
  m_state[4] += e;
  m_state[5] += f;
  m_state[6] += g;
  m_state[7] += h;
}

void Sha256::update(const void* data, size_t bytes) {
  const auto* cursor = static_cast<const uint8_t*>(data);
  m_totalBytes += bytes;
  while (bytes > 0) {
    size_t take = std::min(bytes, m_block.size() - m_blockBytes);
    std::memcpy(m_block.data() + m_blockBytes, cursor, take);
    m_blockBytes += take;
    cursor += take;
    bytes -= take;
    if (m_blockBytes == m_block.size()) {
      compress(m_block.data());
      m_blockBytes = 0;
    }
  }
}

std::array<uint8_t, 32> Sha256::finish() {
  uint64_t totalBits = m_totalBytes * 8;
  // Padding: one set bit, zeros up to 56 bytes of the last block, then the
  // message length in bits, big-endian.
  uint8_t padding[72] = {0x80};
  size_t padBytes = (m_blockBytes < 56 ? 56 : 120) - m_blockBytes;
  for (int i = 0; i < 8; ++i) padding[padBytes + i] = uint8_t(totalBits >> (56 - 8 * i));
  update(padding, padBytes + 8);
  std::array<uint8_t, 32> digest{};
  for (int i = 0; i < 8; ++i)
    for (int j = 0; j < 4; ++j) digest[4 * i + j] = uint8_t(m_state[i] >> (24 - 8 * j));
  return digest;
}

std::string toHex(const std::array<uint8_t, 32>& digest) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (uint8_t byte : digest) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 15];
  }
  return text;
}

std::string sha256Hex(const void* data, size_t bytes) {
  Sha256 hash;
  hash.update(data, bytes);
  return toHex(hash.finish());
}

std::optional<std::string> sha256OfFile(const std::string& path) {
  sys::File file = sys::File::open(path, sys::Access::Read, sys::Share::Read, sys::Disposition::OpenExisting);
  if (!file.isOpen()) return std::nullopt;
  int64_t expected = file.size();
  Sha256 hash;
  std::vector<uint8_t> chunk(1 << 16);
  int64_t total = 0;
  while (size_t got = file.read(chunk.data(), chunk.size())) {
    hash.update(chunk.data(), got);
    total += static_cast<int64_t>(got);
  }
  // A short read is a failure, not the hash of a truncated file.
  if (total != expected) return std::nullopt;
  return toHex(hash.finish());
}

}  // namespace net
