#include "core/peak_overview.h"

#include <algorithm>

#include "core/block_store.h"

PeakOverview::PeakOverview(int channels)
    : m_channels(channels), m_maximum(channels, 0), m_minimum(channels, 0) {}

uint8_t PeakOverview::peakByte(Sample peakMagnitude) {
  // One step is 2,048 sample units; full scale (2^19) saturates at 255.
  return static_cast<uint8_t>(std::min<int64_t>(255, static_cast<int64_t>(peakMagnitude) >> 11));
}

void PeakOverview::add(const Sample* frames, int32_t count, std::vector<uint8_t>& out) {
  while (count > 0) {
    int32_t take = std::min(count, kFramesPerPeakRecord - m_framesInRecord);
    for (int32_t f = 0; f < take; ++f) {
      const Sample* frame = frames + static_cast<size_t>(f) * m_channels;
      for (int c = 0; c < m_channels; ++c) {
        m_maximum[c] = std::max(m_maximum[c], frame[c]);
        m_minimum[c] = std::min(m_minimum[c], frame[c]);
      }
    }
    frames += static_cast<size_t>(take) * m_channels;
    count -= take;
    m_framesInRecord += take;
    if (m_framesInRecord == kFramesPerPeakRecord) emit(out);
  }
}

void PeakOverview::flush(std::vector<uint8_t>& out) {
  if (m_framesInRecord > 0) emit(out);
}

void PeakOverview::restart(int32_t framesInRecord) {
  m_framesInRecord = framesInRecord;
  std::fill(m_maximum.begin(), m_maximum.end(), 0);
  std::fill(m_minimum.begin(), m_minimum.end(), 0);
}

void PeakOverview::emit(std::vector<uint8_t>& out) {
  for (int c = 0; c < m_channels; ++c) {
    out.push_back(peakByte(m_maximum[c]));
    // Negated in 64 bits: the most negative Sample has no positive twin.
    out.push_back(peakByte(clampToInt32(-static_cast<int64_t>(m_minimum[c]))));
  }
  restart(0);
}
