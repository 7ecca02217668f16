#include "formats/gsm610_codec.h"

#include <algorithm>
#include <bit>
#include <cstring>

// The codec is defined by its fixed-point arithmetic: every product, shift
// and saturation below must happen exactly as written, in this order, or the
// frames stop matching other implementations bit for bit. Unless a comment
// says otherwise a 16-bit value is a Q15 fraction and a 32-bit one Q31.

namespace {

constexpr int kSubframes = 4;
constexpr int kSubframeSamples = 40;
constexpr int kPulses = 13;       // pulses of the regular excitation per subframe
constexpr int kHistory = 120;     // longest pitch lag
constexpr uint8_t kSignature = 0xD;

// ---- Saturating arithmetic on 16-bit words and 32-bit longs ----

int16_t saturate(int32_t value) {
  return static_cast<int16_t>(std::clamp<int32_t>(value, INT16_MIN, INT16_MAX));
}
int16_t add(int16_t a, int16_t b) { return saturate(int32_t(a) + b); }
int16_t sub(int16_t a, int16_t b) { return saturate(int32_t(a) - b); }
// Q15 products, truncated and rounded; -1 * -1 is the one product that does not fit.
int16_t mult(int16_t a, int16_t b) {
  if (a == INT16_MIN && b == INT16_MIN) return INT16_MAX;
  return static_cast<int16_t>((int32_t(a) * b) >> 15);
}
int16_t multR(int16_t a, int16_t b) {
  if (a == INT16_MIN && b == INT16_MIN) return INT16_MAX;
  return static_cast<int16_t>((int32_t(a) * b + 16384) >> 15);
}
int16_t absSat(int16_t a) { return a == INT16_MIN ? INT16_MAX : static_cast<int16_t>(a < 0 ? -a : a); }
int32_t lMult(int16_t a, int16_t b) {
  if (a == INT16_MIN && b == INT16_MIN) return INT32_MAX;
  return int32_t(a) * b * 2;
}
int32_t lAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t(a) + b, INT32_MIN, INT32_MAX));
}
// Left shifts that bring a positive value's highest bit to bit 30.
int norm(int32_t positive) { return std::countl_zero(static_cast<uint32_t>(positive)) - 1; }
// num / denom as a Q15 fraction, for 0 <= num <= denom (1 gives 32767).
int16_t divide(int16_t num, int16_t denom) {
  if (num == 0) return 0;
  int32_t remainder = num;
  int16_t quotient = 0;
  for (int bit = 0; bit < 15; ++bit) {
    quotient = static_cast<int16_t>(quotient << 1);
    remainder <<= 1;
    if (remainder >= denom) {
      remainder -= denom;
      ++quotient;
    }
  }
  return quotient;
}

// ---- Tables ----

// Log-area ratio quantizers: code = A * LAR + B, in the range [min, max],
// stored as code - min in the bits given.
constexpr int16_t kLarA[8] = {20480, 20480, 20480, 20480, 13964, 15360, 8534, 9036};
constexpr int16_t kLarB[8] = {0, 0, 2048, -2560, 94, -1792, -341, -1144};
constexpr int16_t kLarMin[8] = {-32, -32, -16, -16, -8, -8, -4, -4};
constexpr int16_t kLarMax[8] = {31, 31, 15, 15, 7, 7, 3, 3};
constexpr int16_t kLarInverseA[8] = {13107, 13107, 13107, 13107, 19223, 17476, 31454, 29708};  // 1/A in Q13
constexpr int kLarBits[8] = {6, 6, 5, 5, 4, 4, 3, 3};

// Long-term predictor gain: decision thresholds and the four gains.
constexpr int16_t kGainThresholds[3] = {6554, 16384, 26214};
constexpr int16_t kGains[4] = {3277, 11469, 21299, 32767};

// Weighting filter ahead of the pulse grid selection (Q13, centre tap 1).
constexpr int16_t kWeighting[11] = {-134, -374, 0, 2054, 5741, 8192, 5741, 2054, 0, -374, -134};
// Normalized block maximum mantissa 8..15 (stored as 0..7): its inverse
// (Q15, about 8 / (mantissa + 1)) for quantizing, and the level it stands for.
constexpr int16_t kInverseMantissa[8] = {29128, 26215, 23832, 21846, 20165, 18725, 17476, 16384};
constexpr int16_t kMantissaLevel[8] = {18431, 20479, 22527, 24575, 26623, 28671, 30719, 32767};

// Where the four interpolation segments of a frame end.
constexpr int kSegmentEnd[4] = {13, 27, 40, 160};

