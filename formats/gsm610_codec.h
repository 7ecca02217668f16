#pragma once
// GSM 06.10 full-rate speech codec, bit-exact fixed-point: 160 samples of
// 8 kHz linear PCM (13 significant bits of a 16-bit value) to one 33-byte
// frame and back. A frame starts with the signature nibble 0xD, followed by
// the 260 bits of parameters packed most significant bit first; this is the
// layout of headerless ".gsm" files.
//
// Both directions are filters with memory: frames must be fed in order, and a
// fresh (or reset) coder starts from silence.

#include <cstdint>

constexpr int kGsmFrameSamples = 160;
constexpr int kGsmFrameBytes = 33;

class Gsm610Encoder {
 public:
  void encode(const int16_t* samples, uint8_t* frame);
  void reset() { *this = Gsm610Encoder(); }

 private:
  // Offset compensation and pre-emphasis.
  int16_t m_z1 = 0;
  int32_t m_lz2 = 0;
  int16_t m_mp = 0;
  // Short-term analysis filter memory.
  int16_t m_u[8] = {};
  // Decoded log-area ratios of the previous frame, for interpolation.
  int16_t m_previousLarpp[8] = {};
  // Reconstructed short-term residual of the last 120 samples (oldest first).
  int16_t m_dp[120] = {};
};

class Gsm610Decoder {
 public:
  // Decodes one frame. A frame whose first nibble is not the signature is not
  // GSM data: it gives 160 zeros, leaves the state alone and returns false.
  // Every other bit pattern decodes (out-of-range lags reuse the last lag).
  bool decode(const uint8_t* frame, int16_t* samples);
  void reset() { *this = Gsm610Decoder(); }

 private:
  // Reconstructed short-term residual of the last 120 samples (oldest first).
  int16_t m_drp[120] = {};
  int16_t m_lastLag = 40;
  // Short-term synthesis filter memory.
  int16_t m_v[9] = {};
  int16_t m_previousLarpp[8] = {};
  // De-emphasis memory.
  int16_t m_msr = 0;
};
