#include "effects/real_fft.h"

#include <cmath>
#include <numbers>

#include "effects/float_vector.h"

namespace {

int log2Of(int value) {
  int bits = 0;
  while ((1 << bits) < value) ++bits;
  return bits;
}

// The four values of from[0..3] in reverse order.
Float4 loadReversed(const float* from) {
  const Float4 value = loadFloat4(from);
  return __builtin_shufflevector(value, value, 3, 2, 1, 0);
}

}  // namespace

RealFft::RealFft(int size) : m_size(size), m_half(size / 2) {
  const int bits = log2Of(m_half);
  m_reversed.resize(m_half);
  for (int i = 0; i < m_half; ++i) {
    int reversed = 0;
    for (int b = 0; b < bits; ++b)
      if (i & (1 << b)) reversed |= 1 << (bits - 1 - b);
    m_reversed[i] = reversed;
  }
  m_stageOffset.assign(bits + 1, 0);
  for (int h = 4; h < m_half; h *= 2) {
    m_stageOffset[log2Of(h)] = static_cast<int>(m_stageCos.size());
    for (int j = 0; j < h; ++j) {
      m_stageCos.push_back(static_cast<float>(std::cos(std::numbers::pi * j / h)));
      m_stageSin.push_back(static_cast<float>(std::sin(std::numbers::pi * j / h)));
    }
  }
  for (int k = 0; k <= m_half; ++k) {
    m_unpackCos.push_back(static_cast<float>(std::cos(2 * std::numbers::pi * k / m_size)));
    m_unpackSin.push_back(static_cast<float>(std::sin(2 * std::numbers::pi * k / m_size)));
  }
  m_re.resize(m_half + 1);
  m_im.resize(m_half + 1);
}

void RealFft::decimateInTime(float sign) {
  float* re = m_re.data();
  float* im = m_im.data();
  // The first two stages together: spans 1 and 2 (twiddles 1 and sign i).
  for (int block = 0; block < m_half; block += 4) {
    float* r = re + block;
    float* i = im + block;
    const float b0r = r[0] + r[1], b0i = i[0] + i[1];
    const float b1r = r[0] - r[1], b1i = i[0] - i[1];
    const float b2r = r[2] + r[3], b2i = i[2] + i[3];
    const float tr = sign * (i[3] - i[2]), ti = sign * (r[2] - r[3]);  // sign i (p2 - p3)
    r[0] = b0r + b2r;
    i[0] = b0i + b2i;
    r[2] = b0r - b2r;
    i[2] = b0i - b2i;
    r[1] = b1r + tr;
    i[1] = b1i + ti;
    r[3] = b1r - tr;
    i[3] = b1i - ti;
  }
  const Float4 turn = splatFloat4(sign);
  for (int h = 4; h < m_half; h *= 2) {
    const float* wc = &m_stageCos[m_stageOffset[log2Of(h)]];
    const float* ws = &m_stageSin[m_stageOffset[log2Of(h)]];
    for (int block = 0; block < m_half; block += 2 * h) {
      float* ar = re + block;
      float* ai = im + block;
      float* br = ar + h;
      float* bi = ai + h;
      for (int j = 0; j < h; j += 4) {
        const Float4 xr = loadFloat4(ar + j), xi = loadFloat4(ai + j);
        const Float4 yr = loadFloat4(br + j), yi = loadFloat4(bi + j);
        const Float4 c = loadFloat4(wc + j), s = turn * loadFloat4(ws + j);
        // times e^(sign i pi j / h)
        const Float4 tr = yr * c - yi * s, ti = yi * c + yr * s;
        storeFloat4(br + j, xr - tr);
        storeFloat4(bi + j, xi - ti);
        storeFloat4(ar + j, xr + tr);
        storeFloat4(ai + j, xi + ti);
      }
    }
  }
}

