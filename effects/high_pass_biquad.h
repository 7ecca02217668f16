#pragma once
// The second-order high-pass of the filter effects (Q = 0.707), in 2^24
// fixed point: direct form I with every product taken as the gain multiply,
// state per channel, zero at the start. Click detection runs its copy of the
// audio through it.

#include <cstdint>
#include <vector>

#include "core/sample.h"

class HighPassBiquad {
 public:
  // A corner of 0 or less becomes 10 Hz, a rate of 0 or less 44,100.
  HighPassBiquad(int32_t cornerHz, int32_t sampleRate, int channels);

  // The next output of one channel.
  Sample filter(int channel, Sample input);
  void reset();

  // Coefficients, 2^24 = 1.
  int32_t b0() const { return m_b0; }
  int32_t b1() const { return m_b1; }
  int32_t a1() const { return m_a1; }
  int32_t a2() const { return m_a2; }

 private:
  struct State {
    int64_t x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  };
  int32_t m_b0, m_b1, m_a1, m_a2;  // b2 equals b0
  std::vector<State> m_states;
};
