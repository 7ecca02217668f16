#pragma once
// A window into one sample block with its own gain. Copying a span adds a
// reference to its block and destroying it releases one; moving hands the
// reference over.

#include <cstdint>

#include "core/block_store.h"

constexpr int32_t kUnityGain = 1 << 24;  // gain: 2^24 = unity

class BlockSpan {
 public:
  // Takes a new reference to block (none for NoBlock).
  BlockSpan(BlockNumber block, int32_t length, int32_t gain, int32_t offset);
  static BlockSpan silence(int32_t length) { return BlockSpan(NoBlock, length, kUnityGain, 0); }

  BlockSpan(const BlockSpan& other);
  BlockSpan(BlockSpan&& other) noexcept;
  BlockSpan& operator=(const BlockSpan& other);
  BlockSpan& operator=(BlockSpan&& other) noexcept;
  ~BlockSpan();

  BlockNumber block() const { return m_block; }
  int32_t length() const { return m_length; }
  int32_t gain() const { return m_gain; }
  int32_t offset() const { return m_offset; }
  bool silent() const { return m_block == NoBlock; }

  void setLength(int32_t length) { m_length = length; }
  void setGain(int32_t gain) { m_gain = gain; }
  // Drops the first frames of the span.
  void trimHead(int32_t frames) {
    m_offset += frames;
    m_length -= frames;
  }

 private:
  BlockNumber m_block;
  int32_t m_length;
  int32_t m_gain;    // 2^24 = unity
  int32_t m_offset;  // first frame of the block that the span shows
};