struct Subframe {
  int16_t lag;       // 40..120
  int16_t gain;      // 0..3
  int16_t grid;      // 0..3
  int16_t blockMax;  // 6-bit code
  int16_t pulses[kPulses];  // 3-bit codes
};
struct FrameParameters {
  int16_t larc[8];  // stored codes, 0 .. 2^bits - 1
  Subframe subframes[kSubframes];
};

// ---- Packing, most significant bit first ----

class BitWriter {
 public:
  explicit BitWriter(uint8_t* out) : m_out(out) { std::memset(out, 0, kGsmFrameBytes); }
  void put(int value, int bits) {
    for (int bit = bits - 1; bit >= 0; --bit, ++m_bit)
      if ((value >> bit) & 1) m_out[m_bit >> 3] |= static_cast<uint8_t>(0x80 >> (m_bit & 7));
  }

 private:
  uint8_t* m_out;
  int m_bit = 0;
};

class BitReader {
 public:
  explicit BitReader(const uint8_t* in) : m_in(in) {}
  int16_t get(int bits) {
    int value = 0;
    for (int i = 0; i < bits; ++i, ++m_bit) value = value << 1 | ((m_in[m_bit >> 3] >> (7 - (m_bit & 7))) & 1);
    return static_cast<int16_t>(value);
  }

 private:
  const uint8_t* m_in;
  int m_bit = 0;
};

void pack(const FrameParameters& p, uint8_t* frame) {
  BitWriter out(frame);
  out.put(kSignature, 4);
  for (int i = 0; i < 8; ++i) out.put(p.larc[i], kLarBits[i]);
  for (const Subframe& part : p.subframes) {
    out.put(part.lag, 7);
    out.put(part.gain, 2);
    out.put(part.grid, 2);
    out.put(part.blockMax, 6);
    for (int16_t pulse : part.pulses) out.put(pulse, 3);
  }
}

void unpack(const uint8_t* frame, FrameParameters& p) {
  BitReader in(frame);
  in.get(4);
  for (int i = 0; i < 8; ++i) p.larc[i] = in.get(kLarBits[i]);
  for (Subframe& part : p.subframes) {
    part.lag = in.get(7);
    part.gain = in.get(2);
    part.grid = in.get(2);
    part.blockMax = in.get(6);
    for (int16_t& pulse : part.pulses) pulse = in.get(3);
  }
}

// ---- Short-term (LPC) parameters, shared by both directions ----

void decodeLar(const int16_t* larc, int16_t* larpp) {
  for (int i = 0; i < 8; ++i) {
    int16_t value = static_cast<int16_t>(add(larc[i], kLarMin[i]) << 10);
    value = sub(value, static_cast<int16_t>(kLarB[i] * 2));
    value = multR(kLarInverseA[i], value);
    larpp[i] = add(value, value);
  }
}

// Reflection coefficients of one segment, from the log-area ratios of the
// previous and the current frame: the first three segments blend the two.
void segmentCoefficients(const int16_t* previous, const int16_t* current, int segment, int16_t* rp) {
  for (int i = 0; i < 8; ++i) {
    int16_t lar;
    switch (segment) {
      case 0: lar = add(add(previous[i] >> 2, current[i] >> 2), previous[i] >> 1); break;
      case 1: lar = add(previous[i] >> 1, current[i] >> 1); break;
      case 2: lar = add(add(previous[i] >> 2, current[i] >> 2), current[i] >> 1); break;
      default: lar = current[i]; break;
    }
    // Piecewise-linear inverse of the log-area ratio.
    int16_t magnitude = absSat(lar);
    if (magnitude < 11059)
      magnitude = static_cast<int16_t>(magnitude << 1);
    else if (magnitude < 20070)
      magnitude = static_cast<int16_t>(magnitude + 11059);
    else
      magnitude = add(magnitude >> 2, 26112);
    rp[i] = lar < 0 ? static_cast<int16_t>(-magnitude) : magnitude;
  }
}

// Pulse block maximum code to exponent and mantissa (mantissa 8..15 stored as 0..7).
void splitBlockMax(int16_t blockMax, int& exponent, int& mantissa) {
  exponent = blockMax > 15 ? (blockMax >> 3) - 1 : 0;
  mantissa = blockMax - (exponent << 3);
  if (mantissa == 0) {
    exponent = -4;
    mantissa = 7;
    return;
  }
  while (mantissa <= 7) {
    mantissa = mantissa * 2 + 1;
    --exponent;
  }
  mantissa -= 8;
}

