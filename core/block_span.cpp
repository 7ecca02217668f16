#include "core/block_span.h"

#include <utility>

BlockSpan::BlockSpan(BlockNumber block, int32_t length, int32_t gain, int32_t offset)
    : m_block(block), m_length(length), m_gain(gain), m_offset(block == NoBlock ? 0 : offset) {
  addBlockRef(m_block);
}

BlockSpan::BlockSpan(const BlockSpan& other)
    : m_block(other.m_block), m_length(other.m_length), m_gain(other.m_gain), m_offset(other.m_offset) {
  addBlockRef(m_block);
}

BlockSpan::BlockSpan(BlockSpan&& other) noexcept
    : m_block(std::exchange(other.m_block, NoBlock)),
      m_length(other.m_length),
      m_gain(other.m_gain),
      m_offset(other.m_offset) {}

BlockSpan& BlockSpan::operator=(const BlockSpan& other) {
  if (this != &other) {
    addBlockRef(other.m_block);
    releaseBlock(m_block);
    m_block = other.m_block;
    m_length = other.m_length;
    m_gain = other.m_gain;
    m_offset = other.m_offset;
  }
  return *this;
}

BlockSpan& BlockSpan::operator=(BlockSpan&& other) noexcept {
  if (this != &other) {
    releaseBlock(m_block);
    m_block = std::exchange(other.m_block, NoBlock);
    m_length = other.m_length;
    m_gain = other.m_gain;
    m_offset = other.m_offset;
  }
  return *this;
}

BlockSpan::~BlockSpan() { releaseBlock(m_block); }