void RealFft::decimateInFrequency(float sign) {
  float* re = m_re.data();
  float* im = m_im.data();
  const Float4 turn = splatFloat4(sign);
  for (int h = m_half / 2; h >= 4; h /= 2) {
    const float* wc = &m_stageCos[m_stageOffset[log2Of(h)]];
    const float* ws = &m_stageSin[m_stageOffset[log2Of(h)]];
    for (int block = 0; block < m_half; block += 2 * h) {
      float* ar = re + block;
      float* ai = im + block;
      float* br = ar + h;
      float* bi = ai + h;
      for (int j = 0; j < h; j += 4) {
        const Float4 xr = loadFloat4(ar + j), xi = loadFloat4(ai + j);
        const Float4 yr = loadFloat4(br + j), yi = loadFloat4(bi + j);
        const Float4 c = loadFloat4(wc + j), s = turn * loadFloat4(ws + j);
        const Float4 dr = xr - yr, di = xi - yi;
        storeFloat4(ar + j, xr + yr);
        storeFloat4(ai + j, xi + yi);
        // times e^(sign i pi j / h)
        storeFloat4(br + j, dr * c - di * s);
        storeFloat4(bi + j, di * c + dr * s);
      }
    }
  }
  // The last two stages together: spans 2 (twiddles 1 and sign i) and 1.
  for (int block = 0; block < m_half; block += 4) {
    float* r = re + block;
    float* i = im + block;
    const float a0r = r[0] + r[2], a0i = i[0] + i[2];
    const float a2r = r[0] - r[2], a2i = i[0] - i[2];
    const float a1r = r[1] + r[3], a1i = i[1] + i[3];
    const float a3r = sign * (i[3] - i[1]), a3i = sign * (r[1] - r[3]);  // sign i (p1 - p3)
    r[0] = a0r + a1r;
    i[0] = a0i + a1i;
    r[1] = a0r - a1r;
    i[1] = a0i - a1i;
    r[2] = a2r + a3r;
    i[2] = a2i + a3i;
    r[3] = a2r - a3r;
    i[3] = a2i - a3i;
  }
}

void RealFft::forward(const float* frame, float* re, float* im) {
  // Even samples as real parts, odd ones as imaginary, in bit-reversed order.
  for (int n = 0; n < m_half; ++n) {
    m_re[m_reversed[n]] = frame[2 * n];
    m_im[m_reversed[n]] = frame[2 * n + 1];
  }
  decimateInTime(-1);
  m_re[m_half] = m_re[0];
  m_im[m_half] = m_im[0];
  // With Z the transform, the even samples' spectrum is
  // (Z[k] + conj Z[M-k]) / 2 and the odd ones' is (Z[k] - conj Z[M-k]) / 2i;
  // bin k is the first plus the second turned by e^(-2 pi i k / N).
  const Float4 half = splatFloat4(0.5f);
  for (int k = 0; k < m_half; k += 4) {
    const Float4 zr = loadFloat4(&m_re[k]), zi = loadFloat4(&m_im[k]);
    const Float4 mr = loadReversed(&m_re[m_half - k - 3]), mi = -loadReversed(&m_im[m_half - k - 3]);
    const Float4 er = half * (zr + mr), ei = half * (zi + mi);
    const Float4 orr = half * (zr - mr), oi = half * (zi - mi);
    const Float4 c = loadFloat4(&m_unpackCos[k]), s = loadFloat4(&m_unpackSin[k]);
    storeFloat4(re + k, er + c * oi - s * orr);
    storeFloat4(im + k, ei - c * orr - s * oi);
  }
  // Bin N/2: e^(-i pi) = -1.
  re[m_half] = m_re[0] - m_im[0];
  im[m_half] = 0;
}

void RealFft::inverse(const float* re, const float* im, float* frame) {
  // From X[k] and conj X[M-k]: Z[k] = (sum) + i (difference) e^(2 pi i k / N),
  // which makes the transform of the frame's even samples plus i times the
  // odd ones, doubled.
  for (int k = 0; k < m_half; k += 4) {
    Float4 xi = loadFloat4(im + k), yi = -loadReversed(im + m_half - k - 3);
    if (k == 0) xi[0] = yi[0] = 0;  // bins 0 and N/2 are real
    const Float4 xr = loadFloat4(re + k), yr = loadReversed(re + m_half - k - 3);
    const Float4 sr = xr + yr, si = xi + yi, dr = xr - yr, di = xi - yi;
    const Float4 c = loadFloat4(&m_unpackCos[k]), s = loadFloat4(&m_unpackSin[k]);
    const Float4 br = dr * c - di * s, bi = dr * s + di * c;
    storeFloat4(&m_re[k], sr - bi);
    storeFloat4(&m_im[k], si + br);
  }
  decimateInFrequency(1);
  for (int n = 0; n < m_half; ++n) {
    frame[2 * n] = m_re[m_reversed[n]];
    frame[2 * n + 1] = m_im[m_reversed[n]];
  }
}