// The 40 excitation samples of a subframe from its pulse codes: exponent is
// -4..6, so the shift is 0..10.
void decodeExcitation(const Subframe& part, int16_t* excitation) {
  int exponent, mantissa;
  splitBlockMax(part.blockMax, exponent, mantissa);
  const int shift = 6 - exponent;
  const int16_t rounding = static_cast<int16_t>(shift > 0 ? 1 << (shift - 1) : 0);
  std::fill_n(excitation, kSubframeSamples, int16_t(0));
  for (int i = 0; i < kPulses; ++i) {
    int16_t level = static_cast<int16_t>(((part.pulses[i] << 1) - 7) << 12);
    level = add(multR(kMantissaLevel[mantissa], level), rounding);
    excitation[part.grid + 3 * i] = static_cast<int16_t>(level >> shift);
  }
}

// ---- Encoder stages ----

// Autocorrelation of lags 0..8 of a frame; the frame is scaled down first so
// that the sums cannot overflow, and back up afterwards (dropping the bits the
// scaling lost, as the filters after it expect).
void autocorrelation(int16_t* s, int32_t* acf) {
  int16_t peak = 0;
  for (int k = 0; k < kGsmFrameSamples; ++k) peak = std::max(peak, absSat(s[k]));
  const int scale = peak == 0 ? 0 : 4 - norm(int32_t(peak) << 16);
  if (scale > 0) {
    const int16_t factor = static_cast<int16_t>(16384 >> (scale - 1));
    for (int k = 0; k < kGsmFrameSamples; ++k) s[k] = multR(s[k], factor);
  }
  for (int lag = 0; lag <= 8; ++lag) {
    int32_t sum = 0;
    for (int i = lag; i < kGsmFrameSamples; ++i) sum += lMult(s[i], s[i - lag]);
    acf[lag] = sum;
  }
  if (scale > 0)
    for (int k = 0; k < kGsmFrameSamples; ++k) s[k] = static_cast<int16_t>(s[k] << scale);
}

// Schur recursion: the eight reflection coefficients; an unstable step
// zeroes it and all after it.
void reflectionCoefficients(const int32_t* acf, int16_t* r) {
  std::fill_n(r, 8, int16_t(0));
  if (acf[0] == 0) return;
  const int shift = norm(acf[0]);
  int16_t p[9], k[9];
  for (int i = 0; i <= 8; ++i) p[i] = k[i] = static_cast<int16_t>((acf[i] << shift) >> 16);
  for (int n = 1; n <= 8; ++n) {
    if (p[0] < absSat(p[1])) return;
    int16_t rn = divide(absSat(p[1]), p[0]);
    if (p[1] > 0) rn = static_cast<int16_t>(-rn);
    r[n - 1] = rn;
    if (n == 8) return;
    p[0] = add(p[0], multR(p[1], rn));
    for (int m = 1; m <= 8 - n; ++m) {
      p[m] = add(p[m + 1], multR(k[m], rn));
      k[m] = add(k[m], multR(p[m + 1], rn));
    }
  }
}

void larCodes(const int16_t* r, int16_t* larc) {
  for (int i = 0; i < 8; ++i) {
    // Reflection coefficient to log-area ratio, piecewise linear.
    int16_t magnitude = absSat(r[i]);
    if (magnitude < 22118)
      magnitude = static_cast<int16_t>(magnitude >> 1);
    else if (magnitude < 31130)
      magnitude = static_cast<int16_t>(magnitude - 11059);
    else
      magnitude = static_cast<int16_t>((magnitude - 26112) << 2);
    const int16_t lar = r[i] < 0 ? static_cast<int16_t>(-magnitude) : magnitude;
    int16_t code = add(add(mult(kLarA[i], lar), kLarB[i]), 256);
    code = std::clamp<int16_t>(static_cast<int16_t>(code >> 9), kLarMin[i], kLarMax[i]);
    larc[i] = static_cast<int16_t>(code - kLarMin[i]);
  }
}

