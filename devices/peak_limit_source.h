#pragma once
// A look-ahead limiter that keeps every sample within a peak: for sources
// whose samples may go beyond what the device takes. It works in blocks of
// rate / 35 frames (kept to 20 ... 8192) and looks three blocks ahead, so the
// gain is already down when a loud block arrives. The gain falls linearly
// across each block, at most to what the loudest coming block needs (spread
// over the blocks before it), and recovers within about ten blocks; within
// a block it never exceeds what that block needs.

#include <array>
#include <cstdint>
#include <vector>

#include "core/sample_source.h"

class PeakLimitSource final : public SampleSource {
 public:
  static constexpr int kLookAheadBlocks = 3;
  static constexpr int64_t kUnity = 1 << 24;  // gains: 2^24 = 1.0

  // Samples stay within lowest ... peak; lowest defaults to -peak.
  PeakLimitSource(SampleSourceRef inner, int32_t peak, int32_t lowest = 0);

  void read(Sample* buffer, int32_t frames) override;
  // The frame of the next sample handed out (the inner source has read ahead).
  int32_t position() const override;
  int32_t length() const override;
  void seek(int32_t frame) override;

  static int32_t blockFrames(int32_t rate);

 private:
  struct Block {
    std::vector<Sample> samples;
    int64_t requiredGain = kUnity;
    int32_t positionBefore = 0;
    int32_t positionAfter = 0;
    int64_t leftBefore = 0;  // the inner length less its position, before the read
    int64_t leftAfter = 0;   // and after it
  };
  static constexpr int kBlocks = kLookAheadBlocks + 1;

  void fill();
  void startBlock();
  bool isStraight(const Block& b) const;
  Block& block(int ahead) { return m_blocks[(m_head + ahead) % kBlocks]; }
  const Block& block(int ahead) const { return m_blocks[(m_head + ahead) % kBlocks]; }

  SampleSourceRef m_inner;
  int32_t m_peak;
  int32_t m_lowest;
  int32_t m_blockFrames;
  std::array<Block, kBlocks> m_blocks;
  int m_head = 0;
  int m_count = 0;             // blocks read ahead, the current one included
  int32_t m_offset = 0;        // frames of the current block handed out
  bool m_started = false;      // false after a seek: the first block sets the gain
  bool m_blockReady = false;   // the current block's gain ramp is set
  int64_t m_gain = kUnity;     // at the start of the current block
  int64_t m_gainEnd = kUnity;  // at its end
};
