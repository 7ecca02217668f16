#pragma once
// The second-order high-pass of the filter effects (Q = 0.707): coefficients
// in 2^24 fixed point, direct form I, state per channel, zero at the start.
// The High-Pass Filter effect runs it, and click detection runs its copy of
// the audio through it.
//
// The feedback state keeps its fraction: rounding it to whole samples (worse,
// truncating it as the split gain multiply does) is multiplied by the loop's
// gain at DC, which for low corners is in the thousands, and leaves an offset
// or a stuck tone instead of silence: at 10 Hz an offset beyond full scale.
// b1 is -2 b0 exactly, so that a constant goes to 0.

#include <cstdint>
#include <vector>

#include "core/sample.h"

class HighPassBiquad {
 public:
  // A corner of 0 or less becomes 10 Hz, a rate of 0 or less 44,100. A
  // corner above half the rate would fold back to a low one: it is taken as
  // half the rate, which passes nothing.
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
    Sample x1 = 0, x2 = 0;
    double y1 = 0, y2 = 0;
  };
  int32_t m_b0, m_b1, m_a1, m_a2;  // b2 equals b0
  std::vector<State> m_states;
};