// Pitch lag (40..120) and gain code of a subframe of residual d against the
// reconstructed residual dp, valid from dp[-120].
void pitchParameters(const int16_t* d, const int16_t* dp, int16_t& lag, int16_t& gain) {
  int16_t peak = 0;
  for (int k = 0; k < kSubframeSamples; ++k) peak = std::max(peak, absSat(d[k]));
  const int headroom = peak == 0 ? 0 : norm(int32_t(peak) << 16);
  const int scale = headroom > 6 ? 0 : 6 - headroom;  // keeps the correlation sums in range
  int16_t scaled[kSubframeSamples];
  for (int k = 0; k < kSubframeSamples; ++k) scaled[k] = static_cast<int16_t>(d[k] >> scale);

  int32_t best = 0;
  lag = 40;
  for (int candidate = 40; candidate <= kHistory; ++candidate) {
    int32_t sum = 0;
    for (int k = 0; k < kSubframeSamples; ++k) sum += lMult(scaled[k], dp[k - candidate]);
    if (sum > best) {
      lag = static_cast<int16_t>(candidate);
      best = sum;
    }
  }
  best >>= 6 - scale;  // same scale as the power below, whose samples lose 3 bits

  int32_t power = 0;
  for (int k = 0; k < kSubframeSamples; ++k) {
    const int16_t past = static_cast<int16_t>(dp[k - lag] >> 3);
    power += lMult(past, past);
  }
  if (best <= 0) {
    gain = 0;
  } else if (best >= power) {
    gain = 3;
  } else {
    const int shift = norm(power);
    const int16_t correlation = static_cast<int16_t>((best << shift) >> 16);
    const int16_t energy = static_cast<int16_t>((power << shift) >> 16);
    gain = 3;
    for (int16_t code = 0; code < 3; ++code) {
      if (correlation <= mult(energy, kGainThresholds[code])) {
        gain = code;
        break;
      }
    }
  }
}

// Chooses and quantizes the regular pulse excitation of the long-term
// residual e; returns the excitation the decoder will rebuild.
void encodeExcitation(const int16_t* e, Subframe& part, int16_t* excitation) {
  int16_t x[kSubframeSamples];
  for (int k = 0; k < kSubframeSamples; ++k) {
    int32_t sum = 8192;  // rounding
    for (int i = 0; i < 11; ++i) {
      const int at = k + i - 5;
      if (at >= 0 && at < kSubframeSamples) sum += lMult(e[at], kWeighting[i]);
    }
    sum = lAdd(sum, sum);  // Q13 taps to Q15, saturating
    sum = lAdd(sum, sum);
    x[k] = static_cast<int16_t>(sum >> 16);
  }

  // The grid (every third sample from offset 0..3) with the most energy.
  int32_t bestEnergy = 0;
  part.grid = 0;
  for (int16_t grid = 0; grid < 4; ++grid) {
    int32_t energy = 0;
    for (int i = 0; i < kPulses; ++i) {
      const int16_t value = static_cast<int16_t>(x[grid + 3 * i] >> 2);
      energy += lMult(value, value);
    }
    if (energy > bestEnergy) {
      part.grid = grid;
      bestEnergy = energy;
    }
  }
  int16_t pulses[kPulses];
  int16_t peak = 0;
  for (int i = 0; i < kPulses; ++i) {
    pulses[i] = x[part.grid + 3 * i];
    peak = std::max(peak, absSat(pulses[i]));
  }

  // Block maximum: a 3-bit mantissa with an exponent 0..6 (code 0..63).
  int exponent = 0;
  int16_t rest = static_cast<int16_t>(peak >> 9);
  bool found = false;
  for (int i = 0; i < 6; ++i) {
    if (rest <= 0) found = true;
    rest = static_cast<int16_t>(rest >> 1);
    if (!found) ++exponent;
  }
  part.blockMax = add(static_cast<int16_t>(peak >> (exponent + 5)), static_cast<int16_t>(exponent << 3));

  // Pulses relative to the block maximum as it will be decoded, to 3 bits.
  int mantissa;
  splitBlockMax(part.blockMax, exponent, mantissa);
  const int shift = 6 - exponent;
  for (int i = 0; i < kPulses; ++i) {
    const int16_t normalized = mult(static_cast<int16_t>(pulses[i] << shift), kInverseMantissa[mantissa]);
    part.pulses[i] = static_cast<int16_t>((normalized >> 12) + 4);
  }
  decodeExcitation(part, excitation);
}

}  // namespace

void Gsm610Encoder::encode(const int16_t* samples, uint8_t* frame) {
  // Input to 13 bits, offset removal (a high-pass filter) and pre-emphasis.
  int16_t s[kGsmFrameSamples];
  for (int k = 0; k < kGsmFrameSamples; ++k) {
    const int16_t in = static_cast<int16_t>((samples[k] >> 3) << 2);
    const int16_t step = static_cast<int16_t>(in - m_z1);
    m_z1 = in;
    int32_t filtered = int32_t(step) << 15;
    const int16_t high = static_cast<int16_t>(m_lz2 >> 15);
    const int16_t low = static_cast<int16_t>(m_lz2 - (int32_t(high) << 15));
    filtered += multR(low, 32735);
    m_lz2 = lAdd(int32_t(high) * 32735, filtered);
    const int16_t emphasis = multR(m_mp, -28180);
    m_mp = static_cast<int16_t>(lAdd(m_lz2, 16384) >> 15);
    s[k] = add(m_mp, emphasis);
  }

  FrameParameters params;
  int32_t acf[9];
  autocorrelation(s, acf);
  int16_t r[8];
  reflectionCoefficients(acf, r);
  larCodes(r, params.larc);

  // Short-term analysis: the lattice filter whose output is the residual d.
  int16_t larpp[8];
  decodeLar(params.larc, larpp);
  int16_t d[kGsmFrameSamples];
  for (int segment = 0, k = 0; segment < 4; ++segment) {
    int16_t rp[8];
    segmentCoefficients(m_previousLarpp, larpp, segment, rp);
    for (; k < kSegmentEnd[segment]; ++k) {
      int16_t forward = s[k], backward = s[k];
      for (int i = 0; i < 8; ++i) {
        const int16_t next = add(m_u[i], multR(rp[i], forward));
        forward = add(forward, multR(rp[i], m_u[i]));
        m_u[i] = backward;
        backward = next;
      }
      d[k] = forward;
    }
  }
  std::copy_n(larpp, 8, m_previousLarpp);

  // Long-term prediction and excitation, subframe by subframe, rebuilding
  // the residual exactly as the decoder will.
  int16_t dp[kHistory + kGsmFrameSamples];
  std::copy_n(m_dp, kHistory, dp);
  for (int j = 0; j < kSubframes; ++j) {
    Subframe& part = params.subframes[j];
    const int16_t* dj = d + j * kSubframeSamples;
    int16_t* dpj = dp + kHistory + j * kSubframeSamples;
    pitchParameters(dj, dpj, part.lag, part.gain);
    int16_t predicted[kSubframeSamples], e[kSubframeSamples], excitation[kSubframeSamples];
    for (int k = 0; k < kSubframeSamples; ++k) {
      predicted[k] = multR(kGains[part.gain], dpj[k - part.lag]);
      e[k] = sub(dj[k], predicted[k]);
    }
    encodeExcitation(e, part, excitation);
    for (int k = 0; k < kSubframeSamples; ++k) dpj[k] = add(excitation[k], predicted[k]);
  }
  std::copy_n(dp + kGsmFrameSamples, kHistory, m_dp);

  pack(params, frame);
}

bool Gsm610Decoder::decode(const uint8_t* frame, int16_t* samples) {
  if ((frame[0] >> 4) != kSignature) {
    std::fill_n(samples, kGsmFrameSamples, int16_t(0));
    return false;
  }
  FrameParameters params;
  unpack(frame, params);

  // Long-term synthesis: excitation plus the scaled past residual. Lags out
  // of range (only a damaged frame has them) repeat the previous lag.
  int16_t drp[kHistory + kGsmFrameSamples];
  std::copy_n(m_drp, kHistory, drp);
  for (int j = 0; j < kSubframes; ++j) {
    const Subframe& part = params.subframes[j];
    int16_t excitation[kSubframeSamples];
    decodeExcitation(part, excitation);
    const int16_t lag = part.lag < 40 || part.lag > kHistory ? m_lastLag : part.lag;
    m_lastLag = lag;
    int16_t* drpj = drp + kHistory + j * kSubframeSamples;
    for (int k = 0; k < kSubframeSamples; ++k)
      drpj[k] = add(excitation[k], multR(kGains[part.gain], drpj[k - lag]));
  }
  std::copy_n(drp + kGsmFrameSamples, kHistory, m_drp);

  // Short-term synthesis (the inverse lattice), de-emphasis, and back to 16 bits.
  int16_t larpp[8];
  decodeLar(params.larc, larpp);
  const int16_t* residual = drp + kHistory;
  for (int segment = 0, k = 0; segment < 4; ++segment) {
    int16_t rp[8];
    segmentCoefficients(m_previousLarpp, larpp, segment, rp);
    for (; k < kSegmentEnd[segment]; ++k) {
      int16_t value = residual[k];
      for (int i = 7; i >= 0; --i) {
        value = sub(value, multR(rp[i], m_v[i]));
        m_v[i + 1] = add(m_v[i], multR(rp[i], value));
      }
      m_v[0] = value;
      m_msr = add(value, multR(m_msr, 28180));
      samples[k] = static_cast<int16_t>(add(m_msr, m_msr) & ~7);
    }
  }
  std::copy_n(larpp, 8, m_previousLarpp);
  return true;
}
